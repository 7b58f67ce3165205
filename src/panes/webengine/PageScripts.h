#pragma once

#include <QFile>
#include <QString>
#include <QWebEngineScript>

// The scripts the program runs in pages, kept as files of their own (scripts/) and built into
// the program.
namespace PageScripts {

// The script's text; empty if it is missing from the build.
inline QString source(const QString &name)
{
    QFile file(QStringLiteral(":/quovadex/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The script's function with pageText (pagetext.js) in its scope; empty if either is missing.
inline QString withPageText(const QString &name)
{
    const QString shared = source(QStringLiteral("pagetext.js"));
    const QString own = source(name);
    if (shared.isEmpty() || own.isEmpty())
        return QString();
    // Each file opens with comments: a return followed by one would return nothing.
    return QLatin1String("(function () { var pageText = (") + shared + QLatin1String(");\nreturn (") + own
        + QLatin1String(");\n})()");
}

// A script run in every document a page loads, from the document's creation.
inline QWebEngineScript atCreation(const QString &name, QWebEngineScript::ScriptWorldId world, bool subFrames,
                                   const QString &source)
{
    QWebEngineScript script;
    script.setName(name);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(subFrames);
    script.setSourceCode(source);
    return script;
}

} // namespace PageScripts
