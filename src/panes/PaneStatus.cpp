#include "panes/PaneStatus.h"

#include <QHelpEvent>
#include <QLabel>
#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <QTimer>
#include <QToolTip>

#include "panes/BrowserPane.h"

namespace {

constexpr int ProgressHeight = 2;
constexpr int NoticeMs = 6000;
constexpr int StepAsideMs = 5000;
// Room for the page's own scroll bar, which the label must not cover.
constexpr int ScrollBarRoom = 16;

const char *const CalmStyle = "QLabel{background:rgba(255,255,255,200);color:#555;border:1px solid #bbb;"
                              "padding:0 4px;font-size:8pt}";
const char *const AlarmStyle = "QLabel{background:#c62828;color:white;border:1px solid #8e0000;"
                               "padding:1px 6px;font-size:9pt;font-weight:bold}";

} // namespace

PaneStatus::PaneStatus(BrowserPane &pane, QObject *parent)
    : QObject(parent)
    , m_pane(pane.widget())
    , m_label(new QLabel(m_pane))
    , m_mark(new QLabel(m_pane))
    , m_progress(new QWidget(m_pane))
    , m_asideTime(new QTimer(this))
    , m_overdueTime(new QTimer(this))
    , m_noticeTime(new QTimer(this))
{
    m_label->setObjectName(QStringLiteral("paneState"));
    m_mark->setObjectName(QStringLiteral("paneStateMark"));
    m_mark->setStyleSheet(QLatin1String(CalmStyle));
    m_progress->setObjectName(QStringLiteral("paneProgress"));
    for (QWidget *overlay : {static_cast<QWidget *>(m_label), static_cast<QWidget *>(m_mark), m_progress}) {
        overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
        overlay->setFocusPolicy(Qt::NoFocus);
        overlay->hide();
    }
    m_progress->setAttribute(Qt::WA_StyledBackground);
    m_progress->setStyleSheet(QStringLiteral("background:#1e88e5"));
    m_pane->installEventFilter(this);

    connect(&pane, &BrowserPane::loaded, this, [this] {
        m_freshness.loaded(QTime::currentTime());
        showState();
    });
    connect(&pane, &BrowserPane::loadFailed, this, [this](const QString &reason, bool pageKept) {
        m_freshness.loadFailed(QTime::currentTime(), reason, pageKept);
        showState();
    });
    connect(&pane, &BrowserPane::refreshPutOff, this, [this] {
        m_freshness.refreshPutOff(QTime::currentTime());
        showState();
    });
    connect(&pane, &BrowserPane::loadProgress, this, &PaneStatus::showProgress);
    connect(&pane, &BrowserPane::zoomChanged, this, [this](int percent) {
        m_freshness.setZoom(percent);
        showState();
    });
    connect(&pane, &BrowserPane::downloaded, this, [this](const QString &path) {
        showNotice(QStringLiteral("Scaricato: %1").arg(QFileInfo(path).fileName()), QDir::toNativeSeparators(path));
    });
    connect(&pane, &BrowserPane::downloadStopped, this, [this](const QString &name, const QString &reason) {
        showNotice(QStringLiteral("Download interrotto: %1").arg(name), reason);
    });
    m_asideTime->setSingleShot(true);
    m_asideTime->setInterval(StepAsideMs);
    connect(m_asideTime, &QTimer::timeout, this, &PaneStatus::stepAside);
    m_overdueTime->setSingleShot(true);
    connect(m_overdueTime, &QTimer::timeout, this, &PaneStatus::showState);
    m_noticeTime->setSingleShot(true);
    m_noticeTime->setInterval(NoticeMs);
    connect(m_noticeTime, &QTimer::timeout, this, [this] { showNotice(QString(), QString()); });
}

void PaneStatus::showNotice(const QString &text, const QString &toolTip)
{
    m_notice = text;
    m_noticeToolTip = toolTip;
    if (!text.isEmpty())
        m_noticeTime->start();
    showState();
}

void PaneStatus::setCycle(int seconds)
{
    m_freshness.setCycle(seconds);
    showState();
}

void PaneStatus::setMarketClosed(const QString &reopening)
{
    m_freshness.setMarketClosed(QTime::currentTime(), reopening);
    showState();
}

void PaneStatus::showState()
{
    const QTime now = QTime::currentTime();
    m_freshness.checkAge(now);
    // Nothing runs while the page is fresh but this one timer, for the moment it turns stale.
    const int overdueIn = m_freshness.secondsToOverdue(now);
    if (overdueIn > 0)
        m_overdueTime->start(overdueIn * 1000 + 500);
    else
        m_overdueTime->stop();

    // A stale page's alarm is never hidden behind a notice.
    const bool notice = !m_notice.isEmpty() && !m_freshness.needsAttention();
    m_label->setText(notice ? m_notice : m_freshness.text());
    m_label->setToolTip(notice ? m_noticeToolTip : m_freshness.toolTip());
    m_label->setStyleSheet(QLatin1String(m_freshness.needsAttention() ? AlarmStyle : CalmStyle));
    m_label->setVisible(!m_label->text().isEmpty());
    m_mark->setText(m_freshness.mark());
    m_mark->hide();
    if (!notice && !m_loading && m_freshness.state() == PaneFreshness::State::Fresh)
        m_asideTime->start();
    else
        m_asideTime->stop();
    place();
}

void PaneStatus::stepAside()
{
    if (!m_label->isVisible())
        return;
    m_label->hide();
    m_mark->show();
    place();
}

void PaneStatus::showProgress(int percent)
{
    // A site that has not answered yet reports 0: the line shows from the start of a load,
    // short until the page comes.
    m_percent = qMax(percent, 5);
    m_progress->setVisible(percent < 100);
    if (m_loading != (percent < 100)) {
        m_loading = percent < 100;
        showState();
        return;
    }
    place();
}

void PaneStatus::place()
{
    m_label->adjustSize();
    m_label->move(qMax(0, m_pane->width() - m_label->width() - ScrollBarRoom),
                  qMax(0, m_pane->height() - m_label->height() - 2));
    m_mark->adjustSize();
    m_mark->move(qMax(0, m_pane->width() - m_mark->width() - ScrollBarRoom),
                 qMax(0, m_pane->height() - m_mark->height() - 2));
    m_progress->setGeometry(0, 0, m_pane->width() * m_percent / 100, ProgressHeight);
    // A page shown after a refresh comes in a view of its own; the overlays stay above it.
    m_label->raise();
    m_mark->raise();
    m_progress->raise();
}

bool PaneStatus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pane)
        return false;
    if (event->type() == QEvent::Resize) {
        place();
    } else if (event->type() == QEvent::ToolTip) {
        // The label lets the mouse through to the page, so its tooltip never reaches it; the
        // page passes the unanswered tooltip request up to the pane, which answers it here.
        const auto *help = static_cast<QHelpEvent *>(event);
        if (m_mark->isVisible() && m_mark->geometry().contains(help->pos()))
            showState();
        if (m_label->isVisible() && m_label->geometry().contains(help->pos())) {
            QToolTip::showText(help->globalPos(), m_label->toolTip(), m_pane);
            return true;
        }
    }
    return false;
}
