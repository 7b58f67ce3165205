#include "watch/ValueWatch.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include "common/MessageBox.h"
#include "watch/AlertList.h"
#include "watch/AlertSound.h"
#include "watch/DesktopNotifier.h"
#include "watch/FollowedValuesWindow.h"
#include "watch/LevelText.h"
#include "watch/ReadingsCsv.h"
#include "watch/ValueQuestions.h"

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

ValueWatch::ValueWatch(const QString &databasePath, DesktopNotifier::BusOpener openBus, QObject *parent)
    : QObject(parent)
    , m_databasePath(databasePath)
    , m_notifier(new DesktopNotifier(std::move(openBus), this))
    , m_showWindow(new QAction(QStringLiteral("Valori seguiti"), this))
    , m_questions(new ValueQuestions(this))
{
    m_showWindow->setObjectName(QStringLiteral("showFollowedValues"));
    connect(m_showWindow, &QAction::triggered, this, [this] {
        window().show();
        window().raise();
        window().activateWindow();
    });
    connect(m_notifier, &DesktopNotifier::notDelivered, this,
            [this](const QString &summary, const QString &body) { alertList().add(summary, body); });
    // The user's answers come back for a value that may have gone meanwhile, from another window.
    connect(m_questions, &ValueQuestions::levelGiven, this, [this](qint64 id, bool above, std::optional<double> level) {
        if (!m_values.contains(id))
            return;
        LevelCrossing::Levels levels = m_values[id].value.levels;
        (above ? levels.above : levels.below) = level;
        setLevels(id, levels);
    });
    connect(m_questions, &ValueQuestions::marginGiven, this, [this](qint64 id, double percent) {
        if (!m_values.contains(id))
            return;
        LevelCrossing::Levels levels = m_values[id].value.levels;
        levels.marginPercent = percent;
        setLevels(id, levels);
    });
    connect(m_questions, &ValueQuestions::nameGiven, this, &ValueWatch::rename);
    connect(m_questions, &ValueQuestions::unfollowConfirmed, this, &ValueWatch::unfollow);
    connect(m_questions, &ValueQuestions::exportPathGiven, this, &ValueWatch::exportReadings);
    // Values followed in an earlier session are read from the start, for the first pages.
    if (QFileInfo::exists(m_databasePath))
        openStore();
}

ValueWatch::~ValueWatch() = default;

QString ValueWatch::defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("valori-seguiti.sqlite"));
}

ValueStore &ValueWatch::store()
{
    if (!m_store)
        openStore();
    return *m_store;
}

void ValueWatch::openStore()
{
    m_store = std::make_unique<ValueStore>(m_databasePath);
    m_store->prune(QDateTime::currentDateTime());
    m_prunedOn = QDate::currentDate();
    loadValues();
    // Opened late, the file may hold values another copy of the program followed meanwhile.
    if (!m_values.isEmpty())
        publishPlaces();
    if (const QString problem = m_store->openingProblem(); !problem.isEmpty()) {
        // Not inside what opened the file: at start, after the first window is up.
        QTimer::singleShot(0, this, [problem] {
            MessageBox::show(nullptr, QMessageBox::Warning, QStringLiteral("Valori seguiti"), problem);
        });
    }
}

void ValueWatch::loadValues()
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const ValueStore::Value &value : m_store->values()) {
        Tracked tracked{value, {}, std::nullopt, m_store->lastReading(value.id), QString(), QDateTime()};
        tracked.crossing.setLevels(value.levels);
        const auto today = m_store->readings(value.id, now.date().startOfDay(), now.date().endOfDay());
        if (!today.isEmpty())
            tracked.first = today.first();
        m_values.insert(value.id, tracked);
    }
}

void ValueWatch::attach(BrowserPane &pane)
{
    m_panes.removeAll(nullptr);
    m_panes.append(&pane);
    pane.addMenuAction(m_showWindow);
    connect(&pane, &BrowserPane::valuesRead, this, &ValueWatch::record);
    // Only the pane itself sends it, so it is there while the lambda runs.
    connect(&pane, &BrowserPane::valueAsked, this, [this, from = &pane](BrowserPane::ValueAsk ask, const ValuePick &pick) {
        if (ask == BrowserPane::ValueAsk::Follow) {
            follow(pick);
            return;
        }
        QWidget *over = from->widget() ? from->widget()->window() : nullptr;
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
            if (!(it->value.place == pick.place))
                continue;
            if (ask == BrowserPane::ValueAsk::Unfollow)
                m_questions->askUnfollow(it.key(), it->value.name, over);
            else
                askLevel(it.key(), ask, pick.number, over);
            return;
        }
    });
    publishPlaces();
}

void ValueWatch::publishPlaces()
{
    QList<ValuePlace> places;
    for (const Tracked &tracked : std::as_const(m_values))
        places.append(tracked.value.place);
    for (const QPointer<BrowserPane> &pane : std::as_const(m_panes)) {
        if (pane)
            pane->setFollowedPlaces(places);
    }
}

