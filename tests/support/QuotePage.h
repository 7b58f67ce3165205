#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// A quote page as the tests serve it: a table of rows, each row's first cell its name, each
// cell with an id of its own (the row's name and the column), in the page's language.
namespace QuotePage {

inline QByteArray html(const QString &lang, const QList<QStringList> &rows, const QByteArray &extra = {})
{
    QByteArray table;
    for (const QStringList &row : rows) {
        table += "<tr>";
        for (qsizetype i = 0; i < row.size(); ++i)
            table += "<td id='" + row.first().toUtf8() + QByteArray::number(i) + "'>" + row.at(i).toUtf8() + "</td>";
        table += "</tr>";
    }
    return "<!DOCTYPE html><html lang='" + lang.toUtf8() + "'><body>" + extra + "<table>" + table
        + "</table></body></html>";
}

} // namespace QuotePage
