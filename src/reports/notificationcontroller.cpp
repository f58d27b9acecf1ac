#include "notificationcontroller.h"

#include "database.h"

using namespace Qt::StringLiterals;

NotificationController::NotificationController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
