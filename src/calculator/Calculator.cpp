#include "calculator/Calculator.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "common/Colors.h"
#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/Twips.h"

namespace {

enum class Key { Readout, Conversion, Digit, Operator, Decimal, Percent, CancelEntry, Cancel, Euro, Lire, Picture };

struct KeypadRow
{
    ControlSpec control;
    Key key;
    int index; // Index within the Number or Operator control array
};

constexpr double ClientWidth = 3180;
constexpr double ClientHeight = 3915;

constexpr quint32 Yellow = 0x00FFFF; // 0x00BBGGRR
constexpr quint32 Cyan = 0xFFFF00;

constexpr auto L = ControlKind::Label;
constexpr auto B = ControlKind::Button;
constexpr auto P = ControlKind::Picture;
constexpr auto Big = FontRole::SansSerif12Bold;
constexpr auto Own = FontRole::Inherit; // the window's "System" font

// clang-format off
const KeypadRow Design[] = {
    // name           kind caption  tip   left   top   width height visible font  key               index
    {{"Readout",      L, "0.",       "",    90,   45, 3000, 375, true, Big}, Key::Readout,     -1},
    {{"Command1",     B, "Euro",     "",    90,  540, 1005, 420, true, Own}, Key::Euro,        -1},
    {{"Image1",       P, ":/calculator/euro-lire.svg", "", 1170, 540, 825, 435, true, Own}, Key::Picture, -1},
    {{"Command2",     B, "Lire",     "",  2070,  540, 1005, 420, true, Own}, Key::Lire,        -1},
    {{"Label1",       L, "0.",       "",    90, 1035, 2985, 375, true, Big}, Key::Conversion,  -1},
    {{"Number(7)",    B, "7",        "",    75, 1545,  480, 480, true, Own}, Key::Digit,        7},
    {{"Number(8)",    B, "8",        "",   675, 1545,  480, 480, true, Own}, Key::Digit,        8},
    {{"Number(9)",    B, "9",        "",  1275, 1545,  480, 480, true, Own}, Key::Digit,        9},
    {{"Cancel",       B, "C",        "",  1995, 1545,  480, 480, true, Own}, Key::Cancel,      -1},
    {{"CancelEntry",  B, "CE",       "",  2595, 1545,  480, 480, true, Own}, Key::CancelEntry, -1},
    {{"Number(4)",    B, "4",        "",    75, 2145,  480, 480, true, Own}, Key::Digit,        4},
    {{"Number(5)",    B, "5",        "",   675, 2145,  480, 480, true, Own}, Key::Digit,        5},
    {{"Number(6)",    B, "6",        "",  1275, 2145,  480, 480, true, Own}, Key::Digit,        6},
    {{"Operator(1)",  B, "+",        "",  1995, 2145,  480, 480, true, Own}, Key::Operator,     1},
    {{"Operator(3)",  B, "-",        "",  2595, 2145,  480, 480, true, Own}, Key::Operator,     3},
    {{"Number(1)",    B, "1",        "",    75, 2745,  480, 480, true, Own}, Key::Digit,        1},
    {{"Number(2)",    B, "2",        "",   675, 2745,  480, 480, true, Own}, Key::Digit,        2},
    {{"Number(3)",    B, "3",        "",  1275, 2745,  480, 480, true, Own}, Key::Digit,        3},
    {{"Operator(2)",  B, "X",        "",  1995, 2745,  480, 480, true, Own}, Key::Operator,     2},
    {{"Operator(0)",  B, "/",        "",  2595, 2745,  480, 480, true, Own}, Key::Operator,     0},
    {{"Number(0)",    B, "0",        "",    75, 3345, 1080, 480, true, Own}, Key::Digit,        0},
    {{"Decimal",      B, ".",        "",  1275, 3345,  480, 480, true, Own}, Key::Decimal,     -1},
    {{"Operator(4)",  B, "=",        "",  1995, 3345,  480, 480, true, Own}, Key::Operator,     4},
    {{"Percent",      B, "%",        "",  2595, 3345,  480, 480, true, Own}, Key::Percent,     -1},
};
// clang-format on

} // namespace

