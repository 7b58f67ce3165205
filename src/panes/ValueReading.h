#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// Where a followed value stands: the page's address, and the keys by which the change
// highlight knows an element: its parent's key (a table row by its unique first cell) and its
// place there (a row's column). Never a position in the page alone.
struct ValuePlace
{
    QString address;
    QString group;
    int index = -1;

    bool operator==(const ValuePlace &other) const = default;
};

// What one reading of a place found: the number, or why there is none.
struct ValueReading
{
    ValuePlace place;
    std::optional<double> number;
    // The text that stood there; empty when the element was not found.
    QString text;
    // For people, when number is empty.
    QString reason;
    QDateTime time;
    // The heading over the element's table column; empty where there is none.
    QString heading;
};

// The element the user pointed at for the pane's menu.
struct ValuePick
{
    ValuePlace place;
    // The row's first cell, or the nearest label.
    QString name;
    QString text;
    std::optional<double> number;
    // Whether the place names the value for good, and if not why: inside a table a row is
    // known by its first cell, so a row without a unique one would be known by its position
    // only, and one whose first cell is a clock, a date or a number, or changes while shown,
    // by a name the next load loses. Such a value is not offered for following.
    enum class Followable { Yes, NoUniqueName, NameChanges };
    Followable followable = Followable::NoUniqueName;
    // The heading over its table column, by which a column added before it is told apart.
    QString heading;
};

Q_DECLARE_METATYPE(ValueReading)
Q_DECLARE_METATYPE(ValuePick)
