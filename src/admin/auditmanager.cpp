#include "auditmanager.h"

#include "database.h"

using namespace Qt::StringLiterals;

AuditManager::AuditManager(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
