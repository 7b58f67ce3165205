#include "core/Form1.h"

#include <array>

#include <QCheckBox>
#include <QApplication>
#include <QCloseEvent>
#include <QTime>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include "common/Colors.h"
#include "common/Format.h"
#include "common/Controls.h"
#include "common/DesignFonts.h"
#include "common/Maker.h"
#include "common/Twips.h"
#include "calculator/Calculator.h"
#include "common/MessageBox.h"
#include "core/Form3.h"
#include "core/SettingsFile.h"
#include "favorites/FavoritesFile.h"
#include "favorites/Launchers.h"
#include "favorites/ProcessStarter.h"
#include "panes/BrowserPane.h"
#include "panes/MainLayout.h"
#include "panes/PaneFactory.h"

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
    double left, top, width, height;
};
constexpr PanePlacement Wb1Design{450, 765, 6945, 3120};
constexpr PanePlacement Wb3Design{450, 4725, 5775, 2040};

constexpr double DesignClientWidth = 13005;
constexpr double DesignClientHeight = 9315;

// Site k's button, in screen order.
constexpr const char *SiteButtons[6] = {"Command3", "Command6", "Command14", "Command16", "Command17", "Command13"};

// The window's controls as the layout arithmetic sees them: twips, read back as stored.
class WindowLayoutTarget final : public MainLayout::Target
{
public:
    WindowLayoutTarget(BrowserPane *wb1, BrowserPane *wb3, const QHash<QString, QWidget *> &controls)
        : m_wb1(wb1)
        , m_wb3(wb3)
        , m_controls(controls)
    {
    }

    double get(MainLayout::Control control, MainLayout::Property property) const override
    {
        using P = MainLayout::Property;
        if (BrowserPane *pane = paneFor(control)) {
            switch (property) {
            case P::Left: return pane->left();
            case P::Top: return pane->top();
            case P::Width: return pane->width();
            case P::Height: return pane->height();
            }
        }
        const QWidget *w = widgetFor(control);
        if (!w)
            return 0;
        switch (property) {
        case P::Left: return Twips::fromPixels(w->x(), Twips::dpiX(w));
        case P::Top: return Twips::fromPixels(w->y(), Twips::dpiY(w));
        case P::Width: return Twips::fromPixels(w->width(), Twips::dpiX(w));
        case P::Height: return Twips::fromPixels(w->height(), Twips::dpiY(w));
        }
        return 0;
    }

    bool set(MainLayout::Control control, MainLayout::Property property, double twips) override
    {
        using P = MainLayout::Property;
        if ((property == P::Width || property == P::Height) && twips < 0)
            return false;
        if (BrowserPane *pane = paneFor(control)) {
            switch (property) {
            case P::Left: pane->setLeft(twips); break;
            case P::Top: pane->setTop(twips); break;
            case P::Width: pane->setWidth(twips); break;
            case P::Height: pane->setHeight(twips); break;
            }
            return true;
        }
        QWidget *w = widgetFor(control);
        if (!w)
            return false;
        QRect g = w->geometry();
        switch (property) {
        case P::Left: g.moveLeft(Twips::toPixels(twips, Twips::dpiX(w))); break;
        case P::Top: g.moveTop(Twips::toPixels(twips, Twips::dpiY(w))); break;
        case P::Width: g.setWidth(Twips::toPixels(twips, Twips::dpiX(w))); break;
        case P::Height: g.setHeight(Twips::toPixels(twips, Twips::dpiY(w))); break;
        }
        w->setGeometry(g);
        return true;
    }

private:
    BrowserPane *paneFor(MainLayout::Control control) const
    {
        if (control == MainLayout::Control::WB1)
            return m_wb1;
        if (control == MainLayout::Control::WB3)
            return m_wb3;
        return nullptr;
    }

