#pragma once

#include <functional>

#include <QList>

#include "panes/BrowserPane.h"
#include "panes/ValueReading.h"

class QAction;
class QObject;
class QPoint;
class QWebEngineView;
class ValueReader;

// The pane's context menu. Only what makes sense on a watched page: back, forward, reload
// (as "A" does), copy and copy the link's address, then the program's own actions; in a
// field of the page the edit actions instead of the first ones. The
// engine's menu would offer to save the page unasked or to show its source in the pane's
// place, and speaks English.
namespace PaneMenu {

// What the pane does for the menu's own items, and the program's actions to end it with.
struct Actions
{
    std::function<void()> back;
    std::function<void()> forward;
    std::function<void()> reload;
    std::function<QList<QAction *>()> own;
    // The pane's reader of followed values, and how the pane hears that the user asked to
    // follow a value or set its alert levels; without a reader the menu offers neither.
    ValueReader *values = nullptr;
    std::function<void(BrowserPane::ValueAsk kind, const ValuePick &value)> askValue;
    // Whether a followed value's alerts go to the phone too.
    std::function<bool(const ValuePlace &place)> alertsPhone;
    // The markets a followed value may be on, with its own, and how the pane hears a choice.
    std::function<BrowserPane::MarketChoice(const ValuePlace &place)> marketOf;
    std::function<void(const ValuePlace &place, int choice)> chooseMarket;
};

// Opens the menu for the click the view has just reported, at pos in the view.
void popup(QWebEngineView &view, const QPoint &pos, const Actions &actions);
// Opens it on every right click into view, while guard lives: a refresh may replace the
// pane's view, and a menu still open may outlive the pane.
void attach(QWebEngineView &view, QObject &guard, const Actions &actions);

} // namespace PaneMenu
