#pragma once

// How the main window re-arranges its panes when its size changes. Only the panes and what
// follows them move; the tool rows and the upper pane's left column stay where designed.
namespace MainLayout {

enum class Control {
    WB1,
    WB3,
    Command18,
    Command19,
    Command20,
    Image2,
    Command23,
    Command15,
    Command24,
    VScroll1,
    VScroll2,
    Check1,
    Check2,
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
// still apply. Returns how many steps were refused.
int apply(double outerHeight, double outerWidth, Target &target);

} // namespace MainLayout
