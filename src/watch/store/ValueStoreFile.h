#pragma once

#include <QString>

// The SQLite connection behind ValueStore, and what became of its file at opening. Only a file
// SQLite finds damaged is renamed aside (…danneggiato-<date>) and a new one begun. One that is
// busy in another copy of the program, cannot be written, sits on a full disk or belongs to a
// later program is left as it is, and the session works in memory; so does one that will not
// open at all. The reason is given for the user.
class ValueStoreFile final
{
    Q_DISABLE_COPY_MOVE(ValueStoreFile)
public:
    // driverOptions: Qt's QSQLITE connect options, added to the program's own.
    explicit ValueStoreFile(const QString &path, const QString &driverOptions = {});
    ~ValueStoreFile();

    QString connection() const { return m_connection; }
    QString problem() const { return m_problem; }
    QString setAsidePath() const { return m_setAside; }
    bool isPersistent() const { return m_persistent; }

private:
    enum class Fault { None, LaterProgram, Busy, ReadOnly, Full, Damaged, Other };
    struct Attempt
    {
        Fault fault = Fault::None;
        QString reason;
    };

    Attempt open(const QString &path, const QString &driverOptions);
    void close();
    void setAside(const QString &path);
    QString message(const QString &path, const Attempt &attempt) const;

    QString m_connection;
    QString m_problem;
    QString m_setAside;
    bool m_persistent = false;
};
