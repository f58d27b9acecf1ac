#include "importcontroller.h"

#include "database.h"

using namespace Qt::StringLiterals;

ImportController::ImportController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
