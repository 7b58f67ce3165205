#include "market/MarketCalendar.h"

#include <QRegularExpression>

MarketCalendar MarketCalendar::parse(const QString &text, QStringList *problems)
{
    static const QRegularExpression dateLine(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(\\s|$)"));
    static const QRegularExpression earlyTime(QStringLiteral("^\\s+(\\d{1,2}):(\\d{2})(\\s|$)"));
    MarketCalendar calendar;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch match = dateLine.match(line);
        QDate day = match.hasMatch()
            ? QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt())
            : QDate();
        const QRegularExpressionMatch early = day.isValid() ? earlyTime.match(line.mid(10)) : QRegularExpressionMatch();
        const QTime closes = early.hasMatch() ? QTime(early.captured(1).toInt(), early.captured(2).toInt()) : QTime();
        if (day.isValid() && early.hasMatch() && !closes.isValid())
            day = QDate();
        if (day.isValid()) {
            if (closes.isValid())
                calendar.m_early.insert(day, closes);
            else
                calendar.m_closed.insert(day);
            calendar.m_years.insert(day.year());
        } else if (problems) {
            problems->append(QStringLiteral("Riga %1 ignorata: \u00ab%2\u00bb non comincia con una data valida "
                                            "(AAAA-MM-GG)")
                                 .arg(i + 1)
                                 .arg(line.left(60)));
        }
    }
    return calendar;
}

bool MarketCalendar::isTradingDay(QDate day) const
{
    return day.isValid() && day.dayOfWeek() <= 5 && !m_closed.contains(day);
}

void MarketCalendar::addYearsFrom(const MarketCalendar &other)
{
    for (const QDate &day : other.m_closed) {
        if (!m_years.contains(day.year()))
            m_closed.insert(day);
    }
    for (auto it = other.m_early.cbegin(); it != other.m_early.cend(); ++it) {
        if (!m_years.contains(it.key().year()))
            m_early.insert(it.key(), it.value());
    }
    m_years.unite(other.m_years);
}
