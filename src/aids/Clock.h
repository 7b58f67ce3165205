#pragma once

#include <QObject>

class ClickLabel;
class QTimer;

// The clock label, rewritten every 100 ms ("Timer3"). Each tick also drives the scroll
// check of the holds, which listen to ticked().
class Clock final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Clock)
public:
    explicit Clock(ClickLabel &label, QObject *parent = nullptr);

    void tick();

signals:
    void ticked();

private:
    ClickLabel &m_label;
    QTimer *m_timer;
};
