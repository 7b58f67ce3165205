#pragma once

#include <QWidget>

class QListWidget;

// The program's own window of alerts, for a desktop where no notification service answers:
// an alert is never lost silently. Comes to the front with each new alert, without taking
// the keyboard; the newest first.
class AlertList final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertList)
public:
    explicit AlertList(QWidget *parent = nullptr);

    void add(const QString &summary, const QString &body);
    QStringList entries() const;

private:
    QListWidget *m_list;
};