void ValueWatch::record(const QList<ValueReading> &readings)
{
    QList<std::pair<qint64, ValueStore::Reading>> kept;
    for (const ValueReading &reading : readings) {
        for (auto it = m_values.begin(); it != m_values.end(); ++it) {
            Tracked &tracked = *it;
            if (!(tracked.value.place == reading.place))
                continue;
            // Not read: nothing kept, and the levels neither alert nor re-arm.
            if (!reading.number) {
                tracked.unreadReason = reading.reason.isEmpty() ? QStringLiteral("valore non trovato") : reading.reason;
                continue;
            }
            // A value followed before headings were kept takes the one it is read under now.
            if (tracked.value.heading.isEmpty() && !reading.heading.isEmpty()
                && store().setHeading(it.key(), reading.heading))
                tracked.value.heading = reading.heading;
            // A column added before the value's puts another column's number in its place.
            if (!sameHeading(tracked.value.heading, reading.heading)) {
                tracked.unreadReason = QStringLiteral("la colonna \u00ab%1\u00bb ora \u00e8 \u00ab%2\u00bb")
                                           .arg(tracked.value.heading, reading.heading);
                continue;
            }
            const ValueStore::Reading value{reading.time, *reading.number};
            tracked.unreadReason.clear();
            // A later reading of the same second replaces the earlier one in the store too.
            if (!tracked.first || tracked.first->time.date() != value.time.date()
                || tracked.first->time.toSecsSinceEpoch() == value.time.toSecsSinceEpoch())
                tracked.first = value;
            tracked.last = value;
            kept.append({it.key(), value});
            const LevelCrossing::Crossed crossed = tracked.crossing.feed(value.number);
            if (crossed != LevelCrossing::Crossed::None)
                alert(tracked, crossed, value);
            else if (tracked.crossing.isAboveArmed() && tracked.crossing.isBelowArmed())
                tracked.beyond = false;
        }
    }
    if (!kept.isEmpty()) {
        store().record(kept);
        // A program left running for weeks keeps a month, as one started every morning does.
        const QDateTime newest = kept.constLast().second.time;
        if (m_prunedOn != newest.date()) {
            m_store->prune(newest);
            m_prunedOn = newest.date();
        }
    }
    refreshWindow();
}

void ValueWatch::alert(Tracked &tracked, LevelCrossing::Crossed crossed, const ValueStore::Reading &reading)
{
    const bool above = crossed == LevelCrossing::Crossed::Above;
    const double level = above ? *tracked.value.levels.above : *tracked.value.levels.below;
    // The name comes from a web page, and notification services read markup in the body.
    QString name = tracked.value.name;
    name.replace(QLatin1Char('<'), QChar(0x2039)).replace(QLatin1Char('>'), QChar(0x203a));
    const QString summary = QStringLiteral("%1 %2 %3").arg(name, above ? QStringLiteral("sopra") : QStringLiteral("sotto"),
                                                           LevelText::price(level));
    const QString body = QStringLiteral("%1 vale %2 alle %3: %4 al livello di %5 o %6.")
                             .arg(name, LevelText::price(reading.number), reading.time.toString(QStringLiteral("HH:mm:ss")),
                                  above ? QStringLiteral("\u00e8 salito") : QStringLiteral("\u00e8 sceso"), LevelText::price(level),
                                  above ? QStringLiteral("oltre") : QStringLiteral("sotto"));
    tracked.alertedAt = reading.time;
    tracked.beyond = true;
    m_notifier->notify(tracked.value.id, summary, body);
    emit alerted(tracked.value.id, summary, body);
}

void ValueWatch::follow(const ValuePick &pick)
{
    if (!pick.number || !pick.followable)
        return;
    const QString name = pick.name.trimmed().isEmpty() ? QStringLiteral("Valore") : pick.name.trimmed();
    const std::optional<qint64> id = store().follow(pick.place, name, pick.heading);
    if (!id)
        return;
    if (!m_values.contains(*id)) {
        Tracked tracked;
        tracked.value = {*id, pick.place, name, {}, pick.heading};
        m_values.insert(*id, tracked);
        publishPlaces();
    }
    // What the user pointed at is a reading of the page shown.
    record({{pick.place, pick.number, pick.text, QString(), QDateTime::currentDateTime(), pick.heading}});
}

void ValueWatch::askLevel(qint64 id, BrowserPane::ValueAsk which, std::optional<double> current, QWidget *over)
{
    if (!m_values.contains(id))
        return;
    const Tracked &tracked = m_values[id];
    const bool above = which == BrowserPane::ValueAsk::AlertAbove;
    const std::optional<double> set = above ? tracked.value.levels.above : tracked.value.levels.below;
    const std::optional<double> shown = current ? current : tracked.last ? std::optional(tracked.last->number) : set;
    if (!over && m_window && m_window->isVisible())
        over = m_window.get();
    m_questions->askLevel(id, tracked.value.name, above, shown, over);
}

