#include "watch/store/ValueStoreFile.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "watch/store/StoreSql.h"
#include "watch/store/ValueStoreSchema.h"

namespace {

QString uniqueConnectionName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("quovadex-values-%1").arg(counter.fetchAndAddRelaxed(1));
}

// Another copy's writes last milliseconds; a lock held longer is a copy that keeps it, and the
// program is not to hang on it at start.
constexpr auto BusyTimeout = "QSQLITE_BUSY_TIMEOUT=1000";

} // namespace

ValueStoreFile::ValueStoreFile(const QString &path, const QString &driverOptions)
{
    Attempt attempt = open(path, driverOptions);
    if (attempt.fault == Fault::Damaged && QFileInfo::exists(path)) {
        // Kept aside, never deleted: the readings in it may still be saved by hand.
        setAside(path);
        if (!m_setAside.isEmpty())
            attempt = open(path, driverOptions);
    }
    if (attempt.fault == Fault::None) {
        m_persistent = true;
        if (!m_setAside.isEmpty())
            m_problem = QStringLiteral("L'archivio dei valori seguiti era danneggiato ed \u00e8 stato messo da parte come "
                                       "\u00ab%1\u00bb. Ne \u00e8 stato aperto uno nuovo.").arg(m_setAside);
        return;
    }
    m_problem = message(path, attempt);
    open(QStringLiteral(":memory:"), QString());
}

ValueStoreFile::~ValueStoreFile()
{
    close();
}

void ValueStoreFile::close()
{
    if (m_connection.isEmpty())
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

ValueStoreFile::Attempt ValueStoreFile::open(const QString &path, const QString &driverOptions)
{
    close();
    m_connection = uniqueConnectionName();
    if (path != QLatin1String(":memory:"))
        QDir().mkpath(QFileInfo(path).absolutePath());
    const auto failed = [&](const char *what, const QSqlError &error) {
        StoreSql::log(what, error);
        Attempt attempt{Fault::Other, error.text()};
        switch (StoreSql::code(error)) {
        case StoreSql::Busy:
        case StoreSql::Locked:
            attempt.fault = Fault::Busy;
            break;
        case StoreSql::ReadOnly:
            attempt.fault = Fault::ReadOnly;
            break;
        case StoreSql::Full:
            attempt.fault = Fault::Full;
            break;
        case StoreSql::Corrupt:
        case StoreSql::NotADatabase:
            attempt.fault = Fault::Damaged;
            break;
        }
        return attempt;
    };
    Attempt attempt;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        db.setConnectOptions(driverOptions.isEmpty() ? QLatin1String(BusyTimeout)
                                                     : QLatin1String(BusyTimeout) + QLatin1Char(';') + driverOptions);
        if (!db.open())
            return failed("apertura", db.lastError());
        QSqlQuery check(db);
        // A damaged file often opens; reading it is what fails.
        if (!check.exec(QStringLiteral("PRAGMA quick_check")))
            return failed("controllo", check.lastError());
        if (!check.next() || check.value(0).toString() != QLatin1String("ok")) {
            qWarning("Archivio dei valori seguiti, controllo: %s", qUtf8Printable(check.value(0).toString()));
            return {Fault::Damaged, QString()};
        }
        check.finish();
        QSqlError error;
        switch (ValueStoreSchema::prepare(db, &error)) {
        case ValueStoreSchema::Outcome::Ready:
            return attempt;
        case ValueStoreSchema::Outcome::LaterProgram:
            attempt.fault = Fault::LaterProgram;
            break;
        case ValueStoreSchema::Outcome::Failed:
            attempt = failed("schema", error);
            break;
        }
    }
    return attempt;
}

QString ValueStoreFile::message(const QString &path, const Attempt &attempt) const
{
    QString why;
    switch (attempt.fault) {
    case Fault::LaterProgram:
        why = QStringLiteral("\u00e8 di una versione pi\u00f9 recente del programma e resta com'\u00e8");
        break;
    case Fault::Busy:
        why = QStringLiteral("\u00e8 in uso da un'altra copia del programma e resta com'\u00e8");
        break;
    case Fault::ReadOnly:
        why = QStringLiteral("si pu\u00f2 solo leggere e resta com'\u00e8");
        break;
    case Fault::Full:
        why = QStringLiteral("non si pu\u00f2 scrivere: il disco \u00e8 pieno. Resta com'\u00e8");
        break;
    case Fault::Damaged:
        why = QStringLiteral("\u00e8 danneggiato e non si \u00e8 potuto metterlo da parte: resta com'\u00e8");
        break;
    case Fault::None:
    case Fault::Other:
        why = QStringLiteral("non si apre: %1").arg(attempt.reason);
        break;
    }
    return QStringLiteral("L'archivio dei valori seguiti (%1) %2. I valori seguiti in questa sessione non saranno "
                          "conservati.").arg(QDir::toNativeSeparators(path), why);
}

void ValueStoreFile::setAside(const QString &path)
{
    close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".danneggiato-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".danneggiato-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(path, aside)) {
        qWarning("Archivio dei valori seguiti: non si mette da parte %s", qUtf8Printable(path));
        return;
    }
    m_setAside = aside;
    // The write-ahead log belongs to the old file and would be replayed into the new one.
    for (const char *suffix : {"-wal", "-shm"}) {
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    }
}
