#include "watch/ValueStore.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// 2: the heading over a followed value's column, so that a column added before it is noticed.
constexpr int SchemaVersion = 2;

QString uniqueConnectionName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("quovadex-values-%1").arg(counter.fetchAndAddRelaxed(1));
}

QVariant optionalNumber(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

std::optional<double> toOptional(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

// A null QString binds as SQL NULL; the columns want text, if empty.
QString text(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

// Run one statement with its bound values; false on any error.
bool exec(QSqlQuery &query, const QVariantList &values = {})
{
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace

ValueStore::ValueStore(const QString &path)
    : m_connection(uniqueConnectionName())
{
    if (open(path)) {
        m_persistent = true;
        return;
    }
    // A file that is there but will not open or fails its check is kept aside, never deleted:
    // the readings in it may still be saved by hand.
    const QString reason = QSqlDatabase::database(m_connection, false).lastError().text();
    QSqlDatabase::removeDatabase(m_connection);
    // A later copy of the program keeps its values there: this one leaves them alone.
    if (m_fromLaterProgram) {
        m_connection = uniqueConnectionName();
        open(QStringLiteral(":memory:"));
        m_problem = QStringLiteral("L'archivio dei valori seguiti (%1) \u00e8 di una versione pi\u00f9 recente del "
                                   "programma e resta com'\u00e8. I valori seguiti in questa sessione non saranno "
                                   "conservati.").arg(QDir::toNativeSeparators(path));
        return;
    }
    if (QFileInfo::exists(path))
        setAside(path);
    m_connection = uniqueConnectionName();
    if (open(path)) {
        m_persistent = true;
        m_problem = m_setAside.isEmpty()
            ? QString()
            : QStringLiteral("L'archivio dei valori seguiti era danneggiato ed \u00e8 stato messo da parte come "
                             "\u00ab%1\u00bb. Ne \u00e8 stato aperto uno nuovo.").arg(m_setAside);
        return;
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection = uniqueConnectionName();
    open(QStringLiteral(":memory:"));
    m_problem = QStringLiteral("L'archivio dei valori seguiti (%1) non si apre: %2. I valori seguiti in questa "
                               "sessione non saranno conservati.").arg(QDir::toNativeSeparators(path), reason);
}

ValueStore::~ValueStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool ValueStore::open(const QString &path)
{
    if (path != QLatin1String(":memory:"))
        QDir().mkpath(QFileInfo(path).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    QSqlQuery check(db);
    // A damaged file often opens; reading it is what fails.
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()
        || check.value(0).toString() != QLatin1String("ok"))
        return false;
    check.finish();
    return prepareSchema();
}

bool ValueStore::prepareSchema()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    // A file from a later program is not ours to change, not even its journal.
    if (q.exec(QStringLiteral("SELECT version FROM schema_version")) && q.next()
        && q.value(0).toInt() > SchemaVersion) {
        m_fromLaterProgram = true;
        return false;
    }
    q.finish();
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.exec(QStringLiteral("PRAGMA foreign_keys=ON")))
        return false;
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)")))
        return false;
    if (!q.exec(QStringLiteral("SELECT version FROM schema_version")))
        return false;
    const int version = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    if (version == SchemaVersion)
        return true;
    if (version == 1) {
        // Values followed before headings were kept have none, and are read as before.
        db.transaction();
        const bool migrated =
            q.exec(QStringLiteral("ALTER TABLE followed ADD COLUMN heading TEXT NOT NULL DEFAULT ''"))
            && q.exec(QStringLiteral("UPDATE schema_version SET version = %1").arg(SchemaVersion));
        return migrated ? db.commit() : (db.rollback(), false);
    }
    // Keyed by time first, so readings are always added at the table's end and its pages stay
    // full: a month of readings takes about half the room a key by value would.
    db.transaction();
    const bool made =
        q.exec(QStringLiteral("CREATE TABLE followed (id INTEGER PRIMARY KEY, address TEXT NOT NULL, "
                              "grp TEXT NOT NULL, cell INTEGER NOT NULL, name TEXT NOT NULL, above REAL, below REAL, "
                              "margin REAL NOT NULL DEFAULT 0.2, heading TEXT NOT NULL DEFAULT '', "
                              "UNIQUE (address, grp, cell))"))
        && q.exec(QStringLiteral("CREATE TABLE readings (at INTEGER NOT NULL, value INTEGER NOT NULL "
                                 "REFERENCES followed (id) ON DELETE CASCADE, number REAL NOT NULL, "
                                 "PRIMARY KEY (at, value)) WITHOUT ROWID"))
        && q.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(SchemaVersion));
    return made ? db.commit() : (db.rollback(), false);
}

void ValueStore::setAside(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".danneggiato-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".danneggiato-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(path, aside))
        return;
    m_setAside = aside;
    // The write-ahead log belongs to the old file and would be replayed into the new one.
    for (const char *suffix : {"-wal", "-shm"}) {
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    }
}

