#include "panes/WebEnginePane.h"

#include <csignal>

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "panes/ChangeHighlight.h"
#include "panes/FreezeWatch.h"
#include "panes/PaneKeys.h"
#include "panes/PaneMenu.h"
#include "panes/PendingRefresh.h"
#include "panes/RecentInput.h"
#include "panes/SilentPage.h"
#include "panes/webengine/ValueReader.h"

WebEnginePane::WebEnginePane(QWebEngineProfile *profile, QWidget *parent)
    : m_frame(new QWidget(parent))
    , m_view(new QWebEngineView(m_frame))
    , m_page(new SilentPage(profile, m_view))
    , m_recentInput(new RecentInput(*m_frame, this))
    , m_changes(new ChangeHighlight(this))
    , m_values(new ValueReader(this))
    , m_freezeWatch(new FreezeWatch(this))
{
    setParent(m_frame);
    new PaneKeys(*this, *m_frame);
    connect(m_freezeWatch, &FreezeWatch::frozen, this, &WebEnginePane::endFrozen);
    connect(m_values, &ValueReader::taken, this, &BrowserPane::valuesRead);
    connect(m_values, &ValueReader::changed, this, [this](QWebEnginePage *page) {
        if (page == m_page && !m_loading && !m_crashed)
            m_values->report(m_page);
    });
    m_frame->installEventFilter(this);
    m_view->setPage(m_page);
    attach(m_page);
    // A click into the page gives the focus to the view's focus proxy, an inner widget the
    // engine creates, not to the view: watch the application's focus instead.
    connect(qApp, &QApplication::focusChanged, this, &WebEnginePane::onFocusChanged);
}

WebEnginePane::~WebEnginePane() = default;

void WebEnginePane::attach(SilentPage *page)
{
    page->setRecentInput(m_recentInput);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this, view = m_view](const QPoint &pos) { PaneMenu::popup(*this, *view, pos); });
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_loading = true; });
    connect(page, &SilentPage::loadSettled, this, &WebEnginePane::shownLoadSettled);
    connect(page, &QWebEnginePage::loadProgress, this, &BrowserPane::loadProgress);
    connect(page, &QWebEnginePage::scrollPositionChanged, this, &WebEnginePane::scrolled);
    connect(page, &QWebEnginePage::newWindowRequested, this, &WebEnginePane::onNewWindowRequested);
    connect(page, &SilentPage::consoleMessage, this,
            [this, page](const QString &message) { m_values->consoleMessage(page, message); });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    showCrash();
            });
}

void WebEnginePane::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    // A request left unopened is dropped by the engine before any page is made for it, so a
    // page asking by itself, even twenty times a second, costs nothing. After a click the
    // address gets a window of its own: never this pane, where the user watches a page,
    // and never an empty or about: page, which a script would fill with what it likes.
    // One click opens one window.
    const QUrl url = request.requestedUrl();
    if (!request.isUserInitiated() || url.isEmpty() || url.scheme() == QLatin1String("about")
        || url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String("javascript"))
        return;
    // The engine's own rule, that a web page cannot open a local file, holds for new windows.
    if (url.isLocalFile() && !m_page->url().isLocalFile())
        return;
    if (m_recentInput->allows(AskedWithinMs, 1))
        emit newWindowRequested(url.toString());
}

void WebEnginePane::shownLoadSettled(bool ok, const QString &reason)
{
    m_loading = false;
    emit loadProgress(100);
    // The crash notice is a page of ours, not the one the user was watching.
    if (m_crashed)
        return;
    m_lastLoadOk = ok;
    if (ok) {
        m_changes->compare(m_page);
        emit loaded();
        m_values->report(m_page);
        m_values->watch(m_page);
    } else {
        emit loadFailed(reason, false);
        m_values->report(m_values->unread(m_page->url(), reason));
    }
}

void WebEnginePane::showCrash()
{
    abandonRefresh();
    // A dead page stays grey and ignores a plain reload. Say so in the pane, and keep the
    // address so that the next refresh or the page's address ("+P", "Nuova") still mean the
    // page the user was watching.
    if (!m_crashed) {
        m_crashedUrl = m_page->url();
        m_crashedTitle = m_page->title();
    }
    m_crashed = true;
    const QString reason = m_endedFrozen ? QStringLiteral("la pagina non rispondeva ed \u00e8 stata chiusa")
                                         : QStringLiteral("la pagina si \u00e8 interrotta");
    m_endedFrozen = false;
    m_page->setHtml(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Pagina interrotta</title></head>"
        "<body style=\"font-family:sans-serif;margin:2em;color:#333\"><h3>%1.</h3>"
        "<p>Premere \u00abA\u00bb, \u00abAggiorna\u00bb o \u00abGO\u00bb per caricarla di nuovo.</p></body></html>")
                        .arg(reason.left(1).toUpper() + reason.mid(1)));
    emit loadFailed(reason, false);
}

