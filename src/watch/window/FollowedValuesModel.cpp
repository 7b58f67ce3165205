#include "watch/window/FollowedValuesModel.h"

#include <utility>

#include <QColor>
#include <QFont>

#include "watch/FollowedValues.h"
#include "watch/rules/Lateness.h"
#include "watch/rules/LevelText.h"

namespace {

QString price(std::optional<double> value)
{
    return value ? LevelText::price(*value) : QString();
}

// A difference of two readings, written as the prices beside it: 14,60 - 14,30 is +0,30, and a
// tiny price's change keeps all of its digits.
QString change(const FollowedRow &row)
{
    if (!row.change || !row.last)
        return QString();
    const double first = row.previousClose.value_or(*row.last - *row.change);
    const QString text =
        LevelText::grouped(*row.change, qMax(2, qMax(LevelText::decimals(first), LevelText::decimals(*row.last))));
    return *row.change > 0 ? QLatin1Char('+') + text : text;
}

QString percent(std::optional<double> value)
{
    if (!value)
        return QString();
    const QString text = LevelText::grouped(*value, 2) + QStringLiteral(" %");
    return *value > 0 ? QLatin1Char('+') + text : text;
}

QVariant orNothing(std::optional<double> value)
{
    return value ? QVariant(*value) : QVariant();
}

} // namespace

FollowedValuesModel::FollowedValuesModel(FollowedValues &values, QObject *parent)
    : QAbstractTableModel(parent)
    , m_values(values)
    , m_rows(values.rows())
{
    connect(&values, &FollowedValues::added, this, &FollowedValuesModel::add);
    connect(&values, &FollowedValues::removed, this, &FollowedValuesModel::remove);
    connect(&values, &FollowedValues::changed, this, &FollowedValuesModel::update);
}

int FollowedValuesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FollowedValuesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int FollowedValuesModel::rowOf(qint64 id) const
{
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).id == id)
            return r;
    }
    return -1;
}

void FollowedValuesModel::add(qint64 id)
{
    if (rowOf(id) >= 0)
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size()));
    m_rows.append(m_values.row(id));
    endInsertRows();
}

void FollowedValuesModel::remove(qint64 id)
{
    const int r = rowOf(id);
    if (r < 0)
        return;
    beginRemoveRows({}, r, r);
    m_rows.removeAt(r);
    endRemoveRows();
}

void FollowedValuesModel::update(qint64 id)
{
    const int r = rowOf(id);
    if (r < 0)
        return;
    m_rows[r] = m_values.row(id);
    // Cell by cell: a view told of a range repaints all of itself, told of a cell only the cell.
    for (int column = 0; column < ColumnCount; ++column)
        emit dataChanged(index(r, column), index(r, column));
}

void FollowedValuesModel::setLate(const QList<qint64> &late)
{
    const QList<qint64> before = std::exchange(m_late, late);
    for (int r = 0; r < m_rows.size(); ++r) {
        const qint64 id = m_rows.at(r).id;
        if (before.contains(id) != late.contains(id))
            emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
    }
}

QString FollowedValuesModel::text(const FollowedRow &row, int column) const
{
    switch (column) {
    case Name:
        return row.name;
    case Last:
        return price(row.last);
    case Time:
        // A reading of another day says which: after a night, "17:35:00" alone reads as today's.
        if (!row.lastTime.isValid())
            return QString();
        return row.lastTime.toString(row.lastTime.date() == m_values.today() ? QStringLiteral("HH:mm:ss")
                                                                             : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    // A change that is not from a close after the auction carries a mark, and its tooltip says why.
    case Change:
        return row.changeNote.isEmpty() || row.change == std::nullopt ? change(row) : change(row) + QStringLiteral(" *");
    case ChangePercent:
        return row.changeNote.isEmpty() || !row.changePercent ? percent(row.changePercent)
                                                               : percent(row.changePercent) + QStringLiteral(" *");
    case State: {
        QString state;
        if (m_late.contains(row.id)) {
            state = Lateness::state(row.lastTime, m_values.today());
            if (!row.unreadReason.isEmpty())
                state += QStringLiteral(": ") + row.unreadReason;
        } else {
            state = row.unreadReason.isEmpty() ? QStringLiteral("letto") : QStringLiteral("non letto: ") + row.unreadReason;
        }
        if (row.alertedAt.isValid())
            state += QStringLiteral("; avviso alle %1").arg(row.alertedAt.toString(QStringLiteral("HH:mm:ss")));
        return state;
    }
    case Above:
        return price(row.levels.above);
    case Below:
        return price(row.levels.below);
    case Move: {
        if (!row.movePercent)
            return QString();
        const QString size = LevelText::grouped(*row.movePercent, LevelText::decimals(*row.movePercent)) + QStringLiteral(" %");
        return row.moveMinutes > 0 ? QStringLiteral("%1 in %2 min").arg(size).arg(row.moveMinutes) : QStringLiteral("\u00b1") + size;
    }
    case Market:
        return Markets::caption(row.market);
    }
    return QString();
}

QVariant FollowedValuesModel::sortKey(const FollowedRow &row, int column) const
{
    switch (column) {
    case Last:
        return orNothing(row.last);
    case Time:
        return row.lastTime;
    case Change:
        return orNothing(row.change);
    case ChangePercent:
        return orNothing(row.changePercent);
    case Above:
        return orNothing(row.levels.above);
    case Below:
        return orNothing(row.levels.below);
    case Move:
        return orNothing(row.movePercent);
    }
    return text(row, column);
}

QVariant FollowedValuesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const FollowedRow &row = m_rows.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text(row, column);
    case SortRole:
        return sortKey(row, column);
    case IdRole:
        return row.id;
    case MarketRole:
        return int(row.market);
    case Qt::ToolTipRole:
        if (column == State && !row.unreadReason.isEmpty())
            return row.unreadReason;
        if (column == Name)
            return row.address;
        if ((column == Change || column == ChangePercent) && row.previousClose)
            return row.changeNote.isEmpty() ? QStringLiteral("dalla chiusura precedente (%1)").arg(price(row.previousClose))
                                            : QStringLiteral("%1 (%2)").arg(row.changeNote, price(row.previousClose));
        return {};
    case Qt::TextAlignmentRole:
        return column == Name || column == State || column == Market ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return row.beyond ? QVariant(QColor(255, 214, 120)) : QVariant();
    case Qt::FontRole: {
        // The chosen row's selection hides its background; bold stays.
        if (!row.beyond)
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case Qt::ForegroundRole:
        if ((column == Change || column == ChangePercent) && row.change && *row.change != 0)
            return *row.change > 0 ? QColor(0, 120, 0) : QColor(180, 0, 0);
        if ((column == State || column == Time) && m_late.contains(row.id))
            return QColor(180, 0, 0);
        if (column == State && !row.beyond && !row.unreadReason.isEmpty())
            return QColor(180, 0, 0);
        return {};
    }
    return {};
}

QVariant FollowedValuesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList headings{QStringLiteral("Nome"), QStringLiteral("Ultimo"), QStringLiteral("Ora"),
                                      QStringLiteral("Variazione"), QStringLiteral("Var. %"), QStringLiteral("Stato"),
                                      QStringLiteral("Sopra"), QStringLiteral("Sotto"), QStringLiteral("Variazione avvisata"),
                                      QStringLiteral("Mercato")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headings.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return headings.at(section);
}
