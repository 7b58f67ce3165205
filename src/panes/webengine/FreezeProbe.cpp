#include "panes/webengine/FreezeProbe.h"

#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

// Longer than a heavy page keeps its script busy at load on a loaded two-core machine (a chart
// computed for a few seconds missed 8 s there).
constexpr int DefaultTimeoutMs = 20000;

} // namespace

FreezeProbe::FreezeProbe(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(DefaultTimeoutMs);
    connect(m_timer, &QTimer::timeout, this, &FreezeProbe::expired);
}

void FreezeProbe::setTimeout(int ms)
{
    m_timer->setInterval(ms);
}

void FreezeProbe::probe(QWebEnginePage *page)
{
    if (m_page || !page || page->renderProcessPid() <= 0)
        return;
    m_page = page;
    m_processId = page->renderProcessPid();
    const quint64 question = ++m_question;
    const QPointer<FreezeProbe> self(this);
    // In the program's own script world: the page cannot redefine what is asked.
    page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld, [self, question](const QVariant &) {
        if (self)
            self->answered(question);
    });
    // The engine may drop the question when the page moves to a new document; a document
    // that finished loading came from a process that works.
    connect(page, &QWebEnginePage::loadFinished, this, [this, question](bool ok) {
        if (ok)
            answered(question);
    });
    m_timer->start();
}

void FreezeProbe::answered(quint64 question)
{
    if (question != m_question || !m_page)
        return;
    m_page->disconnect(this);
    m_page.clear();
    m_timer->stop();
}

void FreezeProbe::expired()
{
    if (!m_page)
        return;
    QWebEnginePage *page = m_page;
    page->disconnect(this);
    m_page.clear();
    // Another process now (the page went to another site) says nothing about the one asked.
    if (page->renderProcessPid() == m_processId)
        emit frozen(page, m_processId);
}
