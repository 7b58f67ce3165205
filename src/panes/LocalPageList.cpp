#include "panes/LocalPageList.h"

#include <QAbstractButton>
#include <QDir>
#include <QListWidget>

LocalPageList::LocalPageList(QListWidget &list, QAbstractButton &toggle, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_folder(folder)
{
    connect(&toggle, &QAbstractButton::clicked, this, &LocalPageList::toggleShown);
    connect(&m_list, &QListWidget::itemClicked, this, &LocalPageList::choose);
    connect(&m_list, &QListWidget::itemActivated, this, &LocalPageList::choose);
}

QStringList LocalPageList::pagesIn(const QString &folder)
{
    const QDir dir(folder);
    return dir.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")},
                         QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

void LocalPageList::toggleShown()
{
    m_list.clear();
    m_list.addItems(pagesIn(m_folder));
    m_list.setVisible(!m_list.isVisible());
    if (m_list.isVisible())
        m_list.raise();
}

void LocalPageList::choose()
{
    if (QListWidgetItem *item = m_list.currentItem()) {
        // A folder at the root already ends with the separator; a doubled one would make
        // "//name" here, which reads as a network host rather than a file.
        QString folder = m_folder;
        if (!folder.endsWith(QDir::separator()) && !folder.endsWith(QLatin1Char('/')))
            folder += QDir::separator();
        emit addressChosen(QDir::toNativeSeparators(folder + item->text()));
    }
    m_list.hide();
}