void WebEnginePane::endFrozen(QWebEnginePage *page, qint64 processId)
{
    if (page != m_page || m_crashed)
        return;
    // The engine has no way to stop a script; ending its process is what brings the page
    // back, through the same notice and reload as a crash.
    m_endedFrozen = true;
    ::kill(pid_t(processId), SIGKILL);
}

WebEnginePane *WebEnginePane::showing(const QWebEnginePage *page)
{
    // The shown page's parent is its view, and the view's is the frame that owns the pane.
    auto *view = page ? qobject_cast<QWidget *>(page->parent()) : nullptr;
    QWidget *frame = view ? view->parentWidget() : nullptr;
    auto *pane = frame ? frame->findChild<WebEnginePane *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    return pane && pane->m_page == page ? pane : nullptr;
}

QWidget *WebEnginePane::widget()
{
    return m_frame;
}

void WebEnginePane::setSilent(bool silent)
{
    m_page->setSilent(silent);
}

bool WebEnginePane::isSilent() const
{
    return m_page->isSilent();
}

QUrl WebEnginePane::addressToUrl(const QString &address, const QString &folder)
{
    if (address.trimmed().isEmpty())
        return QUrl(QStringLiteral("about:blank"));
    // A relative name that exists in the working folder opens that file; anything else is
    // read as a web address the way a browser's address bar would.
    const QUrl url = QUrl::fromUserInput(address, folder);
    return url.isValid() ? url : QUrl(QStringLiteral("about:blank"));
}

void WebEnginePane::navigate(const QString &address)
{
    abandonRefresh();
    m_crashed = false;
    m_page->leaveOnRequest();
    m_page->loadAskedByUser();
    m_page->load(addressToUrl(address, workingFolder()));
}

bool WebEnginePane::goBack()
{
    if (!m_page->history()->canGoBack())
        return false;
    abandonRefresh();
    m_page->leaveOnRequest();
    m_page->loadAskedByUser();
    m_page->triggerAction(QWebEnginePage::Back);
    return true;
}

bool WebEnginePane::goForward()
{
    if (!m_page->history()->canGoForward())
        return false;
    abandonRefresh();
    m_page->leaveOnRequest();
    m_page->loadAskedByUser();
    m_page->triggerAction(QWebEnginePage::Forward);
    return true;
}

void WebEnginePane::refresh(Refresh kind)
{
    if (m_crashed) {
        m_crashed = false;
        m_page->loadForRefresh();
        m_page->load(m_crashedUrl);
        return;
    }
    // The page waits for the user's answer to its question, in an event loop of its own; a
    // refresh would take the page away from under it.
    if (m_page->isAsking()) {
        emit refreshPutOff();
        return;
    }
    m_freezeWatch->probe(m_page);
    // The automatic cycle never throws away what the user is typing into the page; it asks
    // the page first, and only when the pane has the keyboard.
    if (kind == Refresh::Automatic && owns(QApplication::focusWidget())) {
        QPointer<WebEnginePane> self(this);
        QPointer<SilentPage> asked(m_page);
        m_page->askIfTyping([self, asked](bool typing) {
            if (!self || self->m_page != asked)
                return;
            if (typing)
                emit self->refreshPutOff();
            else
                self->startRefresh();
        });
        return;
    }
    startRefresh();
}

void WebEnginePane::startRefresh()
{
    abandonRefresh();
    // Only a page that stands loaded is worth keeping; anything else (an error page, a page
    // still loading) is simply loaded again where it is.
    if (!m_lastLoadOk || m_loading || m_page->url().isEmpty()) {
        m_page->leaveOnRequest();
        m_page->loadForRefresh();
        m_page->triggerAction(QWebEnginePage::Reload);
        return;
    }
    m_pending = new PendingRefresh(*m_page, *m_frame, *m_changes, *m_values, m_refreshTimeoutMs, this);
    connect(m_pending, &PendingRefresh::progress, this, &BrowserPane::loadProgress);
    connect(m_pending, &PendingRefresh::ready, this, &WebEnginePane::showRefreshed);
    connect(m_pending, &PendingRefresh::failed, this, [this](const QString &reason) {
        abandonRefresh();
        emit loadProgress(100);
        emit loadFailed(reason, true);
        m_values->report(m_values->unread(m_page->url(), reason));
    });
}

