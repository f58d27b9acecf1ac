#pragma once

#include <QStringList>

class Database;

// Reads a database for damage and for broken bookkeeping: SQLite's own integrity and foreign-key
// checks, then the program's invariants, compared in whole cents. Reads only.
class ConsistencyCheck
{
public:
    explicit ConsistencyCheck(Database *db);

    // One line per finding, in English; empty when everything holds.
    QStringList run();

private:
    void checkIntegrity();
    void checkForeignKeys();
    void checkTenantBalances();
    void checkInvoiceTotals();
    void checkInvoiceNumbers();
    void checkInstallmentSchedules();
    void checkJournal();

    Database *m_db;
    QStringList m_findings;
};
