#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class FreezeProbe;
class QWebEnginePage;
class SilentPage;

// What becomes of a shown page whose process dies or stops answering. A dead page stays grey
// and ignores a plain reload; a page caught in an endless loop only comes back in a new
// process. Either way the pane shows a notice in the page's place and keeps its address and
// title, so that the next refresh, "+P" and "Nuova" still mean the page the user watched.
class PageRecovery final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageRecovery)
public:
    explicit PageRecovery(QObject *parent = nullptr);

    // The page shown now; the one before is no longer watched.
    void guard(SilentPage *page);
    // Asks the watched page a trivial question. One that has not answered in time has its
    // process ended, since the engine has no way to stop a script: endingFrozen(), then died().
    void probe();
    void setFreezeTimeout(int ms);
    // Puts the notice into the watched page and returns why, in words for people. The page's
    // address and title are kept the first time only: a notice is not the user's page.
    QString showNotice(bool endedFrozen, bool firstTime);

    QUrl lostUrl() const { return m_url; }
    QString lostTitle() const { return m_title; }

signals:
    void endingFrozen();
    // The watched page's process ended other than normally.
    void died();

private:
    FreezeProbe *m_freezeWatch;
    QPointer<SilentPage> m_page;
    QUrl m_url;
    QString m_title;
};
