#pragma once

#include <QStringList>

class Database;

// Who wrote what, from which computer: triggers add an audit_logs row for every insert, update
// and delete of an application table, naming the user and computer the connection acts for. On
// a file they are per-connection (TEMP) triggers reading temp.audit_actor; on a server they
// belong to the tables and read the connection's own settings, so each operator's rows name
// that operator. Being triggers, they run inside the write's own statement and transaction, so
// a write and its audit row are stored or undone together, whichever model made the write.
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
    // This computer's name, as the audit rows record it.
    static QString computerName();

private:
    static bool installOnServer(Database *db);
    static bool createServerTriggers(Database *db);
};
