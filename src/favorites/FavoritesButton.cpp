#include "favorites/FavoritesButton.h"

#include <QAbstractButton>
#include <QDir>

#include "favorites/FavoritesFile.h"
#include "panes/BrowserPane.h"

FavoritesButton::FavoritesButton(QAbstractButton &button, BrowserPane &pane, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
    , m_folder(folder)
{
    connect(&button, &QAbstractButton::clicked, this, &FavoritesButton::addCurrentPage);
}

void FavoritesButton::addCurrentPage()
{
    // A file that cannot be written (read-only folder, full disk) is left as it was, silently.
    FavoritesFile::append(QDir(m_folder).filePath(FavoritesFile::fileName()),
                          FavoritesFile::line(m_pane.locationUrl(), m_pane.locationName()));
}
