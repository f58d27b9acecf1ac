#include "contractmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

ContractModel::ContractModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
