#include "glance/StripModel.h"

#include <QColor>

#include "glance/TrayPicture.h"
#include "watch/FollowedValues.h"
#include "watch/rules/Lateness.h"
#include "watch/rules/LevelText.h"

StripModel::StripModel(FollowedValues &values, QObject *parent)
    : QAbstractListModel(parent)
    , m_values(values)
{
    reload();
    // Values come and go at the user's hand, seldom: the lines are laid out again then.
    connect(&values, &FollowedValues::added, this, &StripModel::reload);
    connect(&values, &FollowedValues::removed, this, &StripModel::reload);
    connect(&values, &FollowedValues::changed, this, &StripModel::update);
}

int StripModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant StripModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Line &line = m_rows.at(index.row());
    switch (role) {
    case IdRole:
        return line.id;
    case NameRole:
        return line.name;
    case PriceRole:
        return line.price;
    case PercentRole:
        return line.percent;
    case LateRole:
        return line.late;
    case Qt::DisplayRole:
        return QStringList{line.name, line.price, line.percent}.join(QLatin1Char(' ')).trimmed();
    case Qt::ForegroundRole:
        return line.colour;
    case Qt::ToolTipRole:
        return line.toolTip;
    default:
        return {};
    }
}

StripModel::Line StripModel::lineOf(const FollowedRow &row) const
{
    Line line;
    line.id = row.id;
    line.late = m_late.contains(row.id);
    line.name = line.late ? row.name + QStringLiteral(" (in ritardo)") : row.name;
    line.price = row.last ? LevelText::price(*row.last) : QStringLiteral("\u2013");
    if (row.changePercent) {
        const QString percent = LevelText::grouped(*row.changePercent, 2) + QStringLiteral(" %");
        line.percent = *row.changePercent > 0 ? QLatin1Char('+') + percent : percent;
    }
    // Late, the sign's colour would pass an old figure off as the current one.
    if (line.late || !row.changePercent || *row.changePercent == 0)
        line.colour = TrayPicture::colour(TrayPicture::Tone::Grey);
    else
        line.colour = TrayPicture::colour(*row.changePercent > 0 ? TrayPicture::Tone::Up : TrayPicture::Tone::Down);
    if (line.late)
        line.toolTip = QStringLiteral("In ritardo: ") + Lateness::state(row.lastTime, m_values.today());
    else if (!row.unreadReason.isEmpty())
        line.toolTip = QStringLiteral("Non letto: ") + row.unreadReason;
    return line;
}

void StripModel::setLate(const QList<qint64> &late)
{
    m_late = late;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).late != late.contains(m_rows.at(r).id)) {
            m_rows[r] = lineOf(m_values.row(m_rows.at(r).id));
            emit dataChanged(index(r), index(r));
        }
    }
}

void StripModel::setHidden(const QList<qint64> &hidden)
{
    m_hidden = hidden;
    reload();
}

void StripModel::reload()
{
    beginResetModel();
    m_rows.clear();
    for (const qint64 id : m_values.ids()) {
        if (!m_hidden.contains(id))
            m_rows.append(lineOf(m_values.row(id)));
    }
    endResetModel();
}

void StripModel::update(qint64 id)
{
    const int r = rowOf(id);
    if (r < 0)
        return;
    m_rows[r] = lineOf(m_values.row(id));
    emit dataChanged(index(r), index(r));
}

int StripModel::rowOf(qint64 id) const
{
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).id == id)
            return r;
    }
    return -1;
}
