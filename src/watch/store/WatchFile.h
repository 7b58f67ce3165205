#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

#include "watch/store/ValueStore.h"
#include "watch/store/WatchEntry.h"

// The watch in one file that goes to another machine and comes back (docs/watch-file.md):
// every followed value (WatchEntry), and on request its readings. Read all or nothing: the
// whole file is checked before the store is touched, then merged into it in one transaction
// by page and row; nothing the file does not name is removed. Written in one order whatever
// the store's ids, so a file imported and exported again is the same file. Plain: no window.
class WatchFile final
{
public:
    static inline const QString Format = QStringLiteral("quovadex-valori-seguiti");
    static constexpr int Version = 1;

    WatchFile() = delete;

    // What the store holds, ordered by page, row and column; no store is an empty watch.
    static QList<WatchEntry> entriesOf(ValueStore *store, bool withReadings);
    static QByteArray compose(const QList<WatchEntry> &entries, bool withReadings);
    // nullopt with the reason where anything in the file is wrong.
    static std::optional<QList<WatchEntry>> parse(const QByteArray &bytes, QString *error);

    // False with the reason, the file at path left as it was.
    static bool save(ValueStore *store, const QString &path, bool withReadings, QString *error);
    // The file's values, every one checked; nullopt with the reason.
    static std::optional<QList<WatchEntry>> read(const QString &path, QString *error);
    // One transaction: every value merged into the store, or nothing changed.
    static bool apply(ValueStore &store, const QList<WatchEntry> &entries, QString *error);
};
