#include "aids/Clock.h"

#include <QTime>
#include <QTimer>

#include "common/Controls.h"
#include "common/Format.h"

namespace {

// Past the second by this much, so that a timer that fires a little early still finds the
// new second; well within the tenth of a second the label may lag.
constexpr int PastTheSecondMs = 5;

} // namespace

Clock::Clock(ClickLabel &label, QObject *parent)
    : QObject(parent)
    , m_label(label)
    , m_clockTimer(new QTimer(this))
{
    m_label.setCursor(Qt::PointingHandCursor);
    m_clockTimer->setSingleShot(true);
    // A coarse timer may fire up to 5 % late, 50 ms of a second: too much of the margin.
    m_clockTimer->setTimerType(Qt::PreciseTimer);
    connect(m_clockTimer, &QTimer::timeout, this, &Clock::tick);
    tick();
}

void Clock::tick()
{
    const QTime now = QTime::currentTime();
    // QLabel ignores an unchanged text, so a tick that came early repaints nothing.
    m_label.setText(Format::formatTime(now, QStringLiteral("hh:mm:ss")));
    m_clockTimer->start(1000 - now.msec() + PastTheSecondMs);
}
