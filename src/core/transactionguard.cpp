#include "transactionguard.h"

#include "database.h"

using namespace Qt::StringLiterals;

namespace {
int s_depth = 0;
}

TransactionGuard::TransactionGuard(Database *db)
    : m_db(db)
    , m_name(u"bv_sp_"_s + QString::number(s_depth))
{
    m_active = m_db->execNonQuery(u"SAVEPOINT "_s + m_name);
    if (m_active)
        ++s_depth;
}

TransactionGuard::~TransactionGuard() { rollback(); }

bool TransactionGuard::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    --s_depth;
    if (m_db->execNonQuery(u"RELEASE "_s + m_name))
        return true;
    // A release that fails leaves the savepoint open; undo it rather than leave it dangling.
    m_db->execNonQuery(u"ROLLBACK TO "_s + m_name);
    m_db->execNonQuery(u"RELEASE "_s + m_name);
    return false;
}

void TransactionGuard::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    --s_depth;
    m_db->execNonQuery(u"ROLLBACK TO "_s + m_name);
    m_db->execNonQuery(u"RELEASE "_s + m_name);
}
