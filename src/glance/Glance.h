#pragma once

#include <functional>
#include <memory>

#include <QDateTime>
#include <QList>
#include <QObject>

class QAction;
class QTimer;
class StripModel;
class StripWindow;
class ValueTray;
class ValueWatch;

// The followed values in sight outside the main windows: the tray while a value is followed
// and the desktop has one, and "Striscia dei valori", offered in every pane's menu and the
// tray's. The readings of one page come as many changes; the tray is drawn once for them all.
// The market's hours are the values' own and the time is the watch's clock, so that a test
// moving one clock moves the tray with the rest.
class Glance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Glance)
public:
    using TrayAvailable = std::function<bool()>;

    // trayAvailable: whether the desktop has a tray; the system's answer unless given.
    explicit Glance(ValueWatch &watch, TrayAvailable trayAvailable = {}, QObject *parent = nullptr);
    ~Glance() override;

    void showStrip();
    // The tray's icon and tooltip brought up to date now, rather than at the next turn of the
    // event loop.
    void updateTray();

    QAction &stripAction() const { return *m_stripAction; }
    // Made at the first need.
    ValueTray *tray() const { return m_tray; }
    StripWindow *strip() const { return m_strip.get(); }
    QTimer &marketCheckTimer() const { return *m_marketCheck; }

signals:
    // A click on the tray.
    void mainWindowAsked();
    // "Esci": the windows are closed as the user would close them, so that they keep what they keep.
    void quitAsked();

private:
    void valuesCameOrWent();
    void scheduleUpdate();
    void tellOnceWithoutTray();
    bool anyMarketOpen(const QDateTime &at) const;

    ValueWatch &m_watch;
    TrayAvailable m_trayAvailable;
    QAction *m_stripAction;
    ValueTray *m_tray = nullptr;
    std::unique_ptr<StripModel> m_model;
    std::unique_ptr<StripWindow> m_strip;
    QList<qint64> m_late;
    // Coalesces a page's changes into one drawing; and, while the tray is shown, notices the
    // market opening or closing with no reading to say so.
    QTimer *m_update;
    QTimer *m_marketCheck;
    bool m_wasOpen = false;
};
