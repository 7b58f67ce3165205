#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "panes/BrowserPane.h"
#include "market/Markets.h"
#include "watch/rules/OutOfSightReading.h"
#include "watch/alerts/DesktopNotifier.h"

class AlertSender;
class BackgroundReading;
class FollowedValues;
class QAction;
class FollowedValuesPart;

// The program's followed values, one for all windows: connects every pane to the values (the
// places to read, the readings, the menu's questions), a crossing to its alert, and
// "Valori seguiti" to every pane's menu.
class ValueWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueWatch)
public:
    // Without markets, every market is always open.
    ValueWatch(const QString &databasePath, DesktopNotifier::BusOpener openBus, std::optional<Markets> markets = std::nullopt,
               QObject *parent = nullptr);
    ~ValueWatch() override;

    // The program's data folder's database.
    static QString defaultDatabasePath();

    // The pane reads the followed values of its pages from now on, and its menu offers them.
    void attach(BrowserPane &pane);

    // Values no pane reads are read by reading from now on, while their market is open; the
    // interval is the user's setting.
    void readInBackground(BackgroundReading &reading);

    FollowedValues &values() const { return *m_values; }
    AlertSender &alerts() const { return *m_alerts; }
    FollowedValuesPart &window() const { return *m_window; }

private:
    void publishPlaces();
    void showLate(const QList<qint64> &late);
    void answer(BrowserPane &from, BrowserPane::ValueAsk ask, const ValuePick &pick);

    FollowedValues *m_values;
    AlertSender *m_alerts;
    FollowedValuesPart *m_window;
    QAction *m_showWindow;
    QList<QPointer<BrowserPane>> m_panes;
    OutOfSightReading *m_background = nullptr;
};
