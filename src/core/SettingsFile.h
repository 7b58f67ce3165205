#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/SiteSettings.h"

// base2.cfg: thirteen values, one per line, meaning given by the line number alone.
// A line ends at a CR; an LF right after the CR belongs to the line end, a lone LF is data.
// Values are kept verbatim, blanks included.
class SettingsFile final
{
public:
    enum class Encoding
    {
        System,
        Windows1252,
    };

    static QString fileName() { return QStringLiteral("base2.cfg"); }

    // The existence test of start-up: the file name when an ordinary file of that name is
    // in folder, otherwise empty text. Does not open the file.
    static QString existenceTest(const QString &folder);

    // Always thirteen values; lines that are missing or cannot be read are empty, lines
    // after the thirteenth are ignored.
    static QStringList read(const QString &path);

    // Writes thirteen lines (missing values empty, extra ones dropped) in the encoding the old
    // file is read in, so a file shared with older copies keeps the bytes of every line the
    // user left alone; a new file, or values the old encoding has no letter for, go in the
    // system's encoding. Replaces the old file in one step, so a failed save leaves it byte for byte. Where the folder takes no
    // new file but the file may be written, it is written in place, and its old text put
    // back if that fails. On failure returns false and, if error is given, says why.
    static bool write(const QString &path, const QStringList &values, QString *error = nullptr);

    // The file's bytes and back. Text is written in the system's encoding; thirteen lines
    // with bytes that are not valid in it are read as Windows-1252, the code page such files
    // were usually made in. Lines after the thirteenth play no part in that choice.
    static QStringList parse(const QByteArray &bytes);
    static Encoding encodingOf(const QByteArray &bytes);
    // Falls back to the system's encoding when a value has a letter Windows-1252 lacks.
    static QByteArray serialize(const QStringList &values, Encoding encoding = Encoding::System);
};
