#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

// The keys a browser's user expects, while the pane has the focus: F5 and Ctrl+R reload as
// "A" does, Alt+Left and Alt+Right go back and forward, Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl
// with the mouse wheel zoom. Says what was asked; the pane does it.
class PaneKeys final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneKeys)
public:
    // frame: the pane's widget, whose keys and wheel turns these are.
    explicit PaneKeys(QWidget &frame);

    // The zoom one step from percent, in the steps browsers use.
    static int nextZoom(int percent, int direction);

signals:
    void reloadAsked();
    void backAsked();
    void forwardAsked();
    // One step up (1) or down (-1), or back to the page's own size (0).
    void zoomAsked(int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool act(const QKeyEvent &key);

    QWidget &m_frame;
};
