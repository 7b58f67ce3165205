#pragma once

#include <QObject>
#include <QPointer>

class QTimer;
class QWebEnginePage;

// Tells a page whose script no longer answers. A page caught in an endless loop keeps its
// old rows on screen and lets every reload reach the site without ever showing its answer,
// and its process is shared by every later page of the same site: it only comes back in a
// new process.
class FreezeProbe final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FreezeProbe)
public:
    explicit FreezeProbe(QObject *parent = nullptr);

    // Asks the page for a trivial answer; frozen() when none has come within the time. One
    // question at a time: while one is out, another call does nothing.
    void probe(QWebEnginePage *page);
    void setTimeout(int ms);

signals:
    // Still the same page process as when asked, and it has not answered.
    void frozen(QWebEnginePage *page, qint64 processId);

private:
    void answered(quint64 question);
    void expired();

    QTimer *m_timer;
    QPointer<QWebEnginePage> m_page;
    qint64 m_processId = 0;
    quint64 m_question = 0;
};
