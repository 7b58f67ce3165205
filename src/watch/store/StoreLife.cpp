#include "watch/store/StoreLife.h"

#include <QFileInfo>

#include "watch/store/ValueStore.h"

StoreLife::StoreLife(const QString &path) : m_path(path) {}

StoreLife::~StoreLife() = default;

bool StoreLife::fileExists() const
{
    return QFileInfo::exists(m_path);
}

ValueStore &StoreLife::open(const QDateTime &now)
{
    m_store = std::make_unique<ValueStore>(m_path);
    m_store->prune(now);
    m_prunedOn = now.date();
    return *m_store;
}

void StoreLife::readingsKept(const QDateTime &newest)
{
    if (!m_store || m_prunedOn == newest.date())
        return;
    m_store->prune(newest);
    m_prunedOn = newest.date();
}
