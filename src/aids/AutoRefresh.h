#pragma once

#include <array>

#include <QObject>

#include "aids/RefreshCycle.h"
#include "panes/BrowserPane.h"

class ClickLabel;
class QAbstractButton;
class QRadioButton;
class QTimer;
class ShapeCircle;

// The automatic refresh: "Auto"/"Off", the countdown label with its interval choice, the
// flashing light, the "Br1"/"Br2" choice of panes and "Aggiorna". Runs on one-second ticks
// of its own timer (the design's Timer1), which sleeps while every chosen pane is held (a closed
// market's) and wakes as one is let go; the light goes dark on Timer2.
class AutoRefresh final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AutoRefresh)
public:
    struct Controls
    {
        QAbstractButton *toggle;        // "Auto"/"Off"
        QAbstractButton *reloadNow;     // "Aggiorna"
        ClickLabel *countdown;          // "000"; a click shows the interval options
        ShapeCircle *light;
        std::array<QRadioButton *, 3> intervals; // one, two and three minutes
    };
    // A pane the cycle may reload, and the box that chooses it.
    struct ChosenPane
    {
        QAbstractButton *chosen;
        BrowserPane *pane;
    };

    AutoRefresh(const Controls &controls, const std::array<ChosenPane, 2> &panes, QObject *parent = nullptr);

    const RefreshCycle &cycle() const { return m_cycle; }
    QTimer &cycleTimer() const { return *m_cycleTimer; }
    QTimer &flashTimer() const { return *m_flashTimer; }

    void toggle();
    // One second of the cycle: the light flashes, the countdown steps, and on the last
    // step the chosen panes are reloaded.
    void countdownTick();
    void flashEnded();
    // "Aggiorna" by hand reloads at once; the cycle's reload lets a pane put itself off while
    // the user types into its page. Either resumes the chosen panes' holds as they reload.
    void reloadChosenPanes(BrowserPane::Refresh kind = BrowserPane::Refresh::ChosenByHand);
    // While held, the cycle leaves the pane alone; "Aggiorna" by hand still reloads it.
    void holdAutomaticRefresh(const BrowserPane &pane, bool held);
    void toggleIntervalOptions();
    void chooseInterval(qint16 seconds);

signals:
    // The period in seconds while the cycle runs, 0 once it is switched off.
    void cycleChanged(int seconds);

private:
    void wakeOrSleep();

    Controls m_controls;
    std::array<ChosenPane, 2> m_panes;
    std::array<bool, 2> m_held{};
    QTimer *m_cycleTimer;
    QTimer *m_flashTimer;
    RefreshCycle m_cycle;
};
