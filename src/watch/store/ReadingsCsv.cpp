#include "watch/store/ReadingsCsv.h"

#include <QLocale>
#include <QSaveFile>

namespace ReadingsCsv {

namespace {

QString field(QString text)
{
    // A name from a web page may hold anything, a line break or a formula sign included.
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (text.startsWith(QLatin1Char('=')) || text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))
        || text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return text;
}

} // namespace

QByteArray text(const QString &name, const QList<ValueStore::Reading> &readings)
{
    QLocale italian(QLocale::Italian, QLocale::Italy);
    italian.setNumberOptions(QLocale::OmitGroupSeparator);
    QString out = QStringLiteral("\ufeffNome;Data;Ora;Valore\r\n");
    const QString shownName = field(name);
    for (const ValueStore::Reading &reading : readings) {
        const QDateTime local = reading.time.toLocalTime();
        out += shownName + QLatin1Char(';') + local.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(';')
            + local.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(';')
            + italian.toString(reading.number, 'f', QLocale::FloatingPointShortest) + QLatin1String("\r\n");
    }
    return out.toUtf8();
}

bool save(const QString &path, const QString &name, const QList<ValueStore::Reading> &readings, QString *error)
{
    QSaveFile file(path);
    const QByteArray data = text(name, readings);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace ReadingsCsv
