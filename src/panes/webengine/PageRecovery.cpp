#include "panes/webengine/PageRecovery.h"

#include <csignal>

#include "panes/webengine/FreezeProbe.h"
#include "panes/webengine/SilentPage.h"

PageRecovery::PageRecovery(QObject *parent)
    : QObject(parent)
    , m_freezeWatch(new FreezeProbe(this))
{
    connect(m_freezeWatch, &FreezeProbe::frozen, this, [this](QWebEnginePage *page, qint64 processId) {
        if (page != m_page)
            return;
        emit endingFrozen();
        ::kill(pid_t(processId), SIGKILL);
    });
}

void PageRecovery::guard(SilentPage *page)
{
    if (m_page)
        m_page->disconnect(this);
    m_page = page;
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    emit died();
            });
}

void PageRecovery::probe()
{
    m_freezeWatch->probe(m_page);
}

void PageRecovery::setFreezeTimeout(int ms)
{
    m_freezeWatch->setTimeout(ms);
}

QString PageRecovery::showNotice(bool endedFrozen, bool firstTime)
{
    if (!m_page)
        return QString();
    if (firstTime) {
        m_url = m_page->url();
        m_title = m_page->title();
    }
    const QString reason = endedFrozen ? QStringLiteral("la pagina non rispondeva ed \u00e8 stata chiusa")
                                       : QStringLiteral("la pagina si \u00e8 interrotta");
    m_page->setHtml(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Pagina interrotta</title></head>"
        "<body style=\"font-family:sans-serif;margin:2em;color:#333\"><h3>%1.</h3>"
        "<p>Premere \u00abA\u00bb, \u00abAggiorna\u00bb o \u00abGO\u00bb per caricarla di nuovo.</p></body></html>")
                        .arg(reason.left(1).toUpper() + reason.mid(1)));
    return reason;
}
