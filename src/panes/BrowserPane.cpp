#include "panes/BrowserPane.h"

#include <QAction>
#include <QWidget>

#include "common/Twips.h"
#include "panes/SiteZoom.h"

BrowserPane::BrowserPane(QObject *parent)
    : QObject(parent)
{
}

BrowserPane::~BrowserPane() = default;

const QWidget *BrowserPane::placed() const
{
    return const_cast<BrowserPane *>(this)->widget();
}

double BrowserPane::leftTwips() const
{
    return Twips::fromPixels(placed()->x(), Twips::dpiX(placed()));
}

double BrowserPane::topTwips() const
{
    return Twips::fromPixels(placed()->y(), Twips::dpiY(placed()));
}

double BrowserPane::widthTwips() const
{
    return Twips::fromPixels(placed()->width(), Twips::dpiX(placed()));
}

double BrowserPane::heightTwips() const
{
    return Twips::fromPixels(placed()->height(), Twips::dpiY(placed()));
}

void BrowserPane::setLeftTwips(double twips)
{
    QWidget *w = widget();
    w->move(Twips::toPixels(twips, Twips::dpiX(w)), w->y());
}

void BrowserPane::setTopTwips(double twips)
{
    QWidget *w = widget();
    w->move(w->x(), Twips::toPixels(twips, Twips::dpiY(w)));
}

void BrowserPane::setWidthTwips(double twips)
{
    QWidget *w = widget();
    w->resize(qMax(0, Twips::toPixels(twips, Twips::dpiX(w))), w->height());
}

void BrowserPane::setHeightTwips(double twips)
{
    QWidget *w = widget();
    w->resize(w->width(), qMax(0, Twips::toPixels(twips, Twips::dpiY(w))));
}

QUrl BrowserPane::addressToUrl(const QString &address, const QString &folder)
{
    if (address.trimmed().isEmpty())
        return QUrl(QStringLiteral("about:blank"));
    // A relative name that exists in the working folder opens that file; anything else is
    // read as a web address the way a browser's address bar would.
    const QUrl url = QUrl::fromUserInput(address, folder);
    return url.isValid() ? url : QUrl(QStringLiteral("about:blank"));
}

void BrowserPane::addMenuAction(QAction *action)
{
    m_menuActions << action;
}

QList<QAction *> BrowserPane::menuActions() const
{
    QList<QAction *> actions;
    for (const QPointer<QAction> &action : m_menuActions) {
        if (action)
            actions << action.data();
    }
    return actions;
}

BrowserPane::MarketChoice BrowserPane::marketChoice(const ValuePlace &place) const
{
    for (const auto &[followed, current] : m_placeMarkets) {
        if (followed == place)
            return {m_marketCaptions, current};
    }
    return {m_marketCaptions, -1};
}

// Read from the settings at each load rather than held: every window's pane in the same place
// follows a choice made in another at its next load.
std::optional<int> BrowserPane::keptZoom(const QUrl &url) const
{
    if (!m_zoomKeptAs)
        return std::nullopt;
    const QStringList before = ProgramSettings::siteZooms(*m_zoomKeptAs);
    SiteZoom zooms(before);
    const int percent = zooms.use(url);
    if (zooms.lines() != before)
        ProgramSettings::setSiteZooms(*m_zoomKeptAs, zooms.lines());
    return percent;
}

void BrowserPane::keepZoom(const QUrl &url, int percent) const
{
    if (!m_zoomKeptAs)
        return;
    SiteZoom zooms(ProgramSettings::siteZooms(*m_zoomKeptAs));
    zooms.choose(url, percent);
    ProgramSettings::setSiteZooms(*m_zoomKeptAs, zooms.lines());
}
