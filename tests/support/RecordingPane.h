#pragma once

#include <QStringList>
#include <QWidget>

#include "panes/BrowserPane.h"
#include "panes/PaneFactory.h"

// A pane without a web engine that writes down every call, for window tests. Its widget
// takes the focus on a click like the real page does.
class RecordingPane final : public BrowserPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordingPane)
public:
    explicit RecordingPane(QWidget *parent);

    QWidget *widget() override { return m_widget; }

    void navigate(const QString &address) override;
    bool goBack() override;
    bool goForward() override;
    void refresh(Refresh kind = Refresh::ByHand) override;
    void stop() override;
    QString locationUrl() const override { return m_url; }
    QString locationName() const override { return m_title; }
    void holdScrollTop(int pixels) override;
    void releaseScrollTop() override;
    void setHighlightChanges(bool on) override { highlightChanges = on; }
    void setFollowedPlaces(const QList<ValuePlace> &places) override { followedPlaces = places; }

    bool highlightChanges = true;
    QList<ValuePlace> followedPlaces;

    // Calls in order, as "Navigate:<text>", "GoBack", "GoForward", "Refresh" (by hand), "AutoRefresh", "Stop",
    // "Hold:<n>", "Release".
    QStringList calls;

    // What the fake page reports.
    void setLocation(const QString &url, const QString &title);
    void setHistory(bool canGoBack, bool canGoForward);

    int scrollTop() const { return m_scrollTop; }
    QStringList navigations() const;
    void clearCalls() { calls.clear(); }

private:
    QWidget *m_widget;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    int m_scrollTop = 0;
    QString m_url;
    QString m_title;
};

class RecordingPaneFactory final : public PaneFactory
{
public:
    BrowserPane *createPane(QWidget *parent) override;

    // Panes in creation order: the window makes the upper pane first.
    QList<RecordingPane *> panes;
};
