#include "dashboardcontroller.h"

#include "database.h"

using namespace Qt::StringLiterals;

DashboardController::DashboardController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
