#pragma once

#include <QString>

class Database;

// The journal as a plain-text accounting journal that hledger reads: one transaction per entry
// (date, reference as its code, description), accounts named "code name" under the five
// top-level types, amounts with their commodity, and a line's original currency kept with its
// total price in the primary one.
class JournalExport
{
public:
    // Entries dated from `from` to `to` inclusive ("yyyy-MM-dd"; empty leaves that end open).
    static QString text(
        Database *db, const QString &from = QString(), const QString &to = QString());
    static bool write(Database *db, const QString &path, const QString &from = QString(),
        const QString &to = QString());
    // The account's name in the export, e.g. "assets:1100 النقدية".
    static QString accountName(const QString &type, const QString &code, const QString &name);
};
