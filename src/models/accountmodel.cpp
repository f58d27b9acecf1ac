#include "accountmodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

AccountModel::AccountModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
