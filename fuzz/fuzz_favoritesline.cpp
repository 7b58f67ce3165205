// The favorites line builder on arbitrary address and title text. The line is opened as a
// local page in a pane, so whatever the two texts hold, the tag must end where the builder
// ends it and the title must stay text.
//
// Input: the address and the title separated by the first NUL byte, as UTF-8 (invalid
// sequences decode leniently); a leading 0xFF byte makes the rest raw UTF-16 instead, to
// reach unpaired surrogates.

#include <cstdint>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include "FuzzCheck.h"
#include "favorites/FavoritesFile.h"

namespace {

bool isHtmlWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

QString decodeTitle(const QString &text)
{
    QString decoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView rest = QStringView(text).mid(i);
        if (rest.startsWith(u"&lt;")) {
            decoded += u'<';
            i += 3;
        } else if (rest.startsWith(u"&gt;")) {
            decoded += u'>';
            i += 3;
        } else if (rest.startsWith(u"&amp;")) {
            decoded += u'&';
            i += 4;
        } else {
            decoded += text.at(i);
        }
    }
    return decoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString input;
    if (size > 0 && data[0] == 0xFF) {
        input = QString(reinterpret_cast<const QChar *>(data + 1), qsizetype((size - 1) / 2));
    } else {
        input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    const qsizetype split = input.indexOf(QChar(0));
    const QString address = split < 0 ? input : input.left(split);
    const QString title = split < 0 ? QString() : input.mid(split + 1);

    const QByteArray line = FavoritesFile::line(address, title);
    const QString text = QString::fromUtf8(line);

    static const QString Start = QStringLiteral("<a href=");
    static const QString End = QStringLiteral("</a></font></p>\r\n");
    FUZZ_CHECK(text.startsWith(Start));
    FUZZ_CHECK(text.endsWith(End));

    // An unquoted attribute value ends at the first blank or ">"; neither may come from the
    // address, nor may a quotation mark, "<" or "`" that a parser could take as its end.
    const qsizetype tagEnd = text.indexOf(QLatin1Char('>'), Start.size());
    FUZZ_CHECK(tagEnd >= Start.size());
    for (qsizetype i = Start.size(); i < tagEnd; ++i) {
        const QChar c = text.at(i);
        FUZZ_CHECK(!isHtmlWhitespace(c));
        FUZZ_CHECK(c != u'"' && c != u'\'' && c != u'<' && c != u'`');
    }

    // Between the tag and the closing markup there is only text: no tag can open in it.
    const QString shownTitle = text.mid(tagEnd + 1, text.size() - End.size() - tagEnd - 1);
    FUZZ_CHECK(!shownTitle.contains(QLatin1Char('<')) && !shownTitle.contains(QLatin1Char('>')));

    // And the reader sees the title the page had. Unpaired surrogates cannot be written in
    // UTF-8 and come back as replacement characters, so only well-formed titles compare.
    bool wellFormed = true;
    for (qsizetype i = 0; i < title.size() && wellFormed; ++i) {
        if (title.at(i).isHighSurrogate())
            wellFormed = i + 1 < title.size() && title.at(++i).isLowSurrogate();
        else if (title.at(i).isLowSurrogate())
            wellFormed = false;
    }
    if (wellFormed)
        FUZZ_CHECK(decodeTitle(shownTitle) == title);
    return 0;
}
