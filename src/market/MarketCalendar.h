#pragma once

#include <QDate>
#include <QHash>
#include <QTime>
#include <QSet>
#include <QString>
#include <QStringList>

// The exchange's own closing days, which are not the public holidays: it trades on some of
// them and closes on days that are none (Christmas Eve, New Year's Eve). Read from a text the
// user may edit, one date a line. A year the text does not mention is taken as trading on
// every weekday, since nothing better is known of it.
class MarketCalendar final
{
public:
    // Lines "YYYY-MM-DD" with an optional name after the date, or "YYYY-MM-DD HH:MM [name]" for a
    // day that trades but closes early, at that time; blank lines and lines starting
    // with '#' are skipped. Any other line is skipped too, and problems receives why, by its
    // line number, for people.
    static MarketCalendar parse(const QString &text, QStringList *problems = nullptr);

    bool knowsYear(int year) const { return m_years.contains(year); }
    // Monday to Friday and not one of the closing days.
    bool isTradingDay(QDate day) const;
    // The early close of a trading day that closes before its usual time.
    QTime earlyClose(QDate day) const { return m_early.value(day); }
    // Takes the years of other that this calendar does not know, so that a user's copy keeps
    // its own years and gains those shipped later.
    void addYearsFrom(const MarketCalendar &other);

private:
    QSet<QDate> m_closed;
    QHash<QDate, QTime> m_early;
    QSet<int> m_years;
};
