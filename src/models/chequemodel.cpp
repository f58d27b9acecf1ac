#include "chequemodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

ChequeModel::ChequeModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
