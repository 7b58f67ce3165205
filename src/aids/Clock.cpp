#include "aids/Clock.h"

#include <QTime>
#include <QTimer>

#include "common/Controls.h"
#include "common/Format.h"

Clock::Clock(ClickLabel &label, QObject *parent)
    : QObject(parent)
    , m_label(label)
    , m_timer(new QTimer(this))
{
    m_label.setCursor(Qt::PointingHandCursor);
    m_timer->setObjectName(QStringLiteral("Timer3"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &Clock::tick);
    m_timer->start();
}

void Clock::tick()
{
    // The label is rewritten on every tick; QLabel ignores an unchanged text, so an idle
    // window repaints the clock once a second, not ten times.
    m_label.setText(Format::formatTime(QTime::currentTime(), QStringLiteral("hh:mm:ss")));
    emit ticked();
}
