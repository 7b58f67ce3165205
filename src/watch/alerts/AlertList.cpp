#include "watch/alerts/AlertList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

AlertList::AlertList(QAbstractItemModel &alerts, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_table(new QTableView(this))
{
    setObjectName(QStringLiteral("alertList"));
    // The program ends with its last main window, whatever else is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    // It comes to the front but leaves the keys where they were: an alert arriving while an
    // order is being typed into a page must not take the rest of what is typed.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Avvisi dei valori seguiti"));
    resize(560, 280);
    m_table->setObjectName(QStringLiteral("alertListTable"));
    m_table->setModel(&alerts);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    connect(&alerts, &QAbstractItemModel::modelReset, m_table, &QTableView::resizeColumnsToContents);
    auto *close = new QPushButton(QStringLiteral("Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void AlertList::bringUp()
{
    m_table->scrollToTop();
    show();
    raise();
}