Calculator::Calculator(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Calculator"));
    setWindowTitle(QStringLiteral("Euro Calcolatore Q.V."));
    setFont(fontFor(FontRole::System975Bold));
    setFixedSize(Twips::toPixels(ClientWidth, Twips::dpiX(this)), Twips::toPixels(ClientHeight, Twips::dpiY(this)));
    buildControls();
    Form_Load();
}

Calculator::~Calculator() = default;

void Calculator::buildControls()
{
    for (const KeypadRow &row : Design) {
        QWidget *widget = createControl(this, row.control);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            // The keys are for the mouse only: no focus, so no key ever presses them, and
            // no default button for Enter.
            button->setFocusPolicy(Qt::NoFocus);
            button->setAutoDefault(false);
            button->setDefault(false);
        }

        const int index = row.index;
        const auto onClick = [this, widget](auto handler) {
            connect(static_cast<QPushButton *>(widget), &QPushButton::clicked, this, handler);
        };
        switch (row.key) {
        case Key::Digit:
            onClick([this, index] { Number_Click(index); });
            break;
        case Key::Operator:
            onClick([this, index] { Operator_Click(index); });
            break;
        case Key::Decimal:
            onClick([this] { Decimal_Click(); });
            break;
        case Key::Percent:
            onClick([this] { Percent_Click(); });
            break;
        case Key::CancelEntry:
            onClick([this] { CancelEntry_Click(); });
            break;
        case Key::Cancel:
            onClick([this] { Cancel_Click(); });
            break;
        case Key::Euro:
            m_controls.euro = qobject_cast<QPushButton *>(widget);
            onClick([this] { Command1_Click(); });
            break;
        case Key::Lire:
            m_controls.lire = qobject_cast<QPushButton *>(widget);
            onClick([this] { Command2_Click(); });
            break;
        case Key::Picture:
            m_controls.picture = qobject_cast<ClickLabel *>(widget);
            connect(m_controls.picture, &ClickLabel::clicked, this, &Calculator::Image1_Click);
            break;
        case Key::Readout:
            m_controls.readout = qobject_cast<QLabel *>(widget);
            break;
        case Key::Conversion:
            m_controls.conversion = qobject_cast<QLabel *>(widget);
            break;
        }
    }

    for (QLabel *label : {m_controls.readout, m_controls.conversion}) {
        label->setTextFormat(Qt::PlainText);
        label->setIndent(4);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Colors::setBackColor(m_controls.readout, Yellow);
    Colors::setBackColor(m_controls.conversion, Cyan);
}

void Calculator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_loadPending)
        Form_Load();
}

void Calculator::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // Closing unloads the window; it loads afresh when it is shown again.
    if (event->isAccepted())
        m_loadPending = true;
}

void Calculator::Form_Load()
{
    m_loadPending = false;
    // A new engine rather than only its load step: unloading also forgets the operands
    // and the conversion label, which the load step leaves alone.
    m_engine = std::make_unique<CalculatorEngine>(QLocale());
    m_engine->setDivisionByZeroHandler([this] {
        MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Calculator"), QStringLiteral("Can't divide by zero"));
    });
    showEngineState();
}

void Calculator::Number_Click(int index)
{
    m_engine->Number_Click(index);
    showEngineState();
}

void Calculator::Operator_Click(int index)
{
    m_engine->Operator_Click(index);
    showEngineState();
}

void Calculator::Decimal_Click()
{
    m_engine->Decimal_Click();
    showEngineState();
}

void Calculator::Percent_Click()
{
    m_engine->Percent_Click();
    showEngineState();
}

void Calculator::CancelEntry_Click()
{
    m_engine->CancelEntry_Click();
    showEngineState();
}

void Calculator::Cancel_Click()
{
    m_engine->Cancel_Click();
    showEngineState();
}

void Calculator::Command1_Click()
{
    m_engine->Command1_Click();
    showEngineState();
}

void Calculator::Command2_Click()
{
    m_engine->Command2_Click();
    showEngineState();
}

void Calculator::Image1_Click()
{
    emit makerSiteRequested();
}

void Calculator::showEngineState()
{
    m_controls.readout->setText(m_engine->readout());
    m_controls.conversion->setText(m_engine->label1());
}
