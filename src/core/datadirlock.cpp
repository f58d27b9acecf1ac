#include "datadirlock.h"

#include <QDir>

using namespace Qt::StringLiterals;

DataDirLock::DataDirLock(const QString &dataDir)
    : m_file(std::make_unique<QLockFile>(lockFilePath(dataDir)))
{
    // A lock is stale only when its process is gone; a long-running instance keeps it forever.
    m_file->setStaleLockTime(0);
}

DataDirLock::~DataDirLock() = default;

bool DataDirLock::tryLock()
{
    if (m_file->isLocked())
        return true;
    if (m_file->tryLock(0))
        return true;
    // tryLock already removes a lock whose process is dead; a second try covers the race where
    // the holder exited between the check and the removal.
    if (m_file->error() == QLockFile::LockFailedError && m_file->removeStaleLockFile())
        return m_file->tryLock(0);
    return false;
}

bool DataDirLock::isLocked() const { return m_file->isLocked(); }

bool DataDirLock::heldElsewhere() const
{
    return !m_file->isLocked() && m_file->error() == QLockFile::LockFailedError;
}

qint64 DataDirLock::holderPid() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    return m_file->getLockInfo(&pid, &host, &app) ? pid : 0;
}

QString DataDirLock::lockFilePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(u"belvardino.lock"_s);
}
