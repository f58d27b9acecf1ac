#pragma once

#include <QStringList>

// The single definition of the database layout: connection settings, tables with their
// migrations, and indexes, in the order they are applied.
class Schema
{
public:
    static QStringList pragmaStatements();
    static QStringList tableStatements();
    static QStringList indexStatements();
    // Tables a file must hold to be taken for one of ours (restore checks this).
    static QStringList applicationTables();
};
