#include "panes/MainLayout.h"

#include <QWidget>

#include "common/Twips.h"
#include "panes/BrowserPane.h"

namespace MainLayout {

int apply(double H, double W, Target &t, std::optional<double> upperShare)
{
    using C = Control;
    using P = Property;
    int refused = 0;
    // Values go to the controls as single-precision numbers, as the window always did.
    auto set = [&](C control, P property, double value) {
        if (!t.set(control, property, static_cast<float>(value)))
            ++refused;
    };
    auto below = [&](C upper) { return t.get(upper, P::Top) + t.get(upper, P::Height) + 90; };

    double upperHeight = H / 1.2 / 2;
    double lowerHeight = H / 1.08 / 2;
    // The boundary moves; the panes' total height and everything around them stay.
    if (upperShare) {
        const double both = upperHeight + lowerHeight;
        upperHeight = both * *upperShare;
        lowerHeight = both - upperHeight;
    }
    set(C::UpperPane, P::Height, upperHeight);
    set(C::UpperPane, P::Width, W / 1.06);
    set(C::LowerPane, P::Height, lowerHeight);
    set(C::LowerPane, P::Width, W / 1.06);
    set(C::LowerPane, P::Top, t.get(C::UpperPane, P::Height) + t.get(C::UpperPane, P::Top) + 100);
    set(C::LowerBack, P::Top, t.get(C::LowerPane, P::Top));
    set(C::LowerForward, P::Top, below(C::LowerBack));
    set(C::LowerGo, P::Top, below(C::LowerForward));
    set(C::LowerHome, P::Top, below(C::LowerGo));
    set(C::LowerStop, P::Top, below(C::LowerHome));
    set(C::LowerFavorite, P::Top, below(C::LowerStop));
    set(C::LowerReload, P::Top, below(C::LowerFavorite));
    set(C::UpperBar, P::Height, t.get(C::UpperPane, P::Height) - t.get(C::UpperHoldBox, P::Height));
    set(C::LowerBar, P::Height, t.get(C::LowerPane, P::Height) - t.get(C::LowerHoldBox, P::Height));
    set(C::LowerBar, P::Top, t.get(C::LowerPane, P::Top) + t.get(C::LowerHoldBox, P::Height));
    set(C::UpperBar, P::Left, t.get(C::UpperPane, P::Width) + t.get(C::UpperPane, P::Left));
    set(C::LowerBar, P::Left, t.get(C::UpperPane, P::Width) + t.get(C::UpperPane, P::Left));
    set(C::UpperHoldBox, P::Left, t.get(C::UpperBar, P::Left));
    set(C::LowerHoldBox, P::Left, t.get(C::UpperBar, P::Left));
    set(C::LowerHoldBox, P::Top, t.get(C::LowerPane, P::Top));
    return refused;
}

WidgetTarget::WidgetTarget(BrowserPane &upper, BrowserPane &lower, const std::map<Control, QWidget *> &widgets)
    : m_upper(upper)
    , m_lower(lower)
    , m_widgets(widgets)
{
}

BrowserPane *WidgetTarget::paneFor(Control control) const
{
    if (control == Control::UpperPane)
        return &m_upper;
    if (control == Control::LowerPane)
        return &m_lower;
    return nullptr;
}

double WidgetTarget::get(Control control, Property property) const
{
    using P = Property;
    if (const BrowserPane *pane = paneFor(control)) {
        switch (property) {
        case P::Left: return pane->leftTwips();
        case P::Top: return pane->topTwips();
        case P::Width: return pane->widthTwips();
        case P::Height: return pane->heightTwips();
        }
    }
    const auto found = m_widgets.find(control);
    if (found == m_widgets.end())
        return 0;
    const QWidget *w = found->second;
    switch (property) {
    case P::Left: return Twips::fromPixels(w->x(), Twips::dpiX(w));
    case P::Top: return Twips::fromPixels(w->y(), Twips::dpiY(w));
    case P::Width: return Twips::fromPixels(w->width(), Twips::dpiX(w));
    case P::Height: return Twips::fromPixels(w->height(), Twips::dpiY(w));
    }
    return 0;
}

bool WidgetTarget::set(Control control, Property property, double twips)
{
    using P = Property;
    if ((property == P::Width || property == P::Height) && twips < 0)
        return false;
    if (BrowserPane *pane = paneFor(control)) {
        switch (property) {
        case P::Left: pane->setLeftTwips(twips); break;
        case P::Top: pane->setTopTwips(twips); break;
        case P::Width: pane->setWidthTwips(twips); break;
        case P::Height: pane->setHeightTwips(twips); break;
        }
        return true;
    }
    const auto found = m_widgets.find(control);
    if (found == m_widgets.end())
        return false;
    QWidget *w = found->second;
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

} // namespace MainLayout
