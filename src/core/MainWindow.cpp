#include "core/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "aids/AutoRefresh.h"
#include "aids/Clock.h"
#include "aids/PaneHold.h"
#include "common/Colors.h"
#include "common/Controls.h"
#include "common/DesignFonts.h"
#include "common/Maker.h"
#include "common/Twips.h"
#include "core/SettingsEditor.h"
#include "core/SettingsFile.h"
#include "core/SiteButtons.h"
#include "favorites/CalculatorLauncher.h"
#include "favorites/FavoritesButton.h"
#include "favorites/Launchers.h"
#include "favorites/ProgramLaunchers.h"
#include "panes/AddressBox.h"
#include "panes/BrowserPane.h"
#include "panes/HighlightSwitch.h"
#include "panes/HistoryList.h"
#include "panes/LocalPageList.h"
#include "panes/MainLayout.h"
#include "panes/PaneControls.h"
#include "panes/PaneFactory.h"
#include "panes/PaneStatus.h"

namespace {

using K = ControlKind;
using F = FontRole;

// The window's design: every control with its kind, caption, tooltip and position in twips.
// Pictures name their image as caption.
const ControlSpec Design[] = {
    // Top tool rows.
    {"Command2", K::Button, "File", "", 90, 45, 420, 285, true, F::Narrow825},
    {"Command3", K::Button, "", "", 630, 45, 780, 285, true, F::Narrow825},
    {"Command6", K::Button, "", "", 1440, 45, 870, 285, true, F::Narrow825},
    {"Command14", K::Button, "", "", 2340, 45, 780, 285, true, F::Narrow825},
    {"Command16", K::Button, "", "", 3150, 45, 780, 285, true, F::Narrow825},
    {"Command17", K::Button, "", "", 3960, 45, 825, 285, true, F::Narrow825},
    {"Command13", K::Button, "", "", 4815, 45, 870, 285, true, F::Narrow825},
    {"Command4", K::Button, "Configura", "", 5895, 45, 735, 285, true, F::Narrow825},
    {"Shape1", K::Shape, "", "", 6840, 90, 240, 195, true, F::Inherit},
    {"Label2", K::Label, "000", "", 7245, 45, 420, 240, true, F::SansSerif975Bold},
    {"Check3", K::CheckBox, "Br1", "", 7740, 45, 555, 330, true, F::SansSerif825},
    {"Label1", K::Label, "12.60.60", "Aggiorna il Tempo", 8370, 45, 870, 240, true, F::SansSerif975Bold},
    {"Command8", K::Button, "Storico", "", 9360, 45, 735, 285, true, F::Narrow825},
    {"Image6", K::Picture, ":/quovadex/calculator.svg", "Euro Calcolatore", 10170, 135, 450, 480, true, F::Inherit},
    {"Image5", K::Picture, ":/quovadex/info.svg", "Info", 10665, 135, 480, 480, true, F::Inherit},
    {"Text1", K::TextBox, "http://", "", 90, 405, 6540, 285, true, F::SansSerif825},
    {"Command25", K::Button, "Edit", "Edita il file Preferiti", 6705, 405, 465, 285, true, F::Narrow825},
    {"Command10", K::Button, "Auto", "Abilital'aggiornamento automatico", 7245, 405, 420, 285, true, F::Narrow825},
    {"Check4", K::CheckBox, "Br2", "", 7740, 450, 555, 240, true, F::SansSerif825},
    {"Command9", K::Button, "Aggiorna", "", 8370, 405, 870, 285, true, F::Narrow825},
    {"Command12", K::Button, "Nuova", "", 9360, 405, 735, 285, true, F::Narrow825},
    {"Command26", K::Button, "Controllo Scroll", "", 11250, 405, 1185, 285, false, F::SansSerif825},
    // Upper pane's column and scroll hold.
    {"Command5", K::Button, "<", "Indietro", 90, 765, 285, 420, true, F::Inherit},
    {"Command7", K::Button, ">", "Avanti", 90, 1260, 285, 420, true, F::Inherit},
    {"Command11", K::Button, "GO", "Vai alla pagina", 90, 1755, 285, 600, true, F::Inherit},
    {"Image1", K::Picture, ":/quovadex/home.svg", "Home", 45, 2475, 405, 345, true, F::Inherit},
    {"Command22", K::GraphicalButton, "X", "Stop", 90, 2925, 285, 285, true, F::Inherit},
    {"Command1", K::Button, "+P", "Aggiungi a Preferiti", 90, 3285, 285, 465, true, F::Inherit},
    {"Command21", K::Button, "A", "Aggiorna la pagina", 90, 3825, 285, 375, true, F::Inherit},
    {"Check1", K::CheckBox, "", "", 12690, 765, 240, 195, true, F::SansSerif825},
    {"VScroll1", K::VScroll, "", "", 12690, 990, 240, 2760, true, F::Inherit},
    // Lower pane's column and scroll hold.
    {"Command18", K::Button, "<", "Indietro", 90, 4725, 285, 420, true, F::Inherit},
    {"Command19", K::Button, ">", "Avanti", 90, 5220, 285, 420, true, F::Inherit},
    {"Command20", K::Button, "GO", "Vai alla pagina", 90, 5715, 285, 600, true, F::Inherit},
    {"Image2", K::Picture, ":/quovadex/home.svg", "Home", 45, 6435, 405, 345, true, F::Inherit},
    {"Command23", K::GraphicalButton, "X", "Stop", 90, 6885, 285, 285, true, F::Inherit},
    {"Command15", K::Button, "+P", "Aggiungi a Preferiti", 90, 7245, 285, 510, true, F::Inherit},
    {"Command24", K::Button, "A", "Aggiorna la pagina", 90, 7830, 285, 375, true, F::Inherit},
    {"Check2", K::CheckBox, "", "", 12690, 4005, 240, 195, true, F::SansSerif825},
    {"VScroll2", K::VScroll, "", "", 12690, 4230, 240, 3165, true, F::Inherit},
    // Lists and options that lie over the upper pane when shown; last, so they are on top.
    {"File1", K::FileList, "", "", 450, 765, 4695, 2625, false, F::Inherit},
    {"List1", K::ListBox, "", "", 2430, 765, 5730, 1425, false, F::SansSerif825},
    {"Option1", K::Option, "1 min.", "", 7335, 765, 915, 510, false, F::Inherit},
    {"Option2", K::Option, "2 min.", "", 7335, 1260, 915, 510, false, F::Inherit},
    {"Option3", K::Option, "3 min.", "", 7335, 1755, 915, 510, false, F::Inherit},
};

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

MainWindow::MainWindow(PaneFactory &panes, ProcessStarter &starter, const QStringList &arguments, QWidget *parent)
    : MainWindow(panes, starter, arguments.join(QLatin1Char(' ')), QDir::currentPath(), parent)
{
}

MainWindow::MainWindow(PaneFactory &panes, ProcessStarter &starter, const QString &address, const QString &folder,
                       QWidget *parent)
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
        // No dialog of a page's own ever shows.
        pane->setSilent(true);
        pane->setWorkingFolder(m_folder);
        connect(pane, &BrowserPane::newWindowRequested, this,
                [this](const QString &page) { emit newWindowAsked(page, m_folder); });
        new PaneStatus(*pane, this);
    }

    buildControls();
    buildParts(starter);
    loadSettings();
    m_upperPane->navigate(address.isEmpty() ? m_settings.startPage : address);
    m_lowerPane->navigate(Maker::infoPage());
}

