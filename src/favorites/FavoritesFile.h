#pragma once

#include <QByteArray>
#include <QString>

// Preferiti.htm: one link line appended per added page, nothing else. Lines are built so that
// a page title or address cannot put markup of its own into the favorites page, which the
// panes open as a local file.
namespace FavoritesFile {

inline QString fileName() { return QStringLiteral("Preferiti.htm"); }

// "<a href=" address ">" title "</a></font></p>" CR LF, in the system's encoding. The title's
// "&", "<" and ">" become entities; the characters of the address that would end the
// attribute or the tag (blank, quotation marks, "<", ">", backtick) are percent-encoded.
// A user name and password in the address are left out. An ordinary address and title give
// the line unchanged.
QByteArray line(const QString &address, const QString &title);

// Appends the line as one write. Returns false, and leaves the file as it was, when it
// cannot be opened or the write does not go through whole (a full disk).
bool append(const QString &path, const QByteArray &line);

} // namespace FavoritesFile
