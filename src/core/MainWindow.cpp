#include "core/MainWindow.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include "aids/AutoRefresh.h"
#include "aids/Clock.h"
#include "aids/PaneHold.h"
#include "common/Colors.h"
#include "common/Controls.h"
#include "common/DesignFonts.h"
#include "common/Maker.h"
#include "common/Twips.h"
#include "core/MainControls.h"
#include "core/SettingsEditor.h"
#include "core/SettingsFile.h"
#include "core/SiteButtons.h"
#include "favorites/CalculatorLauncher.h"
#include "favorites/FavoritesButton.h"
#include "favorites/Launchers.h"
#include "favorites/ProgramLaunchers.h"
#include "aids/MarketHoursSwitch.h"
#include "panes/AddressBox.h"
#include "panes/BrowserPane.h"
#include "panes/HighlightSwitch.h"
#include "panes/HistoryList.h"
#include "panes/LocalPageList.h"
#include "panes/MainLayout.h"
#include "panes/PaneControls.h"
#include "panes/PaneFactory.h"
#include "panes/PaneSplit.h"
#include "panes/PaneStatus.h"

namespace {

struct PanePlacement
{
    const char *name;
    double left, top, width, height;
};
constexpr PanePlacement UpperPaneDesign{"WB1", 450, 765, 6945, 3120};
constexpr PanePlacement LowerPaneDesign{"WB3", 450, 4725, 5775, 2040};

constexpr double DesignClientWidth = 13005;
constexpr double DesignClientHeight = 9315;

} // namespace

MainWindow::MainWindow(PaneFactory &panes, ProcessStarter &starter, const QString &address, const QString &folder,
                       const Markets &markets, QWidget *parent)
    : QWidget(parent)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Doppio Quovadex"));
    setWindowIcon(QIcon(QStringLiteral(":/quovadex/quovadex.svg")));
    setFont(DesignFonts::msSansSerif(8.25, true));
    Colors::setBackColor(this, Colors::LightGrey);
    resize(Twips::toPixels(DesignClientWidth, Twips::dpiX(this)),
           Twips::toPixels(DesignClientHeight, Twips::dpiY(this)));

    m_upperPane = panes.createPane(this);
    m_lowerPane = panes.createPane(this);
    for (auto [pane, at] : {std::pair{m_upperPane, UpperPaneDesign}, std::pair{m_lowerPane, LowerPaneDesign}}) {
        pane->widget()->setObjectName(QLatin1String(at.name));
        pane->setLeftTwips(at.left);
        pane->setTopTwips(at.top);
        pane->setWidthTwips(at.width);
        pane->setHeightTwips(at.height);
        pane->setWorkingFolder(m_folder);
        connect(pane, &BrowserPane::newWindowRequested, this,
                [this](const QString &page) { emit newWindowAsked(page, m_folder); });
    }

    m_split = new PaneSplit(*m_upperPane, *m_lowerPane, this);
    connect(m_split, &PaneSplit::moved, this, &MainWindow::layOut);
    m_controls.build(this);
    buildParts(starter, markets);
    loadSettings();
    m_upperPane->navigate(address.isEmpty() ? m_settings.startPage : address);
    m_lowerPane->navigate(Maker::infoPage());
}

MainWindow::~MainWindow()
{
    closeSecondaryWindows();
}

void MainWindow::buildParts(ProcessStarter &starter, const Markets &markets)
{
    const MainControls &c = m_controls;
    auto *address = new AddressBox(*c.address, *c.upper.go, this);
    auto *history = new HistoryList(*c.historyList, *c.history, this);
    auto *localPages = new LocalPageList(*c.localPageList, *c.localPages, m_folder, this);
    m_siteButtons = new SiteButtons(c.sites, this);
    connect(history, &HistoryList::addressChosen, address, &AddressBox::setAddress);
    connect(localPages, &LocalPageList::addressChosen, address, &AddressBox::setAddress);
    connect(m_siteButtons, &SiteButtons::addressChosen, address, &AddressBox::setAddress);
    connect(c.configure, &QPushButton::clicked, this, [this] { editor().toggleShown(); });

    auto buttons = [](const MainControls::PaneColumn &column) {
        return PaneControls::Buttons{column.back, column.forward, column.go, column.home, column.stop, column.reload};
    };
    m_upperControls = new PaneControls(*m_upperPane, buttons(c.upper), this);
    auto *lowerControls = new PaneControls(*m_lowerPane, buttons(c.lower), this);
    lowerControls->setHomeAddress(Maker::infoPage());
    for (PaneControls *controls : {m_upperControls, lowerControls}) {
        connect(address, &AddressBox::addressChanged, controls, &PaneControls::setAddress);
        connect(controls, &PaneControls::addressSent, history, &HistoryList::add);
    }

    auto *upperHold = new PaneHold(*c.upper.holdBox, *c.upper.holdBar, *m_upperPane, this);
    auto *lowerHold = new PaneHold(*c.lower.holdBox, *c.lower.holdBar, *m_lowerPane, this);
    const MainControls::Refresh &r = c.refresh;
    auto *refresh = new AutoRefresh({r.toggle, r.reloadNow, r.countdown, r.light, r.intervals},
                                    {{{r.chosen[0], m_upperPane}, {r.chosen[1], m_lowerPane}}}, this);
    auto *clock = new Clock(*c.clock, this);
    for (PaneHold *hold : {upperHold, lowerHold})
        connect(c.applyHolds, &QPushButton::clicked, hold, &PaneHold::applyHeldOffset);

    new FavoritesButton(*c.upper.favorite, *m_upperPane, m_folder, this);
    new FavoritesButton(*c.lower.favorite, *m_lowerPane, m_folder, this);
    new HighlightSwitch(*m_upperPane, ProgramSettings::Pane::Upper, this);
    new HighlightSwitch(*m_lowerPane, ProgramSettings::Pane::Lower, this);
    const std::pair<BrowserPane *, ProgramSettings::Pane> panes[] = {{m_upperPane, ProgramSettings::Pane::Upper},
                                                                     {m_lowerPane, ProgramSettings::Pane::Lower}};
    for (const auto &[pane, which] : panes) {
        pane->keepZoomPerSite(which);
        auto *status = new PaneStatus(*pane, this);
        connect(refresh, &AutoRefresh::cycleChanged, status, &PaneStatus::setCycle);
        auto *hours = new MarketHoursSwitch(*pane, which, markets, MarketId::BorsaItaliana, systemClock(), this);
        connect(hours, &MarketHoursSwitch::reopeningChanged, status, &PaneStatus::setMarketClosed);
        connect(hours, &MarketHoursSwitch::automaticRefreshHeld, refresh,
                [refresh, pane](bool held) { refresh->holdAutomaticRefresh(*pane, held); });
        hours->check();
    }
    auto *launchers = new ProgramLaunchers({c.edit, c.newWindow, c.clock}, *m_upperPane, starter, m_folder, this);
    connect(address, &AddressBox::addressChanged, launchers, &ProgramLaunchers::setAddress);
    connect(launchers, &ProgramLaunchers::newWindowAsked, this,
            [this](const QString &page) { emit newWindowAsked(page, m_folder); });
    m_calculator = new CalculatorLauncher(*c.calculator, starter, this);
    // The design's timers, under the names a reader holding the design looks for.
    const std::pair<QTimer *, const char *> timers[] = {{&refresh->cycleTimer(), "Timer1"},
                                                        {&refresh->flashTimer(), "Timer2"},
                                                        {&clock->clockTimer(), "Timer3"},
                                                        {&m_calculator->calculatorTimer(), "Timer4"}};
    for (const auto &[timer, name] : timers)
        timer->setObjectName(QLatin1String(name));
    connect(c.info, &ClickLabel::clicked, this, [this] { Launchers::showAbout(this); });
    address->announce();
}

