#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "watch/store/ValueStore.h"

// A value's readings as Italian spreadsheets read them: semicolons between the fields,
// decimal comma, no thousands grouping, date and time in columns of their own, local time,
// UTF-8 with the byte-order mark that tells the spreadsheet so, lines ending in CR LF.
namespace ReadingsCsv {

QByteArray text(const QString &name, const QList<ValueStore::Reading> &readings);

// Written whole or not at all; false with error set when it could not be.
bool save(const QString &path, const QString &name, const QList<ValueStore::Reading> &readings, QString *error);

} // namespace ReadingsCsv
