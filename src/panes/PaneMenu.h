#pragma once

class QPoint;
class QWebEngineView;
class WebEnginePane;

// The pane's context menu. Only what makes sense on a watched page: back, forward, reload
// (as "A" does), copy and copy the link's address, then the program's own actions; in a
// field of the page the edit actions instead of the first ones. The
// engine's menu would offer to save the page unasked or to show its source in the pane's
// place, and speaks English.
namespace PaneMenu {

// Opens the menu for the click the view has just reported, at pos in the view.
void popup(WebEnginePane &pane, QWebEngineView &view, const QPoint &pos);

} // namespace PaneMenu
