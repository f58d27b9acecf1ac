#include "buyermodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

BuyerModel::BuyerModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
