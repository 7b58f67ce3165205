#include "market/CalendarFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// A calendar is a few dozen lines; anything this large is some other file.
constexpr qint64 MaxBytes = 1 << 20;

void report(const QString &path, const QString &problem)
{
    qWarning("Calendario di borsa %s: %s", qPrintable(QDir::toNativeSeparators(path)), qPrintable(problem));
}

void makeCopy(const QString &path, const QString &text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        report(path, QStringLiteral("la cartella non si pu\u00f2 creare"));
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        report(path, QStringLiteral("copia non scritta: %1").arg(file.errorString()));
}

} // namespace

QString CalendarFile::userPath(const QString &name)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(name);
}

QString CalendarFile::shippedText(const QString &name)
{
    QFile file(QStringLiteral(":/market/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

MarketCalendar CalendarFile::load(const QString &path, const QString &name)
{
    const QString shippedText = CalendarFile::shippedText(name);
    MarketCalendar shipped = MarketCalendar::parse(shippedText);
    if (!QFileInfo::exists(path)) {
        makeCopy(path, shippedText);
        return shipped;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(path, QStringLiteral("non leggibile (%1): vale il calendario fornito").arg(file.errorString()));
        return shipped;
    }
    if (file.size() > MaxBytes) {
        report(path, QStringLiteral("troppo grande per un calendario: vale quello fornito"));
        return shipped;
    }
    QStringList problems;
    MarketCalendar calendar = MarketCalendar::parse(QString::fromUtf8(file.readAll()), &problems);
    for (const QString &problem : std::as_const(problems))
        report(path, problem);
    calendar.addYearsFrom(shipped);
    return calendar;
}
