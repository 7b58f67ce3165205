#pragma once

#include <functional>
#include <memory>

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>

#include "market/MarketClock.h"
#include "panes/ValueReading.h"
#include "watch/FollowedRow.h"
#include "watch/FollowedValue.h"
#include "watch/LevelCrossing.h"
#include "watch/ValueStore.h"

// The followed values: their names, places and levels, what they last read, and the store
// that keeps them. Takes the panes' readings, checks that a reading is the value's (its
// column's heading), keeps it, and says which level it crossed. The store is opened at start
// only where its file is there already, else at the first value followed: with nothing ever
// followed, the program loads neither SQLite nor its driver. A page's readings are written in
// one transaction as they come: one the store did not keep is not shown as read. Which level
// alerted is kept there too, so a restart does not alert the same crossing again. No window;
// the clock is given.
//
// Given the market's clock, it follows the market: outside its hours a reading is kept but
// neither a crossing, a move nor a silence alerts. Without one, the market is always open.
// Each value's previous close is found once a day, at its first reading of the day.
class FollowedValues final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FollowedValues)
public:
    using Clock = std::function<QDateTime()>;

    explicit FollowedValues(const QString &databasePath, Clock clock = {}, QObject *parent = nullptr);
    ~FollowedValues() override;

    void setMarket(const MarketClock &market);
    bool marketOpen(const QDateTime &at) const { return !m_market || m_market->isOpen(at); }
    // The year of now, where the market's calendar does not know it: every weekday trades then.
    std::optional<int> unknownYear() const;

    void record(const QList<ValueReading> &readings);
    // What the user pointed at, read at that moment; the id of the value followed.
    std::optional<qint64> follow(const ValuePick &pick);
    void setLevels(qint64 id, const LevelCrossing::Levels &levels);
    // No level: no alert on that side any more.
    void setLevel(qint64 id, bool above, std::optional<double> level);
    void setMargin(qint64 id, double percent);
    // No move: no alert on a move any more. A move MoveCrossing refuses changes nothing.
    void setMove(qint64 id, const std::optional<MoveCrossing::Move> &move);
    void rename(qint64 id, const QString &name);
    void unfollow(qint64 id);
    // The watch as one file (WatchFile): empty when done, else why nothing was written or
    // changed. An import reaches every value at once, as if the program had just started.
    QString exportWatch(const QString &path, bool withReadings);
    QString importWatch(const QString &path);

    bool contains(qint64 id) const { return m_values.contains(id); }
    std::optional<qint64> idAt(const ValuePlace &place) const;
    QList<ValuePlace> places() const;
    // Oldest id first.
    QList<qint64> ids() const;
    FollowedRow row(qint64 id) const;
    QList<FollowedRow> rows() const;
    QDate today() const { return m_clock().date(); }
    // The alerts of the last days, newest first; none before the store is opened.
    QList<AlertHistory::Alert> alerts();
    void markAlertsSeen();
    // Oldest first, from and to included.
    QList<ValueStore::Reading> readings(qint64 id, const QDateTime &from, const QDateTime &to);

signals:
    void added(qint64 id);
    void removed(qint64 id);
    // Its row reads differently: a reading, a reason it was not read, a name, a level.
    void changed(qint64 id);
    void read(qint64 id, const ValueStore::Reading &reading);
    void crossed(qint64 id, LevelCrossing::Crossed crossed, double level, const ValueStore::Reading &reading);
    // A move in percent (signed) from the number it started at: the previous close, or the
    // lowest or highest of the last minutes (0 for the close).
    void moved(qint64 id, double percent, double from, int minutes, const ValueStore::Reading &reading);
    // The value could not be read UnreadBeforeSilence times in a row; once until it is read.
    void silent(qint64 id, const QString &reason);
    // An alert went into the history, or those there were seen.
    void alertsChanged();
    void placesChanged(const QList<ValuePlace> &places);
    // Why the store could not be opened as it was; sent from the event loop, after the start.
    void storeProblem(const QString &problem);

public:
    static constexpr int UnreadBeforeSilence = 3;

private:
    ValueStore &store();
    void keepCrossing(FollowedValue &followed, const ValueStore::Reading &reading);
    void keepMove(FollowedValue &followed, const ValueStore::Reading &reading);
    void findPreviousClose(FollowedValue &followed, const QDate &day);
    QDate marketDay(const QDateTime &at) const { return at.toTimeZone(MarketClock::zone()).date(); }
    void openStore();
    void loadValues();

    QString m_databasePath;
    Clock m_clock;
    std::optional<MarketClock> m_market;
    std::unique_ptr<ValueStore> m_store;
    QDate m_prunedOn;
    QHash<qint64, FollowedValue> m_values;
};
