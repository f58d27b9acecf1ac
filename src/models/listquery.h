#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// What a paged list reads: one SELECT whose rows each carry a unique `id`, and the ways it may be
// narrowed and ordered. Every expression below names the SELECT's output columns.
struct ListQuery
{
    // Without ORDER BY or LIMIT; a WHERE of its own is allowed.
    QString select;
    // Columns that the typed search looks in (digits in any script, wildcards taken literally).
    QStringList searched;
    // The column whose first ten characters are the day that the date range applies to.
    QString date;
    // Orders by name; ties are broken by id. An indexed column keeps every page quick.
    QHash<QString, QString> sorts;
    // An order that goes on by a second expression before the id, both never NULL: the
    // first can then come from an index, and only each run of it is sorted by the second.
    QHash<QString, QString> thenBy;
    QString sort;
    bool descending = false;
    // Narrowing by name: a condition with one `?` for the value set from the interface.
    QHash<QString, QString> filters;
    // The columns offered as roles beside `row`, the whole row.
    QStringList roles;
};
