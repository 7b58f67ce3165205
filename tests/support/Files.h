#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Flushed, so that a write cut short by a full disk or a size limit shows here and not later.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// A file that cannot be read gives text that no test expects, never an empty file's bytes.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
