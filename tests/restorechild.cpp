// Restores a backup into a data directory the way the application does, then exits:
//   restorechild DATA_DIR BACKUP_FILE      (exit 0 restored, 1 refused)
//   restorechild DATA_DIR                  (only opens the data, as a start-up does)
// The restore test runs it under strace and kills it at chosen system calls.

#include "backupmanager.h"
#include "database.h"
#include "datadirlock.h"

#include <QCoreApplication>
#include <QStringList>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2)
        return 2;
    const QString dataDir = args.at(1);
    DataDirLock lock(dataDir);
    if (!lock.tryLock())
        return 3;
    Database database;
    if (!database.initialize(dataDir + u"/belvardino.db"_s))
        return 4;
    if (args.size() < 3)
        return 0;
    BackupManager manager(dataDir, &database);
    return manager.restoreBackup(args.at(2)) ? 0 : 1;
}
