#include <cmath>

#include <QHash>
#include <QTest>

#include "panes/MainLayout.h"

using MainLayout::Control;
using MainLayout::Property;

namespace {

// Controls held as a toolkit would: optionally rounded to whole pixels at 96 DPI
// (15 twips), refusing negative sizes.
class FakeTarget final : public MainLayout::Target
{
public:
    explicit FakeTarget(bool roundToPixels)
        : m_round(roundToPixels)
    {
        // The design positions.
        put(Control::UpperPane, 450, 765, 6945, 3120);
        put(Control::LowerPane, 450, 4725, 5775, 2040);
        put(Control::LowerBack, 90, 4725, 285, 420);
        put(Control::LowerForward, 90, 5220, 285, 420);
        put(Control::LowerGo, 90, 5715, 285, 600);
        put(Control::LowerHome, 45, 6435, 405, 345);
        put(Control::LowerStop, 90, 6885, 285, 285);
        put(Control::LowerFavorite, 90, 7245, 285, 510);
        put(Control::LowerReload, 90, 7830, 285, 375);
        put(Control::UpperHoldBox, 12690, 765, 240, 195);
        put(Control::UpperBar, 12690, 990, 240, 2760);
        put(Control::LowerHoldBox, 12690, 4005, 240, 195);
        put(Control::LowerBar, 12690, 4230, 240, 3165);
    }

    double get(Control control, Property property) const override { return m_values.value(key(control, property)); }

    bool set(Control control, Property property, double twips) override
    {
        if ((property == Property::Width || property == Property::Height) && twips < 0)
            return false;
        m_values.insert(key(control, property), m_round ? std::round(twips / 15) * 15 : twips);
        return true;
    }

    bool operator==(const FakeTarget &other) const { return m_values == other.m_values; }

private:
    static int key(Control c, Property p) { return int(c) * 4 + int(p); }
    void put(Control c, double l, double t, double w, double h)
    {
        m_values.insert(key(c, Property::Left), l);
        m_values.insert(key(c, Property::Top), t);
        m_values.insert(key(c, Property::Width), w);
        m_values.insert(key(c, Property::Height), h);
    }

    bool m_round;
    QHash<int, double> m_values;
};

bool near(double a, double b)
{
    return std::abs(a - b) < 0.01;
}

} // namespace

class TestMainLayout : public QObject
{
    Q_OBJECT
private slots:
    void workedExampleGivesTheListedValues();
    void veryLowWindowSkipsExactlyTheNegativeSteps_data();
    void veryLowWindowSkipsExactlyTheNegativeSteps();
    void resultDoesNotDependOnEarlierResizes();
    void nothingOutsideThePanesMoves();
};

void TestMainLayout::workedExampleGivesTheListedValues()
{
    FakeTarget t(false);
    QCOMPARE(MainLayout::apply(9000, 12000, t), 0);
    QVERIFY(near(t.get(Control::UpperPane, Property::Width), 11320.75));
    QVERIFY(near(t.get(Control::UpperPane, Property::Height), 3750));
    QVERIFY(near(t.get(Control::LowerPane, Property::Width), 11320.75));
    QVERIFY(near(t.get(Control::LowerPane, Property::Height), 4166.67));
    QVERIFY(near(t.get(Control::LowerPane, Property::Top), 4615));
    const QList<std::pair<Control, double>> column = {
        {Control::LowerBack, 4615}, {Control::LowerForward, 5125}, {Control::LowerGo, 5635}, {Control::LowerHome, 6325},
        {Control::LowerStop, 6760}, {Control::LowerFavorite, 7135}, {Control::LowerReload, 7735},
    };
    for (const auto &[control, top] : column)
        QVERIFY2(near(t.get(control, Property::Top), top), qPrintable(QString::number(int(control))));
    QVERIFY(near(t.get(Control::UpperBar, Property::Height), 3555));
    QVERIFY(near(t.get(Control::LowerBar, Property::Height), 3971.67));
    QVERIFY(near(t.get(Control::LowerBar, Property::Top), 4810));
    for (Control c : {Control::UpperBar, Control::LowerBar, Control::UpperHoldBox, Control::LowerHoldBox})
        QVERIFY(near(t.get(c, Property::Left), 11770.75));
    QVERIFY(near(t.get(Control::LowerHoldBox, Property::Top), 4615));
}

void TestMainLayout::veryLowWindowSkipsExactlyTheNegativeSteps_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("refused");
    QTest::addColumn<bool>("upperBarKept");
    QTest::addColumn<bool>("lowerBarKept");
    QTest::newRow("just tall enough") << 470.0 << 0 << false << false;
    QTest::newRow("upper bar negative") << 460.0 << 1 << true << false;
    QTest::newRow("both bars negative") << 400.0 << 2 << true << true;
}

void TestMainLayout::veryLowWindowSkipsExactlyTheNegativeSteps()
{
    QFETCH(double, height);
    QFETCH(int, refused);
    QFETCH(bool, upperBarKept);
    QFETCH(bool, lowerBarKept);
    FakeTarget t(false);
    QCOMPARE(MainLayout::apply(height, 12000, t), refused);
    QCOMPARE(t.get(Control::UpperBar, Property::Height) == 2760, upperBarKept);
    QCOMPARE(t.get(Control::LowerBar, Property::Height) == 3165, lowerBarKept);
    // The steps after a refused one still apply.
    QVERIFY(near(t.get(Control::LowerHoldBox, Property::Top), t.get(Control::LowerPane, Property::Top)));
    QVERIFY(near(t.get(Control::UpperHoldBox, Property::Left), 11770.75));
}

void TestMainLayout::resultDoesNotDependOnEarlierResizes()
{
    FakeTarget direct(true);
    MainLayout::apply(9000, 12000, direct);
    FakeTarget detour(true);
    MainLayout::apply(300, 2000, detour);
    MainLayout::apply(20000, 30000, detour);
    MainLayout::apply(9000, 12000, detour);
    QVERIFY(direct == detour);
}

void TestMainLayout::nothingOutsideThePanesMoves()
{
    FakeTarget t(true);
    MainLayout::apply(12000, 16000, t);
    QCOMPARE(t.get(Control::UpperPane, Property::Top), 765.0);
    QCOMPARE(t.get(Control::UpperPane, Property::Left), 450.0);
    QCOMPARE(t.get(Control::LowerPane, Property::Left), 450.0);
    QCOMPARE(t.get(Control::UpperHoldBox, Property::Top), 765.0);
    QCOMPARE(t.get(Control::UpperBar, Property::Top), 990.0);
    QCOMPARE(t.get(Control::LowerBack, Property::Height), 420.0);
    QCOMPARE(t.get(Control::LowerFavorite, Property::Width), 285.0);
}

QTEST_APPLESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
