#include "auditmanager.h"

#include "database.h"

using namespace Qt::StringLiterals;

namespace {

// The SQL driver binds a null QString as NULL; omitted texts are stored as empty strings.
QString orEmpty(const QString &text) { return text.isNull() ? u""_s : text; }

} // namespace

AuditManager::AuditManager(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

void AuditManager::log(
    int userId, const QString &action, const QString &table, int recordId, const QString &details)
{
    m_db->execNonQuery(u"INSERT INTO audit_logs (user_id, action, table_name, record_id, details) "
                       "VALUES (?, ?, ?, ?, ?)"_s,
        { userId, action, orEmpty(table), recordId, orEmpty(details) });
}

QVariantList AuditManager::getLogs(int limit)
{
    return m_db->execQuery(u"SELECT a.*, u.username FROM audit_logs a LEFT JOIN users u ON "
                           "a.user_id = u.id ORDER BY a.created_at DESC LIMIT ?"_s,
        { limit });
}
