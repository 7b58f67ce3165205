#pragma once

#include <functional>
#include <optional>

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QUrl>

#include "panes/ValueReading.h"

class QWebEnginePage;

// Reads a pane's followed values in its pages (script values.js, in the program's own world):
// after a load, in the page prepared for a refresh before it is shown, and whenever the shown
// page changes one of them by itself. Knows every followed place of the program and reads only
// those of the page's address; with none there, it runs nothing.
class ValueReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueReader)
public:
    explicit ValueReader(QObject *parent = nullptr);

    void setPlaces(const QList<ValuePlace> &places);
    // Whether the program follows values at all: without, the menu offers nothing.
    bool isEnabled() const { return m_enabled; }
    bool follows(const QUrl &url) const;
    bool follows(const ValuePlace &place) const { return m_places.contains(place); }

    using Readings = std::function<void(const QList<ValueReading> &)>;
    // done gets one reading for each place of the page's address (none: not called), at the
    // latest after a short wait, where an unanswered page reads as not read.
    void read(QWebEnginePage *page, Readings done);
    // Each place of url, not read for reason.
    QList<ValueReading> unread(const QUrl &url, const QString &reason) const;
    // Reads the page as read() does, and tells what it found (taken).
    void report(QWebEnginePage *page);
    // Tells readings taken elsewhere; none, nothing.
    void report(const QList<ValueReading> &readings);

    // The element at pos in the view; nullopt where there is none worth following.
    void pick(QWebEnginePage *page, const QPointF &pos, std::function<void(const std::optional<ValuePick> &)> done);

    // Asks the shown page to tell when it changes a followed value itself (then changed()).
    void watch(QWebEnginePage *page);
    // A page just shown: its values now, and the changes it makes later.
    void follow(QWebEnginePage *page)
    {
        report(page);
        watch(page);
    }
    // The page's console said so: a page may say it falsely, which costs one reading.
    void consoleMessage(QWebEnginePage *page, const QString &message);

signals:
    void taken(const QList<ValueReading> &readings);
    // The shown page changed one of its followed values by itself; at most once a second.
    void changed(QWebEnginePage *page);

private:
    QList<ValuePlace> placesOf(const QUrl &url) const;

    QList<ValuePlace> m_places;
    bool m_enabled = false;
    QElapsedTimer m_lastChange;
};
