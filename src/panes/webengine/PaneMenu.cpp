#include "panes/webengine/PaneMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "panes/webengine/ValueReader.h"

namespace PaneMenu {

namespace {

// A number that cannot be followed says why: a greyed item alone reads as a fault of the program.
QString followText(const std::optional<ValuePick> &pick)
{
    const QString follow = QStringLiteral("Segui questo valore");
    if (!pick || !pick->number)
        return follow;
    switch (pick->followable) {
    case ValuePick::Followable::Yes:
        break;
    case ValuePick::Followable::NoUniqueName:
        return follow + QStringLiteral(" (la riga non ha un nome unico)");
    case ValuePick::Followable::NameChanges:
        return follow + QStringLiteral(" (la prima cella della riga cambia)");
    }
    return follow;
}

// Whose hours the value keeps: the captions and the index of its own are all the pane knows.
void addMarketMenu(QMenu &menu, const Actions &actions, const ValuePlace &place)
{
    const BrowserPane::MarketChoice choice = actions.marketOf ? actions.marketOf(place) : BrowserPane::MarketChoice();
    if (choice.captions.isEmpty())
        return;
    QMenu *markets = menu.addMenu(QStringLiteral("Mercato"));
    markets->setObjectName(QStringLiteral("marketMenu"));
    auto *group = new QActionGroup(markets);
    for (int i = 0; i < choice.captions.size(); ++i) {
        QAction *action = group->addAction(choice.captions.at(i));
        action->setCheckable(true);
        action->setChecked(i == choice.current);
        markets->addAction(action);
        QObject::connect(action, &QAction::triggered, markets, [choose = actions.chooseMarket, place, i] {
            if (choose)
                choose(place, i);
        });
    }
}

// On a number of the page: follow it, or, followed already, its alert levels.
void addValueActions(QMenu &menu, const Actions &actions, const std::optional<ValuePick> &pick)
{
    menu.addSeparator();
    const auto ask = [&actions, &pick](BrowserPane::ValueAsk kind) {
        return [ask = actions.askValue, value = *pick, kind] { ask(kind, value); };
    };
    // A followed value keeps its levels within reach while its cell says "n.d." for a while.
    if (pick && actions.values->follows(pick->place)) {
        menu.addAction(QStringLiteral("Avvisami sopra\u2026"), &menu, ask(BrowserPane::ValueAsk::AlertAbove));
        menu.addAction(QStringLiteral("Avvisami sotto\u2026"), &menu, ask(BrowserPane::ValueAsk::AlertBelow));
        menu.addAction(QStringLiteral("Avvisami se varia del\u2026"), &menu, ask(BrowserPane::ValueAsk::AlertMove));
        QAction *phone = menu.addAction(QStringLiteral("Avvisa anche sul telefono\u2026"), &menu,
                                        ask(BrowserPane::ValueAsk::AlertPhone));
        phone->setObjectName(QStringLiteral("alertPhone"));
        phone->setCheckable(true);
        phone->setChecked(actions.alertsPhone && actions.alertsPhone(pick->place));
        addMarketMenu(menu, actions, pick->place);
        menu.addAction(QStringLiteral("Non seguire pi\u00f9\u2026"), &menu, ask(BrowserPane::ValueAsk::Unfollow));
    } else if (pick && pick->number && pick->followable == ValuePick::Followable::Yes) {
        menu.addAction(QStringLiteral("Segui questo valore"), &menu, ask(BrowserPane::ValueAsk::Follow));
    } else {
        menu.addAction(followText(pick))->setEnabled(false);
    }
}

void addOwnActions(QMenu &menu, const Actions &actions)
{
    const QList<QAction *> own = actions.own();
    if (!own.isEmpty()) {
        menu.addSeparator();
        menu.addActions(own);
    }
}

// In a field (a login, a search box, an order form) the engine's own edit actions, so that a
// copied ISIN or amount can be pasted with the mouse; each enabled as the engine says for the
// field under the click.
void addEditActions(QMenu &menu, const QPointer<QWebEnginePage> &page, QWebEngineContextMenuRequest::EditFlags can)
{
    using Request = QWebEngineContextMenuRequest;
    const struct
    {
        const char *text;
        QWebEnginePage::WebAction action;
        Request::EditFlag enabledBy;
    } edits[] = {
        {"Annulla", QWebEnginePage::Undo, Request::CanUndo},
        {"Ripeti", QWebEnginePage::Redo, Request::CanRedo},
        {"Taglia", QWebEnginePage::Cut, Request::CanCut},
        {"Copia", QWebEnginePage::Copy, Request::CanCopy},
        {"Incolla", QWebEnginePage::Paste, Request::CanPaste},
        {"Seleziona tutto", QWebEnginePage::SelectAll, Request::CanSelectAll},
    };
    for (const auto &edit : edits) {
        QAction *item = menu.addAction(QString::fromUtf8(edit.text), &menu, [page, action = edit.action] {
            if (page)
                page->triggerAction(action);
        });
        item->setEnabled(can.testFlag(edit.enabledBy));
    }
}

void show(QWebEngineView &view, const QPoint &pos, const Actions &actions, const std::optional<ValuePick> &pick)
{
    const QWebEngineContextMenuRequest *request = view.lastContextMenuRequest();
    const QString selection = request ? request->selectedText() : QString();
    const QUrl link = request ? request->linkUrl() : QUrl();
    // Deleted with the view, which a refresh may replace while the menu is open.
    auto *menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWebEnginePage> page(view.page());

    if (request && request->isContentEditable()) {
        addEditActions(*menu, page, request->editFlags());
        addOwnActions(*menu, actions);
        menu->popup(view.mapToGlobal(pos));
        return;
    }

    QAction *back = menu->addAction(QStringLiteral("Indietro"), menu, actions.back);
    back->setEnabled(page && page->history()->canGoBack());
    QAction *forward = menu->addAction(QStringLiteral("Avanti"), menu, actions.forward);
    forward->setEnabled(page && page->history()->canGoForward());
    menu->addAction(QStringLiteral("Ricarica"), menu, actions.reload);
    menu->addSeparator();
    QAction *copy = menu->addAction(QStringLiteral("Copia"), menu, [page] {
        if (page)
            page->triggerAction(QWebEnginePage::Copy);
    });
    copy->setEnabled(!selection.isEmpty());
    if (link.isValid()) {
        menu->addAction(QStringLiteral("Copia indirizzo del link"), menu, [link] {
            auto *data = new QMimeData;
            data->setUrls({link});
            data->setText(link.toString());
            QGuiApplication::clipboard()->setMimeData(data);
        });
    }
    if (actions.values && actions.values->isEnabled())
        addValueActions(*menu, actions, pick);
    addOwnActions(*menu, actions);
    menu->popup(view.mapToGlobal(pos));
}

} // namespace

void popup(QWebEngineView &view, const QPoint &pos, const Actions &actions)
{
    if (!actions.values || !actions.values->isEnabled()) {
        show(view, pos, actions, std::nullopt);
        return;
    }
    // The menu waits for the page to say what lies under the pointer, a moment at most.
    QPointer<ValueReader> reader(actions.values);
    QPointer<QWebEngineView> shownIn(&view);
    const QPointF css = QPointF(pos) / view.page()->zoomFactor();
    actions.values->pick(view.page(), css, [reader, shownIn, pos, actions](const std::optional<ValuePick> &pick) {
        if (reader && shownIn)
            show(*shownIn, pos, actions, pick);
    });
}

void attach(QWebEngineView &view, QObject &guard, const Actions &actions)
{
    const QPointer<QObject> alive(&guard);
    auto whileAlive = [alive](std::function<void()> act) {
        return [alive, act = std::move(act)] {
            if (alive)
                act();
        };
    };
    Actions guarded{whileAlive(actions.back), whileAlive(actions.forward), whileAlive(actions.reload), actions.own,
                    actions.values, [alive, ask = actions.askValue](BrowserPane::ValueAsk kind, const ValuePick &value) {
                        if (alive)
                            ask(kind, value);
                    },
                    [alive, phone = actions.alertsPhone](const ValuePlace &place) { return alive && phone && phone(place); },
                    [alive, markets = actions.marketOf](const ValuePlace &place) {
                        return (alive && markets) ? markets(place) : BrowserPane::MarketChoice();
                    },
                    [alive, choose = actions.chooseMarket](const ValuePlace &place, int choice) {
                        if (alive && choose)
                            choose(place, choice);
                    }};
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&view, &QWidget::customContextMenuRequested, &guard,
                     [&view, guarded](const QPoint &pos) { popup(view, pos, guarded); });
}

} // namespace PaneMenu
