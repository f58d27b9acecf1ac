#pragma once

#include <QString>

class Database;

// All-or-nothing scope over a connection: begun on construction, rolled back on destruction
// unless committed. The outermost guard takes the write lock at once (BEGIN IMMEDIATE), so what
// an operation reads before it writes cannot change under it from another connection. Inner
// guards are savepoints, so an operation that is all or nothing on its own stays so inside a
// larger run. When the transaction is lost (a full disk), no guard of the run can commit.
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
    void undo();
    void leave();

    Database *m_db;
    QString m_name;
    bool m_outermost = false;
    bool m_active = false;
};
