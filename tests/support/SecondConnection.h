#pragma once

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

// A second connection to a database file, as another copy of the program or an older one holds
// it; closed when it goes.
class SecondConnection final
{
    Q_DISABLE_COPY_MOVE(SecondConnection)
public:
    explicit SecondConnection(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(path);
        db.open();
    }
    ~SecondConnection()
    {
        QSqlDatabase::database(Name, false).close();
        QSqlDatabase::removeDatabase(Name);
    }
    // Stops at the first statement that fails, and says which.
    bool run(const QStringList &statements)
    {
        QSqlQuery q(QSqlDatabase::database(Name, false));
        for (const QString &statement : statements) {
            if (!q.exec(statement)) {
                qWarning() << statement << q.lastError().text();
                return false;
            }
        }
        return true;
    }
    QVariant value(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database(Name, false));
        return q.exec(statement) && q.next() ? q.value(0) : QVariant();
    }

private:
    static inline const QString Name = QStringLiteral("other");
};
