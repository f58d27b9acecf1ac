#include "settingsmanager.h"

#include "database.h"

using namespace Qt::StringLiterals;

SettingsManager::SettingsManager(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}
