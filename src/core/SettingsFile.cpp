#include "core/SettingsFile.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned bytes map to the
// control character of the same value, as browsers do.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte <= 0x9F ? QChar(Cp1252High[byte - 0x80]) : QChar(byte));
    }
    return text;
}

// Where in bytes the thirteen lines end. CR is one byte in every encoding the file can have,
// so the bytes can be cut before decoding.
qsizetype thirteenLinesEnd(const QByteArray &bytes)
{
    qsizetype used = 0;
    for (int lineEnds = 0; used < bytes.size() && lineEnds < SiteSettings::LineCount; ++used) {
        if (bytes.at(used) == '\r')
            ++lineEnds;
    }
    return used;
}

// A leading byte-order mark is kept as the first letter of the first value, as every other
// byte is: skipped, it would be lost from a caption that begins with one at the next save, and
// a file an editor saved with one is written back the same.
QStringDecoder systemDecoder()
{
    return QStringDecoder(QStringConverter::System,
                          QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
}

// Empty when a letter has no byte in Windows-1252.
std::optional<QByteArray> encodeCp1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t letter = c.unicode();
        if (letter < 0x80 || (letter >= 0xA0 && letter <= 0xFF)) {
            bytes.append(char(letter));
            continue;
        }
        const auto high = std::find(Cp1252High.begin(), Cp1252High.end(), letter);
        if (high == Cp1252High.end())
            return std::nullopt;
        bytes.append(char(0x80 + (high - Cp1252High.begin())));
    }
    return bytes;
}

// Only as much of the file as the thirteen lines need is read, so a huge file costs no more
// than its first thirteen lines.
QByteArray readThirteenLines(QFile &file)
{
    QByteArray data;
    int lineEnds = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            if (chunk.at(i) == '\r' && ++lineEnds == SiteSettings::LineCount) {
                data.append(chunk.constData(), i + 1);
                return data;
            }
        }
        data.append(chunk);
    }
    return data;
}

} // namespace

QString SettingsFile::existenceTest(const QString &folder)
{
    const QFileInfo info(QDir(folder), fileName());
    return info.isFile() ? fileName() : QString();
}

SettingsFile::Encoding SettingsFile::encodingOf(const QByteArray &bytes)
{
    // Judged on the thirteen lines alone: a stray byte in the ignored lines after them must
    // not turn the values read into other letters.
    QStringDecoder decoder = systemDecoder();
    // decode() only promises a conversion; the text must be made for the errors to show.
    const QString text = decoder.decode(QByteArrayView(bytes).first(thirteenLinesEnd(bytes)));
    return decoder.hasError() ? Encoding::Windows1252 : Encoding::System;
}

QStringList SettingsFile::parse(const QByteArray &bytes)
{
    const QByteArray used = bytes.left(thirteenLinesEnd(bytes));
    const QString text = encodingOf(used) == Encoding::Windows1252 ? decodeCp1252(used) : systemDecoder().decode(used);
    QStringList values;
    qsizetype start = 0;
    while (values.size() < SiteSettings::LineCount && start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\r'), start);
        if (end < 0)
            end = text.size();
        values << text.mid(start, end - start);
        start = end + 1;
        if (start < text.size() && text.at(start) == QLatin1Char('\n'))
            ++start;
    }
    while (values.size() < SiteSettings::LineCount)
        values << QString();
    return values;
}

QStringList SettingsFile::read(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return parse(QByteArray());
    return parse(readThirteenLines(file));
}

QByteArray SettingsFile::serialize(const QStringList &values, Encoding encoding)
{
    QString text;
    for (int i = 0; i < SiteSettings::LineCount; ++i) {
        text += i < values.size() ? values.at(i) : QString();
        text += QLatin1String("\r\n");
    }
    if (encoding == Encoding::Windows1252) {
        if (std::optional<QByteArray> bytes = encodeCp1252(text))
            return *bytes;
    }
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

namespace {

// The way to save where the folder takes no new file (a shared folder the user may not add
// to) but the file itself may be written. It cuts the file before the new text is safe, so
// the old text is kept in memory and put back when the write fails.
bool writeInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray old = file.readAll();
    const bool written = file.seek(0) && file.resize(0) && file.write(bytes) == bytes.size() && file.flush();
    if (written)
        return true;
    if (error)
        *error = file.errorString();
    file.seek(0);
    file.resize(0);
    file.write(old);
    file.flush();
    return false;
}

} // namespace

bool SettingsFile::write(const QString &path, const QStringList &values, QString *error)
{
    // Opening the file itself for writing would cut it to nothing before the new text is
    // safe: write beside it and replace it in one step.
    QFile old(path);
    const Encoding encoding = QFileInfo(path).isFile() && old.open(QIODevice::ReadOnly)
        ? encodingOf(readThirteenLines(old))
        : Encoding::System;
    old.close();
    const QByteArray bytes = serialize(values, encoding);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo target(path);
        if (target.isFile() && target.isWritable() && !QFileInfo(target.absolutePath()).isWritable())
            return writeInPlace(path, bytes, error);
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
