#include "panes/WebEnginePane.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include "panes/SilentPage.h"

WebEnginePane::WebEnginePane(QWebEngineProfile *profile, QWidget *parent)
    : m_view(new QWebEngineView(parent))
    , m_page(new SilentPage(profile, m_view))
{
    setParent(m_view);
    m_view->setPage(m_page);
    // A click into the page gives the focus to the view's focus proxy, an inner widget the
    // engine creates, not to the view: watch the application's focus instead.
    connect(qApp, &QApplication::focusChanged, this, &WebEnginePane::onFocusChanged);

    // While offsets keep coming (a held pane gets one every tick), a page that loads is put
    // at the offset as soon as its document is ready, before its first full paint, instead
    // of showing at the top until the next tick pulls it down. Once they stop, the page is
    // left to itself again.
    m_holdExpiry = new QTimer(this);
    m_holdExpiry->setSingleShot(true);
    m_holdExpiry->setInterval(HoldExpiryMs);
    connect(m_holdExpiry, &QTimer::timeout, this, [this] { setEarlyOffset(-1); });

    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { m_loading = true; });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] {
        m_loading = false;
        m_sinceLoad.start();
    });

    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    showCrash();
            });
}

void WebEnginePane::showCrash()
{
    // A dead page stays grey and ignores a plain reload. Say so in the pane, and keep the
    // address so that the next refresh or the page's address ("+P", "Nuova") still mean the
    // page the user was watching.
    if (!m_crashed) {
        m_crashedUrl = m_page->url();
        m_crashedTitle = m_page->title();
    }
    m_crashed = true;
    m_page->setHtml(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Pagina interrotta</title></head>"
        "<body style=\"font-family:sans-serif;margin:2em;color:#333\"><h3>La pagina si \u00e8 interrotta.</h3>"
        "<p>Premere \u00abA\u00bb, \u00abAggiorna\u00bb o \u00abGO\u00bb per caricarla di nuovo.</p></body></html>"));
}

WebEnginePane::~WebEnginePane() = default;

QWidget *WebEnginePane::widget()
{
    return m_view;
}

void WebEnginePane::setSilent(bool silent)
{
    m_page->setSilent(silent);
}

bool WebEnginePane::isSilent() const
{
    return m_page->isSilent();
}

QUrl WebEnginePane::addressToUrl(const QString &address)
{
    if (address.trimmed().isEmpty())
        return QUrl(QStringLiteral("about:blank"));
    // A relative name that exists in the working directory opens that file; anything
    // else is read as a web address the way a browser's address bar would.
    const QUrl url = QUrl::fromUserInput(address, QDir::currentPath());
    return url.isValid() ? url : QUrl(QStringLiteral("about:blank"));
}

void WebEnginePane::navigate(const QString &address)
{
    m_crashed = false;
    m_page->load(addressToUrl(address));
}

bool WebEnginePane::goBack()
{
    if (!m_page->history()->canGoBack())
        return false;
    m_page->triggerAction(QWebEnginePage::Back);
    return true;
}

bool WebEnginePane::goForward()
{
    if (!m_page->history()->canGoForward())
        return false;
    m_page->triggerAction(QWebEnginePage::Forward);
    return true;
}

void WebEnginePane::refresh()
{
    if (m_crashed) {
        m_crashed = false;
        m_page->load(m_crashedUrl);
        return;
    }
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WebEnginePane::stop()
{
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

bool WebEnginePane::isCrashed() const
{
    return m_crashed;
}

void WebEnginePane::setScrollTop(int pixels)
{
    setEarlyOffset(pixels);
    m_holdExpiry->start();
    // A held pane gets this call ten times a second. Each script is a round trip to the
    // page's process, and that round trip, not the scroll, is what an idle held window
    // spends its processor on; skip it while the page is known to stand at the offset.
    if (standsAt(pixels))
        return;
    // document.scrollingElement is the element that scrolls in both standards and quirks
    // mode (body.scrollTop does nothing in standards mode). Run in the application's own
    // script world, where the page's scripts cannot redefine what we call.
    const QString script = QStringLiteral(
        "(function(){if(!document.body)return;"
        "var e=document.scrollingElement||document.documentElement;e.scrollTop=%1;})()")
                               .arg(pixels);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld);
    m_sinceWrite.start();
}

bool WebEnginePane::standsAt(int pixels) const
{
    // The position comes with the page's painted frames, in page pixels only at zoom 1; any
    // doubt (loading, just loaded, zoomed, crashed, not written lately) means write.
    if (m_loading || m_crashed || !m_sinceLoad.isValid() || m_sinceLoad.elapsed() < LoadSettleMs)
        return false;
    if (!m_sinceWrite.isValid() || m_sinceWrite.elapsed() >= RewriteMs)
        return false;
    if (!qFuzzyCompare(m_page->zoomFactor(), 1.0))
        return false;
    return qAbs(m_page->scrollPosition().y() - pixels) < 0.5;
}

void WebEnginePane::setEarlyOffset(int pixels)
{
    if (pixels == m_earlyOffset)
        return;
    m_earlyOffset = pixels;
    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &old : scripts.find(QStringLiteral("quovadex-hold")))
        scripts.remove(old);
    if (pixels < 0)
        return;
    QWebEngineScript script;
    script.setName(QStringLiteral("quovadex-hold"));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    // Again at "load": images and late content can still change where the offset lands.
    script.setSourceCode(QStringLiteral(
        "(function(){function put(){var e=document.scrollingElement||document.documentElement;"
        "if(e&&document.body)e.scrollTop=%1;}put();window.addEventListener('load',put);})()")
                             .arg(pixels));
    scripts.insert(script);
}

bool WebEnginePane::owns(const QWidget *widget) const
{
    return widget && (widget == m_view || m_view->isAncestorOf(widget));
}

void WebEnginePane::onFocusChanged(QWidget *old, QWidget *now)
{
    if (owns(now) && !owns(old))
        Q_EMIT gotFocus();
}
