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
    // the working directory), or empty text, which shows a blank page.
    virtual void navigate(const QString &address) = 0;
    // false when there is no earlier or later page; callers ignore it.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    virtual void refresh() = 0;
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

protected:
    explicit BrowserPane(QObject *parent = nullptr);

private:
    const QWidget *placed() const;
};
