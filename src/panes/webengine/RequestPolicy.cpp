#include "panes/webengine/RequestPolicy.h"

#include <QFileInfo>

#include "panes/webengine/LocalFileScheme.h"

namespace {

// A local page shows local files only as what they are: pictures, fonts and sounds whatever
// their names, style sheets, scripts and frames by theirs. The engine lets one local page
// read every local file as its own (see WebEngineEnvironment): a text file or a key run as
// a script or taken in as a style sheet could be read through it.
bool showsAsWhatItIs(QWebEngineUrlRequestInfo::ResourceType type, const QUrl &url)
{
    const QString suffix = QFileInfo(url.path()).suffix().toLower();
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
        return suffix == QLatin1String("htm") || suffix == QLatin1String("html") || suffix == QLatin1String("xhtml")
            || suffix == QLatin1String("svg");
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeSharedWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeServiceWorker:
        return suffix == QLatin1String("js") || suffix == QLatin1String("mjs");
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
        return suffix == QLatin1String("css");
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadMainFrame:
        return true;
    default:
        return false;
    }
}

// A frame's or an object's document is the page's to read when it shares the page's origin,
// and every local file does.
bool opensADocument(QWebEngineUrlRequestInfo::ResourceType type)
{
    return type == QWebEngineUrlRequestInfo::ResourceTypeSubFrame || type == QWebEngineUrlRequestInfo::ResourceTypeObject;
}

// What a page can draw into a canvas and read back, pixel by pixel, when it is of its origin.
bool drawsIntoACanvas(QWebEngineUrlRequestInfo::ResourceType type)
{
    return type == QWebEngineUrlRequestInfo::ResourceTypeImage || type == QWebEngineUrlRequestInfo::ResourceTypeMedia
        || type == QWebEngineUrlRequestInfo::ResourceTypeFavicon;
}

} // namespace

void RequestPolicy::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    // A refresh must show the site's page of now. The engine counts a restored history entry,
    // which is how a refresh prepared out of sight loads, as a reload, and takes it from the
    // cache unasked; a page that allows caching would then look fresh and be old.
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
        && info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeReload)
        info.setHttpHeader("Cache-Control", "no-cache");

    const QUrl url = info.requestUrl();
    const auto type = info.resourceType();
    const bool embeddedFile = url.scheme() == QLatin1String(LocalFileScheme::Name);
    const bool fromLocalPage = info.firstPartyUrl().isLocalFile() || info.initiator().scheme() == QLatin1String("file");
    // The scheme is only for what a local page embeds; as a pane's own page it would also
    // put its address where the user expects a file's.
    if (embeddedFile && (!fromLocalPage || type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)) {
        info.block(true);
        return;
    }
    if (!fromLocalPage)
        return;
    // XMLHttpRequest and fetch() are how a script reads: from the web, what a site answers
    // with the user's cookies there; locally, any file. Showing the web's content is fine.
    if (type == QWebEngineUrlRequestInfo::ResourceTypeXhr
        || ((url.isLocalFile() || embeddedFile) && !showsAsWhatItIs(type, url))) {
        info.block(true);
        return;
    }
    if (url.isLocalFile() && opensADocument(type)) {
        info.redirect(LocalFileScheme::embedded(url));
    } else if ((url.isLocalFile() || embeddedFile) && drawsIntoACanvas(type)) {
        const QUrl shown = m_pictures.addressOf(url.path(QUrl::FullyDecoded));
        if (shown.isEmpty())
            info.block(true);
        else
            info.redirect(shown);
    }
}
