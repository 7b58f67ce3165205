#pragma once

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
// never opens a crowd of pages at once. A page that has not loaded in time, fails or is sent
// elsewhere gives each of its values not read, with the reason.
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
    void done(const QList<ValueReading> &readings);

    QWebEngineProfile *m_profile;
    WallClock m_clock;
    ValueReader *m_reader;
    QTimer *m_deadline;
    QQueue<Ask> m_asks;
    // The ask whose readings are awaited; no places once they came, or before any.
    Ask m_current;
    // Until deleted, so that the next page is made only once it is gone.
    SilentPage *m_page = nullptr;
};
