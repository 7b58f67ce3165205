#pragma once

#include <memory>

#include <QLockFile>
#include <QString>

#include "panes/PaneFactory.h"

class DownloadPolicy;
class LocalFileScheme;
class QWebEngineProfile;
class QWebEngineUrlRequestInterceptor;

// The web engine's process-wide set-up and the one profile both panes share. Create it
// after the application object and destroy it after every window with panes, so that
// cookies reach the disk.
class WebEngineEnvironment final : public PaneFactory
{
    Q_DISABLE_COPY_MOVE(WebEngineEnvironment)
public:
    // To be called before the application object exists.
    static void prepareProcess();

    // profileDirectory empty: the user's data directory for this program.
    explicit WebEngineEnvironment(const QString &profileDirectory = QString());
    ~WebEngineEnvironment() override;

    BrowserPane *createPane(QWidget *parent) override;

    QWebEngineProfile *profile() const { return m_profile.get(); }
    // false when another instance holds the profile and this one runs on a profile kept
    // in memory only.
    bool isPersistent() const { return m_persistent; }

    DownloadPolicy &downloads() { return *m_downloads; }

private:
    std::unique_ptr<QLockFile> m_lock;
    // Declared before the profile, which asks it about every request, so it outlives it.
    std::unique_ptr<QWebEngineUrlRequestInterceptor> m_requestPolicy;
    std::unique_ptr<LocalFileScheme> m_localFiles;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<DownloadPolicy> m_downloads;
    bool m_persistent = false;
};
