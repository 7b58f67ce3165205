#include "watch/store/ValueStoreSchema.h"

#include <QSqlQuery>
#include <QStringList>

#include "watch/store/StoreSql.h"

namespace ValueStoreSchema {

namespace {

// Keyed by time first, so readings are always added at the table's end and its pages stay
// full: a month of readings takes about half the room a key by value would. The index by
// value serves one value's chart and its previous close.
const char *const Tables[] = {
    "CREATE TABLE followed (id INTEGER PRIMARY KEY, address TEXT NOT NULL, grp TEXT NOT NULL, cell INTEGER NOT NULL, "
    "name TEXT NOT NULL, above REAL, below REAL, margin REAL NOT NULL DEFAULT 0.2, heading TEXT NOT NULL DEFAULT '', "
    "above_alerted INTEGER NOT NULL DEFAULT 0, below_alerted INTEGER NOT NULL DEFAULT 0, UNIQUE (address, grp, cell))",
    "CREATE TABLE readings (at INTEGER NOT NULL, value INTEGER NOT NULL REFERENCES followed (id) ON DELETE CASCADE, "
    "number REAL NOT NULL, PRIMARY KEY (at, value)) WITHOUT ROWID",
};

const char *const Additions[] = {
    "CREATE INDEX IF NOT EXISTS readings_by_value ON readings (value, at)",
    "CREATE TABLE IF NOT EXISTS alerts (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, value INTEGER NOT NULL "
    "REFERENCES followed (id) ON DELETE CASCADE, kind INTEGER NOT NULL, number REAL, reason TEXT NOT NULL DEFAULT '', "
    "seen INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS alerts_by_time ON alerts (at)",
};

// The steps from each older version; values followed before a column was kept read as before.
const char *const From1[] = {"ALTER TABLE followed ADD COLUMN heading TEXT NOT NULL DEFAULT ''"};
const char *const From2[] = {"ALTER TABLE followed ADD COLUMN above_alerted INTEGER NOT NULL DEFAULT 0",
                             "ALTER TABLE followed ADD COLUMN below_alerted INTEGER NOT NULL DEFAULT 0"};
// A new file gets these the same way: one place for the move's columns.
const char *const From3[] = {"ALTER TABLE followed ADD COLUMN move_percent REAL",
                             "ALTER TABLE followed ADD COLUMN move_minutes INTEGER NOT NULL DEFAULT 0",
                             "ALTER TABLE followed ADD COLUMN move_margin REAL NOT NULL DEFAULT 0.2",
                             "ALTER TABLE followed ADD COLUMN move_alerted INTEGER NOT NULL DEFAULT 0",
                             "ALTER TABLE followed ADD COLUMN move_alerted_on TEXT NOT NULL DEFAULT ''"};

template<std::size_t N>
bool runAll(QSqlQuery &q, const char *const (&statements)[N])
{
    for (const char *statement : statements) {
        if (!StoreSql::execute(q, QLatin1String(statement)))
            return false;
    }
    return true;
}

bool bringUpToDate(QSqlQuery &q, int version)
{
    if (version == 0 && !runAll(q, Tables))
        return false;
    if (version == 1 && !runAll(q, From1))
        return false;
    if (version >= 1 && version <= 2 && !runAll(q, From2))
        return false;
    if (version <= 3 && !runAll(q, From3))
        return false;
    if (!runAll(q, Additions))
        return false;
    // Written even when nothing changed: a file that cannot be written says so here, at once.
    const QString mark = version == 0 ? QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)")
                                      : QStringLiteral("UPDATE schema_version SET version = %1");
    return StoreSql::execute(q, mark.arg(Version));
}

} // namespace

Outcome prepare(QSqlDatabase db, QSqlError *error)
{
    QSqlQuery q(db);
    const auto fail = [&] {
        *error = q.lastError();
        q.exec(QStringLiteral("ROLLBACK"));
        return Outcome::Failed;
    };
    // A file from a later program is not ours to change, not even its journal.
    if (q.exec(QStringLiteral("SELECT version FROM schema_version")) && q.next() && q.value(0).toInt() > Version)
        return Outcome::LaterProgram;
    q.finish();
    // Cheaper writes than a rollback journal, and readers never wait for a writer; NORMAL
    // loses at most the last readings on a power cut, never the file.
    if (!StoreSql::execute(q, QStringLiteral("PRAGMA journal_mode=WAL")) || !StoreSql::execute(q, QStringLiteral("PRAGMA synchronous=NORMAL"))
        || !StoreSql::execute(q, QStringLiteral("PRAGMA foreign_keys=ON")))
        return fail();
    if (!StoreSql::execute(q, QStringLiteral("BEGIN IMMEDIATE")))
        return fail();
    if (!StoreSql::execute(q, QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"))
        || !StoreSql::execute(q, QStringLiteral("SELECT version FROM schema_version")))
        return fail();
    const int version = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    // Read again inside the transaction: another copy may have moved it on meanwhile.
    if (version > Version) {
        q.exec(QStringLiteral("ROLLBACK"));
        return Outcome::LaterProgram;
    }
    if (!bringUpToDate(q, version) || !StoreSql::execute(q, QStringLiteral("COMMIT")))
        return fail();
    return Outcome::Ready;
}

} // namespace ValueStoreSchema
