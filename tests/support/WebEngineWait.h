#pragma once

#include <memory>
#include <optional>

#include <QSignalSpy>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>

#include "panes/webengine/SilentPage.h"
#include "panes/webengine/WebEnginePane.h"

namespace WebEngineWait {

// Page loads start a renderer process; a loaded two-core machine needs far more than 5 s.
constexpr int Timeout = 30000;

// Runs a script in the page and waits for its answer.
inline QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    // Held by the callback too, so an answer arriving after a time-out touches nothing freed.
    auto answer = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [answer](const QVariant &value) { *answer = value; });
    if (!QTest::qWaitFor([&answer] { return answer->has_value(); }, Timeout))
        return QStringLiteral("<no answer>");
    return **answer;
}

// Sends the pane to address and waits until the page has loaded. A failed load fails the
// test; the caller returns when QTest::currentTestFailed().
inline void load(WebEnginePane *pane, const QString &address)
{
    QSignalSpy loaded(pane->page(), &QWebEnginePage::loadFinished);
    pane->navigate(address);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), Timeout);
    QVERIFY(loaded.last().at(0).toBool());
}

// Waits until the page has painted once: the engine drops a click that comes before the
// page's first paint, and a test that clicks right after loadFinished would then wait for
// nothing on a busy machine.
inline void painted(QWebEnginePage *page)
{
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(page, QStringLiteral("performance.getEntriesByType('paint').length > 0")).toBool(),
                             Timeout);
}

} // namespace WebEngineWait
