#include "watch/ValueWatch.h"

#include <QAction>
#include <QDir>
#include <QStandardPaths>

#include "common/MessageBox.h"
#include "common/ProgramSettings.h"
#include "watch/alerts/AlertSender.h"
#include "watch/FollowedValues.h"
#include "watch/window/FollowedValuesPart.h"

ValueWatch::ValueWatch(const QString &databasePath, DesktopNotifier::BusOpener openBus, std::optional<Markets> markets,
                       QObject *parent)
    : QObject(parent)
    , m_values(new FollowedValues(databasePath, {}, std::move(markets), this))
    , m_alerts(new AlertSender(std::move(openBus), this))
    , m_window(new FollowedValuesPart(*m_values, this))
    , m_showWindow(new QAction(QStringLiteral("Valori seguiti"), this))
{
    m_showWindow->setObjectName(QStringLiteral("showFollowedValues"));
    connect(m_showWindow, &QAction::triggered, m_window, &FollowedValuesPart::showWindow);
    connect(m_alerts, &AlertSender::opened, m_window, &FollowedValuesPart::showValue);
    connect(m_alerts, &AlertSender::notDelivered, m_window, &FollowedValuesPart::showAlertList);
    connect(m_values, &FollowedValues::placesChanged, this, &ValueWatch::publishPlaces);
    connect(m_values, &FollowedValues::crossed, this,
            [this](qint64 id, LevelCrossing::Crossed crossed, double level, const ValueStore::Reading &reading) {
                m_alerts->sendCrossing(id, m_values->row(id).name, crossed, level, reading);
            });
    connect(m_values, &FollowedValues::moved, this,
            [this](qint64 id, double percent, double from, int minutes, const ValueStore::Reading &reading) {
                m_alerts->sendMove(id, m_values->row(id).name, percent, from, minutes, reading);
            });
    connect(m_values, &FollowedValues::silent, this, [this](qint64 id, const QString &reason) {
        m_alerts->sendSilence(id, m_values->row(id).name, FollowedValues::UnreadBeforeSilence, reason);
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
    connect(&pane, &BrowserPane::valuesRead, m_values, &FollowedValues::take);
    // Only the pane itself sends it, so it is there while the lambda runs.
    connect(&pane, &BrowserPane::valueAsked, this,
            [this, from = &pane](BrowserPane::ValueAsk ask, const ValuePick &pick) { answer(*from, ask, pick); });
    pane.setFollowedPlaces(m_values->places());
}

void ValueWatch::readInBackground(BackgroundReading &reading)
{
    delete m_background;
    m_background = new OutOfSightReading(*m_values, reading, {}, this);
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
    else if (ask == BrowserPane::ValueAsk::AlertMove)
        m_window->askMove(*id, over);
    else
        m_window->askLevel(*id, ask == BrowserPane::ValueAsk::AlertAbove, pick.number, over);
}

void ValueWatch::publishPlaces()
{
    const QList<ValuePlace> places = m_values->places();
    for (const QPointer<BrowserPane> &pane : std::as_const(m_panes)) {
        if (pane)
            pane->setFollowedPlaces(places);
    }
}
