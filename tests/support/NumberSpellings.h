#pragma once

#include <limits>

// How numbers are written on quote pages and typed in the level dialog, with what each reader
// must make of them: the page's reading (pagetext.js) on an Italian page, an English one and one
// naming no language, and the level dialog (LevelText), which reads as on an Italian page. Both
// readers' tests run this one table, so the two cannot drift apart. NaN: no number.
namespace NumberSpellings {

constexpr double None = std::numeric_limits<double>::quiet_NaN();

struct Spelling
{
    const char *name;
    const char16_t *text;
    double italian;
    double english;
    double unnamed;
};

inline constexpr Spelling Table[] = {
    {"italian decimals", u"14,25", 14.25, 14.25, 14.25},
    {"italian thousands", u"1.234,56", 1234.56, 1234.56, 1234.56},
    {"english thousands", u"1,234.56", 1234.56, 1234.56, 1234.56},
    {"dot that can only be decimal", u"1240.5", 1240.5, 1240.5, 1240.5},
    {"four decimals", u"0,1234", 0.1234, 0.1234, 0.1234},
    {"three digits after one dot", u"1.250", 1250, 1.25, None},
    {"three digits after one comma", u"12,345", 12.345, 12345, None},
    {"three digits after a leading zero", u"0.250", 0.25, 0.25, 0.25},
    {"three decimals after four digits", u"1234.567", 1234.567, 1234.567, 1234.567},
    {"two dots of thousands", u"12.345.678", 12345678, 12345678, 12345678},
    {"tiny price keeps its digits", u"0,000123", 0.000123, 0.000123, 0.000123},
    {"integer", u"-42", -42, -42, -42},
    {"minus sign and percent", u"\u2212 1,2 %", -1.2, -1.2, -1.2},
    {"plus and percent", u"+1,2 %", 1.2, 1.2, 1.2},
    {"minus before the euro", u"-\u20ac5", -5, -5, -5},
    {"minus after the euro", u"\u20ac -5", -5, -5, -5},
    {"euro after", u"\u22125 \u20ac", -5, -5, -5},
    {"euro and thousands", u"\u20ac 12.345.678.901,5", 12345678901.5, 12345678901.5, 12345678901.5},
    {"non-breaking space", u"1\u00a0234,5\u00a0\u20ac", 1234.5, 1234.5, 1234.5},
    {"narrow space", u"23\u202f345\u202f678", 23345678, 23345678, 23345678},
    {"spaces with a decimal dot", u"1 234.5", 1234.5, 1234.5, 1234.5},
    {"letters", u"abc", None, None, None},
    {"not available", u"n.d.", None, None, None},
    {"empty", u" ", None, None, None},
    {"list", u"1,2,3", None, None, None},
    {"thousands out of step", u"12.34,5", None, None, None},
    {"marks crossed", u"1.23,4.5", None, None, None},
    {"decimal mark twice", u"1.234,5,6", None, None, None},
    {"dotted date", u"12.03.2024", None, None, None},
    {"slashed date", u"12/03/2024", None, None, None},
    {"time", u"17:35:02", None, None, None},
    {"ends with a comma", u"14,", None, None, None},
    {"starts with a comma", u",5", None, None, None},
    {"group with a leading zero", u"0.123.456", None, None, None},
    {"first group of four digits", u"1234.567,5", None, None, None},
    {"first spaced group of four digits", u"1234 567,5", None, None, None},
    {"spaces out of step", u"12 34", None, None, None},
    {"spaced group with a leading zero", u"0 123,5", None, None, None},
    {"spaces and dots of thousands", u"1 234.567,5", None, None, None},
    {"two signs", u"--5", None, None, None},
    {"largest kept to the cent", u"999.999.999.999.999", 999999999999999, 999999999999999, 999999999999999},
    {"beyond a double's cents", u"1.000.000.000.000.000", None, None, None},
    {"two numbers", u"5 %  3", None, None, None},
};

} // namespace NumberSpellings
