#include "watch/ValueWatch.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include "common/MessageBox.h"
#include "watch/AlertList.h"
#include "watch/AlertSound.h"
#include "watch/DesktopNotifier.h"
#include "watch/FollowedValuesWindow.h"
#include "watch/LevelText.h"
#include "watch/ReadingsCsv.h"

namespace {


// A line of text from the user, in a dialog that speaks Italian whatever the desktop's
// language; nullopt when cancelled, or when its window went while it was open.
std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label, const QString &text)
{
    QPointer<QInputDialog> dialog = new QInputDialog(parent);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setTextValue(text);
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Annulla"));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return std::nullopt;
    const QString typed = dialog->textValue();
    delete dialog;
    return accepted ? std::optional(typed) : std::nullopt;
}

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
{
    m_showWindow->setObjectName(QStringLiteral("showFollowedValues"));
    connect(m_showWindow, &QAction::triggered, this, [this] {
        window().show();
        window().raise();
        window().activateWindow();
    });
    connect(m_notifier, &DesktopNotifier::notDelivered, this,
            [this](const QString &summary, const QString &body) { alertList().add(summary, body); });
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
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
            if (it->value.place == pick.place)
                askLevel(it.key(), ask, pick.number, from->widget() ? from->widget()->window() : nullptr);
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
    m_notifier->notify(summary, body);
    AlertSound::play();
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
    openLevelDialog(id, above, shown ? LevelText::format(*shown) : QString(), over);
}

void ValueWatch::openLevelDialog(qint64 id, bool above, const QString &text, QWidget *over)
{
    if (!over && m_window && m_window->isVisible())
        over = m_window.get();
    // Text, not a spin box: one in Italian takes "1240.5" as 12405 without a word, and would
    // cut a price of 0,000123 to four decimals.
    auto *dialog = new QInputDialog(over);
    dialog->setObjectName(QStringLiteral("levelDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(text);
    dialog->setOkButtonText(QStringLiteral("OK"));
    dialog->setCancelButtonText(QStringLiteral("Annulla"));
    dialog->setWindowTitle(above ? QStringLiteral("Avvisami sopra") : QStringLiteral("Avvisami sotto"));
    dialog->setLabelText((above ? QStringLiteral("Avvisami quando \u00ab%1\u00bb sale a:")
                                : QStringLiteral("Avvisami quando \u00ab%1\u00bb scende a:"))
                             .arg(m_values[id].value.name)
                         + QStringLiteral("\n(vuoto: nessun avviso %1)").arg(above ? QStringLiteral("sopra") : QStringLiteral("sotto")));
    QPointer<QWidget> parent(over);
    connect(dialog, &QInputDialog::textValueSelected, this, [this, id, above, parent](const QString &typed) {
        if (!m_values.contains(id))
            return;
        LevelCrossing::Levels levels = m_values[id].value.levels;
        std::optional<double> &level = above ? levels.above : levels.below;
        if (typed.trimmed().isEmpty()) {
            level.reset();
        } else {
            QString problem;
            level = LevelText::parse(typed, &problem);
            if (!level) {
                MessageBox::show(parent, QMessageBox::Warning,
                                 above ? QStringLiteral("Avvisami sopra") : QStringLiteral("Avvisami sotto"),
                                 problem + QStringLiteral(" Scrivete il livello come 14,25 o 1.234,56."));
                openLevelDialog(id, above, typed, parent);
                return;
            }
        }
        setLevels(id, levels);
    });
    dialog->open();
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
        connect(w, &FollowedValuesWindow::renameAsked, this, &ValueWatch::askName);
        connect(w, &FollowedValuesWindow::marginAsked, this, &ValueWatch::askMargin);
        connect(w, &FollowedValuesWindow::exportAsked, this, &ValueWatch::askExport);
        connect(w, &FollowedValuesWindow::unfollowAsked, this, &ValueWatch::askUnfollow);
    }
    m_window->setRows(rows());
    return *m_window;
}

void ValueWatch::askName(qint64 id)
{
    if (!m_values.contains(id))
        return;
    if (const auto name = askText(m_window.get(), QStringLiteral("Rinomina"), QStringLiteral("Nome:"),
                                  m_values[id].value.name))
        rename(id, *name);
}

void ValueWatch::askUnfollow(qint64 id)
{
    if (!m_values.contains(id))
        return;
    // A month of readings goes with it, and a stray click must not cost them.
    const QString title = QStringLiteral("Non seguire pi\u00f9");
    const QString text = QStringLiteral("Non seguire pi\u00f9 \u00ab%1\u00bb? Le sue letture registrate saranno "
                                        "cancellate.").arg(m_values[id].value.name);
    const bool sure = MessageBox::ask({QMessageBox::Question, title, text, MessageBox::Kind::Confirm, m_window.get()}, [&] {
                          QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, m_window.get());
                          const QAbstractButton *yes = box.addButton(title, QMessageBox::AcceptRole);
                          box.setDefaultButton(box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
                          box.exec();
                          return MessageBox::Answer{box.clickedButton() == yes, {}};
                      }).accepted;
    if (sure)
        unfollow(id);
}

void ValueWatch::askMargin(qint64 id)
{
    QString text = m_values.contains(id) ? LevelText::format(m_values[id].value.levels.marginPercent) : QString();
    while (m_values.contains(id)) {
        const auto typed = askText(m_window.get(), QStringLiteral("Margine"),
                                   QStringLiteral("Dopo un avviso, il prossimo arriva solo quando il valore\n\u00e8 "
                                                  "tornato indietro di questa percentuale del livello (da 0 a 50):"),
                                   text);
        if (!typed || !m_values.contains(id))
            return;
        QString problem;
        const std::optional<double> margin = LevelText::parse(*typed, &problem);
        if (margin && *margin >= 0 && *margin <= 50) {
            LevelCrossing::Levels levels = m_values[id].value.levels;
            levels.marginPercent = *margin;
            setLevels(id, levels);
            return;
        }
        MessageBox::show(m_window.get(), QMessageBox::Warning, QStringLiteral("Margine"),
                         margin ? QStringLiteral("Il margine \u00e8 una percentuale del livello, da 0 a 50.") : problem);
        text = *typed;
    }
}

void ValueWatch::askExport(qint64 id)
{
    if (!m_values.contains(id))
        return;
    QString base = m_values[id].value.name;
    base.replace(QRegularExpression(QStringLiteral("[^\\w\\-. ]")), QStringLiteral("_"));
    // A desktop without a documents folder: the home folder, not wherever the program started.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString path = QFileDialog::getSaveFileName(m_window.get(), QStringLiteral("Esporta CSV"),
                                                      QDir(folder).filePath(base + QStringLiteral(".csv")),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        exportReadings(id, path);
}

AlertList &ValueWatch::alertList()
{
    if (!m_alerts)
        m_alerts = std::make_unique<AlertList>();
    return *m_alerts;
}