void WebEnginePane::showRefreshed()
{
    if (m_page->isAsking()) {
        abandonRefresh();
        emit loadProgress(100);
        emit refreshPutOff();
        return;
    }
    QWebEngineView *old = m_view;
    const QList<ValueReading> readings = m_pending->readings();
    m_page->disconnect(this);
    m_view = m_pending->takeView();
    m_page = m_pending->page();
    attach(m_page);
    abandonRefresh();

    // The new view lies under the old one, already painted: hiding the old one is the swap.
    // The focus moves with it, and that is no click of the user's, so the hold stays as it is.
    const bool hadFocus = owns(QApplication::focusWidget());
    m_swapping = true;
    old->hide();
    if (hadFocus)
        m_view->setFocus();
    m_swapping = false;
    old->deleteLater();

    m_loading = false;
    m_lastLoadOk = true;
    emit loadProgress(100);
    emit loaded();
    m_values->report(readings);
    m_values->watch(m_page);
}

void WebEnginePane::abandonRefresh()
{
    if (!m_pending)
        return;
    m_pending->disconnect(this);
    // It may be in the middle of telling us something: not deleted under its own feet.
    m_pending->deleteLater();
    m_pending = nullptr;
}

void WebEnginePane::stop()
{
    abandonRefresh();
    m_page->triggerAction(QWebEnginePage::Stop);
}

QString WebEnginePane::locationUrl() const
{
    return (m_crashed ? m_crashedUrl : m_page->url()).toString();
}

QString WebEnginePane::locationName() const
{
    return m_crashed ? m_crashedTitle : m_page->title();
}

int WebEnginePane::zoomPercent() const
{
    return qRound(m_page->zoomFactor() * 100);
}

void WebEnginePane::setZoomPercent(int percent)
{
    m_page->setZoomFactor(percent / 100.0);
    if (m_pending)
        m_pending->page()->setZoomFactor(percent / 100.0);
    emit zoomChanged(zoomPercent());
}

void WebEnginePane::setFreezeTimeout(int ms)
{
    m_freezeWatch->setTimeout(ms);
}

bool WebEnginePane::isCrashed() const
{
    return m_crashed;
}

void WebEnginePane::holdScrollTop(int pixels)
{
    setHeldOffset(qMax(0, pixels));
}

void WebEnginePane::releaseScrollTop()
{
    setHeldOffset(-1);
}

void WebEnginePane::setHighlightChanges(bool on)
{
    m_changes->setEnabled(on);
}

void WebEnginePane::setFollowedPlaces(const QList<ValuePlace> &places)
{
    m_values->setPlaces(places);
    if (!m_loading && m_lastLoadOk && !m_crashed)
        m_values->watch(m_page);
}

void WebEnginePane::setHeldOffset(int pixels)
{
    m_page->setHeldOffset(pixels);
    if (m_pending)
        m_pending->page()->setHeldOffset(pixels);
}

void WebEnginePane::scrolled()
{
    // The page's own script keeps it in place; this catches a page that keeps the scroll
    // events from reaching it. The position comes with painted frames, so it costs nothing
    // while the page stands still.
    const int held = m_page->heldOffset();
    if (held >= 0 && !m_loading && qAbs(m_page->scrollPosition().y() - held) >= 1)
        m_page->setHeldOffset(held);
}

bool WebEnginePane::owns(const QWidget *widget) const
{
    return widget && (widget == m_frame || m_frame->isAncestorOf(widget));
}

void WebEnginePane::onFocusChanged(QWidget *old, QWidget *now)
{
    if (!m_swapping && owns(now) && !owns(old))
        emit gotFocus();
}

bool WebEnginePane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame && event->type() == QEvent::Resize) {
        for (QWebEngineView *view : m_frame->findChildren<QWebEngineView *>(Qt::FindDirectChildrenOnly))
            view->setGeometry(m_frame->rect());
    }
    return false;
}
