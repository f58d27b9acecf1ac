#include "expensemodel.h"

#include "database.h"

using namespace Qt::StringLiterals;

ExpenseModel::ExpenseModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}