MainWindow::~MainWindow()
{
    closeSecondaryWindows();
}

template<typename T>
T &MainWindow::control(const char *name) const
{
    return *static_cast<T *>(m_controls.value(QLatin1String(name)));
}

void MainWindow::buildControls()
{
    for (const ControlSpec &row : Design)
        m_controls.insert(QLatin1String(row.name), createControl(this, row));
    for (const char *name : {"Command22", "Command23"})
        Colors::setBackColor(m_controls.value(QLatin1String(name)), Colors::LightRed);
}

void MainWindow::buildParts(ProcessStarter &starter)
{
    auto &addressText = control<QLineEdit>("Text1");
    auto *address = new AddressBox(addressText, control<QPushButton>("Command11"), this);
    auto *history = new HistoryList(control<QListWidget>("List1"), control<QPushButton>("Command8"), this);
    auto *localPages = new LocalPageList(control<QListWidget>("File1"), control<QPushButton>("Command2"), m_folder, this);
    m_siteButtons = new SiteButtons({&control<QPushButton>("Command3"), &control<QPushButton>("Command6"),
                                     &control<QPushButton>("Command14"), &control<QPushButton>("Command16"),
                                     &control<QPushButton>("Command17"), &control<QPushButton>("Command13")},
                                    this);
    connect(history, &HistoryList::addressChosen, address, &AddressBox::setAddress);
    connect(localPages, &LocalPageList::addressChosen, address, &AddressBox::setAddress);
    connect(m_siteButtons, &SiteButtons::addressChosen, address, &AddressBox::setAddress);
    connect(&control<QPushButton>("Command4"), &QPushButton::clicked, this, [this] { editor().toggleShown(); });

    m_upperControls = new PaneControls(*m_upperPane,
                                       {&control<QPushButton>("Command5"), &control<QPushButton>("Command7"),
                                        &control<QPushButton>("Command11"), &control<ClickLabel>("Image1"),
                                        &control<QPushButton>("Command22"), &control<QPushButton>("Command21")},
                                       addressText, this);
    auto *lowerControls = new PaneControls(*m_lowerPane,
                                           {&control<QPushButton>("Command18"), &control<QPushButton>("Command19"),
                                            &control<QPushButton>("Command20"), &control<ClickLabel>("Image2"),
                                            &control<QPushButton>("Command23"), &control<QPushButton>("Command24")},
                                           addressText, this);
    lowerControls->setHomeAddress(Maker::infoPage());
    for (PaneControls *controls : {m_upperControls, lowerControls})
        connect(controls, &PaneControls::addressSent, history, &HistoryList::add);

    auto *upperHold = new PaneHold(control<QCheckBox>("Check1"), control<QScrollBar>("VScroll1"), *m_upperPane, this);
    auto *lowerHold = new PaneHold(control<QCheckBox>("Check2"), control<QScrollBar>("VScroll2"), *m_lowerPane, this);
    auto *refresh = new AutoRefresh({&control<QPushButton>("Command10"), &control<QPushButton>("Command9"),
                                     &control<ClickLabel>("Label2"), &control<ShapeCircle>("Shape1"),
                                     {&control<QRadioButton>("Option1"), &control<QRadioButton>("Option2"),
                                      &control<QRadioButton>("Option3")}},
                                    {{{&control<QCheckBox>("Check3"), m_upperPane},
                                      {&control<QCheckBox>("Check4"), m_lowerPane}}},
                                    this);
    connect(refresh, &AutoRefresh::paneReloading, this,
            [upperHold, lowerHold](int pane) { (pane == 0 ? upperHold : lowerHold)->reengage(); });
    new Clock(control<ClickLabel>("Label1"), this);
    for (PaneHold *hold : {upperHold, lowerHold})
        connect(&control<QPushButton>("Command26"), &QPushButton::clicked, hold, &PaneHold::applyHeldOffset);

    new FavoritesButton(control<QPushButton>("Command1"), *m_upperPane, m_folder, this);
    new FavoritesButton(control<QPushButton>("Command15"), *m_lowerPane, m_folder, this);
    new HighlightSwitch(*m_upperPane, QStringLiteral("sopra"), this);
    new HighlightSwitch(*m_lowerPane, QStringLiteral("sotto"), this);
    auto *launchers = new ProgramLaunchers({&control<QPushButton>("Command25"), &control<QPushButton>("Command12"),
                                            &control<ClickLabel>("Label1")},
                                           addressText, *m_upperPane, starter, m_folder, this);
    connect(launchers, &ProgramLaunchers::newWindowAsked, this,
            [this](const QString &page) { emit newWindowAsked(page, m_folder); });
    m_calculator = new CalculatorLauncher(control<ClickLabel>("Image6"), starter, this);
    connect(&control<ClickLabel>("Image5"), &ClickLabel::clicked, this, [this] { Launchers::showAbout(this); });
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
    auto w = [this](const char *name) { return m_controls.value(QLatin1String(name)); };
    MainLayout::WidgetTarget target(*m_upperPane, *m_lowerPane,
                                    {{C::LowerBack, w("Command18")},    {C::LowerForward, w("Command19")},
                                     {C::LowerGo, w("Command20")},      {C::LowerHome, w("Image2")},
                                     {C::LowerStop, w("Command23")},    {C::LowerFavorite, w("Command15")},
                                     {C::LowerReload, w("Command24")},  {C::UpperBar, w("VScroll1")},
                                     {C::LowerBar, w("VScroll2")},      {C::UpperHoldBox, w("Check1")},
                                     {C::LowerHoldBox, w("Check2")}});
    // The arithmetic takes the outer (frame) size, as the window always measured itself.
    const QRect outer = frameGeometry();
    MainLayout::apply(Twips::fromPixels(outer.height(), Twips::dpiY(this)),
                      Twips::fromPixels(outer.width(), Twips::dpiX(this)), target);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
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
