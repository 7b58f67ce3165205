#include "common/Controls.h"

#include <limits>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "common/Colors.h"
#include "common/DesignFonts.h"
#include "common/Twips.h"

QFont fontFor(FontRole role)
{
    switch (role) {
    case FontRole::Inherit:
        break;
    case FontRole::SansSerif825:
        return DesignFonts::msSansSerif(8.25, false);
    case FontRole::SansSerif825Bold:
        return DesignFonts::msSansSerif(8.25, true);
    case FontRole::Narrow825:
        return DesignFonts::arialNarrow(8.25, false);
    case FontRole::SansSerif975Bold:
        return DesignFonts::msSansSerif(9.75, true);
    case FontRole::SansSerif975:
        return DesignFonts::msSansSerif(9.75, false);
    case FontRole::SansSerif12Bold:
        return DesignFonts::msSansSerif(12, true);
    case FontRole::System975Bold:
        return DesignFonts::system(9.75, true);
    }
    return QFont();
}

void placeInTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(Twips::toPixelRect(widget->parentWidget() ? widget->parentWidget() : widget,
                                           left, top, width, height));
}

namespace {

QWidget *makeWidget(QWidget *parent, const ControlSpec &row)
{
    const QString caption = QString::fromUtf8(row.caption ? row.caption : "");
    switch (row.kind) {
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::GraphicalButton: {
        auto *button = new QPushButton(caption, parent);
        button->setFlat(true);
        return button;
    }
    case ControlKind::Label: {
        auto *label = new ClickLabel(parent);
        label->setText(caption);
        return label;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::TextBox: {
        auto *edit = new QLineEdit(parent);
        // Addresses and settings values have no length limit; QLineEdit would cut them at 32767
        // characters, and the next save would lose the rest.
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setText(caption);
        return edit;
    }
    case ControlKind::ListBox:
    case ControlKind::FileList:
        return new QListWidget(parent);
    case ControlKind::Option:
        return new QRadioButton(caption, parent);
    case ControlKind::VScroll:
        return new QScrollBar(Qt::Vertical, parent);
    case ControlKind::Picture: {
        auto *picture = new ClickLabel(parent);
        picture->setScaledContents(true);
        if (!caption.isEmpty())
            picture->setPixmap(QPixmap(caption));
        picture->setCursor(Qt::PointingHandCursor);
        return picture;
    }
    case ControlKind::Shape:
        return new ShapeCircle(parent);
    }
    return new QWidget(parent);
}

} // namespace

QWidget *createControl(QWidget *parent, const ControlSpec &row)
{
    QWidget *widget = makeWidget(parent, row);
    widget->setObjectName(QString::fromLatin1(row.name));
    if (row.tooltip && *row.tooltip)
        widget->setToolTip(QString::fromUtf8(row.tooltip));
    if (row.font != FontRole::Inherit)
        widget->setFont(fontFor(row.font));
    placeInTwips(widget, row.left, row.top, row.width, row.height);
    widget->setVisible(row.visible);
    return widget;
}

void ControlSlot::keep(QWidget *widget) const
{
    if (m_member && !m_keep(m_member, widget))
        qFatal("The design's control %s is not of the type its member holds", qPrintable(widget->objectName()));
}

void createControls(QWidget *parent, std::span<const DesignRow> rows)
{
    for (const DesignRow &row : rows)
        row.slot.keep(createControl(parent, row.control));
}

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
}

void ClickLabel::setBorderStyle(int style)
{
    m_borderStyle = style;
    setFrameStyle(style == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

ShapeCircle::ShapeCircle(QWidget *parent)
    : QWidget(parent)
{
}

void ShapeCircle::setFillColor(quint32 bgr)
{
    if (m_fillColor == bgr)
        return;
    m_fillColor = bgr;
    update();
}

void ShapeCircle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Colors::fromBgr(m_fillColor));
    const int side = qMin(width(), height()) - 1;
    painter.drawEllipse(QRect((width() - side) / 2, (height() - side) / 2, side, side));
}
