// Starts the program exactly as its own main() does (Program: the engine, the background
// reader, the watch, the market's calendar, the windows and the channel), then does with the controls what a
// user would do with the mouse: sends a second address to the lower pane and engages both
// scroll holds once the pages are there. The options below belong to this runner only; the
// program itself has none of them.
//
// program_runner [--lower ADDRESS] [--hold1 PX] [--hold2 PX] [--hold-after-ms MS] [--print-geometry]
//                [--] [program arguments]

#include <cstdio>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "aids/PaneHold.h"
#include "app/Program.h"
#include "common/QtTranslations.h"
#include "core/MainWindow.h"

namespace {

struct Options
{
    QString lower;
    int hold1 = -1;
    int hold2 = -1;
    int holdAfterMs = 0;
    bool printGeometry = false;
    QStringList programArguments;
    bool valid = true;
};

Options parse(const QStringList &arguments)
{
    Options o;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--")) {
            o.programArguments += arguments.mid(i + 1);
            break;
        } else if (a == QLatin1String("--lower") && hasValue) {
            o.lower = arguments.at(++i);
        } else if (a == QLatin1String("--hold1") && hasValue) {
            o.hold1 = arguments.at(++i).toInt(&o.valid);
        } else if (a == QLatin1String("--hold2") && hasValue) {
            o.hold2 = arguments.at(++i).toInt(&o.valid);
        } else if (a == QLatin1String("--hold-after-ms") && hasValue) {
            o.holdAfterMs = arguments.at(++i).toInt(&o.valid);
        } else if (a == QLatin1String("--print-geometry")) {
            o.printGeometry = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            o.valid = false;
        } else {
            o.programArguments += a;
        }
        if (!o.valid)
            break;
    }
    return o;
}

// Drags the bar's thumb with the mouse, as a user does: pressed on the thumb, moved, released
// where the style puts the position (to the nearest pixel, so the value may differ by a few).
void dragThumb(QScrollBar *bar, int position)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    QStyle *style = bar->style();
    const QRect thumb = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QRect groove = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
    const int x = thumb.center().x();
    const int grabbed = thumb.center().y() - thumb.top();
    const int to = groove.top() + grabbed
        + QStyle::sliderPositionFromValue(bar->minimum(), bar->maximum(), position, groove.height() - thumb.height());
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(x, thumb.center().y()));
    QTest::mouseMove(bar, QPoint(x, (thumb.center().y() + to) / 2));
    QTest::mouseMove(bar, QPoint(x, to));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(x, to));
}

void engageHold(const MainControls::PaneColumn &column, int position)
{
    column.holdBox->click();
    dragThumb(column.holdBar, position);
}

void printGeometry(const MainWindow &window)
{
    for (const char *name : {"WB1", "WB3"}) {
        const QWidget *w = window.findChild<QWidget *>(QLatin1String(name));
        std::fprintf(stderr, "program_runner: %s %d,%d %dx%d\n", name, w->x(), w->y(), w->width(), w->height());
    }
    std::fprintf(stderr, "program_runner: window %dx%d\n", window.width(), window.height());
}

} // namespace

int main(int argc, char *argv[])
{
    // The same start as src/app/main.cpp, step by step.
    WebEngineEnvironment::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quovadex"));
    QApplication::setApplicationName(QStringLiteral("quovadex3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Doppio Quovadex"));
    QtTranslations::installItalian(app);

    const Options options = parse(QApplication::arguments().mid(1));
    if (!options.valid) {
        std::fputs("usage: program_runner [--lower ADDRESS] [--hold1 PX] [--hold2 PX] [--hold-after-ms MS] "
                   "[--print-geometry] [--] [program arguments]\n",
                   stderr);
        return 2;
    }

    Program program;
    MainWindow &window = *program.start(MainWindows::addressFrom(options.programArguments), QDir::currentPath());

    if (!options.lower.isEmpty()) {
        window.controls().address->setText(options.lower);
        window.controls().lower.go->click();
    }

    // Holds are engaged once both pages are in (and --hold-after-ms later), as a user would
    // after start-up; engaged earlier, their ticks would count against the start-up time.
    // Each pane's frame holds its view.
    auto *upper = window.findChild<QWidget *>(QStringLiteral("WB1"))->findChild<QWebEngineView *>();
    auto *lower = window.findChild<QWidget *>(QStringLiteral("WB3"))->findChild<QWebEngineView *>();
    bool upperIn = false;
    bool lowerIn = options.lower.isEmpty();
    bool engaged = false;
    auto engageHolds = [&] {
        if (options.hold1 >= 0)
            engageHold(window.controls().upper, options.hold1);
        if (options.hold2 >= 0)
            engageHold(window.controls().lower, options.hold2);
        // The driver checks for this line: a run whose holds never engaged measures nothing.
        if (options.hold1 >= 0 || options.hold2 >= 0) {
            const bool held = (options.hold1 < 0 || window.findChildren<PaneHold *>().at(0)->hold().isHeld())
                && (options.hold2 < 0 || window.findChildren<PaneHold *>().at(1)->hold().isHeld());
            std::fputs(held ? "program_runner: holds engaged\n" : "program_runner: holds did not engage\n", stderr);
        }
        if (options.printGeometry)
            printGeometry(window);
    };
    // A second click on a hold box would untick it: later loads change nothing.
    auto engageWhenBothIn = [&] {
        if (!upperIn || !lowerIn || engaged)
            return;
        engaged = true;
        QTimer::singleShot(options.holdAfterMs, &window, engageHolds);
    };
    QObject::connect(upper->page(), &QWebEnginePage::loadFinished, &window, [&](bool ok) {
        if (ok) {
            upperIn = true;
            engageWhenBothIn();
        }
    });
    QObject::connect(lower->page(), &QWebEnginePage::loadFinished, &window, [&](bool ok) {
        // The built-in page the lower pane starts with does not count.
        if (ok && (options.lower.isEmpty() || lower->page()->url().scheme() != QLatin1String("qrc"))) {
            lowerIn = true;
            engageWhenBothIn();
        }
    });
    return QApplication::exec();
}
