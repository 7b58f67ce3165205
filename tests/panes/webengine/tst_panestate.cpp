#include <QTest>

#include "panes/webengine/PaneState.h"

using State = PaneState::State;
using Event = PaneState::Event;

// What the engine pane's events make of its state, where the order of the engine's reports
// is easy to get wrong: a crash notice and a page being ended.
class TestPaneState : public QObject
{
    Q_OBJECT
private slots:
    void onlyALoadedPageIsRefreshedOutOfSight();
    void aDeadPageStaysDeadUntilLoadedAgain();
};

void TestPaneState::onlyALoadedPageIsRefreshedOutOfSight()
{
    PaneState pane;
    pane.on(Event::RefreshStarted);
    QCOMPARE(pane.state(), State::Loading);
    for (Event event : {Event::LoadSucceeded, Event::RefreshStarted, Event::SwapStarted, Event::SwapEnded})
        pane.on(event);
    QCOMPARE(pane.state(), State::Loaded);
    pane.on(Event::LoadFailed);
    pane.on(Event::RefreshStarted);
    QCOMPARE(pane.state(), State::Failed);
}

void TestPaneState::aDeadPageStaysDeadUntilLoadedAgain()
{
    PaneState pane;
    pane.on(Event::LoadSucceeded);
    // The load the ended process leaves failed keeps the reason for the notice.
    pane.on(Event::Frozen);
    pane.on(Event::LoadFailed);
    QCOMPARE(pane.state(), State::EndingFrozen);
    pane.on(Event::Died);
    // The notice is a page of ours: its own load changes nothing.
    pane.on(Event::LoadStarted);
    pane.on(Event::LoadSucceeded);
    QCOMPARE(pane.state(), State::Crashed);
    pane.on(Event::Reloading);
    pane.on(Event::LoadSucceeded);
    QCOMPARE(pane.state(), State::Loaded);
}

QTEST_APPLESS_MAIN(TestPaneState)
#include "tst_panestate.moc"
