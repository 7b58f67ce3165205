#pragma once

#include <QDateTime>
#include <QList>

#include "panes/BackgroundReading.h"

// Writes down each address asked for and answers only when the test says so, each place read
// with a number or not read.
class RecordingBackgroundReading final : public BackgroundReading
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordingBackgroundReading)
public:
    struct Ask
    {
        QString address;
        QList<ValuePlace> places;
    };

    RecordingBackgroundReading() = default;

    void read(const QString &address, const QList<ValuePlace> &places) override { asks.append({address, places}); }

    void answerLast(const QDateTime &time, bool read)
    {
        QList<ValueReading> readings;
        for (const ValuePlace &place : asks.constLast().places) {
            readings.append({place, read ? std::optional(1.5) : std::nullopt, read ? QStringLiteral("1,5") : QString(),
                             read ? QString() : QStringLiteral("accesso richiesto"), time, QString()});
        }
        emit valuesRead(readings);
    }

    QList<Ask> asks;
};
