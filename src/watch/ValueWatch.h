#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "panes/BrowserPane.h"
#include "market/Markets.h"
#include "watch/rules/OutOfSightReading.h"
#include "watch/alerts/AlertSender.h"
#include "watch/alerts/DesktopNotifier.h"

class BackgroundReading;
class FollowedValues;
class PhoneAlerts;
class QAction;
class FollowedValuesPart;

// The program's followed values, one for all windows: connects every pane to the values (the
// places to read, the readings, the menu's questions), a crossing to its alert on the desktop
// and, for the values that send there, on the phone, and "Valori seguiti" to every pane's menu.
class ValueWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueWatch)
public:
    // Without markets, every market is always open; without a clock, the system's.
    ValueWatch(const QString &databasePath, DesktopNotifier::BusOpener openBus, std::optional<Markets> markets = std::nullopt,
               WallClock clock = {}, QObject *parent = nullptr);
    ~ValueWatch() override;

    // The program's data folder's database.
    static QString defaultDatabasePath();

    // The pane reads the followed values of its pages from now on, and its menu offers them.
    void attach(BrowserPane &pane);

    // Values no pane reads are read by reading from now on, while their market is open; the
    // interval is the user's setting.
    void readInBackground(BackgroundReading &reading);

    // Put in the menu of every pane, those attached already and those to come.
    void addPaneAction(QAction *action);

    FollowedValues &values() const { return *m_values; }
    // The time every part of the watch reads, so that a test moves them all at once.
    const WallClock &clock() const { return m_clock; }
    AlertSender &alerts() const { return *m_alerts; }
    FollowedValuesPart &window() const { return *m_window; }
    PhoneAlerts &phone() const { return *m_phone; }
    // Null before readInBackground.
    OutOfSightReading *outOfSight() const { return m_background; }

signals:
    // The values not read for too long, oldest id first; empty when none is late.
    void lateChanged(const QList<qint64> &late);

private:
    void publishPlaces();
    void publishMarkets();
    // Each followed value's market, indexing Markets::rows() as the panes' captions do.
    QList<std::pair<ValuePlace, int>> marketChoices() const;
    void showLate(const QList<qint64> &late);
    void answer(BrowserPane &from, BrowserPane::ValueAsk ask, const ValuePick &pick);
    // choice indexes Markets::rows(), as the panes were told.
    void chooseMarket(const ValuePlace &place, int choice);
    // The alert FollowedValues has just put in the history, to the desktop and the phone.
    void alert(qint64 valueId, const AlertSender::Words &words, bool high, const QString &tags);

    WallClock m_clock;
    FollowedValues *m_values;
    AlertSender *m_alerts;
    FollowedValuesPart *m_window;
    PhoneAlerts *m_phone;
    QAction *m_showWindow;
    QList<QAction *> m_paneActions;
    QList<QPointer<BrowserPane>> m_panes;
    OutOfSightReading *m_background = nullptr;
};
