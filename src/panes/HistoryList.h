#pragma once

#include <QObject>

class QAbstractButton;
class QListWidget;

// "Storico": every address sent with "GO", in order, duplicates kept. The button shows and
// hides the list; choosing an entry puts it into the address box and hides the list.
class HistoryList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryList)
public:
    HistoryList(QListWidget &list, QAbstractButton &toggle, QObject *parent = nullptr);

    void add(const QString &address);
    void toggleShown();

signals:
    void addressChosen(const QString &address);

private:
    void choose();

    QListWidget &m_list;
};
