#pragma once

#include <span>

#include <QLabel>
#include <QWidget>

// The windows are built from their design tables: one row per control, read by one loop.
// These are the row type, the widget kinds the designs use, and the factory.

enum class ControlKind {
    Button,
    GraphicalButton, // button painted with its BackColor
    Label,
    CheckBox,
    TextBox,
    ListBox,
    FileList,
    Option,
    VScroll,
    Picture,
    Shape,
};

enum class FontRole {
    Inherit,             // the window's own font
    SansSerif825,        // MS Sans Serif 8.25 pt
    SansSerif825Bold,
    Narrow825,           // Arial Narrow 8.25 pt
    SansSerif975Bold,
    SansSerif975,
    SansSerif12Bold,
    System975Bold,
};

struct ControlSpec
{
    const char *name;
    ControlKind kind;
    const char *caption; // UTF-8; for a picture, the resource path of its image
    const char *tooltip;
    double left;
    double top;
    double width;
    double height;
    bool visible;
    FontRole font;
};

QFont fontFor(FontRole role);

// Creates the control as a child of parent, with its designer name as object name, its
// caption, tooltip, font, visibility and design position.
QWidget *createControl(QWidget *parent, const ControlSpec &row);

void placeInTwips(QWidget *widget, double left, double top, double width, double height);

// Where the control made from a design row is kept: a typed member of the window's controls,
// or nowhere for a control that no code drives. Whether the row's kind makes a widget of the
// member's type is checked when the control is made; a row that does not stops the program
// with the control's name, so that no window is ever built with a member of the wrong type.
class ControlSlot final
{
public:
    ControlSlot() = default;
    template<typename T>
    ControlSlot(T *&member)
        : m_member(&member)
        , m_keep([](void *member, QWidget *widget) {
            *static_cast<T **>(member) = qobject_cast<T *>(widget);
            return *static_cast<T **>(member) != nullptr;
        })
    {
    }

    void keep(QWidget *widget) const;

private:
    void *m_member = nullptr;
    bool (*m_keep)(void *member, QWidget *widget) = nullptr;
};

struct DesignRow
{
    ControlSlot slot;
    ControlSpec control;
};

// Makes every row's control as a child of parent, in the table's order, and keeps each in its
// slot.
void createControls(QWidget *parent, std::span<const DesignRow> rows);

// A label or picture that reports clicks and can show a single-line border
// (border style 0 or 1), as the design's pictures and clickable labels do.
class ClickLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickLabel)
public:
    explicit ClickLabel(QWidget *parent = nullptr);

    void setBorderStyle(int style);
    int borderStyle() const { return m_borderStyle; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_borderStyle = 0;
};

// A filled circle, the design's "Shape" control.
class ShapeCircle final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShapeCircle)
public:
    explicit ShapeCircle(QWidget *parent = nullptr);

    void setFillColor(quint32 bgr);
    quint32 fillColor() const { return m_fillColor; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 m_fillColor = 0;
};
