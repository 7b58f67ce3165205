#include <QTest>

#include "panes/webengine/PaneState.h"

using State = PaneState::State;
using Event = PaneState::Event;
Q_DECLARE_METATYPE(State)

// What the engine pane's events make of its state, where the order of the engine's reports
// is easy to get wrong: a crash notice and a page being ended.
class TestPaneState : public QObject
{
    Q_OBJECT
private slots:
    void eventsInTurnLeaveTheState_data();
    void eventsInTurnLeaveTheState();
};

void TestPaneState::eventsInTurnLeaveTheState_data()
{
    QTest::addColumn<QList<Event>>("events");
    QTest::addColumn<State>("state");
    QTest::addColumn<bool>("dead");
    QTest::newRow("loaded") << QList{Event::LoadStarted, Event::LoadSucceeded} << State::Loaded << false;
    QTest::newRow("error page") << QList{Event::LoadSucceeded, Event::LoadStarted, Event::LoadFailed} << State::Failed
                                << false;
    // The load the ended process leaves failed keeps the reason for the notice.
    QTest::newRow("being ended") << QList{Event::LoadSucceeded, Event::Frozen, Event::LoadStarted, Event::LoadFailed}
                                 << State::EndingFrozen << false;
    // A refresh prepared in the frozen page's process fails first, as a crash of its own;
    // the pane that drops it must still learn that the page was ended for not answering.
    QTest::newRow("frozen with a refresh prepared")
        << QList{Event::LoadSucceeded, Event::Frozen, Event::LoadFailed, Event::Died} << State::EndedFrozen << true;
    QTest::newRow("crashed") << QList{Event::LoadSucceeded, Event::Died} << State::Crashed << true;
    // The notice is a page of ours: its own load changes nothing, nor does a late freeze.
    QTest::newRow("notice loads")
        << QList{Event::Frozen, Event::Died, Event::LoadStarted, Event::LoadSucceeded, Event::Frozen}
        << State::EndedFrozen << true;
    QTest::newRow("dies again after a crash") << QList{Event::Died, Event::LoadFailed, Event::Died} << State::Crashed
                                              << true;
    QTest::newRow("reloaded after a crash") << QList{Event::Died, Event::Reloading, Event::LoadSucceeded}
                                            << State::Loaded << false;
}

void TestPaneState::eventsInTurnLeaveTheState()
{
    QFETCH(QList<Event>, events);
    QFETCH(State, state);
    QFETCH(bool, dead);
    PaneState pane;
    for (Event event : std::as_const(events))
        pane.on(event);
    QCOMPARE(pane.state(), state);
    QCOMPARE(pane.isDead(), dead);
}

QTEST_APPLESS_MAIN(TestPaneState)
#include "tst_panestate.moc"
