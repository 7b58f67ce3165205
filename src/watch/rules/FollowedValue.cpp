#include "watch/rules/FollowedValue.h"


namespace {

// Headings compared by their words alone: "Ultimo (17:35)" and "Ultimo \u25b2" are one column.
bool sameHeading(const QString &followed, const QString &read)
{
    if (followed.isEmpty() || read.isEmpty())
        return true;
    const auto words = [](const QString &heading) {
        QString letters;
        for (const QChar c : heading) {
            if (c.isLetter())
                letters += c.toLower();
        }
        return letters;
    };
    return words(followed) == words(read);
}

} // namespace

bool FollowedValue::isStale(const ValueReading &reading) const
{
    if (!last || !reading.time.isValid())
        return false;
    const qint64 behind = reading.time.msecsTo(last->time);
    return behind > 0 && behind <= StaleWithinMs;
}

FollowedValue FollowedValue::kept(const ValueStore::Value &value, const std::optional<ValueStore::Reading> &last,
                                  const QDateTime &alertedAt)
{
    FollowedValue followed{value.id, value.place, value.name, value.heading, {}, std::nullopt, last, QString(), alertedAt};
    followed.market = Markets::fromKey(value.market).value_or(MarketId::BorsaItaliana);
    followed.crossing.setLevels(value.levels);
    followed.crossing.setAlerted(value.aboveAlerted, value.belowAlerted);
    if (value.movePercent) {
        using Reference = MoveCrossing::Reference;
        followed.move.setMove({*value.movePercent, value.moveMinutes > 0 ? Reference::WithinMinutes : Reference::PreviousClose,
                               value.moveMinutes, value.moveMargin});
    }
    return followed;
}

bool FollowedValue::take(const ValueReading &reading)
{
    // Not read: nothing kept, and the levels neither alert nor re-arm.
    if (!reading.number) {
        unreadReason = reading.reason.isEmpty() ? QStringLiteral("valore non trovato") : reading.reason;
        return false;
    }
    // A value followed before headings were kept takes the one it is read under now.
    if (heading.isEmpty())
        heading = reading.heading;
    // A column added before the value's puts another column's number in its place.
    if (!sameHeading(heading, reading.heading)) {
        unreadReason = QStringLiteral("la colonna \u00ab%1\u00bb ora \u00e8 \u00ab%2\u00bb").arg(heading, reading.heading);
        return false;
    }
    const ValueStore::Reading value{reading.time, *reading.number};
    unreadReason.clear();
    // A later reading of the same second replaces the earlier one in the store too.
    const auto dayOf = [this](const QDateTime &time) { return Markets::dayOf(market, time); };
    if (!first || dayOf(first->time) != dayOf(value.time) || first->time.toSecsSinceEpoch() == value.time.toSecsSinceEpoch())
        first = value;
    last = value;
    return true;
}

FollowedRow FollowedValue::row(const QDateTime &now) const
{
    const auto dayOf = [this](const QDateTime &time) { return Markets::dayOf(market, time); };
    FollowedRow row;
    row.id = id;
    row.name = name;
    row.address = place.address;
    row.market = market;
    if (last) {
        row.last = last->number;
        row.lastTime = last->time;
    }
    std::optional<DayClose> from = previousClose;
    if (from && last && closeDay != dayOf(last->time))
        from.reset();
    if (!from && last && first && dayOf(first->time) == dayOf(last->time))
        from = DayClose::previous({}, {}, {*first});
    if (last && from) {
        const DayClose::Change change = from->changeTo(last->number);
        row.change = change.absolute;
        row.changePercent = change.percent;
        row.previousClose = from->number();
        row.changeNote = from->note();
    }
    if (move.isSet()) {
        row.movePercent = move.move().percent;
        row.moveMinutes = move.move().reference == MoveCrossing::Reference::WithinMinutes ? move.move().minutes : 0;
    }
    row.unreadReason = unreadReason;
    row.levels = crossing.levels();
    if (alertedAt.isValid() && dayOf(alertedAt) == dayOf(now))
        row.alertedAt = alertedAt;
    row.beyond = !crossing.isAboveArmed() || !crossing.isBelowArmed();
    return row;
}
