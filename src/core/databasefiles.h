#pragma once

#include <QString>
#include <QStringList>

// The files of one SQLite database on disk, and the steps that replace it safely: a new file is
// prepared beside the live one under a private name and put in place by one atomic rename, so a
// crash at any moment leaves either the old file or the new one at the live path.
class DatabaseFiles
{
public:
    // The database and the files SQLite keeps beside it.
    static QStringList withCompanions(const QString &dbFile);
    static void remove(const QString &dbFile);
    // Where a replacement is prepared before it is put in place.
    static QString incomingPath(const QString &dbFile);

    // Flushes the file to disk, renames it over `target` and flushes the folder, so the new name
    // survives a power loss. False, with nothing renamed, when a step fails.
    static bool install(const QString &file, const QString &target);

    // Run before the database is opened: undoes a replacement that was interrupted before its
    // rename (the live file is still the old one), and puts back a live file that an earlier
    // version set aside under ".tmp" and never replaced.
    static void recover(const QString &dbFile);

private:
    static bool sync(const QString &path);
};
