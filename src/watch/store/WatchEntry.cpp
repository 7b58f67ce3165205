#include "watch/store/WatchEntry.h"

#include <cmath>
#include <limits>

#include <QJsonArray>

namespace {

enum MoveSide { Up = 1, Down = 2 };

QJsonValue number(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QString timeText(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

// Each reads a field that may be absent (the default then stays): false where it is there
// but not what it should be.
bool read(const QJsonValue &json, std::optional<double> *out)
{
    if (json.isUndefined() || json.isNull())
        *out = std::nullopt;
    else if (json.isDouble() && std::isfinite(json.toDouble()))
        *out = json.toDouble();
    else
        return false;
    return true;
}

bool readMargin(const QJsonValue &json, double *out)
{
    if (json.isUndefined())
        return true;
    *out = json.toDouble(-1);
    return json.isDouble() && std::isfinite(*out) && *out >= 0;
}

bool read(const QJsonValue &json, int *out, int least)
{
    if (json.isUndefined())
        return true;
    const double value = json.toDouble(0.5);
    if (value != std::floor(value) || value < least || value > std::numeric_limits<int>::max())
        return false;
    *out = int(value);
    return true;
}

bool read(const QJsonValue &json, bool *out)
{
    *out = json.toBool(*out);
    return json.isUndefined() || json.isBool();
}

bool read(const QJsonValue &json, QString *out)
{
    *out = json.toString(*out);
    return json.isUndefined() || json.isString();
}

bool read(const QJsonValue &json, QJsonObject *out)
{
    *out = json.toObject();
    return json.isUndefined() || json.isNull() || json.isObject();
}

bool readReadings(const QJsonValue &json, QList<ValueStore::Reading> *out)
{
    if (json.isUndefined())
        return true;
    if (!json.isArray())
        return false;
    for (const QJsonValue &pair : json.toArray()) {
        const QJsonArray fields = pair.toArray();
        const QDateTime time = QDateTime::fromString(fields.at(0).toString(), Qt::ISODate);
        std::optional<double> value;
        // A time without its offset would be read in this machine's zone, not the one it was taken in.
        if (fields.size() != 2 || !time.isValid() || time.timeSpec() == Qt::LocalTime || !read(fields.at(1), &value) || !value)
            return false;
        out->append({time, *value});
    }
    return true;
}

} // namespace

QJsonObject WatchEntry::toJson(bool withReadings) const
{
    const ValueStore::Value &v = value;
    const QJsonObject move{{QStringLiteral("percent"), number(v.movePercent)},
                           {QStringLiteral("minutes"), v.moveMinutes},
                           {QStringLiteral("margin"), v.moveMargin}};
    QJsonObject json{
        {QStringLiteral("page"), v.place.address},
        {QStringLiteral("row"), v.place.group},
        {QStringLiteral("column"), v.place.index},
        {QStringLiteral("name"), v.name},
        {QStringLiteral("heading"), v.heading},
        {QStringLiteral("levels"), QJsonObject{{QStringLiteral("above"), number(v.levels.above)},
                                               {QStringLiteral("below"), number(v.levels.below)},
                                               {QStringLiteral("margin"), v.levels.marginPercent}}},
        {QStringLiteral("move"), v.movePercent ? QJsonValue(move) : QJsonValue()},
        {QStringLiteral("market"), market},
        {QStringLiteral("phoneDelivery"), phoneDelivery},
        {QStringLiteral("alerted"),
         QJsonObject{{QStringLiteral("above"), v.aboveAlerted},
                     {QStringLiteral("below"), v.belowAlerted},
                     {QStringLiteral("moveUp"), (v.moveAlerted & Up) != 0},
                     {QStringLiteral("moveDown"), (v.moveAlerted & Down) != 0},
                     {QStringLiteral("moveDay"),
                      v.moveAlertedOn.isValid() ? QJsonValue(v.moveAlertedOn.toString(Qt::ISODate)) : QJsonValue()}}},
    };
    if (withReadings) {
        QJsonArray readings;
        for (const ValueStore::Reading &reading : this->readings)
            readings.append(QJsonArray{timeText(reading.time), reading.number});
        json.insert(QStringLiteral("readings"), readings);
    }
    return json;
}

std::optional<WatchEntry> WatchEntry::fromJson(const QJsonValue &json, QString *wrong)
{
    const QJsonObject o = json.toObject();
    WatchEntry entry;
    ValueStore::Value &v = entry.value;
    QJsonObject levels, move, alerted;
    bool moveUp = false, moveDown = false;
    QString moveDay;
    v.place.index = -2;
    // Each field with whether it reads; the first that does not is named.
    const std::pair<const char *, bool> fields[] = {
        {"page", read(o.value(QLatin1String("page")), &v.place.address) && !v.place.address.isEmpty()},
        {"row", o.value(QLatin1String("row")).isString() && read(o.value(QLatin1String("row")), &v.place.group)},
        {"column", read(o.value(QLatin1String("column")), &v.place.index, -1) && v.place.index >= -1},
        {"name", read(o.value(QLatin1String("name")), &v.name) && !v.name.trimmed().isEmpty()},
        {"heading", read(o.value(QLatin1String("heading")), &v.heading)},
        {"levels", read(o.value(QLatin1String("levels")), &levels)},
        {"levels.above", read(levels.value(QLatin1String("above")), &v.levels.above)},
        {"levels.below", read(levels.value(QLatin1String("below")), &v.levels.below)},
        {"levels.margin", readMargin(levels.value(QLatin1String("margin")), &v.levels.marginPercent)},
        {"move", read(o.value(QLatin1String("move")), &move)},
        {"move.percent", read(move.value(QLatin1String("percent")), &v.movePercent)
                             && (move.isEmpty() || (v.movePercent && *v.movePercent > 0))},
        {"move.minutes", read(move.value(QLatin1String("minutes")), &v.moveMinutes, 0)},
        {"move.margin", readMargin(move.value(QLatin1String("margin")), &v.moveMargin)},
        {"market", read(o.value(QLatin1String("market")), &entry.market) && Markets.contains(entry.market)},
        {"phoneDelivery", read(o.value(QLatin1String("phoneDelivery")), &entry.phoneDelivery)},
        {"alerted", read(o.value(QLatin1String("alerted")), &alerted)},
        {"alerted.above", read(alerted.value(QLatin1String("above")), &v.aboveAlerted)},
        {"alerted.below", read(alerted.value(QLatin1String("below")), &v.belowAlerted)},
        {"alerted.moveUp", read(alerted.value(QLatin1String("moveUp")), &moveUp)},
        {"alerted.moveDown", read(alerted.value(QLatin1String("moveDown")), &moveDown)},
        {"alerted.moveDay", alerted.value(QLatin1String("moveDay")).isNull()
                                || (read(alerted.value(QLatin1String("moveDay")), &moveDay)
                                    && (moveDay.isEmpty() || QDate::fromString(moveDay, Qt::ISODate).isValid()))},
        {"readings", readReadings(o.value(QLatin1String("readings")), &entry.readings)},
    };
    if (!json.isObject()) {
        *wrong = QStringLiteral("non \u00e8 un oggetto JSON");
        return std::nullopt;
    }
    for (const auto &[name, ok] : fields) {
        if (!ok) {
            *wrong = QStringLiteral("ha il campo \u00ab%1\u00bb mancante o non valido").arg(QLatin1String(name));
            return std::nullopt;
        }
    }
    v.moveAlerted = (moveUp ? Up : 0) | (moveDown ? Down : 0);
    v.moveAlertedOn = QDate::fromString(moveDay, Qt::ISODate);
    return entry;
}

