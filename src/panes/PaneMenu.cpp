#include "panes/PaneMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "panes/WebEnginePane.h"
#include "panes/webengine/ValueReader.h"

namespace PaneMenu {

namespace {

// On a number of the page: follow it, or, followed already, its alert levels.
void addValueActions(QMenu &menu, WebEnginePane &pane, const std::optional<ValuePick> &pick)
{
    menu.addSeparator();
    if (!pick || !pick->number || !pick->followable) {
        menu.addAction(QStringLiteral("Segui questo valore"))->setEnabled(false);
        return;
    }
    QPointer<WebEnginePane> target(&pane);
    auto ask = [target, value = *pick](BrowserPane::ValueAsk kind) {
        return [target, value, kind] {
            if (target)
                emit target->valueAsked(kind, value);
        };
    };
    if (pane.valueReader().follows(pick->place)) {
        menu.addAction(QStringLiteral("Avvisami sopra\u2026"), &menu, ask(BrowserPane::ValueAsk::AlertAbove));
        menu.addAction(QStringLiteral("Avvisami sotto\u2026"), &menu, ask(BrowserPane::ValueAsk::AlertBelow));
    } else {
        menu.addAction(QStringLiteral("Segui questo valore"), &menu, ask(BrowserPane::ValueAsk::Follow));
    }
}

void addOwnActions(QMenu &menu, WebEnginePane &pane)
{
    const QList<QAction *> own = pane.menuActions();
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

void show(WebEnginePane &pane, QWebEngineView &view, const QPoint &pos, const std::optional<ValuePick> &pick)
{
    const QWebEngineContextMenuRequest *request = view.lastContextMenuRequest();
    const QString selection = request ? request->selectedText() : QString();
    const QUrl link = request ? request->linkUrl() : QUrl();
    // Deleted with the view, which a refresh may replace while the menu is open.
    auto *menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<WebEnginePane> target(&pane);
    QPointer<QWebEnginePage> page(view.page());

    if (request && request->isContentEditable()) {
        addEditActions(*menu, page, request->editFlags());
        addOwnActions(*menu, pane);
        menu->popup(view.mapToGlobal(pos));
        return;
    }

    QAction *back = menu->addAction(QStringLiteral("Indietro"), menu, [target] {
        if (target)
            target->goBack();
    });
    back->setEnabled(page && page->history()->canGoBack());
    QAction *forward = menu->addAction(QStringLiteral("Avanti"), menu, [target] {
        if (target)
            target->goForward();
    });
    forward->setEnabled(page && page->history()->canGoForward());
    menu->addAction(QStringLiteral("Ricarica"), menu, [target] {
        if (target)
            target->refresh(BrowserPane::Refresh::ByHand);
    });
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
    if (pane.valueReader().isEnabled())
        addValueActions(*menu, pane, pick);
    addOwnActions(*menu, pane);
    menu->popup(view.mapToGlobal(pos));
}

} // namespace

void popup(WebEnginePane &pane, QWebEngineView &view, const QPoint &pos)
{
    if (!pane.valueReader().isEnabled()) {
        show(pane, view, pos, std::nullopt);
        return;
    }
    // The menu waits for the page to say what lies under the pointer, a moment at most.
    QPointer<WebEnginePane> target(&pane);
    QPointer<QWebEngineView> shownIn(&view);
    const QPointF css = QPointF(pos) / view.page()->zoomFactor();
    pane.valueReader().pick(view.page(), css, [target, shownIn, pos](const std::optional<ValuePick> &pick) {
        if (target && shownIn)
            show(*target, *shownIn, pos, pick);
    });
}

} // namespace PaneMenu
