#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "watch/FollowedRow.h"

class FollowedValues;

// The rows of "Valori seguiti", one a followed value in the order they were followed, as the
// user reads them: Italian numbers, the day named where a reading is not today's, colours for
// a change and a value beyond its level. A reading changes its own row only (dataChanged), so
// a view's selection, sorting and column widths stay. Sorting by SortRole sorts numbers as
// numbers.
class FollowedValuesModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FollowedValuesModel)
public:
    enum Column { Name, Last, Time, Change, ChangePercent, State, Above, Below, Move, Market, ColumnCount };
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int IdRole = Qt::UserRole + 1;
    // The row's MarketId, as an int.
    static constexpr int MarketRole = Qt::UserRole + 2;

    explicit FollowedValuesModel(FollowedValues &values, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The row of the value; -1 where it is not followed.
    int rowOf(qint64 id) const;
    // The values not read for too long while they could be: their rows say since when.
    void setLate(const QList<qint64> &late);

private:
    QString text(const FollowedRow &row, int column) const;
    QVariant sortKey(const FollowedRow &row, int column) const;
    void add(qint64 id);
    void remove(qint64 id);
    void update(qint64 id);

    FollowedValues &m_values;
    QList<FollowedRow> m_rows;
    QList<qint64> m_late;
};
