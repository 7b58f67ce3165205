// The settings reader on arbitrary bytes: thirteen values always, no line end inside a value,
// what the editor would save reads back the same, and reading the file from disk (which
// stops after the thirteenth line) agrees with parsing all of it.

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "FuzzCheck.h"
#include "core/SettingsFile.h"

namespace {

// One anonymous in-memory file for the whole run: rewriting it costs far less than creating
// a file per input, and the reader still goes through its path, stat and chunked reads.
int memoryFile()
{
    static const int fd = ::memfd_create("base2.cfg", 0);
    return fd;
}

bool putInMemoryFile(const uint8_t *data, size_t size)
{
    const int fd = memoryFile();
    if (fd < 0 || ::ftruncate(fd, 0) != 0)
        return false;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::pwrite(fd, data + written, size - written, off_t(written));
        if (n <= 0)
            return false;
        written += size_t(n);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList values = SettingsFile::parse(bytes);

    FUZZ_CHECK(values.size() == SiteSettings::LineCount);
    for (const QString &value : values)
        FUZZ_CHECK(!value.contains(QLatin1Char('\r')));

    // A save of these values followed by a start-up gives them back unchanged.
    FUZZ_CHECK(SettingsFile::parse(SettingsFile::serialize(values)) == values);

    if (putInMemoryFile(data, size)) {
        const QString path = QStringLiteral("/proc/self/fd/%1").arg(memoryFile());
        FUZZ_CHECK(SettingsFile::read(path) == values);
    }
    return 0;
}