QList<ValueStore::Value> ValueStore::values() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    QList<Value> values;
    if (!q.exec(QStringLiteral("SELECT id, address, grp, cell, name, above, below, margin, heading FROM followed "
                                "ORDER BY id")))
        return values;
    while (q.next()) {
        Value v;
        v.id = q.value(0).toLongLong();
        v.place = {q.value(1).toString(), q.value(2).toString(), q.value(3).toInt()};
        v.name = q.value(4).toString();
        v.levels = {toOptional(q.value(5)), toOptional(q.value(6)), q.value(7).toDouble()};
        v.heading = q.value(8).toString();
        values.append(v);
    }
    return values;
}

std::optional<qint64> ValueStore::follow(const ValuePlace &place, const QString &name, const QString &heading)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO followed (address, grp, cell, name, heading) VALUES (?, ?, ?, ?, ?)"));
    if (!exec(q, {text(place.address), text(place.group), place.index, text(name), text(heading)}))
        return std::nullopt;
    q.prepare(QStringLiteral("SELECT id FROM followed WHERE address = ? AND grp = ? AND cell = ?"));
    if (!exec(q, {text(place.address), text(place.group), place.index}) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

bool ValueStore::rename(qint64 id, const QString &name)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE followed SET name = ? WHERE id = ?"));
    return exec(q, {text(name), id}) && q.numRowsAffected() == 1;
}

bool ValueStore::setLevels(qint64 id, const LevelCrossing::Levels &levels)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE followed SET above = ?, below = ?, margin = ? WHERE id = ?"));
    return exec(q, {optionalNumber(levels.above), optionalNumber(levels.below), levels.marginPercent, id})
        && q.numRowsAffected() == 1;
}

bool ValueStore::setHeading(qint64 id, const QString &heading)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE followed SET heading = ? WHERE id = ?"));
    return exec(q, {text(heading), id}) && q.numRowsAffected() == 1;
}

bool ValueStore::unfollow(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM followed WHERE id = ?"));
    return exec(q, {id}) && q.numRowsAffected() == 1;
}

bool ValueStore::record(const QList<std::pair<qint64, Reading>> &readings)
{
    if (readings.isEmpty())
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO readings (at, value, number) VALUES (?, ?, ?)"));
    for (const auto &[id, reading] : readings) {
        if (!exec(q, {reading.time.toSecsSinceEpoch(), id, reading.number})) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

QList<ValueStore::Reading> ValueStore::readings(qint64 id, const QDateTime &from, const QDateTime &to) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at, number FROM readings WHERE at BETWEEN ? AND ? AND value = ? ORDER BY at"));
    QList<Reading> found;
    if (!exec(q, {from.toSecsSinceEpoch(), to.toSecsSinceEpoch(), id}))
        return found;
    while (q.next())
        found.append({QDateTime::fromSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toDouble()});
    return found;
}

std::optional<ValueStore::Reading> ValueStore::lastReading(qint64 id) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT at, number FROM readings WHERE value = ? ORDER BY at DESC LIMIT 1"));
    if (!exec(q, {id}) || !q.next())
        return std::nullopt;
    return Reading{QDateTime::fromSecsSinceEpoch(q.value(0).toLongLong()), q.value(1).toDouble()};
}

int ValueStore::prune(const QDateTime &now, int days)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM readings WHERE at < ?"));
    if (!exec(q, {now.addDays(-days).toSecsSinceEpoch()}))
        return 0;
    return q.numRowsAffected();
}
