#include "panes/webengine/LocalFileScheme.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {

// A saved page and what it shows stay far below this; a page must not make the program
// read a disk image into memory.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

QByteArray mimeTypeOf(const QString &path)
{
    static const QHash<QString, QByteArray> types = {
        // pages
        {QStringLiteral("htm"), "text/html"},
        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("xhtml"), "application/xhtml+xml"},
        {QStringLiteral("svg"), "image/svg+xml"},
        // what pages show
        {QStringLiteral("css"), "text/css"},
        {QStringLiteral("js"), "text/javascript"},
        {QStringLiteral("mjs"), "text/javascript"},
        {QStringLiteral("png"), "image/png"},
        {QStringLiteral("gif"), "image/gif"},
        {QStringLiteral("jpg"), "image/jpeg"},
        {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("webp"), "image/webp"},
        {QStringLiteral("bmp"), "image/bmp"},
        {QStringLiteral("ico"), "image/x-icon"},
        {QStringLiteral("avif"), "image/avif"},
        {QStringLiteral("woff"), "font/woff"},
        {QStringLiteral("woff2"), "font/woff2"},
        {QStringLiteral("ttf"), "font/ttf"},
        {QStringLiteral("otf"), "font/otf"},
        {QStringLiteral("mp3"), "audio/mpeg"},
        {QStringLiteral("ogg"), "audio/ogg"},
        {QStringLiteral("wav"), "audio/wav"},
        {QStringLiteral("mp4"), "video/mp4"},
        {QStringLiteral("webm"), "video/webm"},
    };
    return types.value(QFileInfo(path).suffix().toLower());
}

} // namespace

const QByteArray LocalFileScheme::Name = QByteArrayLiteral("quovadex-local");

void LocalFileScheme::registerScheme()
{
    // No host, and every address an opaque origin of its own: neither the page that embeds
    // a file nor another embedded file shares an origin with it. No local access either, so
    // a page served here reaches local files only through this scheme again.
    QWebEngineUrlScheme scheme(Name);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::NoAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl LocalFileScheme::embedded(const QUrl &file)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(Name));
    url.setPath(file.path());
    url.setQuery(file.query());
    url.setFragment(file.fragment());
    return url;
}

void LocalFileScheme::requestStarted(QWebEngineUrlRequestJob *job)
{
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The name that counts is the one the link leads to: a picture's name on a link to a
    // key file shows nothing.
    const QFileInfo asked(job->requestUrl().path(QUrl::FullyDecoded));
    const QString target = asked.canonicalFilePath();
    const QFileInfo info(target);
    const QByteArray mimeType = mimeTypeOf(target);
    if (target.isEmpty() || !info.isFile()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (mimeType.isEmpty() || mimeTypeOf(asked.fileName()) != mimeType || info.size() > MaxFileSize) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    auto *content = new QBuffer(job);
    content->setData(file.read(MaxFileSize));
    content->open(QIODevice::ReadOnly);
    job->reply(mimeType, content);
}
