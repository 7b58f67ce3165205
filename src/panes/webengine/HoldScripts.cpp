#include "panes/webengine/HoldScripts.h"

#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineScriptCollection>

#include "panes/webengine/PageScripts.h"

namespace {

const QString HoldScriptName = QStringLiteral("quovadex-hold");

const QString &holdSource()
{
    static const QString source = PageScripts::source(QStringLiteral("hold.js"));
    return source;
}

// What the page's hold tells its frames comes with it: a page's own script could tell them
// to scroll, but without the key it cannot stop them or hold them elsewhere.
const QString &holdKey()
{
    static const QString key = QString::number(QRandomGenerator::system()->generate64(), 36);
    return key;
}

// The hold's script for an offset; -1 lets go.
QString holdScript(int pixels)
{
    return holdSource() + QStringLiteral("(%1,'%2')").arg(pixels).arg(holdKey());
}

// A frame of another origin than its page holds itself, at the page's hold's word; run in
// every frame from its creation, so that a frame shown before the hold began hears it too.
// In the page's own world, which every frame has anyway: one of the program's would cost each
// advertising frame of every page a script context of its own, for the rare local frameset.
// Such a frame could undo its own hold, nothing more.
QString frameHoldScript()
{
    return QStringLiteral("if(window!==window.top)addEventListener('message',function(e){var m=String(e.data).split(' ');"
                          "if(e.source===window.top&&m.length===3&&m[0]==='quovadex-hold'&&m[1]==='%1')\n%2\n"
                          "(Number(m[2]),'%1');});")
        .arg(holdKey(), holdSource());
}

} // namespace

HoldScripts::HoldScripts(QWebEnginePage &page)
    : m_page(page)
{
    m_page.scripts().insert(PageScripts::atCreation(QStringLiteral("quovadex-hold-frames"),
                                                    QWebEngineScript::MainWorld, true, frameHoldScript()));
}

void HoldScripts::hold(int pixels)
{
    pixels = qMax(-1, pixels);
    if (pixels != m_offset) {
        m_offset = pixels;
        // Documents this page loads later: removed the moment the hold lets go, so that a page
        // the user opens from a suspended hold opens at its top.
        QWebEngineScriptCollection &collection = m_page.scripts();
        for (const QWebEngineScript &old : collection.find(HoldScriptName))
            collection.remove(old);
        if (pixels >= 0)
            collection.insert(PageScripts::atCreation(HoldScriptName, QWebEngineScript::ApplicationWorld, false,
                                                      holdScript(pixels)));
    }
    // The document shown now.
    m_page.runJavaScript(holdScript(pixels), QWebEngineScript::ApplicationWorld);
}
