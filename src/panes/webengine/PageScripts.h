#pragma once

#include <QFile>
#include <QString>

// The scripts the program runs in pages, kept as files of their own (scripts/) and built into
// the program.
namespace PageScripts {

// The script's text; empty if it is missing from the build.
inline QString source(const QString &name)
{
    QFile file(QStringLiteral(":/quovadex/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace PageScripts
