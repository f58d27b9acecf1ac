#include "maintenancemodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

MaintenanceModel::MaintenanceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
