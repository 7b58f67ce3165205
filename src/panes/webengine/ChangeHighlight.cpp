#include "panes/webengine/ChangeHighlight.h"

#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "panes/webengine/PageScripts.h"

namespace {

// A page busy with its own scripts answers late; the refresh is not held up longer than this.
constexpr int AnswerWaitMs = 1000;

const QString &compareSource()
{
    static const QString source = PageScripts::withPageText(QStringLiteral("changes.js"));
    return source;
}

} // namespace

ChangeHighlight::ChangeHighlight(QObject *parent)
    : QObject(parent)
{
}

void ChangeHighlight::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_url.clear();
        m_snapshot.clear();
    }
}

void ChangeHighlight::compare(QWebEnginePage *page, std::function<void()> done)
{
    auto finish = std::make_shared<std::function<void()>>(std::move(done));
    auto finishOnce = [finish] {
        if (*finish) {
            auto call = std::move(*finish);
            *finish = nullptr;
            call();
        }
    };
    const QUrl url = page->url();
    if (!m_enabled || compareSource().isEmpty() || url.isEmpty()) {
        finishOnce();
        return;
    }
    // Another address compares with nothing and only leaves its own text. The snapshot goes
    // in as a string for JSON.parse, which reads a large object much faster than the script
    // parser reads the same text as a literal.
    QString previous = QStringLiteral("null");
    if (url == m_url && !m_snapshot.isEmpty()) {
        QString quoted = m_snapshot;
        quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        previous = QLatin1String("JSON.parse('") + quoted + QLatin1String("')");
    }
    const QString script = QStringLiteral("JSON.stringify((%1)(%2))").arg(compareSource(), previous);
    const quint64 generation = ++m_generation;
    QPointer<ChangeHighlight> self(this);
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                        [self, url, generation, finishOnce](const QVariant &result) {
                            // A page being deleted calls back with nothing, from inside its
                            // destructor: what waits for the answer may be going too.
                            if (!result.isValid())
                                return;
                            // An answer to a compare that a newer load has overtaken is stale.
                            if (self && generation == self->m_generation && self->m_enabled) {
                                const QString text = result.toString();
                                self->m_url = text == QLatin1String("null") || text.isEmpty() ? QUrl() : url;
                                self->m_snapshot = self->m_url.isEmpty() ? QString() : text;
                                emit self->compared();
                            }
                            finishOnce();
                        });
    QTimer::singleShot(AnswerWaitMs, this, finishOnce);
}
