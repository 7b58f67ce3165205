#include "market/Markets.h"

#include "market/CalendarFile.h"

namespace {

// New York's regular session, in New York's own time, so that the weeks when only one side of
// the Atlantic has moved its clocks come out right; the close at 16:00 is the official one:
//   https://investinganswers.com/dictionary/n/nyse-holidays "What are NYSE Holidays?" (open
//   Monday through Friday from 9:30 a.m. to 4:00 p.m. Eastern Time).
MarketClock::Hours newYork()
{
    static const QTimeZone zone("America/New_York");
    return {zone, QTime(9, 30), QTime(16, 0), QTime(16, 0), QTime(16, 0)};
}

MarketClock::Hours always()
{
    return {MarketClock::zone(), QTime(0, 0), QTime(0, 0), QTime(0, 0), QTime(0, 0), true};
}

} // namespace

const std::array<Markets::Row, 3> &Markets::rows()
{
    static const std::array<Row, 3> table{{
        {MarketId::BorsaItaliana, QStringLiteral("borsa-italiana"), QStringLiteral("Borsa Italiana"),
         MarketClock::borsaItaliana(), QStringLiteral("calendario-borsa.txt")},
        {MarketId::BorsaUsa, QStringLiteral("borsa-usa"), QStringLiteral("Borsa USA"), newYork(),
         QStringLiteral("calendario-borsa-usa.txt")},
        {MarketId::SempreAperto, QStringLiteral("sempre-aperto"), QStringLiteral("Sempre aperto"), always(), QString()},
    }};
    return table;
}

const Markets::Row &Markets::row(MarketId id)
{
    return rows()[std::size_t(id)];
}

std::optional<MarketId> Markets::fromKey(const QString &key)
{
    for (const Row &row : rows()) {
        if (row.key == key)
            return row.id;
    }
    return std::nullopt;
}

Markets::Markets(const MarketCalendar &italy, const MarketCalendar &usa)
    : m_clocks(std::make_shared<const std::array<MarketClock, 3>>(std::array<MarketClock, 3>{
          MarketClock(italy, row(MarketId::BorsaItaliana).hours), MarketClock(usa, row(MarketId::BorsaUsa).hours),
          MarketClock({}, row(MarketId::SempreAperto).hours)}))
{
}

Markets Markets::loaded()
{
    const auto load = [](MarketId id) {
        const QString name = row(id).calendarFile;
        return CalendarFile::load(CalendarFile::userPath(name), name);
    };
    return Markets(load(MarketId::BorsaItaliana), load(MarketId::BorsaUsa));
}

const MarketClock &Markets::clock(MarketId id) const
{
    return (*m_clocks)[std::size_t(id)];
}
