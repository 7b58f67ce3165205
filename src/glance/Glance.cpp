#include "glance/Glance.h"

#include <algorithm>

#include <QAction>
#include <QSystemTrayIcon>
#include <QTimer>

#include "common/MessageBox.h"
#include "common/ProgramSettings.h"
#include "glance/StripModel.h"
#include "glance/StripWindow.h"
#include "glance/TrayPicture.h"
#include "glance/TrayTooltip.h"
#include "glance/ValueTray.h"
#include "watch/FollowedValues.h"
#include "watch/window/FollowedValuesWindow.h"
#include "watch/ValueWatch.h"
#include "watch/window/FollowedValuesPart.h"

namespace {

// Often enough that the icon greys within a minute of the close; nothing else wakes for it.
constexpr int MarketCheckMs = 60000;

} // namespace

Glance::Glance(ValueWatch &watch, TrayAvailable trayAvailable, QObject *parent)
    : QObject(parent)
    , m_watch(watch)
    , m_trayAvailable(trayAvailable ? std::move(trayAvailable) : TrayAvailable([] { return QSystemTrayIcon::isSystemTrayAvailable(); }))
    , m_stripAction(new QAction(QStringLiteral("Striscia dei valori"), this))
    , m_update(new QTimer(this))
    , m_marketCheck(new QTimer(this))
{
    m_stripAction->setObjectName(QStringLiteral("showValueStrip"));
    connect(m_stripAction, &QAction::triggered, this, &Glance::showStrip);
    watch.addPaneAction(m_stripAction);
    m_update->setSingleShot(true);
    m_update->setInterval(0);
    connect(m_update, &QTimer::timeout, this, &Glance::updateTray);
    m_marketCheck->setInterval(MarketCheckMs);
    connect(m_marketCheck, &QTimer::timeout, this, [this] {
        if (anyMarketOpen(m_watch.clock()()) != m_wasOpen)
            updateTray();
    });
    FollowedValues &values = watch.values();
    connect(&values, &FollowedValues::added, this, &Glance::valuesCameOrWent);
    connect(&values, &FollowedValues::removed, this, &Glance::valuesCameOrWent);
    connect(&values, &FollowedValues::changed, this, &Glance::scheduleUpdate);
    connect(&watch, &ValueWatch::lateChanged, this, [this](const QList<qint64> &late) {
        m_late = late;
        if (m_model)
            m_model->setLate(late);
        scheduleUpdate();
    });
    connect(&watch.window(), &FollowedValuesPart::opened, this, &Glance::tellOnceWithoutTray);
    valuesCameOrWent();
    if (ProgramSettings::stripOpen())
        showStrip();
}

// A strip still shown at the end was never hidden: its place is kept here.
Glance::~Glance()
{
    if (m_strip && m_strip->isVisible())
        ProgramSettings::setStripGeometry(m_strip->saveGeometry());
}

void Glance::showStrip()
{
    if (!m_strip) {
        m_model = std::make_unique<StripModel>(m_watch.values());
        m_model->setLate(m_late);
        m_strip = std::make_unique<StripWindow>(*m_model, m_watch.values());
        connect(m_strip.get(), &StripWindow::valueChosen, &m_watch.window(), &FollowedValuesPart::showValue);
    }
    m_strip->show();
    m_strip->raise();
    ProgramSettings::setStripOpen(true);
}

void Glance::valuesCameOrWent()
{
    const bool wanted = !m_watch.values().ids().isEmpty() && m_trayAvailable();
    if (!wanted) {
        if (m_tray)
            m_tray->hide();
        m_marketCheck->stop();
        return;
    }
    if (!m_tray) {
        m_tray = new ValueTray(this);
        connect(m_tray, &ValueTray::clicked, this, &Glance::mainWindowAsked);
        connect(m_tray, &ValueTray::followedValuesAsked, &m_watch.window(), &FollowedValuesPart::showWindow);
        connect(m_tray, &ValueTray::stripAsked, this, &Glance::showStrip);
        connect(m_tray, &ValueTray::quitAsked, this, &Glance::quitAsked);
    }
    m_marketCheck->start();
    updateTray();
}

// Grey only when no followed value can move: a value on New York's exchange still trades
// after Milan's close.
bool Glance::anyMarketOpen(const QDateTime &at) const
{
    const FollowedValues &values = m_watch.values();
    const QList<qint64> ids = values.ids();
    return std::any_of(ids.cbegin(), ids.cend(), [&values, &at](qint64 id) { return values.valueOpen(id, at); });
}

void Glance::scheduleUpdate()
{
    if (m_tray && m_tray->isVisible() && !m_update->isActive())
        m_update->start();
}

void Glance::updateTray()
{
    m_update->stop();
    if (!m_tray || !m_marketCheck->isActive())
        return;
    const QDateTime now = m_watch.clock()();
    m_wasOpen = anyMarketOpen(now);
    const QList<FollowedRow> rows = m_watch.values().rows();
    m_tray->show(TrayPicture::figure(rows, m_late, m_wasOpen), TrayTooltip::text(rows, m_late, now.date()));
}

// Once ever, not once a session: the desktop seldom changes, and a tray that appears later
// simply shows.
void Glance::tellOnceWithoutTray()
{
    if (m_trayAvailable() || ProgramSettings::trayHintGiven() || m_watch.values().ids().isEmpty())
        return;
    ProgramSettings::setTrayHintGiven();
    MessageBox::show(&m_watch.window().window(), QMessageBox::Information, QStringLiteral("Valori seguiti"),
                     QStringLiteral("Il desktop non ha un'area di notifica: su GNOME si ottiene con l'estensione "
                                    "AppIndicator."));
}
