#include "aids/AutoRefresh.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QRadioButton>
#include <QTimer>

#include "common/Colors.h"
#include "common/Controls.h"

AutoRefresh::AutoRefresh(const Controls &controls, const std::array<ChosenPane, 2> &panes, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_panes(panes)
    , m_cycleTimer(new QTimer(this))
    , m_flashTimer(new QTimer(this))
{
    m_cycleTimer->setInterval(1000);
    m_flashTimer->setInterval(100);
    connect(m_cycleTimer, &QTimer::timeout, this, &AutoRefresh::countdownTick);
    connect(m_flashTimer, &QTimer::timeout, this, &AutoRefresh::flashEnded);

    m_cycle.reset(RefreshCycle::DefaultPeriod);
    m_controls.light->setFillColor(Colors::DarkGreen);
    m_controls.countdown->setCursor(Qt::PointingHandCursor);
    m_controls.intervals[1]->setChecked(true);
    m_panes[0].chosen->setChecked(true);
    for (const ChosenPane &pane : m_panes)
        connect(pane.chosen, &QAbstractButton::toggled, this, &AutoRefresh::wakeOrSleep);

    connect(m_controls.toggle, &QAbstractButton::clicked, this, &AutoRefresh::toggle);
    connect(m_controls.reloadNow, &QAbstractButton::clicked, this, [this] { reloadChosenPanes(); });
    connect(m_controls.countdown, &ClickLabel::clicked, this, &AutoRefresh::toggleIntervalOptions);
    const qint16 minutes[] = {60, 120, 180};
    for (int i = 0; i < 3; ++i)
        connect(m_controls.intervals[i], &QRadioButton::clicked, this, [this, s = minutes[i]] { chooseInterval(s); });
}

void AutoRefresh::toggle()
{
    m_controls.toggle->setText(m_cycle.toggle());
    wakeOrSleep();
    emit cycleChanged(m_cycle.isRunning() ? m_cycle.period() : 0);
}

void AutoRefresh::countdownTick()
{
    m_controls.light->setFillColor(Colors::BrightGreen);
    m_flashTimer->start();
    const RefreshCycle::Tick tick = m_cycle.tick(QDateTime::currentMSecsSinceEpoch());
    m_controls.countdown->setText(tick.label);
    if (tick.refresh)
        reloadChosenPanes(BrowserPane::Refresh::Automatic);
}

void AutoRefresh::flashEnded()
{
    m_controls.light->setFillColor(Colors::DarkGreen);
    m_flashTimer->stop();
}

void AutoRefresh::reloadChosenPanes(BrowserPane::Refresh kind)
{
    for (int i = 0; i < 2; ++i) {
        if (m_panes[i].chosen->isChecked() && !(kind == BrowserPane::Refresh::Automatic && m_held[i]))
            m_panes[i].pane->refresh(kind);
    }
}

void AutoRefresh::holdAutomaticRefresh(const BrowserPane &pane, bool held)
{
    for (int i = 0; i < 2; ++i) {
        if (m_panes[i].pane == &pane)
            m_held[i] = held;
    }
    wakeOrSleep();
}

void AutoRefresh::wakeOrSleep()
{
    bool chosen = false;
    bool allHeld = true;
    for (int i = 0; i < 2; ++i) {
        if (m_panes[i].chosen->isChecked()) {
            chosen = true;
            allHeld = allHeld && m_held[i];
        }
    }
    if (!m_cycle.isRunning() || (chosen && allHeld))
        m_cycleTimer->stop();
    else if (!m_cycleTimer->isActive())
        m_cycleTimer->start();
}

void AutoRefresh::toggleIntervalOptions()
{
    const bool show = !m_controls.intervals[0]->isVisible();
    for (QRadioButton *option : m_controls.intervals) {
        option->setVisible(show);
        if (show)
            option->raise();
    }
}

void AutoRefresh::chooseInterval(qint16 seconds)
{
    m_cycle.choose(seconds);
    if (m_cycle.isRunning())
        emit cycleChanged(seconds);
    for (QRadioButton *option : m_controls.intervals)
        option->hide();
}