    QWidget *widgetFor(MainLayout::Control control) const
    {
        using C = MainLayout::Control;
        static const QHash<C, QString> names = {
            {C::Command18, QStringLiteral("Command18")}, {C::Command19, QStringLiteral("Command19")},
            {C::Command20, QStringLiteral("Command20")}, {C::Image2, QStringLiteral("Image2")},
            {C::Command23, QStringLiteral("Command23")}, {C::Command15, QStringLiteral("Command15")},
            {C::Command24, QStringLiteral("Command24")}, {C::VScroll1, QStringLiteral("VScroll1")},
            {C::VScroll2, QStringLiteral("VScroll2")},   {C::Check1, QStringLiteral("Check1")},
            {C::Check2, QStringLiteral("Check2")},
        };
        return m_controls.value(names.value(control));
    }

    BrowserPane *m_wb1;
    BrowserPane *m_wb3;
    const QHash<QString, QWidget *> &m_controls;
};

} // namespace

Form1::Form1(PaneFactory &panes, const QStringList &arguments, QWidget *parent)
    : QWidget(parent)
    , m_systemStarter(std::make_unique<SystemProcessStarter>())
    , m_starter(m_systemStarter.get())
    , m_ownProgram(QCoreApplication::applicationFilePath())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Doppio Quovadex"));
    setWindowIcon(QIcon(QStringLiteral(":/quovadex/quovadex.svg")));
    setFont(DesignFonts::msSansSerif(8.25, true));
    Colors::setBackColor(this, Colors::LightGrey);
    resize(Twips::toPixels(DesignClientWidth, Twips::dpiX(this)),
           Twips::toPixels(DesignClientHeight, Twips::dpiY(this)));

    m_wb1 = panes.createPane(this);
    m_wb3 = panes.createPane(this);
    m_wb1->widget()->setObjectName(QStringLiteral("WB1"));
    m_wb3->widget()->setObjectName(QStringLiteral("WB3"));
    for (auto [pane, at] : {std::pair{m_wb1, Wb1Design}, std::pair{m_wb3, Wb3Design}}) {
        pane->setLeft(at.left);
        pane->setTop(at.top);
        pane->setWidth(at.width);
        pane->setHeight(at.height);
    }

    buildControls();
    wireControls();
    Comando = arguments.join(QLatin1Char(' '));
    Form_Load();
}

Form1::~Form1()
{
    Form_Unload();
}

template<typename T>
T *Form1::control(const char *name) const
{
    return qobject_cast<T *>(m_controls.value(QLatin1String(name)));
}

QPushButton *Form1::siteButton(int site) const
{
    if (site < 1 || site > 6)
        return nullptr;
    return control<QPushButton>(SiteButtons[site - 1]);
}

void Form1::setSiteCaption(int site, const QString &caption)
{
    // Only a few letters fit on a button; a caption of megabytes would take seconds and
    // hundreds of megabytes at every paint. The whole value stays in the settings.
    constexpr qsizetype MaxShown = 256;
    if (QPushButton *button = siteButton(site))
        button->setText(caption.left(MaxShown));
}

void Form1::buildControls()
{
    for (const ControlSpec &row : Design)
        m_controls.insert(QLatin1String(row.name), createControl(this, row));

    for (const char *name : {"Command22", "Command23"})
        Colors::setBackColor(m_controls.value(QLatin1String(name)), Colors::LightRed);
    for (const char *name : {"Check1", "Check2"}) {
        QWidget *box = m_controls.value(QLatin1String(name));
        Colors::setBackColor(box, Colors::Red);
        Colors::setForeColor(box, Colors::HoldTick);
    }
    control<QCheckBox>("Check3")->setChecked(true);
    control<QRadioButton>("Option2")->setChecked(true);
    static_cast<ShapeCircle *>(m_controls.value(QStringLiteral("Shape1")))->setFillColor(Colors::DarkGreen);
    for (const char *name : {"Label1", "Label2"})
        m_controls.value(QLatin1String(name))->setCursor(Qt::PointingHandCursor);

    auto makeTimer = [this](const char *name, int interval, bool running) {
        auto *timer = new QTimer(this);
        timer->setObjectName(QLatin1String(name));
        timer->setInterval(interval);
        if (running)
            timer->start();
        return timer;
    };
    m_timer1 = makeTimer("Timer1", 1000, false);
    m_timer2 = makeTimer("Timer2", 100, false);
    m_timer3 = makeTimer("Timer3", 100, true);
    m_timer4 = makeTimer("Timer4", 200, true);
}

