#pragma once

#include <optional>

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include "watch/store/ValueStore.h"

// One followed value as the watch's file holds it (docs/watch-file.md): its place, name,
// levels, move, market, phone delivery, the alerts it has given, and its readings when the
// file carries them.
struct WatchEntry
{
    // The markets a value may follow, by the keys the store keeps; a value followed before
    // markets were kept follows the first.
    static inline const QStringList Markets = {QStringLiteral("borsa-italiana"), QStringLiteral("borsa-usa"),
                                               QStringLiteral("sempre-aperto")};

    // Its id is the store's business.
    ValueStore::Value value;
    QString market = Markets.first();
    bool phoneDelivery = false;
    // Oldest first; none without "con le letture".
    QList<ValueStore::Reading> readings;

    QJsonObject toJson(bool withReadings) const;
    // nullopt, with the first field that is missing or wrong.
    static std::optional<WatchEntry> fromJson(const QJsonValue &json, QString *wrong);
};
