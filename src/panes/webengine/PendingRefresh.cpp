#include "panes/webengine/PendingRefresh.h"

#include <QDataStream>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "panes/webengine/ChangeHighlight.h"
#include "panes/webengine/PageScripts.h"
#include "panes/webengine/SilentPage.h"
#include "panes/webengine/ValueReader.h"

namespace {

// A held offset the page cannot reach (it is shorter now) must not keep the refresh waiting.
constexpr int OffsetWaitMs = 500;
// A shown page too busy to say what was typed into it does not hold the refresh up.
constexpr int FieldsWaitMs = 1000;

QString fieldsScript(const QString &argument)
{
    static const QString source = PageScripts::source(QStringLiteral("fields.js"));
    return source + QLatin1Char('(') + argument + QLatin1Char(')');
}

} // namespace

PendingRefresh::PendingRefresh(SilentPage &shown, QWidget &frame, ChangeHighlight &changes, ValueReader &values,
                               int timeoutMs, QObject *parent)
    : QObject(parent)
    , m_view(new QWebEngineView(&frame))
    , m_shown(&shown)
    , m_page(new SilentPage(shown.profile(), m_view))
    , m_changes(changes)
    , m_values(values)
    , m_timeout(new QTimer(this))
    , m_offsetDeadline(new QTimer(this))
    , m_zoom(shown.zoomFactor())
{
    // Behind the shown view and of its size, so the page is laid out and painted exactly as
    // it will be seen, and the swap shows a finished frame.
    m_view->setPage(m_page);
    m_view->setGeometry(frame.rect());
    m_view->lower();
    m_view->show();
    m_page->setHeldOffset(shown.heldOffset());
    m_page->setZoomFactor(m_zoom);
    values.install(m_page);

    m_timeout->setSingleShot(true);
    m_timeout->setInterval(timeoutMs);
    connect(m_timeout, &QTimer::timeout, this,
            [this, timeoutMs] { fail(QStringLiteral("il sito non ha risposto entro %1 secondi").arg(timeoutMs / 1000)); });
    m_offsetDeadline->setSingleShot(true);
    m_offsetDeadline->setInterval(OffsetWaitMs);
    connect(m_offsetDeadline, &QTimer::timeout, this, [this] { done(Step::Settling); });

    connect(m_page, &SilentPage::loadSettled, this, [this](bool ok, const QString &reason) {
        // A zoom set before a page's first load may not take (QTBUG-51851), and one of
        // another site is dropped (QTBUG-101030): set again before the page is read, laid
        // out at the held offset and shown.
        m_page->setZoomFactor(m_zoom);
        if (ok)
            done(Step::Loading);
        else
            fail(reason);
    });
    connect(m_page, &QWebEnginePage::loadProgress, this, &PendingRefresh::progress);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this] { fail(QStringLiteral("la pagina si \u00e8 interrotta")); });

    // Restoring the history loads its current entry. The engine would take it from the cache
    // without asking the site, as for a restored session; the profile's request policy
    // makes it ask (see WebEngineEnvironment), so this is one request, like a reload.
    QByteArray history;
    {
        QDataStream out(&history, QIODevice::WriteOnly);
        out << *shown.history();
    }
    QDataStream in(history);
    in >> *m_page->history();
    m_timeout->start();
}

PendingRefresh::~PendingRefresh()
{
    delete m_view.data();
}

QWebEngineView *PendingRefresh::takeView()
{
    QWebEngineView *view = m_view.data();
    m_view.clear();
    m_page->disconnect(this);
    return view;
}

void PendingRefresh::setZoomFactor(qreal factor)
{
    m_zoom = factor;
    m_page->setZoomFactor(factor);
}

void PendingRefresh::moveOn(Step from, Step to, const QString &reason)
{
    if (m_step != from || m_step == Step::Ready || m_step == Step::Failed)
        return;
    m_step = to;
    const QPointer<PendingRefresh> self(this);
    const auto then = [self, to] {
        if (self)
            self->done(to);
    };
    switch (to) {
    case Step::Loading:
        break;
    case Step::Reading:
        m_timeout->stop();
        m_values.prepare(m_page, then);
        break;
    case Step::Comparing:
        m_changes.compare(m_page, then);
        break;
    case Step::Settling:
        settle();
        break;
    case Step::Carrying:
        carryTypedFields();
        break;
    case Step::Ready:
    case Step::Failed:
        // The timers may still fire: a final step ignores them.
        if (to == Step::Ready)
            emit ready();
        else
            emit failed(reason);
        break;
    }
}

void PendingRefresh::settle()
{
    if (m_step != Step::Settling)
        return;
    const int offset = m_page->heldOffset();
    if (offset < 0 || qAbs(m_page->scrollPosition().y() - offset) < 1) {
        done(Step::Settling);
        return;
    }
    if (!m_offsetDeadline->isActive()) {
        connect(m_page, &QWebEnginePage::scrollPositionChanged, this, &PendingRefresh::settle, Qt::UniqueConnection);
        m_offsetDeadline->start();
    }
}

void PendingRefresh::carryTypedFields()
{
    m_offsetDeadline->stop();
    if (!m_shown) {
        done(Step::Carrying);
        return;
    }
    const QPointer<PendingRefresh> self(this);
    // Both scripts run in the program's own world: the page cannot change what they do. What
    // the page answers is read as JSON and written anew, so nothing else reaches the script.
    m_shown->runJavaScript(fieldsScript(QStringLiteral("null")), QWebEngineScript::ApplicationWorld,
                           [self](const QVariant &answer) {
                               // A page being deleted calls back with nothing: its window is
                               // closing, and nothing is to be shown any more.
                               if (!self || self->m_step != Step::Carrying || !answer.isValid())
                                   return;
                               const QJsonDocument found = QJsonDocument::fromJson(answer.toString().toUtf8());
                               if (!found.isObject()
                                   || (found[QLatin1String("fields")].toArray().isEmpty()
                                       && found[QLatin1String("focus")].toInt(-1) < 0)) {
                                   self->done(Step::Carrying);
                                   return;
                               }
                               const QString carried = QString::fromUtf8(found.toJson(QJsonDocument::Compact));
                               self->m_page->runJavaScript(fieldsScript(carried), QWebEngineScript::ApplicationWorld,
                                                           [self](const QVariant &written) {
                                                               if (self && written.isValid())
                                                                   self->done(Step::Carrying);
                                                           });
                           });
    QTimer::singleShot(FieldsWaitMs, this, [this] { done(Step::Carrying); });
}
