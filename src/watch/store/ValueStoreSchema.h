#pragma once

#include <QSqlDatabase>
#include <QSqlError>

// The tables of ValueStore's file, made in a new file and brought up to date in an older one,
// all in one write transaction so that two copies of the program starting at once cannot both
// migrate, and a file that cannot be written is found out before any reading is trusted to it.
namespace ValueStoreSchema {

// 2: the heading over a followed value's column, so that a column added before it is noticed.
// 3: which levels have alerted, so a restart does not alert again; the alerts of the last days;
//    readings found by value and time without a scan.
// 4: a move in percent to alert on, and whether it alerted today.
constexpr int Version = 4;

enum class Outcome { Ready, LaterProgram, Failed };

// Failed leaves the reason in *error.
Outcome prepare(QSqlDatabase db, QSqlError *error);

} // namespace ValueStoreSchema
