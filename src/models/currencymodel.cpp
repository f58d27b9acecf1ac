#include "currencymodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

CurrencyModel::CurrencyModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
