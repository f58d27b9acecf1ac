#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Database;
class QTimer;

// Backups of the database file, restore of a chosen copy, and the CSV export of the main tables.
class BackupManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString backupPath READ backupPath WRITE setBackupPath NOTIFY backupPathChanged)
public:
    explicit BackupManager(const QString &dataDir, QObject *parent = nullptr);
    // The database whose session decides who may back up, restore or change the settings.
    void setDatabase(Database *db) { m_db = db; }

    QString backupPath() const { return m_backupPath; }
    void setBackupPath(const QString &path);

    Q_INVOKABLE bool createBackup();
    Q_INVOKABLE bool restoreBackup(const QString &backupFile);
    Q_INVOKABLE bool exportAllToCSV();
    Q_INVOKABLE QStringList listBackups() const;
    Q_INVOKABLE void setAutoBackup(bool enabled);
    Q_INVOKABLE QString browseBackupPath();
    Q_INVOKABLE QString browseRestoreFile();

    static QStringList exportedTables();
    // One CSV field: quoted, with quotes doubled, when it holds a separator, a quote or a line end.
    static QString csvField(const QVariant &value);

signals:
    void backupPathChanged();
    void backupCreated(const QString &path);
    void backupRestored();
    void backupError(const QString &error);

private:
    // A copy now, for the operator or the automatic timer.
    bool writeBackup();
    QString databasePath() const;
    QString settingsPath() const;
    bool isValidBackup(const QString &file) const;
    bool isLiveDatabase(const QString &file) const;
    bool exportTable(const QString &table, const QString &folder) const;
    void prune() const;

    QString m_dataDir;
    QString m_backupPath;
    QTimer *m_timer;
    Database *m_db = nullptr;
};