Form3 *Form1::ensureForm3()
{
    if (!m_form3)
        m_form3 = std::make_unique<Form3>(*this);
    return m_form3.get();
}

void Form1::Form_Load()
{
    // Every step is attempted; none of them can stop start-up or show a message.
    m_wb1->setSilent(true);
    m_wb3->setSilent(true);
    Dirpart = QDir::currentPath();
    m_cycle.reset(120);
    for (const char *name : {"VScroll1", "VScroll2"}) {
        QScrollBar *bar = control<QScrollBar>(name);
        bar->setRange(0, 1000);
        bar->setSingleStep(1);
        bar->setPageStep(1);
    }
    MyFile1 = SettingsFile::existenceTest(Dirpart);
    if (!MyFile1.isEmpty()) {
        const QStringList lines = SettingsFile::read(QDir(Dirpart).filePath(MyFile1));
        QString *variables[SettingsFile::LineCount] = {&TextLine1, &TextLine2, &TextLine3, &TextLine4, &TextLine5,
                                                       &TextLine6, &TextLine7, &TextLine8, &TextLine9, &TextLine10,
                                                       &TextLine11, &Textline12, &Textline13};
        for (int i = 0; i < SettingsFile::LineCount; ++i)
            *variables[i] = lines.value(i);

        Form3 *editor = ensureForm3();
        for (int site = 1; site <= 6; ++site) {
            const QString &caption = *variables[2 * site - 2];
            setSiteCaption(site, caption);
            editor->box(2 * site - 2)->setText(caption);
            editor->box(2 * site - 1)->setText(*variables[2 * site - 1]);
        }
        editor->box(12)->setText(Textline13);
    }
    m_wb1->navigate(Comando.isEmpty() ? Textline13 : Comando);
    m_wb3->navigate(Maker::infoPage());
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_calculator.reset();
    m_form3.reset();
}

