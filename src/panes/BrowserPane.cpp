#include "panes/BrowserPane.h"

#include <QAction>
#include <QWidget>

#include "common/Twips.h"

BrowserPane::BrowserPane(QObject *parent)
    : QObject(parent)
{
}

BrowserPane::~BrowserPane() = default;

const QWidget *BrowserPane::placed() const
{
    return const_cast<BrowserPane *>(this)->widget();
}

double BrowserPane::leftTwips() const
{
    return Twips::fromPixels(placed()->x(), Twips::dpiX(placed()));
}

double BrowserPane::topTwips() const
{
    return Twips::fromPixels(placed()->y(), Twips::dpiY(placed()));
}

double BrowserPane::widthTwips() const
{
    return Twips::fromPixels(placed()->width(), Twips::dpiX(placed()));
}

double BrowserPane::heightTwips() const
{
    return Twips::fromPixels(placed()->height(), Twips::dpiY(placed()));
}

void BrowserPane::setLeftTwips(double twips)
{
    QWidget *w = widget();
    w->move(Twips::toPixels(twips, Twips::dpiX(w)), w->y());
}

void BrowserPane::setTopTwips(double twips)
{
    QWidget *w = widget();
    w->move(w->x(), Twips::toPixels(twips, Twips::dpiY(w)));
}

void BrowserPane::setWidthTwips(double twips)
{
    QWidget *w = widget();
    w->resize(qMax(0, Twips::toPixels(twips, Twips::dpiX(w))), w->height());
}

void BrowserPane::setHeightTwips(double twips)
{
    QWidget *w = widget();
    w->resize(w->width(), qMax(0, Twips::toPixels(twips, Twips::dpiY(w))));
}

void BrowserPane::addMenuAction(QAction *action)
{
    m_menuActions << action;
}

QList<QAction *> BrowserPane::menuActions() const
{
    QList<QAction *> actions;
    for (const QPointer<QAction> &action : m_menuActions) {
        if (action)
            actions << action.data();
    }
    return actions;
}
