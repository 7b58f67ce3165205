#pragma once

#include <functional>

#include <QList>

class QAction;
class QPoint;
class QWebEngineView;

// The pane's context menu. Only what makes sense on a watched page: back, forward, reload
// (as "A" does), copy and copy the link's address, then the program's own actions. The
// engine's menu would offer to save the page unasked or to show its source in the pane's
// place, and speaks English.
namespace PaneMenu {

// What the pane does for the menu's own items, and the program's actions to end it with.
struct Actions
{
    std::function<void()> back;
    std::function<void()> forward;
    std::function<void()> reload;
    QList<QAction *> own;
};

// Opens the menu for the click the view has just reported, at pos in the view.
void popup(QWebEngineView &view, const QPoint &pos, const Actions &actions);

} // namespace PaneMenu
