#include "market/Markets.h"

Markets::Markets(const MarketCalendar &italy) : m_clocks(std::make_shared<const Clocks>(Clocks{MarketClock(italy)})) {}

const MarketClock &Markets::clock(MarketId id) const
{
    switch (id) {
    case MarketId::BorsaItaliana:
        break;
    }
    return m_clocks->borsaItaliana;
}
