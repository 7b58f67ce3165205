#pragma once

#include <functional>
#include <optional>

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include "common/WallClock.h"
#include "panes/ValueReading.h"

class QWebEnginePage;

// Owns a pane's followed values from the page to the watch (valuesRead): reads them after a load,
// in the page prepared for a refresh, kept until that page is shown, and whenever the shown
// page changes one of them by itself. Its script (values.js) is installed in the program's own
// world once per document and then asked by a short call. Knows every followed place of the
// program and reads only those of the page's address; with none there, it runs nothing.
class ValueReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueReader)
public:
    // clock: when a reading was made (the system's where none is given).
    explicit ValueReader(WallClock clock = {}, QObject *parent = nullptr);

    void setPlaces(const QList<ValuePlace> &places);
    // Whether the program follows values at all: without, the menu offers nothing.
    bool isEnabled() const { return m_enabled; }
    bool follows(const QUrl &url) const;
    bool follows(const ValuePlace &place) const { return m_places.contains(place); }
    // Installs the reading script in every document page loads from now on, so that a reading
    // is a short call; a document without it (loaded before) gets it at its first reading.
    void install(QWebEnginePage *page);

    // A page just loaded and shown: its values now, and the changes it makes later.
    void follow(QWebEnginePage *page);
    // Reads the shown page again and tells what it found.
    void report(QWebEnginePage *page);
    // A page prepared out of sight: its values are read now and kept until shown(page); done
    // runs once they are, at the latest after a short wait (a page that does not answer reads
    // as not read). One prepared page at a time: another takes its place.
    void prepare(QWebEnginePage *page, std::function<void()> done);
    // The prepared page is shown now: its kept values go out, and its later changes are watched.
    void shown(QWebEnginePage *page);
    // A load or refresh of url failed: each of its values, not read for reason.
    void failed(const QUrl &url, const QString &reason);

    // The element at pos in the view; nullopt where there is none worth following.
    void pick(QWebEnginePage *page, const QPointF &pos, std::function<void(const std::optional<ValuePick> &)> done);

    // Asks the shown page to tell when it changes a followed value itself (then changed()).
    void observe(QWebEnginePage *page);
    // The page's console said so: a page may say it falsely, which costs one reading.
    void consoleMessage(QWebEnginePage *page, const QString &message);

signals:
    void valuesRead(const QList<ValueReading> &readings);
    // The shown page changed one of its followed values by itself; at most once a second.
    void changed(QWebEnginePage *page);

private:
    using Readings = std::function<void(const QList<ValueReading> &)>;
    // done gets one reading for each place of the page's address (none: not called).
    void read(QWebEnginePage *page, Readings done);
    // Runs request (JSON) through the page's installed script, installing it first where the
    // document has none yet; answer gets nothing valid from a page being deleted.
    void ask(QWebEnginePage *page, const QString &request, std::function<void(const QVariant &)> answer);
    QList<ValuePlace> placesOf(const QUrl &url) const;
    void tell(const QList<ValueReading> &readings);

    WallClock m_clock;
    QList<ValuePlace> m_places;
    bool m_enabled = false;
    QElapsedTimer m_lastChange;
    QPointer<QWebEnginePage> m_prepared;
    QList<ValueReading> m_kept;
};
