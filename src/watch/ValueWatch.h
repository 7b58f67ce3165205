#pragma once

#include <memory>

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include "panes/BrowserPane.h"
#include "watch/DesktopNotifier.h"
#include "watch/FollowedRow.h"
#include "watch/LevelCrossing.h"
#include "watch/ValueStore.h"

class AlertList;
class FollowedValuesWindow;
class QAction;
class ValueQuestions;
class QWidget;

// The program's followed values: one for all windows. Tells every pane which values to read,
// keeps what they read, alerts when a value crosses a level (a desktop notification, a sound,
// the value's row marked; the program's own alert window where no notification service
// answers), and drives the "Valori seguiti" window. The database is opened at start only
// where its file is there already, else at the first value followed: with nothing ever
// followed, the program loads neither SQLite nor its driver.
class ValueWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueWatch)
public:
    ValueWatch(const QString &databasePath, DesktopNotifier::BusOpener openBus, QObject *parent = nullptr);
    ~ValueWatch() override;

    // The program's data folder's database.
    static QString defaultDatabasePath();

    // The pane reads the followed values of its pages from now on, and its menu offers them.
    void attach(BrowserPane &pane);

    void record(const QList<ValueReading> &readings);
    void follow(const ValuePick &pick);
    // The dialog for the level, over the window given (else "Valori seguiti" where open).
    void askLevel(qint64 id, BrowserPane::ValueAsk which, std::optional<double> current = std::nullopt,
                  QWidget *over = nullptr);
    void setLevels(qint64 id, const LevelCrossing::Levels &levels);
    void rename(qint64 id, const QString &name);
    void unfollow(qint64 id);
    void exportReadings(qint64 id, const QString &path);

    QList<FollowedRow> rows() const;
    FollowedValuesWindow &window();
    AlertList &alertList();

signals:
    // A reading crossed a level; summary and body as the notification says them.
    void alerted(qint64 id, const QString &summary, const QString &body);

private:
    struct Tracked
    {
        ValueStore::Value value;
        LevelCrossing crossing;
        std::optional<ValueStore::Reading> first;
        std::optional<ValueStore::Reading> last;
        QString unreadReason;
        QDateTime alertedAt;
        bool beyond = false;
    };

    ValueStore &store();
    void openStore();
    void loadValues();
    void publishPlaces();
    void refreshWindow();
    void showChart(qint64 id);
    void alert(Tracked &tracked, LevelCrossing::Crossed crossed, const ValueStore::Reading &reading);

    QString m_databasePath;
    std::unique_ptr<ValueStore> m_store;
    QDate m_prunedOn;
    QHash<qint64, Tracked> m_values;
    QList<QPointer<BrowserPane>> m_panes;
    DesktopNotifier *m_notifier;
    QAction *m_showWindow;
    ValueQuestions *m_questions;
    std::unique_ptr<FollowedValuesWindow> m_window;
    std::unique_ptr<AlertList> m_alerts;
};
