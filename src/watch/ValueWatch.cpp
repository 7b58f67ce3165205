#include "watch/ValueWatch.h"

#include <algorithm>

#include <QAction>
#include <QDir>
#include <QStandardPaths>

#include "common/MessageBox.h"
#include "common/ProgramSettings.h"
#include "watch/alerts/AlertSender.h"
#include "watch/FollowedValues.h"
#include "watch/rules/Lateness.h"
#include "watch/window/FollowedValuesPart.h"
#include "watch/phone/PhoneAlerts.h"
#include "watch/phone/PhoneDialog.h"

namespace {

// The phone's icons, by ntfy's names.
const QString Rising = QStringLiteral("chart_with_upwards_trend");
const QString Falling = QStringLiteral("chart_with_downwards_trend");

QStringList marketCaptions()
{
    QStringList captions;
    for (const Markets::Row &row : Markets::rows())
        captions.append(row.caption);
    return captions;
}

} // namespace

ValueWatch::ValueWatch(const QString &databasePath, DesktopNotifier::BusOpener openBus, std::optional<Markets> markets,
                       WallClock clock, QObject *parent)
    : QObject(parent)
    , m_clock(orSystemClock(std::move(clock)))
    , m_values(new FollowedValues(databasePath, m_clock, std::move(markets), this))
    , m_alerts(new AlertSender(std::move(openBus), this))
    , m_window(new FollowedValuesPart(*m_values, this))
    , m_phone(new PhoneAlerts([values = m_values] { return values->openedStore(); }, m_clock, this))
    , m_showWindow(new QAction(QStringLiteral("Valori seguiti"), this))
{
    m_showWindow->setObjectName(QStringLiteral("showFollowedValues"));
    connect(m_showWindow, &QAction::triggered, m_window, &FollowedValuesPart::showWindow);
    connect(m_alerts, &AlertSender::opened, m_window, &FollowedValuesPart::showValue);
    connect(m_alerts, &AlertSender::notDelivered, m_window, &FollowedValuesPart::showAlertList);
    // A value followed or not changes which values send to the phone: an id may come back.
    connect(m_values, &FollowedValues::placesChanged, m_phone, &PhoneAlerts::reload);
    connect(m_phone, &PhoneAlerts::placesChanged, this, &ValueWatch::publishPlaces);
    // Only the menus' ticks change: the pages go on being read as they are.
    connect(m_values, &FollowedValues::marketsChanged, this, &ValueWatch::publishMarkets);
    connect(m_values, &FollowedValues::crossed, this,
            [this](qint64 id, LevelCrossing::Crossed crossed, double level, const ValueStore::Reading &reading) {
                alert(id, AlertSender::crossingWords(m_values->row(id).name, crossed, level, reading), true,
                      crossed == LevelCrossing::Crossed::Above ? Rising : Falling);
            });
    connect(m_values, &FollowedValues::moved, this,
            [this](qint64 id, double percent, double from, int minutes, const ValueStore::Reading &reading) {
                alert(id, AlertSender::moveWords(m_values->row(id).name, percent, from, minutes, reading), false,
                      percent > 0 ? Rising : Falling);
            });
    connect(m_values, &FollowedValues::fellLate, this, [this](qint64 id, const QString &reason) {
        const FollowedRow row = m_values->row(id);
        alert(id, AlertSender::lateWords(row.name, Lateness::since(row.lastTime, m_values->today()), reason), false,
              QStringLiteral("warning"));
    });
    connect(m_alerts, &AlertSender::desktopAnswered, this, [this](qint64 alertId, bool shown) {
        ValueStore *store = m_values->openedStore();
        if (alertId > 0 && store
            && store->alerts().setDesktop(alertId, shown ? AlertHistory::Desktop::Shown : AlertHistory::Desktop::ProgramList))
            m_window->alertsDelivered();
    });
    connect(m_phone, &PhoneAlerts::deliveryChanged, m_window, &FollowedValuesPart::alertsDelivered);
    // Told on the desktop, apart from any value's own notification, which it must not replace.
    connect(m_phone, &PhoneAlerts::refused, this, [this](const QString &detail) {
        m_alerts->send(0, {PhoneDialog::Title,
                           QStringLiteral("Il servizio non ha preso l'avviso (%1): controllate l'indirizzo e il token "
                                          "con «Avvisa anche sul telefono…».").arg(detail)});
    });
    connect(m_values, &FollowedValues::storeProblem, this, [](const QString &problem) {
        MessageBox::show(nullptr, QMessageBox::Warning, QStringLiteral("Valori seguiti"), problem);
    });
}

ValueWatch::~ValueWatch() = default;

QString ValueWatch::defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("valori-seguiti.sqlite"));
}

