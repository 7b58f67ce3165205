#include "favorites/Launchers.h"

#include <QStandardPaths>

#include "common/Maker.h"
#include "common/MessageBox.h"

namespace Launchers {

QStringList textEditorCandidates()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("notepad.exe")};
#else
    return {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),   QStringLiteral("kwrite"),
            QStringLiteral("kate"),              QStringLiteral("mousepad"), QStringLiteral("pluma"),
            QStringLiteral("xed"),               QStringLiteral("featherpad"), QStringLiteral("leafpad"),
            QStringLiteral("geany")};
#endif
}

QString findTextEditor()
{
    for (const QString &name : textEditorCandidates()) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString findSiblingTool(const QString &programFolder)
{
    const QStringList names = {QStringLiteral("Varitool.exe"), QStringLiteral("varitool")};
    for (const QString &name : names) {
        QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty() && !programFolder.isEmpty())
            found = QStandardPaths::findExecutable(name, {programFolder});
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString aboutText()
{
    const QStringList lines = {QString(), QString(), QString(), QStringLiteral("E-Mail = ") + Maker::email(),
                               Maker::webSite()};
    return lines.join(QLatin1Char('\r'));
}

QString aboutDisplayText()
{
    // A message box breaks lines only at line feeds; the text keeps its carriage returns.
    QString shown = aboutText();
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void showAbout(QWidget *parent)
{
    MessageBox::show(parent, QMessageBox::Question, QStringLiteral("Quovadex"), aboutDisplayText());
}

} // namespace Launchers
