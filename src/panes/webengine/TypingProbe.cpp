#include "panes/webengine/TypingProbe.h"

#include <QWebEnginePage>
#include <QWebEngineScriptCollection>

#include "panes/webengine/PageScripts.h"

TypingProbe::TypingProbe(QWebEnginePage &page)
    : m_page(page)
{
    static const QString typing = PageScripts::source(QStringLiteral("typing.js"));
    m_page.scripts().insert(
        PageScripts::atCreation(QStringLiteral("quovadex-typing"), QWebEngineScript::ApplicationWorld, false, typing));
}

void TypingProbe::ask(int ms, std::function<void(bool)> answer)
{
    static const QString source = PageScripts::source(QStringLiteral("typed.js"));
    m_page.runJavaScript(source + QStringLiteral("(%1)").arg(ms), QWebEngineScript::ApplicationWorld,
                         [answer = std::move(answer)](const QVariant &typing) { answer(typing.toBool()); });
}
