#include "support/RecordingPane.h"

#include <QFocusEvent>

namespace {

class FocusReportingWidget final : public QWidget
{
public:
    FocusReportingWidget(QWidget *parent, RecordingPane *pane)
        : QWidget(parent)
        , m_pane(pane)
    {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_StyledBackground);
        setStyleSheet(QStringLiteral("background: white"));
    }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QWidget::focusInEvent(event);
        Q_EMIT m_pane->gotFocus();
    }

private:
    RecordingPane *m_pane;
};

} // namespace

RecordingPane::RecordingPane(QWidget *parent)
    : m_widget(new FocusReportingWidget(parent, this))
{
    setParent(m_widget);
}

void RecordingPane::navigate(const QString &address)
{
    calls << QStringLiteral("Navigate:") + address;
    m_url = address;
}

bool RecordingPane::goBack()
{
    calls << QStringLiteral("GoBack");
    return m_canGoBack;
}

bool RecordingPane::goForward()
{
    calls << QStringLiteral("GoForward");
    return m_canGoForward;
}

void RecordingPane::refresh(Refresh kind)
{
    emit refreshStarting(kind);
    calls << (kind == Refresh::Automatic ? QStringLiteral("AutoRefresh") : QStringLiteral("Refresh"));
}

void RecordingPane::stop()
{
    calls << QStringLiteral("Stop");
}

void RecordingPane::holdScrollTop(int pixels)
{
    calls << QStringLiteral("Hold:%1").arg(pixels);
    m_scrollTop = pixels;
}

void RecordingPane::releaseScrollTop()
{
    calls << QStringLiteral("Release");
}

void RecordingPane::setLocation(const QString &url, const QString &title)
{
    m_url = url;
    m_title = title;
}

void RecordingPane::setHistory(bool canGoBack, bool canGoForward)
{
    m_canGoBack = canGoBack;
    m_canGoForward = canGoForward;
}

QStringList RecordingPane::navigations() const
{
    QStringList result;
    for (const QString &call : calls) {
        if (call.startsWith(QLatin1String("Navigate:")))
            result << call.mid(9);
    }
    return result;
}

BrowserPane *RecordingPaneFactory::createPane(QWidget *parent)
{
    auto *pane = new RecordingPane(parent);
    panes << pane;
    return pane;
}
