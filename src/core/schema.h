#pragma once

#include <QStringList>

// The single definition of the database layout: connection settings, tables with their
// migrations, and indexes, in the order they are applied.
class Schema
{
public:
    // The layout's version that this program writes. Version 1 is the layout built by the
    // statements below; a later change that cannot be written as such a statement becomes a
    // version of its own.
    static int version() { return 4; }
    // A column that a version after the first added. A file gains it on every start with the
    // table statements; a server laid out by an earlier version gains it when the version is
    // applied, once.
    struct Column
    {
        QString table;
        QString name;
        QString type;
    };
    static QList<Column> columnsOfVersion(int version);
    // What a version changes on a server alone, run once when the version is applied. Version
    // 3: a file's index on a column already ends with the row's id; a server's did not, and a
    // list paged by date and id sorted every run of equal dates. Version 4: the journal lines'
    // triggers act once per statement instead of once per row.
    static QStringList serverStatementsOfVersion(int version);
    static QStringList pragmaStatements();
    static QStringList tableStatements();
    static QStringList indexStatements();
    // Triggers: refusals of writes dated on or before the lock date, and each posted line
    // moving its account's balance.
    static QStringList triggerStatements();
    // The same triggers on a server, with the same effects and refusal texts; an insert of
    // journal lines moves each account it names once.
    static QStringList serverTriggerStatements();
    // Every table of the current layout.
    static QStringList applicationTables();
    // Tables every version of the program has written: a file holding them is one of ours, and
    // opening it adds whatever later versions added.
    static QStringList tablesOfEveryVersion();
};
