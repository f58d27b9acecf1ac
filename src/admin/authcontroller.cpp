#include "authcontroller.h"

#include "database.h"

using namespace Qt::StringLiterals;

AuthController::AuthController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
