#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QList>

#include "watch/FollowedRow.h"

class FollowedValues;

// The lines of "Striscia dei valori": the followed values the user has not taken out of it, in
// the order they were followed. A reading changes its own line and no other.
class StripModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StripModel)
public:
    enum Role { IdRole = Qt::UserRole, NameRole, PriceRole, PercentRole, LateRole };

    explicit StripModel(FollowedValues &values, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void setLate(const QList<qint64> &late);
    // Values out of the strip; a value followed later is in it.
    void setHidden(const QList<qint64> &hidden);
    QList<qint64> hidden() const { return m_hidden; }

private:
    // A line's texts and colour, written once per change rather than at every call of data(),
    // which a paint makes many of.
    struct Line
    {
        qint64 id = 0;
        QString name;
        QString price;
        QString percent;
        QColor colour;
        bool late = false;
        QString toolTip;
    };
    Line lineOf(const FollowedRow &row) const;
    void reload();
    void update(qint64 id);
    int rowOf(qint64 id) const;

    FollowedValues &m_values;
    QList<Line> m_rows;
    QList<qint64> m_late;
    QList<qint64> m_hidden;
};
