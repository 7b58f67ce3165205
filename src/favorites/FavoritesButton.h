#pragma once

#include <QObject>
#include <QString>

class BrowserPane;
class QAbstractButton;

// "+P" beside one pane: appends the pane's page to Preferiti.htm in the working folder.
class FavoritesButton final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FavoritesButton)
public:
    FavoritesButton(QAbstractButton &button, BrowserPane &pane, const QString &folder, QObject *parent = nullptr);

    void addCurrentPage();

private:
    BrowserPane &m_pane;
    QString m_folder;
};
