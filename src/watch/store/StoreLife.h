#pragma once

#include <memory>

#include <QDate>
#include <QDateTime>
#include <QString>

class ValueStore;

// The followed values' store over the program's life: opened at start only where its file is
// there already, else at the first value followed, so that with nothing ever followed the
// program loads neither SQLite nor its driver. Keeps a month: pruned as it opens and at each
// new day of readings, so a program left running for weeks keeps what one started every
// morning does.
class StoreLife final
{
    Q_DISABLE_COPY_MOVE(StoreLife)
public:
    explicit StoreLife(const QString &path);
    ~StoreLife();

    bool fileExists() const;
    // Null until open.
    ValueStore *store() const { return m_store.get(); }
    ValueStore &open(const QDateTime &now);
    void readingsKept(const QDateTime &newest);

private:
    QString m_path;
    std::unique_ptr<ValueStore> m_store;
    QDate m_prunedOn;
};
