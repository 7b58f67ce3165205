#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "watch/store/AlertHistory.h"

class FollowedValues;

// The list "Avvisi" of "Valori seguiti": the alerts of the last days, newest first, each with
// its time, value, kind and level, move or reason. One the user has not seen is in bold for
// as long as the list shows it, though opening the window marks it seen at once.
class AlertHistoryModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertHistoryModel)
public:
    enum Column { Time, Value, Kind, Detail, ColumnCount };

    explicit AlertHistoryModel(FollowedValues &values, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Reads the history again; an alert seen meanwhile keeps its bold until the next opening.
    void reload();
    // The next reload shows as unseen only what comes after now.
    void forgetUnseen();

private:
    QString text(const AlertHistory::Alert &alert, int column) const;

    FollowedValues &m_values;
    QList<AlertHistory::Alert> m_alerts;
    QList<qint64> m_unseen;
};
