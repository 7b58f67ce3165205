#include "watch/AlertList.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

AlertList::AlertList(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("alertList"));
    // The program ends with its last main window, whatever else is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    // It comes to the front but leaves the keys where they were: an alert arriving while an
    // order is being typed into a page must not take the rest of what is typed.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Avvisi dei valori seguiti"));
    resize(520, 260);
    // An alert's sentence is longer than the window is wide: all of it, on two lines.
    m_list->setWordWrap(true);
    auto *close = new QPushButton(QStringLiteral("Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void AlertList::add(const QString &summary, const QString &body)
{
    m_list->insertItem(0, summary + QLatin1Char('\n') + body);
    show();
    raise();
}

QStringList AlertList::entries() const
{
    QStringList all;
    for (int i = 0; i < m_list->count(); ++i)
        all.append(m_list->item(i)->text());
    return all;
}
