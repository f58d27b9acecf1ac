#include "tenantmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

TenantModel::TenantModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
