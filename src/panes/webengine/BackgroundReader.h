#pragma once

#include <QDeadlineTimer>
#include <QList>
#include <QQueue>

#include "common/WallClock.h"
#include "panes/BackgroundReading.h"

class QTimer;
class QWebEngineProfile;
class SilentPage;
class ValueReader;

// Reads the followed values of addresses no pane shows: each address in a page with no view on
// the shared profile (so a site's login holds), muted and silent, read with the panes' own
// script, then deleted. One page at a time, in the order asked: a day of followed values
// never opens a crowd of pages at once, and the next waits (a moment at most) for the last
// one's process to end. What the page asks (a permission, a window, a question) is refused
// quietly and the reading goes on, as in a shown page; a page moved within its site is read
// where it ended up. A page that has not loaded in time, fails, asks for a sign-in, crashes
// or is sent to another site gives each of its values not read, with the reason.
class BackgroundReader final : public BackgroundReading
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundReader)
public:
    explicit BackgroundReader(QWebEngineProfile *profile, WallClock clock = {}, QObject *parent = nullptr);
    ~BackgroundReader() override;

    void read(const QString &address, const QList<ValuePlace> &places) override;
    // How long one page may take to load and answer before its values count as not read.
    void setPageTimeout(int ms);
    // A page is out now; at most one ever is.
    bool isReading() const { return m_page != nullptr; }

private:
    struct Ask
    {
        QString address;
        QList<ValuePlace> places;
    };
    void next();
    void loaded(bool ok, const QString &reason);
    void fail(const QString &reason);
    void taken(QList<ValueReading> readings);
    void done(const QList<ValueReading> &readings);

    QWebEngineProfile *m_profile;
    WallClock m_clock;
    ValueReader *m_reader;
    QTimer *m_deadline;
    // The last page's process, which the next page waits to see end.
    QTimer *m_processCheck;
    qint64 m_lastProcess = 0;
    QDeadlineTimer m_processUntil;
    QQueue<Ask> m_asks;
    // The ask whose readings are awaited; no places once they came, or before any.
    Ask m_current;
    // Where the page ended up, by which the reader finds the places of m_current.
    QString m_readAt;
    // Until deleted, so that the next page is made only once it is gone.
    SilentPage *m_page = nullptr;
};
