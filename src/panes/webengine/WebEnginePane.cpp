#include "panes/webengine/WebEnginePane.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWebEngineView>

#include "panes/webengine/ChangeHighlight.h"
#include "panes/webengine/PageRecovery.h"
#include "panes/webengine/PaneKeys.h"
#include "panes/webengine/PaneMenu.h"
#include "panes/webengine/PendingRefresh.h"
#include "panes/webengine/RecentInput.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/ValueReader.h"

WebEnginePane::WebEnginePane(QWebEngineProfile *profile, QWidget *parent)
    : m_frame(new QWidget(parent))
    , m_view(new QWebEngineView(m_frame))
    , m_page(new SilentPage(profile, m_view))
    , m_recentInput(new RecentInput(*m_frame, this))
    , m_changes(new ChangeHighlight(this))
    , m_recovery(new PageRecovery(this))
    , m_values(new ValueReader({}, this))
    , m_typingMs(RecentInput::milliseconds(RecentInput::Policy::Typing))
{
    setParent(m_frame);
    auto *keys = new PaneKeys(*m_frame);
    connect(keys, &PaneKeys::reloadAsked, this, [this] { refresh(Refresh::ByHand); });
    connect(keys, &PaneKeys::backAsked, this, &WebEnginePane::goBack);
    connect(keys, &PaneKeys::forwardAsked, this, &WebEnginePane::goForward);
    connect(keys, &PaneKeys::zoomAsked, this, [this](int direction) {
        setZoomPercent(direction ? PaneKeys::nextZoom(zoomPercent(), direction) : 100);
    });
    connect(m_recovery, &PageRecovery::endingFrozen, this, [this] { on(Event::Frozen); });
    connect(m_recovery, &PageRecovery::died, this, &WebEnginePane::pageDied);
    connect(m_values, &ValueReader::valuesRead, this, &BrowserPane::valuesRead);
    connect(m_values, &ValueReader::changed, this, [this](QWebEnginePage *page) {
        if (page == m_page && standsLoaded())
            m_values->report(m_page);
    });
    m_frame->installEventFilter(this);
    m_view->setPage(m_page);
    attach(m_page);
    // A click into the page gives the focus to the view's focus proxy, an inner widget the
    // engine creates, not to the view: watch the application's focus instead.
    connect(qApp, &QApplication::focusChanged, this, &WebEnginePane::onFocusChanged);
}

void WebEnginePane::attach(SilentPage *page)
{
    page->setRecentInput(m_recentInput);
    m_recovery->guard(page);
    m_values->install(page);
    page->setDownloadReport(SilentPage::reportTo(this));
    PaneMenu::attach(*m_view, *this,
                     {[this] { goBack(); }, [this] { goForward(); }, [this] { refresh(Refresh::ByHand); },
                      [this] { return menuActions(); }, m_values, [this](ValueAsk kind, const ValuePick &value) { emit valueAsked(kind, value); },
                      [this](const ValuePlace &place) { return alertsPhone(place); },
                      [this](const ValuePlace &place) { return marketChoice(place); },
                      [this](const ValuePlace &place, int choice) { emit marketChosen(place, choice); }});
    // The user took the shown page elsewhere (a link, a form, back, a script after a click): a
    // refresh of the page left behind would undo that when it comes back.
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        dropRefresh();
        on(Event::LoadStarted);
    });
    connect(page, &QWebEnginePage::urlChanged, this, [this] {
        if (m_recentInput->within(RecentInput::Policy::Asked))
            dropRefresh();
    });
    connect(page, &SilentPage::loadSettled, this, &WebEnginePane::shownLoadSettled);
    connect(page, &QWebEnginePage::loadProgress, this, &BrowserPane::loadProgress);
    connect(page, &QWebEnginePage::scrollPositionChanged, this, &WebEnginePane::scrolled);
    connect(page, &SilentPage::newWindowAsked, this, &BrowserPane::newWindowRequested);
    connect(page, &SilentPage::consoleMessage, this,
            [this, page](const QString &message) { m_values->consoleMessage(page, message); });
}

void WebEnginePane::shownLoadSettled(bool ok, const QString &reason)
{
    emit loadProgress(100);
    const bool notice = m_state.isDead();
    on(ok ? Event::LoadSucceeded : Event::LoadFailed);
    if (notice)
        return;
    // The engine forgets a page's zoom when it goes to another site (QTBUG-101030): each
    // load is shown at the zoom its site keeps.
    if (const std::optional<int> kept = keptZoom(m_page->url()))
        showZoom(*kept);
    if (ok) {
        m_changes->compare(m_page);
        emit loaded();
        m_values->follow(m_page);
    } else {
        emit loadFailed(reason, false);
        m_values->failed(m_page->url(), reason);
    }
}

void WebEnginePane::pageDied()
{
    // A refresh prepared in the same process may have failed first, as a crash of its own:
    // the state alone says whether the page was ended for not answering.
    const bool firstTime = !m_state.isDead();
    on(Event::Died);
    dropRefresh();
    const QString reason = m_recovery->showNotice(m_state.is(State::EndedFrozen), firstTime);
    emit loadFailed(reason, false);
    if (firstTime)
        m_values->failed(m_recovery->lostUrl(), reason);
}

