#include <QTest>

#include "aids/ScrollHold.h"

using State = ScrollHold::State;
Q_DECLARE_METATYPE(State)

class TestScrollHold : public QObject
{
    Q_OBJECT
private slots:
    void freshHoldIsOffThoughFlaggedSuspended();
    void transitions_data();
    void transitions();
    void arrowClickMovesValueWithoutEngaging();
    void clearingTheBoxLeavesTheSuspensionCleared();
};

void TestScrollHold::freshHoldIsOffThoughFlaggedSuspended()
{
    const ScrollHold hold;
    QCOMPARE(hold.state(), State::Off);
    QVERIFY(hold.isSuspended());
    QVERIFY(!hold.isHeld());
}

// Each row: how to reach the starting state, the event, and the state it must give.
void TestScrollHold::transitions_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("event");
    QTest::addColumn<State>("to");
    QTest::addColumn<bool>("appliesAtOnce");

    QTest::newRow("box clicked while clear") << "off" << "click" << State::Held << false;
    QTest::newRow("box clicked while held") << "held" << "click" << State::Off << false;
    QTest::newRow("box clicked while suspended") << "suspended" << "click" << State::Off << false;
    QTest::newRow("focus while held") << "held" << "focus" << State::Suspended << false;
    QTest::newRow("focus while off") << "off" << "focus" << State::Off << false;
    QTest::newRow("thumb dragged while held") << "held" << "drag" << State::Held << true;
    QTest::newRow("thumb dragged while suspended") << "suspended" << "drag" << State::Held << true;
    QTest::newRow("thumb dragged while off") << "off" << "drag" << State::Off << false;
    QTest::newRow("refresh while suspended") << "suspended" << "refresh" << State::Held << false;
    QTest::newRow("refresh while off") << "off" << "refresh" << State::Off << false;
    QTest::newRow("refresh while held") << "held" << "refresh" << State::Held << false;
}

void TestScrollHold::transitions()
{
    QFETCH(QString, from);
    QFETCH(QString, event);
    QFETCH(State, to);
    QFETCH(bool, appliesAtOnce);

    ScrollHold hold;
    if (from != QLatin1String("off"))
        hold.boxClicked(true);
    if (from == QLatin1String("suspended"))
        hold.paneFocused();

    bool applied = false;
    if (event == QLatin1String("click"))
        hold.boxClicked(!hold.ticked());
    else if (event == QLatin1String("focus"))
        hold.paneFocused();
    else if (event == QLatin1String("drag"))
        applied = hold.thumbDragged(250);
    else if (event == QLatin1String("refresh"))
        hold.refreshing();

    QCOMPARE(hold.state(), to);
    QCOMPARE(applied, appliesAtOnce);
    if (event == QLatin1String("drag"))
        QCOMPARE(hold.value(), 250);
    if (event == QLatin1String("focus"))
        QVERIFY(hold.isSuspended());
    if (event == QLatin1String("refresh") || event == QLatin1String("click"))
        QVERIFY(!hold.isSuspended());
}

void TestScrollHold::arrowClickMovesValueWithoutEngaging()
{
    ScrollHold hold;
    hold.boxClicked(true);
    hold.paneFocused();
    hold.setValue(1);
    QCOMPARE(hold.state(), State::Suspended);
    QCOMPARE(hold.value(), 1);
    hold.refreshing();
    QVERIFY(hold.isHeld());
    QCOMPARE(hold.value(), 1);
}

void TestScrollHold::clearingTheBoxLeavesTheSuspensionCleared()
{
    ScrollHold hold;
    hold.boxClicked(true);
    hold.boxClicked(false);
    QVERIFY(!hold.isSuspended());
    QCOMPARE(hold.state(), State::Off);
}

QTEST_APPLESS_MAIN(TestScrollHold)
#include "tst_scrollhold.moc"
