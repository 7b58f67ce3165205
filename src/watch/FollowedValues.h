#pragma once

#include <memory>

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>

#include "common/WallClock.h"
#include "market/Markets.h"
#include "panes/ValueReading.h"
#include "watch/FollowedRow.h"
#include "watch/rules/FollowedValue.h"
#include "watch/rules/MarketDay.h"
#include "watch/store/StoreLife.h"
#include "watch/rules/LevelCrossing.h"
#include "watch/store/ValueStore.h"

class AlertBook;

// The followed values: their names, places and levels, what they last read. Takes the panes'
// readings, checks that a reading is the value's (its column's heading), keeps it (a page's
// readings in one transaction: one the store did not keep is not shown as read), and says
// which level or move alerted. Its store's life is StoreLife's, its day on the market
// MarketDay's, what alerted AlertBook's. No window; the clock is given.
//
// Given the markets, it follows each value's: a reading that crosses a level or a move alerts
// at any hour, and the market's hours say when a value not read is late (Lateness, asked by
// OutOfSightReading). Without them, every market is always open.
class FollowedValues final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FollowedValues)
public:
    explicit FollowedValues(const QString &databasePath, WallClock clock = {}, std::optional<Markets> markets = std::nullopt,
                            QObject *parent = nullptr);
    ~FollowedValues() override;

    bool marketOpen(const QDateTime &at, MarketId market) const { return m_day.isOpen(market, at); }
    bool valueOpen(qint64 id, const QDateTime &at) const { return m_day.isOpen(marketOf(id), at); }
    MarketId marketOf(qint64 id) const { return m_values.contains(id) ? m_values[id].market : MarketId::BorsaItaliana; }
    // The year of now, where the market's calendar does not know it: every weekday trades then.
    std::optional<int> unknownYear() const { return m_day.unknownYear(m_clock()); }

    // The one entry of readings, a pane's or a page's read out of sight.
    void take(const QList<ValueReading> &readings);
    // What the user pointed at, read at that moment; the id of the value followed.
    std::optional<qint64> follow(const ValuePick &pick);
    void setLevels(qint64 id, const LevelCrossing::Levels &levels);
    // No level: no alert on that side any more.
    void setLevel(qint64 id, bool above, std::optional<double> level)
    {
        LevelCrossing::Levels levels = row(id).levels;
        (above ? levels.above : levels.below) = level;
        setLevels(id, levels);
    }
    void setMargin(qint64 id, double percent)
    {
        LevelCrossing::Levels levels = row(id).levels;
        levels.marginPercent = percent;
        setLevels(id, levels);
    }
    // No move: no alert on a move any more. A move MoveCrossing refuses changes nothing.
    void setMove(qint64 id, const std::optional<MoveCrossing::Move> &move);
    void rename(qint64 id, const QString &name);
    // Its day, close and hours from now on are the market's.
    void setMarket(qint64 id, MarketId market);
    void unfollow(qint64 id);
    // The value became late: into the history, and fellLate for its alert.
    void tellLate(qint64 id);
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
    // Null until opened: at start where its file is there, else at the first value followed.
    ValueStore *openedStore() const { return m_life.store(); }
    void markAlertsSeen();
    // Oldest first, from and to included.
    QList<ValueStore::Reading> readings(qint64 id, const QDateTime &from, const QDateTime &to)
    {
        return m_values.contains(id) ? store().readings(id, from, to) : QList<ValueStore::Reading>();
    }

signals:
    void added(qint64 id);
    void removed(qint64 id);
    // Its row reads differently: a reading, a reason it was not read, a name, a level.
    void changed(qint64 id);
    void kept(qint64 id, const ValueStore::Reading &reading);
    // Once a page: the values it read with a number, kept.
    void readingsTaken(const QList<qint64> &read);
    void crossed(qint64 id, LevelCrossing::Crossed crossed, double level, const ValueStore::Reading &reading);
    // A move in percent (signed) from the number it started at: the previous close, or the
    // lowest or highest of the last minutes (0 for the close).
    void moved(qint64 id, double percent, double from, int minutes, const ValueStore::Reading &reading);
    // Not read for too long while its market is open; reason is the last attempt's, empty
    // where nothing said why.
    void fellLate(qint64 id, const QString &reason);
    // An alert went into the history, or those there were seen.
    void alertsChanged();
    void placesChanged(const QList<ValuePlace> &places);
    // A value's market changed: its page's hours out of sight with it.
    void marketsChanged();
    // Why the store could not be opened as it was; sent from the event loop, after the start.
    void storeProblem(const QString &problem);

private:
    ValueStore &store();
    void keepCrossing(FollowedValue &followed, const ValueStore::Reading &reading);
    void keepMove(FollowedValue &followed, const ValueStore::Reading &reading);
    void openStore();
    void loadValues();

    StoreLife m_life;
    WallClock m_clock;
    MarketDay m_day;
    AlertBook *m_book;
    QHash<qint64, FollowedValue> m_values;
};
