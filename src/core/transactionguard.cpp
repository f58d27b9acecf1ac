#include "transactionguard.h"

#include "database.h"

using namespace Qt::StringLiterals;

TransactionGuard::TransactionGuard(Database *db)
    : m_db(db)
{
    // A run whose transaction is gone must not go on in fresh transactions of its own.
    if (m_db->m_transactionLost)
        return;
    m_outermost = !m_db->inTransaction();
    m_name = u"bv_sp_"_s + QString::number(m_db->m_guardDepth);
    m_active = m_db->execNonQuery(
        m_outermost ? m_db->dialect().beginTransaction() : u"SAVEPOINT "_s + m_name);
    if (m_active)
        ++m_db->m_guardDepth;
}

TransactionGuard::~TransactionGuard() { rollback(); }

bool TransactionGuard::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    bool ok = false;
    if (!m_db->m_transactionLost) {
        ok = m_db->execNonQuery(m_outermost ? u"COMMIT"_s : u"RELEASE "_s + m_name);
        // A commit that fails leaves the transaction open; undo it rather than leave it dangling.
        if (!ok)
            undo();
    }
    leave();
    return ok;
}

void TransactionGuard::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    undo();
    leave();
}

void TransactionGuard::undo()
{
    if (m_db->m_transactionLost || !m_db->inTransaction())
        return;
    if (m_outermost) {
        m_db->execNonQuery(u"ROLLBACK"_s);
        return;
    }
    m_db->execNonQuery(u"ROLLBACK TO "_s + m_name);
    m_db->execNonQuery(u"RELEASE "_s + m_name);
}

void TransactionGuard::leave()
{
    if (--m_db->m_guardDepth == 0)
        m_db->m_transactionLost = false;
}
