// Format's time patterns; the number patterns are in Format.cpp.
#include "common/Format.h"

#include <QTime>

namespace Format {

namespace {

// The separator the locale writes between hours and minutes.
QString timeSeparator(const QLocale &locale)
{
    const QString shortFormat = locale.timeFormat(QLocale::ShortFormat);
    qsizetype i = 0;
    while (i < shortFormat.size() && shortFormat.at(i).toLower() != QLatin1Char('h'))
        ++i;
    while (i < shortFormat.size() && shortFormat.at(i).toLower() == QLatin1Char('h'))
        ++i;
    QString separator;
    while (i < shortFormat.size() && !shortFormat.at(i).isLetter()) {
        separator.append(shortFormat.at(i));
        ++i;
    }
    // A quoted literal ("HH 'h' mm") cannot be reproduced from the characters alone.
    if (separator.isEmpty() || separator.contains(QLatin1Char('\'')))
        return QStringLiteral(":");
    return separator;
}

} // namespace

QString formatTime(const QTime &time, const QString &pattern, const QLocale &locale)
{
    if (!time.isValid())
        return QString();
    const QString separator = timeSeparator(locale);
    QString result;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        const QChar lower = c.toLower();
        if (lower == QLatin1Char('h') || lower == QLatin1Char('m') || lower == QLatin1Char('s')) {
            const bool twoDigits = i + 1 < pattern.size() && pattern.at(i + 1).toLower() == lower;
            const int field = lower == QLatin1Char('h') ? time.hour()
                            : lower == QLatin1Char('m') ? time.minute()
                                                        : time.second();
            result.append(twoDigits ? QStringLiteral("%1").arg(field, 2, 10, QLatin1Char('0'))
                                    : QString::number(field));
            i += twoDigits ? 2 : 1;
        } else {
            result.append(c == QLatin1Char(':') ? separator : QString(c));
            ++i;
        }
    }
    return result;
}

} // namespace Format
