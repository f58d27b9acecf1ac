#include "databasefiles.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QStringList DatabaseFiles::withCompanions(const QString &dbFile)
{
    return { dbFile, dbFile + u"-wal"_s, dbFile + u"-shm"_s, dbFile + u"-journal"_s };
}

void DatabaseFiles::remove(const QString &dbFile)
{
    for (const QString &file : withCompanions(dbFile))
        QFile::remove(file);
}

QString DatabaseFiles::incomingPath(const QString &dbFile) { return dbFile + u".incoming"_s; }

bool DatabaseFiles::sync(const QString &path)
{
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool DatabaseFiles::install(const QString &file, const QString &target)
{
    if (!sync(file))
        return false;
    // rename(2) replaces the target in one step; QFile::rename refuses an existing target.
    if (::rename(QFile::encodeName(file).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    // The rename is done; a folder that cannot be flushed only risks it on a power loss.
    sync(QFileInfo(target).absolutePath());
    return true;
}

void DatabaseFiles::recover(const QString &dbFile)
{
    // The old file stays at the live path until the rename, so an unfinished replacement is
    // simply dropped; the chosen backup it came from is untouched.
    remove(incomingPath(dbFile));

    const QString setAside = dbFile + u".tmp"_s;
    if (QFileInfo::exists(dbFile) || !QFileInfo::exists(setAside))
        return;
    const QStringList from = withCompanions(setAside);
    const QStringList to = withCompanions(dbFile);
    for (int i = 0; i < from.size(); ++i) {
        if (QFileInfo::exists(from.at(i))) {
            QFile::remove(to.at(i));
            QFile::rename(from.at(i), to.at(i));
        }
    }
}
