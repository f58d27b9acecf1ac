#include "backupmanager.h"

using namespace Qt::StringLiterals;

BackupManager::BackupManager(const QString &dataDir, QObject *parent)
    : QObject(parent)
    , m_dataDir(dataDir)
{
}
