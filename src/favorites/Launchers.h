#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What the launchers start, and the About message.
namespace Launchers {

// Plain-text editors tried in order; the first found on the PATH opens the address box's
// text. Empty when none is installed.
QStringList textEditorCandidates();
QString findTextEditor();

// The sibling tool: "Varitool.exe" or "varitool", on the PATH or beside the program.
QString findSiblingTool(const QString &programFolder);

// The About message's five lines, joined by a carriage return alone.
QString aboutText();
// The same text as a message box shows it: one line per carriage return.
QString aboutDisplayText();
// Shows the About message over parent.
void showAbout(QWidget *parent);

} // namespace Launchers
