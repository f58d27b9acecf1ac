#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Database;
class QTimer;

// Backups of the database file, restore of a chosen copy, and the CSV export of the main tables.
// On a shared server, backups are pg_dump's custom-format files (.dump) and restores go through
// pg_restore, with the same names, folder, pruning and checks.
class BackupManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString backupPath READ backupPath WRITE setBackupPath NOTIFY backupPathChanged)
    // The backup of the data that was in use before the latest restore replaced it.
    Q_PROPERTY(QString lastSafetyBackup READ lastSafetyBackup NOTIFY lastSafetyBackupChanged)
public:
    explicit BackupManager(const QString &dataDir, QObject *parent = nullptr);
    // With the program's Database, a restore reopens it (fresh statements, start-up upgrades);
    // without one, the shared connection is reopened.
    BackupManager(const QString &dataDir, Database *database, QObject *parent = nullptr);
    // The database whose session decides who may back up, restore or change the settings.
    void setDatabase(Database *db) { m_database = db; }

    QString backupPath() const { return m_backupPath; }
    void setBackupPath(const QString &path);
    QString lastSafetyBackup() const { return m_lastSafetyBackup; }

    Q_INVOKABLE bool createBackup();
    // A backup into `folder` (made if missing), which is neither remembered nor pruned.
    bool createBackupIn(const QString &folder);
    // Replaces the data in use by a copy of the chosen backup, read through SQLite and brought to
    // the current layout; the data in use is first saved as an ordinary backup. Refusals leave the
    // data in use untouched and say why through backupError.
    Q_INVOKABLE bool restoreBackup(const QString &backupFile);
    Q_INVOKABLE bool exportAllToCSV();
    // The CSV files into `folder` (made if missing), nothing opened; the count of tables written.
    int exportTablesTo(const QString &folder);
    // Where the last export wrote its files; empty before the first one.
    Q_INVOKABLE QString lastExportFolder() const { return m_lastExportFolder; }
    Q_INVOKABLE QStringList listBackups() const;
    Q_INVOKABLE void setAutoBackup(bool enabled);
    Q_INVOKABLE QString browseBackupPath();
    Q_INVOKABLE QString browseRestoreFile();
    // A new file's path for copyDataTo, or empty.
    Q_INVOKABLE QString browseNewDataFile();

    // Whether the data in use lives on a shared server rather than in this computer's file.
    Q_INVOKABLE bool usesServer() const { return isServer(); }
    // A server database's URL from the parts the settings page asks for.
    Q_INVOKABLE QString serverUrl(const QString &host, int port, const QString &database,
        const QString &user, const QString &password) const;
    // Copies all the data in use into `target`: the empty database of a server (a postgresql://
    // URL) or a new file, through DataTransfer, reporting transferProgress. The data in use is
    // only read and stays in use. Refusals say why through backupError.
    Q_INVOKABLE bool copyDataTo(const QString &target);

    static QStringList exportedTables();
    // One CSV field: quoted, with quotes doubled, when it holds a separator, a quote or a line end.
    static QString csvField(const QVariant &value);
    // What backupError says when a restore is refused.
    static QString notABackupText();
    static QString folderNotWritableText();
    // A server's refusals: its tools missing, a failed dump or restore, a backup of the other
    // kind (a file's on a server, a server's in a file), one written by a newer version.
    static QString serverToolsMissingText();
    static QString serverBackupFailedText();
    static QString serverRestoreFailedText();
    static QString fileBackupOnServerText();
    static QString serverBackupOnFileText();
    static QString newerVersionText();

signals:
    void backupPathChanged();
    void backupCreated(const QString &path);
    void backupRestored();
    void backupError(const QString &error);
    void lastSafetyBackupChanged();
    void transferProgress(double done, double total);

private:
    enum class Refusal
    {
        None,
        NotABackup,
        FolderNotWritable,
        ToolsMissing,
        OtherKind,
        NewerVersion
    };

    // A backup into the backup folder, pruned, without asking who: the automatic timer's.
    bool backupNow();
    QString databasePath() const;
    bool isServer() const;
    // A new pg_dump file of the server's database, or an empty path with the reason emitted.
    QString writeServerBackup(const QString &folder);
    bool restoreServerBackup(const QString &backupFile);
    QString settingsPath() const;
    bool isLiveDatabase(const QString &file) const;
    // A new backup file of the data in use, or an empty path.
    QString writeBackup(const QString &folder);
    static Refusal prepareCopy(const QString &chosen, const QString &copy);
    bool refuse(Refusal refusal);
    bool reopenLive();
    bool exportTable(const QString &table, const QString &folder) const;
    void prune() const;

    QString m_dataDir;
    QString m_backupPath;
    QString m_lastSafetyBackup;
    Database *m_database = nullptr;
    QString m_lastExportFolder;
    QTimer *m_timer;
};
