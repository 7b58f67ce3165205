#pragma once

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>

// Proportional set size of a process and all its descendants: the web engine's work is
// done in child processes (zygote, renderers, GPU and utility processes), and a leak there
// never shows in the program's own figures. PSS shares the pages the processes have in
// common among them, so the sum does not count the same library twice.
namespace ProcessTreeMemory {

struct Sample
{
    qint64 pssKiB = 0;
    int processes = 0;
};

inline QList<qint64> descendantsAndSelf(qint64 root)
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children[fields.at(1).toLongLong()] << pid;
    }
    QList<qint64> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree += children.value(tree.at(i));
    return tree;
}

inline qint64 pssKiB(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    // Files under /proc report a size of 0: read to the end rather than ask atEnd().
    const QList<QByteArray> lines = rollup.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

inline Sample measure(qint64 root)
{
    Sample sample;
    for (const qint64 pid : descendantsAndSelf(root)) {
        sample.pssKiB += pssKiB(pid);
        ++sample.processes;
    }
    return sample;
}

} // namespace ProcessTreeMemory
