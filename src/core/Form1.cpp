#include "core/Form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include "common/Colors.h"
#include "common/Controls.h"
#include "common/DesignFonts.h"
#include "common/Maker.h"
#include "common/Twips.h"
#include "core/Form3.h"
#include "core/SettingsFile.h"
#include "panes/BrowserPane.h"
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

} // namespace

Form1::Form1(PaneFactory &panes, const QStringList &arguments, QWidget *parent)
    : QWidget(parent)
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

void Form1::buildControls()
{
    for (const ControlSpec &spec : Design)
        m_controls.insert(QLatin1String(spec.name), createControl(this, spec));

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

    connect(control<QPushButton>("Command4"), &QPushButton::clicked, this, &Form1::Command4_Click);
    const std::array<void (Form1::*)(), 6> siteHandlers = {&Form1::Command3_Click, &Form1::Command6_Click,
                                                           &Form1::Command14_Click, &Form1::Command16_Click,
                                                           &Form1::Command17_Click, &Form1::Command13_Click};
    for (int k = 0; k < 6; ++k)
        connect(siteButton(k + 1), &QPushButton::clicked, this, siteHandlers[k]);

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
    m_refreshCountdown = 120;
    m_refreshPeriod = 120;
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
            siteButton(site)->setText(caption);
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
    m_form3.reset();
}

void Form1::Form_Resize()
{
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
