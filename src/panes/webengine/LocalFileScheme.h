#pragma once

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Local pages as a local page frames them, and what they in turn show: through a scheme of
// the program's own, where every file is an origin of its own, so the framing page shows a
// framed page but cannot read its document.
class LocalFileScheme final : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalFileScheme)
public:
    static const QByteArray Name;

    // To be called before the application object exists.
    static void registerScheme();

    // The file: address a page embeds as this scheme's address.
    static QUrl embedded(const QUrl &file);

    LocalFileScheme() = default;

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};
