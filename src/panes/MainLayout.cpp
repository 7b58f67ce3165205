#include "panes/MainLayout.h"

namespace MainLayout {

int apply(double H, double W, Target &t)
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

    set(C::WB1, P::Height, H / 1.2 / 2);
    set(C::WB1, P::Width, W / 1.06);
    set(C::WB3, P::Height, H / 1.08 / 2);
    set(C::WB3, P::Width, W / 1.06);
    set(C::WB3, P::Top, t.get(C::WB1, P::Height) + t.get(C::WB1, P::Top) + 100);
    set(C::Command18, P::Top, t.get(C::WB3, P::Top));
    set(C::Command19, P::Top, below(C::Command18));
    set(C::Command20, P::Top, below(C::Command19));
    set(C::Image2, P::Top, below(C::Command20));
    set(C::Command23, P::Top, below(C::Image2));
    set(C::Command15, P::Top, below(C::Command23));
    set(C::Command24, P::Top, below(C::Command15));
    set(C::VScroll1, P::Height, t.get(C::WB1, P::Height) - t.get(C::Check1, P::Height));
    set(C::VScroll2, P::Height, t.get(C::WB3, P::Height) - t.get(C::Check2, P::Height));
    set(C::VScroll2, P::Top, t.get(C::WB3, P::Top) + t.get(C::Check2, P::Height));
    set(C::VScroll1, P::Left, t.get(C::WB1, P::Width) + t.get(C::WB1, P::Left));
    set(C::VScroll2, P::Left, t.get(C::WB1, P::Width) + t.get(C::WB1, P::Left));
    set(C::Check1, P::Left, t.get(C::VScroll1, P::Left));
    set(C::Check2, P::Left, t.get(C::VScroll1, P::Left));
    set(C::Check2, P::Top, t.get(C::WB3, P::Top));
    return refused;
}

} // namespace MainLayout