void WebEnginePane::navigate(const QString &address)
{
    abandonRefresh();
    if (m_state.isDead())
        on(Event::Reloading);
    m_page->leaveOnRequest();
    m_page->loadAskedByUser();
    m_page->load(addressToUrl(address, workingFolder()));
}

bool WebEnginePane::travel(bool possible, int action)
{
    if (!possible)
        return false;
    abandonRefresh();
    m_page->leaveOnRequest();
    m_page->loadAskedByUser();
    m_page->triggerAction(QWebEnginePage::WebAction(action));
    return true;
}

void WebEnginePane::refresh(Refresh kind)
{
    if (m_state.isDead()) {
        emit refreshStarting(kind);
        on(Event::Reloading);
        m_page->loadForRefresh();
        m_page->load(m_recovery->lostUrl());
        return;
    }
    // The page waits for the user's answer to its question, in an event loop of its own; a
    // refresh would take the page away from under it.
    if (m_page->isAsking()) {
        emit refreshPutOff();
        return;
    }
    m_recovery->probe();
    // The automatic cycle leaves the page alone while the user is typing into it, asking the
    // page only after a key in the pane. A refresh put off leaves the page exactly where it is.
    if (kind == Refresh::Automatic && m_putOffInARow < MaxPutOffInARow && owns(QApplication::focusWidget())
        && m_recentInput->keyWithin(m_typingMs)) {
        QPointer<WebEnginePane> self(this);
        QPointer<SilentPage> asked(m_page);
        m_page->askIfTyping(m_typingMs, [self, asked, kind](bool typing) {
            if (self && self->m_page == asked)
                typing ? self->putOff() : self->startRefresh(kind);
        });
        return;
    }
    startRefresh(kind);
}

void WebEnginePane::startRefresh(Refresh kind)
{
    abandonRefresh();
    m_putOffInARow = 0;
    // Told first: the hold the window resumes now is the one the refresh opens at.
    emit refreshStarting(kind);
    // Only a page that stands loaded is worth keeping; anything else (an error page, a page
    // still loading) is simply loaded again where it is.
    if (!m_state.is(State::Loaded) || m_page->url().isEmpty()) {
        m_page->leaveOnRequest();
        m_page->loadForRefresh();
        m_page->triggerAction(QWebEnginePage::Reload);
        return;
    }
    m_pending = new PendingRefresh(*m_page, *m_frame, *m_changes, *m_values, m_refreshTimeoutMs, this);
    connect(m_pending, &PendingRefresh::progress, this, &BrowserPane::loadProgress);
    connect(m_pending, &PendingRefresh::ready, this, &WebEnginePane::showRefreshed);
    connect(m_pending, &PendingRefresh::failed, this, [this](const QString &reason) {
        dropRefresh();
        // Its page shared the process being ended as frozen: the death tells, and why.
        if (m_state.is(State::EndingFrozen))
            return;
        emit loadFailed(reason, true);
        m_values->failed(m_page->url(), reason);
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
    m_page->disconnect(this);
    m_view = m_pending->takeView();
    m_page = m_pending->page();
    attach(m_page);
    abandonRefresh();

    // The new view lies under the old one, already painted: hiding the old one is the swap.
    // The focus moves first, from view to view within the pane, so that it never leaves the
    // pane: no gotFocus, which would count as a click of the user's and change the hold.
    if (owns(QApplication::focusWidget()))
        m_view->setFocus();
    old->hide();
    old->deleteLater();

    emit loadProgress(100);
    emit loaded();
    m_values->shown(m_page);
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

void WebEnginePane::dropRefresh()
{
    if (!m_pending)
        return;
    abandonRefresh();
    emit loadProgress(100);
}

void WebEnginePane::setFollowedPlaces(const QList<ValuePlace> &places)
{
    m_values->setPlaces(places);
    if (standsLoaded())
        m_values->observe(m_page);
}

void WebEnginePane::stop()
{
    abandonRefresh();
    m_page->triggerAction(QWebEnginePage::Stop);
}

void WebEnginePane::setZoomPercent(int percent)
{
    keepZoom(m_page->url(), percent);
    showZoom(percent);
}

void WebEnginePane::showZoom(int percent)
{
    m_page->setZoomFactor(percent / 100.0);
    if (m_pending)
        m_pending->setZoomFactor(percent / 100.0);
    emit zoomChanged(zoomPercent());
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
    if (held >= 0 && !m_state.is(State::Loading) && qAbs(m_page->scrollPosition().y() - held) >= 1)
        m_page->setHeldOffset(held);
}

bool WebEnginePane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame && event->type() == QEvent::Resize) {
        for (QWebEngineView *view : m_frame->findChildren<QWebEngineView *>(Qt::FindDirectChildrenOnly))
            view->setGeometry(m_frame->rect());
    }
    return false;
}