void MainWindow::loadSettings()
{
    // Without a settings file the buttons keep their empty captions and the editor is made
    // only when "Configura" asks for it.
    const QString name = SettingsFile::existenceTest(m_folder);
    if (name.isEmpty())
        return;
    const SiteSettings loaded = SiteSettings::fromLines(SettingsFile::read(QDir(m_folder).filePath(name)));
    applySettings(loaded);
    editor().setSettings(loaded);
}

void MainWindow::applySettings(const SiteSettings &settings)
{
    m_settings = settings;
    m_siteButtons->setSites(settings.sites);
    m_upperControls->setHomeAddress(settings.startPage);
}

SettingsEditor &MainWindow::editor()
{
    if (!m_editor) {
        m_editor = std::make_unique<SettingsEditor>(QDir(m_folder).filePath(SettingsFile::fileName()));
        connect(m_editor.get(), &SettingsEditor::saved, this, &MainWindow::applySettings);
    }
    return *m_editor;
}

void MainWindow::closeSecondaryWindows()
{
    m_calculator->close();
    m_editor.reset();
}

void MainWindow::layOut()
{
    // Resize events come while the constructor is still building the controls.
    if (!m_calculator)
        return;
    using C = MainLayout::Control;
    const MainControls &c = m_controls;
    MainLayout::WidgetTarget target(*m_upperPane, *m_lowerPane,
                                    {{C::LowerBack, c.lower.back},       {C::LowerForward, c.lower.forward},
                                     {C::LowerGo, c.lower.go},           {C::LowerHome, c.lower.home},
                                     {C::LowerStop, c.lower.stop},       {C::LowerFavorite, c.lower.favorite},
                                     {C::LowerReload, c.lower.reload},   {C::UpperBar, c.upper.holdBar},
                                     {C::LowerBar, c.lower.holdBar},     {C::UpperHoldBox, c.upper.holdBox},
                                     {C::LowerHoldBox, c.lower.holdBox}});
    // The arithmetic takes the outer (frame) size, as the window always measured itself.
    const QRect outer = frameGeometry();
    MainLayout::apply(Twips::fromPixels(outer.height(), Twips::dpiY(this)),
                      Twips::fromPixels(outer.width(), Twips::dpiX(this)), target, m_split->share());
    m_split->place();
}

void MainWindow::restoreLayout(bool place)
{
    m_split->setShare(ProgramSettings::paneSplit());
    if (place)
        restorePlace(ProgramSettings::layout(ProgramSettings::Layout::MainWindow));
    layOut();
}

void MainWindow::restorePlace(const QByteArray &geometry)
{
    if (!restoreGeometry(geometry) || isMaximized() || isFullScreen())
        return;
    // Qt brings a place saved on a screen that is gone back onto one on some platforms only:
    // the window's top, where it is taken to be moved, must be on a screen.
    const QRect frame = frameGeometry();
    const QRect top(frame.topLeft(), QSize(frame.width(), 30));
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty() || std::any_of(screens.cbegin(), screens.cend(), [&top](const QScreen *screen) {
            const QRect seen = screen->availableGeometry().intersected(top);
            return seen.width() >= qMin(100, top.width()) && seen.height() >= 10;
        }))
        return;
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    resize(size().boundedTo(room.size()));
    move(room.topLeft());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    ProgramSettings::setLayout(ProgramSettings::Layout::MainWindow, saveGeometry());
    ProgramSettings::setPaneSplit(m_split->share());
    closeSecondaryWindows();
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layOut();
}
