#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QString>

#include "watch/store/ValueStore.h"

// A trading day's close as the readings show it: the day's last reading, taken at or after the
// closing auction where there is one, else the last before it and so only an estimate. The
// previous close of a day is its previous trading day's; the caller names that day, since
// which days the market trades is the calendar's business. Where that day left no reading,
// the day's own first reading stands in, and says so.
class DayClose final
{
public:
    enum class Kind {
        AfterAuction,
        // No reading at or after the auction: the day's last before it.
        Estimated,
        // No reading of the previous trading day: the given day's first.
        FirstReadingToday,
    };
    struct Change
    {
        double absolute = 0;
        // None from a close of zero.
        std::optional<double> percent;
    };

    // readings: the day's, in any order; auction: when a reading starts being the close (the
    // closing auction's time, or the market's close where there is none). None when the day
    // has no reading.
    static std::optional<DayClose> ofDay(const QList<ValueStore::Reading> &readings, const QDateTime &auction);
    static std::optional<DayClose> previous(const QList<ValueStore::Reading> &previousDay,
                                            const QDateTime &previousAuction,
                                            const QList<ValueStore::Reading> &today);

    double number() const { return m_reading.number; }
    QDateTime time() const { return m_reading.time; }
    Kind kind() const { return m_kind; }
    bool isEstimated() const { return m_kind == Kind::Estimated; }
    // What the window shows beside a move from it; empty for a close after the auction.
    QString note() const;
    Change changeTo(double number) const;

private:
    DayClose(const ValueStore::Reading &reading, Kind kind);

    ValueStore::Reading m_reading;
    Kind m_kind;
};
