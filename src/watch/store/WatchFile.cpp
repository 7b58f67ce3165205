#include "watch/store/WatchFile.h"

#include <algorithm>
#include <tuple>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace {

// A month of readings of a hundred values is a few tens of megabytes.
constexpr qint64 MaxBytes = 256 * 1024 * 1024;

} // namespace

QList<WatchEntry> WatchFile::entriesOf(ValueStore *store, bool withReadings)
{
    QList<WatchEntry> entries;
    if (!store)
        return entries;
    for (const ValueStore::Value &value : store->values()) {
        WatchEntry entry;
        entry.value = value;
        if (WatchEntry::Markets.contains(value.market))
            entry.market = value.market;
        entry.phoneDelivery = value.phone;
        if (withReadings)
            entry.readings = store->readings(value.id, QDateTime::fromSecsSinceEpoch(0), QDateTime(QDate(9999, 12, 31), QTime(0, 0)));
        entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(), [](const WatchEntry &a, const WatchEntry &b) {
        const ValuePlace &p = a.value.place, &q = b.value.place;
        return std::tie(p.address, p.group, p.index) < std::tie(q.address, q.group, q.index);
    });
    return entries;
}

QByteArray WatchFile::compose(const QList<WatchEntry> &entries, bool withReadings)
{
    QJsonArray values;
    for (const WatchEntry &entry : entries)
        values.append(entry.toJson(withReadings));
    // QJsonObject keeps its keys sorted: one store, one file.
    const QJsonObject root{{QStringLiteral("format"), Format}, {QStringLiteral("version"), Version}, {QStringLiteral("values"), values}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<QList<WatchEntry>> WatchFile::parse(const QByteArray &bytes, QString *error)
{
    const auto refuse = [error](const QString &why) {
        *error = why;
        return std::nullopt;
    };
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("il file \u00e8 danneggiato (%1 al carattere %2)").arg(parsed.errorString()).arg(parsed.offset));
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("format")).toString() != Format)
        return refuse(QStringLiteral("il file non \u00e8 un elenco di valori seguiti (formato \u00ab%1\u00bb)").arg(Format));
    // Not a whole number: 0.
    const int version = root.value(QLatin1String("version")).toInt(0);
    if (version < 1)
        return refuse(QStringLiteral("il file non dice la versione del suo formato"));
    if (version > Version)
        return refuse(QStringLiteral("il file \u00e8 della versione %1 del formato, pi\u00f9 recente di quella che questo "
                                     "programma legge (%2): aggiornate il programma")
                          .arg(version)
                          .arg(Version));
    if (!root.value(QLatin1String("values")).isArray())
        return refuse(QStringLiteral("il file non ha l'elenco dei valori (\u00abvalues\u00bb)"));
    QList<WatchEntry> entries;
    QSet<QString> places;
    const QJsonArray values = root.value(QLatin1String("values")).toArray();
    for (qsizetype i = 0; i < values.size(); ++i) {
        QString wrong;
        const std::optional<WatchEntry> entry = WatchEntry::fromJson(values.at(i), &wrong);
        if (!entry)
            return refuse(QStringLiteral("il valore n. %1 %2").arg(i + 1).arg(wrong));
        const ValuePlace &place = entry->value.place;
        const QString key = place.address + QLatin1Char('\n') + place.group + QLatin1Char('\n') + QString::number(place.index);
        if (places.contains(key))
            return refuse(QStringLiteral("il valore n. %1 (%2) compare due volte").arg(i + 1).arg(entry->value.name));
        places.insert(key);
        entries.append(*entry);
    }
    return entries;
}

bool WatchFile::apply(ValueStore &store, const QList<WatchEntry> &entries, QString *error)
{
    using Crossed = LevelCrossing::Crossed;
    const bool kept = store.transaction([&] {
        QList<std::pair<qint64, ValueStore::Reading>> readings;
        for (const WatchEntry &entry : entries) {
            const ValueStore::Value &v = entry.value;
            const std::optional<qint64> id = store.follow(v.place, v.name, v.heading);
            // Levels and move first: setting them arms them, and the file says which have alerted.
            if (!id || !store.rename(*id, v.name) || !store.setHeading(*id, v.heading) || !store.setLevels(*id, v.levels)
                || !store.setAlerted(*id, Crossed::Above, v.aboveAlerted) || !store.setAlerted(*id, Crossed::Below, v.belowAlerted)
                || !store.setMove(*id, v.movePercent, v.moveMinutes, v.moveMargin)
                || !store.setMoveAlerted(*id, v.moveAlerted, v.moveAlertedOn) || !store.setMarket(*id, entry.market)
                || !store.setPhone(*id, entry.phoneDelivery))
                return false;
            for (const ValueStore::Reading &reading : entry.readings)
                readings.append({*id, reading});
        }
        return store.insertReadings(readings);
    });
    if (!kept)
        *error = QStringLiteral("l'archivio dei valori seguiti non l'ha registrato (il motivo \u00e8 nel registro del programma)");
    return kept;
}

bool WatchFile::save(ValueStore *store, const QString &path, bool withReadings, QString *error)
{
    const QByteArray bytes = compose(entriesOf(store, withReadings), withReadings);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = QStringLiteral("\u00ab%1\u00bb non \u00e8 stato scritto: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

std::optional<QList<WatchEntry>> WatchFile::read(const QString &path, QString *error)
{
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("\u00ab%1\u00bb non si legge: %2").arg(name, file.errorString());
        return std::nullopt;
    }
    if (file.size() > MaxBytes) {
        *error = QStringLiteral("\u00ab%1\u00bb \u00e8 troppo grande per un elenco di valori seguiti").arg(name);
        return std::nullopt;
    }
    QString why;
    std::optional<QList<WatchEntry>> entries = parse(file.readAll(), &why);
    if (!entries)
        *error = QStringLiteral("\u00ab%1\u00bb non \u00e8 stato importato: %2").arg(name, why);
    return entries;
}
