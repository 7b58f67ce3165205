#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Everything the program asks of a web pane. The main window and every other part of the
// program reach the web engine only through this interface, so that window tests can use
// a recording double instead of a real engine.
//
// None of the operations reports a failure to the caller: a navigation to nonsense, a
// back step without history or a scroll write before the page has a body are all silent.
// How each load ended comes afterwards through the signals, for the pane's state label.
class BrowserPane : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPane)
public:
    ~BrowserPane() override;

    // The widget that shows the page; the window parents and places it.
    virtual QWidget *widget() = 0;

    // No dialog of the page's own ever shows while silent.
    virtual void setSilent(bool silent) = 0;
    virtual bool isSilent() const = 0;

    // Any text: web addresses, bare host names, absolute or relative file paths (relative to
    // the working folder), or empty text, which shows a blank page.
    virtual void navigate(const QString &address) = 0;
    // The folder of the window the pane is in; never the process's current one, which is
    // the same for every window.
    void setWorkingFolder(const QString &folder) { m_folder = folder; }
    QString workingFolder() const { return m_folder; }
    // false when there is no earlier or later page; callers ignore it.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;

    // Who asked for a refresh: the automatic cycle leaves a page alone while the user is
    // typing into it; a refresh by hand always goes ahead.
    enum class Refresh { ByHand, Automatic };
    // Brings the page up to date. A refresh that fails keeps the page that was shown.
    virtual void refresh(Refresh kind = Refresh::ByHand) = 0;
    virtual void stop() = 0;

    virtual QString locationUrl() const = 0;
    virtual QString locationName() const = 0;

    // Sets the document's vertical scroll offset in pixels. Returns at once; does nothing
    // while the page has no body.
    virtual void setScrollTop(int pixels) = 0;

    // Placement in twips in the window's coordinates. Reading back gives what the toolkit
    // stored, which is whole pixels.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

signals:
    // The pane received the input focus, by a click into the page or otherwise.
    void gotFocus();

    // A page finished loading and is shown.
    void loaded();
    // A load failed. pageKept: a refresh that left the last page on screen; otherwise the
    // pane shows the engine's error page. reason is for people: the error or the HTTP status.
    void loadFailed(const QString &reason, bool pageKept);
    // The automatic refresh was put off because the user is typing into the page.
    void refreshPutOff();
    // While a page or a refresh loads: 0 to 100; 100 also when it ends in any way.
    void loadProgress(int percent);
    // The user clicked a link or button of the page that asks for a new window; the page
    // shown stays, and address is for a window of its own.
    void newWindowRequested(const QString &address);
    // A download the user asked for in this pane was saved at path.
    void downloaded(const QString &path);
    // A download of the user's was stopped and nothing of it kept; reason is for people.
    void downloadStopped(const QString &name, const QString &reason);

protected:
    explicit BrowserPane(QObject *parent = nullptr);

private:
    const QWidget *placed() const;

    QString m_folder;
};
