#pragma once

#include <QWidget>

class QAbstractItemModel;
class QTableView;

// The program's own window of alerts, for a desktop where no notification service answers:
// an alert is never lost silently. It shows the alerts "Valori seguiti" lists, newest first,
// and comes to the front with each alert not delivered, without taking the keyboard.
class AlertList final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertList)
public:
    explicit AlertList(QAbstractItemModel &alerts, QWidget *parent = nullptr);

    void bringUp();
    QTableView &table() const { return *m_table; }

private:
    QTableView *m_table;
};
