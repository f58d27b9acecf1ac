#pragma once

#include <QString>

class Database;

// All-or-nothing scope over the shared connection: begun on construction, rolled back on
// destruction unless committed. Guards nest (a savepoint inside an open transaction), so an
// operation that is all or nothing on its own stays so inside a larger run.
class TransactionGuard
{
public:
    explicit TransactionGuard(Database *db);
    ~TransactionGuard();

    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

    bool isActive() const { return m_active; }
    bool commit();
    void rollback();

private:
    Database *m_db;
    QString m_name;
    bool m_active = false;
};
