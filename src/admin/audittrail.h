#pragma once

#include <QStringList>

class Database;

// Who wrote what: per-connection (TEMP) triggers add an audit_logs row for every insert, update
// and delete of an application table, naming the user held in temp.audit_actor. Being triggers,
// they run inside the write's own statement and transaction, so a write and its audit row are
// stored or undone together, whichever model made the write.
class AuditTrail
{
public:
    // Creates the actor table and the triggers; harmless when they exist.
    static bool install(Database *db);
    static void remove(Database *db);
    // The user written into the audit rows from now on; 0 for none.
    static void setActor(Database *db, int userId);
    // Tables whose rows are recorded, with their Arabic names.
    static QList<QPair<QString, QString>> recordedTables();
};