void ValueWatch::attach(BrowserPane &pane)
{
    m_panes.removeAll(nullptr);
    m_panes.append(&pane);
    pane.addMenuAction(m_showWindow);
    for (QAction *action : std::as_const(m_paneActions))
        pane.addMenuAction(action);
    connect(&pane, &BrowserPane::valuesRead, m_values, &FollowedValues::take);
    // Only the pane itself sends it, so it is there while the lambda runs.
    connect(&pane, &BrowserPane::valueAsked, this,
            [this, from = &pane](BrowserPane::ValueAsk ask, const ValuePick &pick) { answer(*from, ask, pick); });
    connect(&pane, &BrowserPane::marketChosen, this, &ValueWatch::chooseMarket);
    pane.setFollowedPlaces(m_values->places());
    pane.setPhonePlaces(m_phone->places());
    pane.setMarketChoices(marketCaptions(), marketChoices());
}

void ValueWatch::addPaneAction(QAction *action)
{
    m_paneActions.append(action);
    m_panes.removeAll(nullptr);
    for (const QPointer<BrowserPane> &pane : std::as_const(m_panes))
        pane->addMenuAction(action);
}

void ValueWatch::readInBackground(BackgroundReading &reading)
{
    delete m_background;
    m_background = new OutOfSightReading(*m_values, reading, m_clock, this);
    m_background->setIntervalMinutes(ProgramSettings::readIntervalMinutes());
    m_window->setIntervalMinutes(m_background->intervalMinutes());
    connect(m_window, &FollowedValuesPart::intervalChosen, m_background, [this](int minutes) {
        if (m_background->setIntervalMinutes(minutes))
            ProgramSettings::setReadIntervalMinutes(minutes);
    });
    connect(m_background, &OutOfSightReading::lateChanged, this, &ValueWatch::showLate);
}

void ValueWatch::showLate(const QList<qint64> &late)
{
    m_window->setLate(late);
    emit lateChanged(late);
    if (late.isEmpty()) {
        m_showWindow->setText(QStringLiteral("Valori seguiti"));
        m_showWindow->setToolTip(QString());
        return;
    }
    m_showWindow->setText(QStringLiteral("Valori seguiti (%1 in ritardo)").arg(late.size()));
    QStringList names;
    for (const qint64 id : late)
        names.append(m_values->row(id).name);
    m_showWindow->setToolTip(QStringLiteral("Non letti da più di due intervalli: %1").arg(names.join(QStringLiteral(", "))));
}

void ValueWatch::answer(BrowserPane &from, BrowserPane::ValueAsk ask, const ValuePick &pick)
{
    if (ask == BrowserPane::ValueAsk::Follow) {
        m_values->follow(pick);
        return;
    }
    const std::optional<qint64> id = m_values->idAt(pick.place);
    if (!id)
        return;
    QWidget *over = from.widget() ? from.widget()->window() : nullptr;
    if (ask == BrowserPane::ValueAsk::Unfollow)
        m_window->askUnfollow(*id, over);
    else if (ask == BrowserPane::ValueAsk::AlertPhone)
        m_phone->toggle(*id, over);
    else if (ask == BrowserPane::ValueAsk::AlertMove)
        m_window->askMove(*id, over);
    else
        m_window->askLevel(*id, ask == BrowserPane::ValueAsk::AlertAbove, pick.number, over);
}

void ValueWatch::chooseMarket(const ValuePlace &place, int choice)
{
    const std::optional<qint64> id = m_values->idAt(place);
    if (id && choice >= 0 && choice < int(Markets::rows().size()))
        m_values->setMarket(*id, Markets::rows().at(choice).id);
}

QList<std::pair<ValuePlace, int>> ValueWatch::marketChoices() const
{
    const auto &rows = Markets::rows();
    QList<std::pair<ValuePlace, int>> choices;
    for (const ValuePlace &place : m_values->places()) {
        const MarketId market = m_values->marketOf(m_values->idAt(place).value_or(0));
        const auto on = std::find_if(rows.begin(), rows.end(), [market](const Markets::Row &row) { return row.id == market; });
        choices.append({place, int(on - rows.begin())});
    }
    return choices;
}

void ValueWatch::publishPlaces()
{
    const QList<ValuePlace> places = m_values->places();
    const QList<ValuePlace> phone = m_phone->places();
    for (const QPointer<BrowserPane> &pane : std::as_const(m_panes)) {
        if (pane) {
            pane->setFollowedPlaces(places);
            pane->setPhonePlaces(phone);
        }
    }
    publishMarkets();
}

void ValueWatch::publishMarkets()
{
    const QList<std::pair<ValuePlace, int>> markets = marketChoices();
    for (const QPointer<BrowserPane> &pane : std::as_const(m_panes)) {
        if (pane)
            pane->setMarketChoices(marketCaptions(), markets);
    }
}

void ValueWatch::alert(qint64 valueId, const AlertSender::Words &words, bool high, const QString &tags)
{
    ValueStore *store = m_values->openedStore();
    const qint64 alertId = store ? store->alerts().lastAdded() : 0;
    m_alerts->send(valueId, words, alertId);
    const FollowedRow row = m_values->row(valueId);
    m_phone->send(valueId, alertId, {row.name, words.body, high, tags, row.address});
}
