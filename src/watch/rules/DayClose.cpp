#include "watch/rules/DayClose.h"

#include <cmath>

namespace {

bool usable(const ValueStore::Reading &reading)
{
    return reading.time.isValid() && std::isfinite(reading.number);
}

// Readings of one day may come from two panes and a hidden page, so their order is not
// taken for granted.
std::optional<ValueStore::Reading> extreme(const QList<ValueStore::Reading> &readings, bool last)
{
    std::optional<ValueStore::Reading> found;
    for (const ValueStore::Reading &reading : readings) {
        if (!usable(reading))
            continue;
        if (!found || (last ? reading.time >= found->time : reading.time < found->time))
            found = reading;
    }
    return found;
}

} // namespace

DayClose::DayClose(const ValueStore::Reading &reading, Kind kind)
    : m_reading(reading)
    , m_kind(kind)
{
}

std::optional<DayClose> DayClose::ofDay(const QList<ValueStore::Reading> &readings, const QDateTime &auction)
{
    const auto last = extreme(readings, true);
    if (!last)
        return std::nullopt;
    const bool afterAuction = auction.isValid() && last->time >= auction;
    return DayClose(*last, afterAuction ? Kind::AfterAuction : Kind::Estimated);
}

std::optional<DayClose> DayClose::previous(const QList<ValueStore::Reading> &previousDay,
                                           const QDateTime &previousAuction,
                                           const QList<ValueStore::Reading> &today)
{
    if (auto close = ofDay(previousDay, previousAuction))
        return close;
    if (const auto first = extreme(today, false))
        return DayClose(*first, Kind::FirstReadingToday);
    return std::nullopt;
}

QString DayClose::note() const
{
    switch (m_kind) {
    case Kind::AfterAuction:
        return {};
    case Kind::Estimated:
        return QStringLiteral("chiusura stimata: nessuna lettura dopo l'asta");
    case Kind::FirstReadingToday:
        return QStringLiteral("dalla prima lettura di oggi");
    }
    return {};
}

DayClose::Change DayClose::changeTo(double number) const
{
    Change change;
    change.absolute = number - m_reading.number;
    if (m_reading.number != 0)
        change.percent = change.absolute / std::abs(m_reading.number) * 100.0;
    return change;
}
