#include "reportcontroller.h"

#include "database.h"

using namespace Qt::StringLiterals;

ReportController::ReportController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
