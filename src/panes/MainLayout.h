#pragma once

#include <map>
#include <optional>

class BrowserPane;
class QWidget;

// How the main window re-arranges its panes when its size changes. Only the panes and what
// follows them move; the tool rows and the upper pane's left column stay where designed.
namespace MainLayout {

enum class Control {
    UpperPane,      // WB1
    LowerPane,      // WB3
    LowerBack,      // Command18
    LowerForward,   // Command19
    LowerGo,        // Command20
    LowerHome,      // Image2
    LowerStop,      // Command23
    LowerFavorite,  // Command15
    LowerReload,    // Command24
    UpperBar,       // VScroll1
    LowerBar,       // VScroll2
    UpperHoldBox,   // Check1
    LowerHoldBox,   // Check2
};

enum class Property { Left, Top, Width, Height };

// The controls as the toolkit holds them, in twips. set() returns false when the toolkit
// refuses the value (a negative size); the control then keeps its previous value.
class Target
{
public:
    virtual ~Target() = default;
    virtual double get(Control control, Property property) const = 0;
    virtual bool set(Control control, Property property, double twips) = 0;
};

// The twenty assignments, in order, from the window's outer height and width in twips.
// Each step reads back what an earlier step stored; a refused step is skipped and the rest
// still apply. Returns how many steps were refused. upperShare: the upper pane's part of the
// height the two panes have together, moved by the user; the design's where none is given.
int apply(double outerHeight, double outerWidth, Target &target, std::optional<double> upperShare = std::nullopt);

// The real window's panes and widgets, read back in whole pixels as the toolkit stores them.
class WidgetTarget final : public Target
{
public:
    WidgetTarget(BrowserPane &upper, BrowserPane &lower, const std::map<Control, QWidget *> &widgets);

    double get(Control control, Property property) const override;
    bool set(Control control, Property property, double twips) override;

private:
    BrowserPane *paneFor(Control control) const;

    BrowserPane &m_upper;
    BrowserPane &m_lower;
    std::map<Control, QWidget *> m_widgets;
};

} // namespace MainLayout
