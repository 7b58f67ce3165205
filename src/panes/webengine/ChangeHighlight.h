#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QUrl>

class QWebEnginePage;

// What changed on a page since the last load of the same address. Keeps the text of the
// pane's current address only, so a day of refreshes holds one page's worth of text.
class ChangeHighlight final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChangeHighlight)
public:
    explicit ChangeHighlight(QObject *parent = nullptr);

    // Off, nothing is compared, kept or highlighted.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // Takes the text of the page that has just loaded; where the last one kept is of the same
    // address, highlights what differs. done runs when that is finished, at the latest after
    // a short wait for a page that does not answer.
    void compare(QWebEnginePage *page, std::function<void()> done = {});

    // The text kept, for measurements.
    qsizetype keptSize() const { return m_snapshot.size(); }

signals:
    // The page answered the latest compare: what differed is highlighted, its text kept.
    void compared();

private:
    bool m_enabled = true;
    QUrl m_url;
    QString m_snapshot;
    quint64 m_generation = 0;
};