void ValueWatch::setLevels(qint64 id, const LevelCrossing::Levels &levels)
{
    if (!m_values.contains(id) || !store().setLevels(id, levels))
        return;
    Tracked &tracked = m_values[id];
    tracked.value.levels = levels;
    tracked.crossing.setLevels(levels);
    refreshWindow();
}

void ValueWatch::rename(qint64 id, const QString &name)
{
    const QString clean = name.simplified();
    if (clean.isEmpty() || !m_values.contains(id) || !store().rename(id, clean))
        return;
    m_values[id].value.name = clean;
    refreshWindow();
}

void ValueWatch::unfollow(qint64 id)
{
    if (!m_values.contains(id) || !store().unfollow(id))
        return;
    m_values.remove(id);
    publishPlaces();
    refreshWindow();
}

void ValueWatch::exportReadings(qint64 id, const QString &path)
{
    if (!m_values.contains(id))
        return;
    const auto readings = store().readings(id, QDateTime::fromSecsSinceEpoch(0), QDateTime::currentDateTime().addYears(1));
    QString error;
    if (!ReadingsCsv::save(path, m_values[id].value.name, readings, &error))
        MessageBox::show(m_window.get(), QMessageBox::Warning, QStringLiteral("Esporta CSV"),
                         QStringLiteral("Il file \u00ab%1\u00bb non \u00e8 stato scritto: %2")
                             .arg(QDir::toNativeSeparators(path), error));
}

QList<FollowedRow> ValueWatch::rows() const
{
    QList<FollowedRow> rows;
    for (const Tracked &tracked : m_values) {
        FollowedRow row;
        row.id = tracked.value.id;
        row.name = tracked.value.name;
        row.address = tracked.value.place.address;
        if (tracked.last) {
            row.last = tracked.last->number;
            row.lastTime = tracked.last->time;
        }
        if (tracked.last && tracked.first && tracked.first->time.date() == tracked.last->time.date()) {
            row.change = tracked.last->number - tracked.first->number;
            if (tracked.first->number != 0)
                row.changePercent = *row.change / qAbs(tracked.first->number) * 100.0;
        }
        row.unreadReason = tracked.unreadReason;
        row.above = tracked.value.levels.above;
        row.below = tracked.value.levels.below;
        row.marginPercent = tracked.value.levels.marginPercent;
        if (tracked.alertedAt.date() == QDate::currentDate())
            row.alertedAt = tracked.alertedAt;
        row.beyond = tracked.beyond;
        rows.append(row);
    }
    std::sort(rows.begin(), rows.end(), [](const FollowedRow &a, const FollowedRow &b) { return a.id < b.id; });
    return rows;
}

void ValueWatch::refreshWindow()
{
    if (m_window && m_window->isVisible())
        m_window->setRows(rows());
}

void ValueWatch::showChart(qint64 id)
{
    if (!m_window || !m_values.contains(id))
        return;
    const Tracked &tracked = m_values[id];
    const QDate day = tracked.last ? tracked.last->time.date() : QDate::currentDate();
    m_window->showChart(tracked.value.name, store().readings(id, day.startOfDay(), day.endOfDay()),
                        tracked.value.levels.above, tracked.value.levels.below);
}

FollowedValuesWindow &ValueWatch::window()
{
    if (!m_window) {
        m_window = std::make_unique<FollowedValuesWindow>();
        FollowedValuesWindow *w = m_window.get();
        connect(w, &FollowedValuesWindow::chartAsked, this, &ValueWatch::showChart);
        connect(w, &FollowedValuesWindow::levelAsked, this, [this](qint64 id, BrowserPane::ValueAsk which) {
            askLevel(id, which);
        });
        connect(w, &FollowedValuesWindow::levelsCleared, this, [this](qint64 id) {
            if (m_values.contains(id))
                setLevels(id, {std::nullopt, std::nullopt, m_values[id].value.levels.marginPercent});
        });
        connect(w, &FollowedValuesWindow::renameAsked, this, [this](qint64 id) {
            if (m_values.contains(id))
                m_questions->askName(id, m_values[id].value.name, m_window.get());
        });
        connect(w, &FollowedValuesWindow::marginAsked, this, [this](qint64 id) {
            if (m_values.contains(id))
                m_questions->askMargin(id, m_values[id].value.levels.marginPercent, m_window.get());
        });
        connect(w, &FollowedValuesWindow::exportAsked, this, [this](qint64 id) {
            if (m_values.contains(id))
                m_questions->askExportPath(id, m_values[id].value.name, m_window.get());
        });
        connect(w, &FollowedValuesWindow::unfollowAsked, this, [this](qint64 id) {
            if (m_values.contains(id))
                m_questions->askUnfollow(id, m_values[id].value.name, m_window.get());
        });
    }
    m_window->setRows(rows());
    return *m_window;
}

AlertList &ValueWatch::alertList()
{
    if (!m_alerts)
        m_alerts = std::make_unique<AlertList>();
    return *m_alerts;
}
