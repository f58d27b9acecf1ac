#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// One writer per data directory: the application, the command line's writing commands and the
// tools that fill a data directory all take this lock before touching the database. A lock left
// by a crashed process is recovered.
class DataDirLock
{
public:
    explicit DataDirLock(const QString &dataDir);
    ~DataDirLock();

    // False when another live process holds the directory (or the lock file cannot be made).
    bool tryLock();
    bool isLocked() const;
    // After a failed tryLock: true when a live process holds the lock, false when the lock file
    // could not be made at all (a folder that cannot be written).
    bool heldElsewhere() const;
    // The process id holding the lock, or 0 when unknown.
    qint64 holderPid() const;

    static QString lockFilePath(const QString &dataDir);

private:
    std::unique_ptr<QLockFile> m_file;
};