void Form1::Form_Resize()
{
    if (!m_wb1 || !m_wb3)
        return;
    const QRect outer = frameGeometry();
    WindowLayoutTarget target(m_wb1, m_wb3, m_controls);
    MainLayout::apply(Twips::fromPixels(outer.height(), Twips::dpiY(this)),
                      Twips::fromPixels(outer.width(), Twips::dpiX(this)), target);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::Command4_Click()
{
    Form3 *editor = ensureForm3();
    if (editor->isVisible()) {
        editor->hide();
    } else {
        editor->show();
        editor->raise();
        editor->activateWindow();
    }
}

void Form1::Command3_Click()
{
    control<QLineEdit>("Text1")->setText(TextLine2);
}

void Form1::Command6_Click()
{
    control<QLineEdit>("Text1")->setText(TextLine4);
}

void Form1::Command14_Click()
{
    control<QLineEdit>("Text1")->setText(TextLine6);
}

void Form1::Command16_Click()
{
    control<QLineEdit>("Text1")->setText(TextLine8);
}

void Form1::Command17_Click()
{
    control<QLineEdit>("Text1")->setText(TextLine10);
}

void Form1::Command13_Click()
{
    control<QLineEdit>("Text1")->setText(Textline12);
}

void Form1::wireControls()
{
    auto onClick = [this](const char *name, void (Form1::*handler)()) {
        connect(control<QPushButton>(name), &QPushButton::clicked, this, handler);
    };
    onClick("Command4", &Form1::Command4_Click);
    onClick("Command3", &Form1::Command3_Click);
    onClick("Command6", &Form1::Command6_Click);
    onClick("Command14", &Form1::Command14_Click);
    onClick("Command16", &Form1::Command16_Click);
    onClick("Command17", &Form1::Command17_Click);
    onClick("Command13", &Form1::Command13_Click);
    onClick("Command5", &Form1::Command5_Click);
    onClick("Command7", &Form1::Command7_Click);
    onClick("Command11", &Form1::Command11_Click);
    onClick("Command22", &Form1::Command22_Click);
    onClick("Command21", &Form1::Command21_Click);
    onClick("Command18", &Form1::Command18_Click);
    onClick("Command19", &Form1::Command19_Click);
    onClick("Command20", &Form1::Command20_Click);
    onClick("Command23", &Form1::Command23_Click);
    onClick("Command24", &Form1::Command24_Click);
    onClick("Command8", &Form1::Command8_Click);
    onClick("Command2", &Form1::Command2_Click);
    onClick("Command26", &Form1::Command26_Click);
    onClick("Command10", &Form1::Command10_Click);
    onClick("Command9", &Form1::Command9_Click);

    auto onLabelClick = [this](const char *name, void (Form1::*handler)()) {
        connect(static_cast<ClickLabel *>(m_controls.value(QLatin1String(name))), &ClickLabel::clicked, this, handler);
    };
    onLabelClick("Image1", &Form1::Image1_Click);
    onLabelClick("Image2", &Form1::Image2_Click);
    onLabelClick("Label2", &Form1::Label2_Click);
    onLabelClick("Label1", &Form1::Label1_Click);
    onLabelClick("Image5", &Form1::Image5_Click);
    onLabelClick("Image6", &Form1::Image6_Click);
    onClick("Command1", &Form1::Command1_Click);
    onClick("Command15", &Form1::Command15_Click);
    onClick("Command25", &Form1::Command25_Click);
    onClick("Command12", &Form1::Command12_Click);

    connect(control<QLineEdit>("Text1"), &QLineEdit::returnPressed, this, [this] { Text1_KeyPress(13); });
    connect(m_wb1, &BrowserPane::gotFocus, this, &Form1::WB1_GotFocus);
    connect(m_wb3, &BrowserPane::gotFocus, this, &Form1::WB3_GotFocus);
    // clicked is raised only by the user's toggling, never by a programmatic change.
    connect(control<QCheckBox>("Check1"), &QCheckBox::clicked, this, &Form1::Check1_Click);
    connect(control<QCheckBox>("Check2"), &QCheckBox::clicked, this, &Form1::Check2_Click);

    connect(control<QListWidget>("List1"), &QListWidget::itemClicked, this, &Form1::List1_Click);
    connect(control<QListWidget>("List1"), &QListWidget::itemActivated, this, &Form1::List1_Click);
    connect(control<QListWidget>("File1"), &QListWidget::itemClicked, this, &Form1::File1_Click);
    connect(control<QListWidget>("File1"), &QListWidget::itemActivated, this, &Form1::File1_Click);

    // An arrow or track click only moves the value; a thumb drag is the bar's Scroll event.
    for (int pane : {1, 2}) {
        QScrollBar *bar = control<QScrollBar>(pane == 1 ? "VScroll1" : "VScroll2");
        ScrollHold &hold = pane == 1 ? m_hold1 : m_hold2;
        connect(bar, &QScrollBar::valueChanged, this, [&hold](int value) { hold.setValue(value); });
        connect(bar, &QScrollBar::sliderMoved, this, pane == 1 ? &Form1::VScroll1_Scroll : &Form1::VScroll2_Scroll);
    }

    connect(control<QRadioButton>("Option1"), &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(control<QRadioButton>("Option2"), &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(control<QRadioButton>("Option3"), &QRadioButton::clicked, this, &Form1::Option3_Click);

    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(m_timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(m_timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(m_timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
}

void Form1::goAddress(BrowserPane *pane)
{
    // The box is read twice, for the navigation and for the history entry.
    pane->navigate(control<QLineEdit>("Text1")->text());
    control<QListWidget>("List1")->addItem(control<QLineEdit>("Text1")->text());
}

void Form1::Command5_Click()
{
    m_wb1->goBack();
}

void Form1::Command7_Click()
{
    m_wb1->goForward();
}

void Form1::Command11_Click()
{
    goAddress(m_wb1);
}

void Form1::Image1_Click()
{
    m_wb1->navigate(Textline13);
}

void Form1::Command22_Click()
{
    m_wb1->stop();
}

void Form1::Command21_Click()
{
    m_wb1->refresh();
}

void Form1::Command18_Click()
{
    m_wb3->goBack();
}

void Form1::Command19_Click()
{
    m_wb3->goForward();
}

void Form1::Command20_Click()
{
    goAddress(m_wb3);
}

void Form1::Image2_Click()
{
    m_wb3->navigate(Maker::infoPage());
}

void Form1::Command23_Click()
{
    m_wb3->stop();
}

void Form1::Command24_Click()
{
    m_wb3->refresh();
}

void Form1::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        control<QPushButton>("Command11")->click();
}

void Form1::showHoldFlag(int pane)
{
    QWidget *box = m_controls.value(pane == 1 ? QStringLiteral("Check1") : QStringLiteral("Check2"));
    const quint32 flag = hold(pane).flag();
    if (Colors::backColor(box) != flag)
        Colors::setBackColor(box, flag);
}

void Form1::WB1_GotFocus()
{
    m_hold1.paneFocused();
    showHoldFlag(1);
}

void Form1::WB3_GotFocus()
{
    m_hold2.paneFocused();
    showHoldFlag(2);
}

void Form1::Check1_Click()
{
    m_hold1.boxClicked(control<QCheckBox>("Check1")->isChecked());
    showHoldFlag(1);
}

void Form1::Check2_Click()
{
    m_hold2.boxClicked(control<QCheckBox>("Check2")->isChecked());
    showHoldFlag(2);
}

void Form1::Command8_Click()
{
    QListWidget *list = control<QListWidget>("List1");
    list->setVisible(!list->isVisible());
    if (list->isVisible())
        list->raise();
}

void Form1::List1_Click()
{
    QListWidget *list = control<QListWidget>("List1");
    if (QListWidgetItem *item = list->currentItem())
        control<QLineEdit>("Text1")->setText(item->text());
    list->hide();
}

QStringList Form1::localPages(const QString &folder)
{
    const QDir dir(folder);
    return dir.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")},
                         QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

void Form1::Command2_Click()
{
    QListWidget *list = control<QListWidget>("File1");
    list->clear();
    list->addItems(localPages(Dirpart));
    list->setVisible(!list->isVisible());
    if (list->isVisible())
        list->raise();
}

void Form1::File1_Click()
{
    QListWidget *list = control<QListWidget>("File1");
    if (QListWidgetItem *item = list->currentItem()) {
        // A folder at the root already ends with the separator; a doubled one would make
        // "//name" here, which reads as a network host rather than a file.
        QString folder = Dirpart;
        if (!folder.endsWith(QDir::separator()) && !folder.endsWith(QLatin1Char('/')))
            folder += QDir::separator();
        control<QLineEdit>("Text1")->setText(QDir::toNativeSeparators(folder + item->text()));
    }
    list->hide();
}

void Form1::Command26_Click()
{
    // Each pane on its own: a page without a body in one pane never keeps the other held.
    if (m_hold1.isHeld())
        m_wb1->setScrollTop(m_hold1.value());
    if (m_hold2.isHeld())
        m_wb3->setScrollTop(m_hold2.value());
}

void Form1::scrollThumbDragged(int pane)
{
    QScrollBar *bar = control<QScrollBar>(pane == 1 ? "VScroll1" : "VScroll2");
    ScrollHold &h = pane == 1 ? m_hold1 : m_hold2;
    if (h.thumbDragged(bar->sliderPosition())) {
        showHoldFlag(pane);
        (pane == 1 ? m_wb1 : m_wb3)->setScrollTop(h.value());
    }
}

void Form1::VScroll1_Scroll()
{
    scrollThumbDragged(1);
}

void Form1::VScroll2_Scroll()
{
    scrollThumbDragged(2);
}

void Form1::Timer3_Timer()
{
    // The label is rewritten on every tick; QLabel ignores an unchanged text, so an idle
    // window repaints the clock once a second, not ten times.
    control<ClickLabel>("Label1")->setText(Format::formatTime(QTime::currentTime(), QStringLiteral("hh:mm:ss")));
    Command26_Click();
}

void Form1::Command10_Click()
{
    control<QPushButton>("Command10")->setText(m_cycle.toggle());
    if (m_cycle.isRunning())
        m_timer1->start();
    else
        m_timer1->stop();
}

void Form1::Timer1_Timer()
{
    static_cast<ShapeCircle *>(m_controls.value(QStringLiteral("Shape1")))->setFillColor(Colors::BrightGreen);
    m_timer2->start();
    const RefreshCycle::Tick tick = m_cycle.tick();
    control<ClickLabel>("Label2")->setText(tick.label);
    if (tick.refresh)
        control<QPushButton>("Command9")->click();
}

void Form1::Timer2_Timer()
{
    static_cast<ShapeCircle *>(m_controls.value(QStringLiteral("Shape1")))->setFillColor(Colors::DarkGreen);
    m_timer2->stop();
}

void Form1::Command9_Click()
{
    if (control<QCheckBox>("Check3")->isChecked()) {
        m_hold1.refreshing();
        showHoldFlag(1);
        m_wb1->refresh();
    }
    if (control<QCheckBox>("Check4")->isChecked()) {
        m_hold2.refreshing();
        showHoldFlag(2);
        m_wb3->refresh();
    }
}

void Form1::Label2_Click()
{
    const bool show = !control<QRadioButton>("Option1")->isVisible();
    for (const char *name : {"Option1", "Option2", "Option3"}) {
        QRadioButton *option = control<QRadioButton>(name);
        option->setVisible(show);
        if (show)
            option->raise();
    }
}

void Form1::chooseInterval(qint16 seconds)
{
    m_cycle.choose(seconds);
    for (const char *name : {"Option1", "Option2", "Option3"})
        control<QRadioButton>(name)->hide();
}

void Form1::Option1_Click()
{
    chooseInterval(60);
}

void Form1::Option2_Click()
{
    chooseInterval(120);
}

void Form1::Option3_Click()
{
    chooseInterval(180);
}

void Form1::Timer4_Timer()
{
    control<ClickLabel>("Image6")->setBorderStyle(0);
    m_timer4->stop();
}

void Form1::setProcessStarter(ProcessStarter *starter)
{
    m_starter = starter ? starter : m_systemStarter.get();
}

void Form1::addFavorite(BrowserPane *pane)
{
    // A file that cannot be written (read-only folder, full disk) is left as it was, silently.
    FavoritesFile::append(FavoritesFile::fileName(), FavoritesFile::line(pane->locationUrl(), pane->locationName()));
}

void Form1::Command1_Click()
{
    addFavorite(m_wb1);
}

void Form1::Command15_Click()
{
    addFavorite(m_wb3);
}

void Form1::Command25_Click()
{
    const QString editor = Launchers::findTextEditor();
    if (!editor.isEmpty())
        m_starter->startDetached(editor, {control<QLineEdit>("Text1")->text()}, QDir::currentPath());
}

void Form1::Command12_Click()
{
    Nuovo = m_wb1->locationUrl();
    // The program's own file, not whatever the PATH finds under its name.
    m_starter->startDetached(m_ownProgram, Nuovo.isEmpty() ? QStringList() : QStringList{Nuovo},
                             QDir::currentPath());
}

void Form1::Label1_Click()
{
    const QString tool = Launchers::findSiblingTool(QCoreApplication::applicationDirPath());
    if (!tool.isEmpty())
        m_starter->startDetached(tool, {}, QDir::currentPath());
}

void Form1::Image6_Click()
{
    control<ClickLabel>("Image6")->setBorderStyle(1);
    m_timer4->start();
    if (!m_calculator) {
        m_calculator = std::make_unique<Calculator>();
        connect(m_calculator.get(), &Calculator::makerSiteRequested, this,
                [this] { m_starter->openUrl(QUrl(Maker::webSite())); });
    }
    m_calculator->show();
    m_calculator->raise();
    m_calculator->activateWindow();
}

void Form1::Image5_Click()
{
    MessageBox::show(this, QMessageBox::Question, QStringLiteral("Quovadex"), Launchers::aboutDisplayText());
}
