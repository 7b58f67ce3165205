#pragma once

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

// What ValueStore's parts share to talk to SQLite: every failure reaches the log with the
// driver's own words, since the user sees only that a reading was not kept.
namespace StoreSql {

// SQLite's primary result codes that decide what becomes of a file that will not open.
enum Code { Busy = 5, Locked = 6, ReadOnly = 8, Corrupt = 11, Full = 13, CannotOpen = 14, NotADatabase = 26 };

inline int code(const QSqlError &error)
{
    // The driver passes on extended codes where SQLite gives them; the low byte is the primary.
    return error.nativeErrorCode().toInt() & 0xff;
}

inline void log(const char *what, const QSqlError &error)
{
    qWarning("Archivio dei valori seguiti, %s: %s (codice %s)", what, qUtf8Printable(error.text()),
             qUtf8Printable(error.nativeErrorCode()));
}

// Runs the prepared query with its bound values; a failure is logged.
inline bool run(QSqlQuery &query, const QVariantList &values = {})
{
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (query.exec())
        return true;
    log(qUtf8Printable(query.lastQuery().left(60)), query.lastError());
    return false;
}

inline bool execute(QSqlQuery &query, const QString &statement)
{
    if (query.exec(statement))
        return true;
    log(qUtf8Printable(statement.left(60)), query.lastError());
    return false;
}

// A null QString binds as SQL NULL; the columns want text, if empty.
inline QString text(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

inline QVariant optionalNumber(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

inline std::optional<double> toOptional(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

} // namespace StoreSql
