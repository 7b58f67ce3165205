#pragma once

#include <optional>

#include <QString>

// A level or a margin as the user types it and as the dialogs show it: Italian writing first
// ("1.234,56"), English writing where it cannot be mistaken ("1234.5"), as a quote page's
// numbers are read. Anything else is refused with a reason, never guessed at.
namespace LevelText {

// The number written in text; nullopt with problem set where there is none to use.
std::optional<double> parse(const QString &text, QString *problem = nullptr);

// Italian writing without thousands grouping, every digit the number has: "0,000123".
QString format(double value);

// The digits after the comma a reading has: 14,320000000000002 (a difference's rounding) has
// two, a price of 0,00000012 has eight.
int decimals(double value);

// Italian writing with the given decimals and every thousand grouped, as quote pages write
// it, on every Qt: from 6.5 Qt's Italian leaves four digits ungrouped ("1240,00").
QString grouped(double value, int decimals);

// As quote pages write prices, for the list and the alerts: grouped, two decimals at least,
// so "1.240,00" is never taken for 1,24.
QString price(double value);

} // namespace LevelText
