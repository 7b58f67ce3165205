// FollowedValues with the store's values read in again, and the watch's file written and read.
#include "watch/FollowedValues.h"

#include "watch/alerts/AlertBook.h"
#include "watch/store/WatchFile.h"

// Every value as the store holds it; one known already keeps only how its reading goes.
void FollowedValues::loadValues()
{
    const QDateTime now = m_clock();
    ValueStore &store = *m_life.store();
    // The row still says when the value alerted today, as before the restart.
    const QHash<qint64, QDateTime> alertedAt = m_book->lastAlerts();
    for (const ValueStore::Value &value : store.values()) {
        FollowedValue followed = FollowedValue::kept(value, store.lastReading(value.id), alertedAt.value(value.id));
        m_day.open(followed, store, value, now);
        const auto known = m_values.constFind(value.id);
        const bool isNew = known == m_values.cend();
        if (!isNew) {
            followed.unreadReason = known->unreadReason;
        }
        m_values.insert(value.id, followed);
        if (isNew)
            emit added(value.id);
        else
            emit changed(value.id);
    }
    // Opened late or imported into, the file may hold values the program did not follow yet.
    if (!m_values.isEmpty())
        emit placesChanged(places());
}

QString FollowedValues::exportWatch(const QString &path, bool withReadings)
{
    QString error;
    return WatchFile::save(m_life.store(), path, withReadings, &error) ? QString() : error;
}

QString FollowedValues::importWatch(const QString &path)
{
    QString error;
    const std::optional<QList<WatchEntry>> entries = WatchFile::read(path, &error);
    if (!entries)
        return error;
    // Kept in memory only, an import would be gone at the next start.
    if (!store().isPersistent())
        return QStringLiteral("l'archivio dei valori seguiti non \u00e8 scrivibile: %1").arg(store().openingProblem());
    if (!WatchFile::apply(store(), *entries, &error))
        return error;
    loadValues();
    return QString();
}
