#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QListWidget;

// "File": the web pages of the working folder, read afresh at every press. Choosing one puts
// its full path into the address box and hides the list.
class LocalPageList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalPageList)
public:
    LocalPageList(QListWidget &list, QAbstractButton &toggle, const QString &folder, QObject *parent = nullptr);

    // The names the list shows for folder: its web pages, matched as the pattern "*.htm"
    // matches on Windows (".htm" and ".html", any letter case).
    static QStringList pagesIn(const QString &folder);

    void toggleShown();

signals:
    void addressChosen(const QString &address);

private:
    void choose();

    QListWidget &m_list;
    QString m_folder;
};
