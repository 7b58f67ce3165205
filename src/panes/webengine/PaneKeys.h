#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;
class WebEnginePane;

// The keys a browser's user expects, while the pane has the focus: F5 and Ctrl+R reload as
// "A" does, Alt+Left and Alt+Right go back and forward, Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl
// with the mouse wheel zoom.
class PaneKeys final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneKeys)
public:
    PaneKeys(WebEnginePane &pane, QWidget &frame);

    // The zoom one step from percent, in the steps browsers use.
    static int nextZoom(int percent, int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool act(const QKeyEvent &key);

    WebEnginePane &m_pane;
    QWidget &m_frame;
};
