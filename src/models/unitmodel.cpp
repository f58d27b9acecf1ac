#include "unitmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

UnitModel::UnitModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
