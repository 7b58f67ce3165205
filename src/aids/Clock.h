#pragma once

#include <QObject>

class ClickLabel;
class QTimer;

// The clock label (the design's Timer3). The timer wakes just after each new second instead of every
// 100 ms: the label shows the second as promptly, and an idle window wakes once a second.
class Clock final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Clock)
public:
    explicit Clock(ClickLabel &label, QObject *parent = nullptr);

    void tick();

    QTimer &clockTimer() const { return *m_clockTimer; }

private:
    ClickLabel &m_label;
    QTimer *m_clockTimer;
};
