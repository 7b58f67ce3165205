#include "glance/StripModel.h"

#include <utility>

#include <QColor>

#include "glance/TrayPicture.h"
#include "watch/FollowedValues.h"
#include "watch/LevelText.h"

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
    const FollowedRow &row = m_rows.at(index.row());
    const bool late = m_late.contains(row.id);
    const QString price = row.last ? LevelText::price(*row.last) : QStringLiteral("\u2013");
    const QString percent = row.changePercent ? LevelText::grouped(*row.changePercent, 2) + QStringLiteral(" %") : QString();
    const QString signedPercent = row.changePercent && *row.changePercent > 0 ? QLatin1Char('+') + percent : percent;
    switch (role) {
    case IdRole:
        return row.id;
    case NameRole:
        return late ? row.name + QStringLiteral(" (in ritardo)") : row.name;
    case PriceRole:
        return price;
    case PercentRole:
        return signedPercent;
    case LateRole:
        return late;
    case Qt::DisplayRole:
        return QStringList{data(index, NameRole).toString(), price, signedPercent}.join(QLatin1Char(' ')).trimmed();
    case Qt::ForegroundRole:
        // Late, the sign's colour would pass an old figure off as the current one.
        if (late || !row.changePercent || *row.changePercent == 0)
            return TrayPicture::colour(TrayPicture::Tone::Grey);
        return TrayPicture::colour(*row.changePercent > 0 ? TrayPicture::Tone::Up : TrayPicture::Tone::Down);
    case Qt::ToolTipRole:
        if (late)
            return QStringLiteral("In ritardo: non letto dalle %1").arg(row.lastTime.toString(QStringLiteral("HH:mm")));
        return row.unreadReason.isEmpty() ? QString() : QStringLiteral("Non letto: ") + row.unreadReason;
    default:
        return {};
    }
}

void StripModel::setLate(const QList<qint64> &late)
{
    const QList<qint64> before = std::exchange(m_late, late);
    for (int r = 0; r < m_rows.size(); ++r) {
        if (before.contains(m_rows.at(r).id) != late.contains(m_rows.at(r).id))
            emit dataChanged(index(r), index(r));
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
            m_rows.append(m_values.row(id));
    }
    endResetModel();
}

void StripModel::update(qint64 id)
{
    const int r = rowOf(id);
    if (r < 0)
        return;
    m_rows[r] = m_values.row(id);
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
