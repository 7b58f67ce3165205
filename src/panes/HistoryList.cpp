#include "panes/HistoryList.h"

#include <QAbstractButton>
#include <QListWidget>

HistoryList::HistoryList(QListWidget &list, QAbstractButton &toggle, QObject *parent)
    : QObject(parent)
    , m_list(list)
{
    connect(&toggle, &QAbstractButton::clicked, this, &HistoryList::toggleShown);
    connect(&m_list, &QListWidget::itemClicked, this, &HistoryList::choose);
    connect(&m_list, &QListWidget::itemActivated, this, &HistoryList::choose);
}

void HistoryList::add(const QString &address)
{
    m_list.addItem(address);
}

void HistoryList::toggleShown()
{
    m_list.setVisible(!m_list.isVisible());
    if (m_list.isVisible())
        m_list.raise();
}

void HistoryList::choose()
{
    if (QListWidgetItem *item = m_list.currentItem())
        emit addressChosen(item->text());
    m_list.hide();
}
