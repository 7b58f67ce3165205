#pragma once

#include <QDateTime>
#include <QObject>

#include "common/ProgramSettings.h"
#include "common/WallClock.h"
#include "market/Markets.h"

class BrowserPane;
class QAction;
class QTimer;

// "Aggiorna solo a mercato aperto" in one pane's context menu, kept in the program's own
// settings. While it is on and the market is closed, the switch asks that the cycle leave the
// pane alone and says when the market reopens; the user's own reloads are not its business.
// It looks at the clock at each change of the market's phase, and at least once a minute: a
// timer set for Monday morning on Friday evening would come late after a suspended night.
class MarketHoursSwitch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarketHoursSwitch)
public:
    MarketHoursSwitch(BrowserPane &pane, ProgramSettings::Pane which, const Markets &markets, MarketId market,
                      WallClock clock = {}, QObject *parent = nullptr);

    QAction *action() const { return m_action; }
    QTimer &checkTimer() const { return *m_checkTimer; }

    // Reads the clock and tells what changed; the window calls it once it has connected.
    void check();

signals:
    void automaticRefreshHeld(bool held);
    // "riapre lunedì alle 9:00" while the pane waits for the market, empty while it does not.
    void reopeningChanged(const QString &reopening);

private:
    QAction *m_action;
    QTimer *m_checkTimer;
    Markets m_markets;
    MarketId m_market;
    WallClock m_now;
    bool m_held = false;
    QString m_reopening;
};
