#include "backupmanager.h"

#include "schema.h"
#include "session.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QStringConverter>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int autoBackupInterval = 86400000; // 24 hours
constexpr int backupsKept = 30;
const QString validationConnection = u"belvardino_restore_check"_s;

QSqlDatabase defaultConnection()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
}

QStringList companionFiles(const QString &dbFile)
{
    return { dbFile, dbFile + u"-wal"_s, dbFile + u"-shm"_s };
}

void removeDatabaseFiles(const QString &dbFile)
{
    for (const QString &file : companionFiles(dbFile))
        QFile::remove(file);
}

// Moves a database together with its write-ahead log and shared-memory files, so the pair stays
// consistent under the new name. Undoes the partial move when one of them cannot be moved.
bool moveDatabaseFiles(const QString &from, const QString &to)
{
    const QStringList sources = companionFiles(from);
    const QStringList targets = companionFiles(to);
    for (int i = 0; i < sources.size(); ++i) {
        if (i > 0 && !QFileInfo::exists(sources.at(i)))
            continue;
        if (!QFile::rename(sources.at(i), targets.at(i))) {
            for (int j = 0; j < i; ++j)
                QFile::rename(targets.at(j), sources.at(j));
            return false;
        }
    }
    return true;
}

// Opens the shared connection on whatever file now sits at its path and prepares it as start-up
// does; the Database object shares this connection, so it reads the new file from here on.
bool reopen(QSqlDatabase connection)
{
    if (!connection.isValid())
        return true;
    if (!connection.open())
        return false;
    QSqlQuery query(connection);
    for (const QString &pragma : Schema::pragmaStatements())
        query.exec(pragma);
    for (const QString &statement : Schema::tableStatements())
        query.exec(statement);
    for (const QString &statement : Schema::indexStatements())
        query.exec(statement);
    return query.exec(u"SELECT COUNT(*) FROM sqlite_master"_s) && query.next();
}

} // namespace

BackupManager::BackupManager(const QString &dataDir, QObject *parent)
    : QObject(parent)
    , m_dataDir(dataDir)
    , m_timer(new QTimer(this))
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    m_backupPath = settings.value(u"backup/path"_s, m_dataDir + u"/backups"_s).toString();
    QDir().mkpath(m_backupPath);

    connect(m_timer, &QTimer::timeout, this, &BackupManager::writeBackup);
    if (settings.value(u"backup/auto"_s, true).toBool())
        m_timer->start(autoBackupInterval);
}

QString BackupManager::databasePath() const { return m_dataDir + u"/belvardino.db"_s; }

QString BackupManager::settingsPath() const { return m_dataDir + u"/settings.ini"_s; }

void BackupManager::setBackupPath(const QString &path)
{
    if (!Session::permits(m_db, Permissions::Operation::BackupSettings))
        return;
    if (path.isEmpty())
        return;
    m_backupPath = path;
    QDir().mkpath(m_backupPath);
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(u"backup/path"_s, m_backupPath);
    emit backupPathChanged();
}

void BackupManager::setAutoBackup(bool enabled)
{
    if (!Session::permits(m_db, Permissions::Operation::BackupSettings))
        return;
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(u"backup/auto"_s, enabled);
    if (enabled)
        m_timer->start(autoBackupInterval);
    else
        m_timer->stop();
}

namespace {

// A snapshot through the open connection, page by page with SQLite's online backup, so it also
// holds what still sits in the write-ahead log (a plain copy of the main file would miss it).
// Pages are copied as they are: rebuilding the file and every index, as VACUUM INTO does, takes
// several times longer on a large portfolio.
bool snapshot(const QSqlDatabase &connection, const QString &target)
{
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *source = *static_cast<sqlite3 *const *>(handle.constData());
    sqlite3 *copy = nullptr;
    bool ok = sqlite3_open_v2(target.toUtf8().constData(), &copy,
                  SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        == SQLITE_OK;
    if (ok) {
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", source, "main");
        ok = backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
        if (backup)
            ok = sqlite3_backup_finish(backup) == SQLITE_OK && ok;
    }
    // The copy keeps the live file's write-ahead-log mode; a backup stands alone as one file.
    ok = ok
        && sqlite3_exec(copy, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(copy);
    return ok;
}

} // namespace

bool BackupManager::createBackup()
{
    if (!Session::permits(m_db, Permissions::Operation::Backup))
        return false;
    return writeBackup();
}

bool BackupManager::writeBackup()
{
    const QString dbFile = databasePath();
    if (!QFileInfo::exists(dbFile)) {
        emit backupError(u"Database file not found"_s);
        return false;
    }

    QDir().mkpath(m_backupPath);
    const QString target = m_backupPath + u"/belvardino_"_s
        + QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm-ss"_s) + u".db"_s;
    bool written = false;
    if (!QFileInfo::exists(target)) {
        QSqlDatabase connection = defaultConnection();
        if (connection.isOpen()) {
            written = snapshot(connection, target);
            if (!written)
                QFile::remove(target);
        } else {
            written = QFile::copy(dbFile, target);
        }
    }
    if (!written) {
        emit backupError(u"Failed to create backup"_s);
        return false;
    }

    emit backupCreated(target);
    prune();
    return true;
}

void BackupManager::prune() const
{
    // The backup folder may be the data directory itself; the live database is never a backup.
    QStringList files = listBackups();
    while (files.size() > backupsKept)
        QFile::remove(files.takeLast());
}

QStringList BackupManager::listBackups() const
{
    QStringList paths;
    const QFileInfoList files
        = QDir(m_backupPath).entryInfoList({ u"*.db"_s }, QDir::Files, QDir::Time);
    for (const QFileInfo &info : files) {
        if (!isLiveDatabase(info.absoluteFilePath()))
            paths.append(info.absoluteFilePath());
    }
    return paths;
}

bool BackupManager::isLiveDatabase(const QString &file) const
{
    const QString live = QFileInfo(databasePath()).canonicalFilePath();
    return !live.isEmpty() && QFileInfo(file).canonicalFilePath() == live;
}

bool BackupManager::isValidBackup(const QString &file) const
{
    QFile raw(file);
    if (!raw.open(QIODevice::ReadOnly) || raw.read(16) != QByteArray("SQLite format 3\0", 16))
        return false;
    raw.close();

    bool valid = false;
    {
        QSqlDatabase check = QSqlDatabase::addDatabase(u"QSQLITE"_s, validationConnection);
        check.setDatabaseName(file);
        if (check.open()) {
            QSqlQuery query(check);
            QStringList tables;
            if (query.exec(u"PRAGMA integrity_check"_s) && query.next()
                && query.value(0).toString() == u"ok"_s) {
                query.finish();
                if (query.exec(u"SELECT name FROM sqlite_master WHERE type='table'"_s)) {
                    while (query.next())
                        tables.append(query.value(0).toString());
                }
                valid = true;
                for (const QString &table : Schema::applicationTables())
                    valid = valid && tables.contains(table);
            }
            // The copy is installed as one self-contained file, without a log beside it.
            if (valid)
                valid = query.exec(u"PRAGMA journal_mode=DELETE"_s);
            query.finish();
            check.close();
        }
    }
    QSqlDatabase::removeDatabase(validationConnection);
    return valid;
}

bool BackupManager::restoreBackup(const QString &backupFile)
{
    if (!Session::permits(m_db, Permissions::Operation::Restore))
        return false;
    if (backupFile.isEmpty())
        return false;

    const QString dbFile = databasePath();
    const QString scratch = dbFile + u".tmp"_s;
    const QString incoming = dbFile + u".incoming"_s;

    // The live file copied under its open connection would lack what sits in its log.
    if (isLiveDatabase(backupFile)) {
        emit backupError(u"Invalid backup file"_s);
        return false;
    }
    // The file checked is a private copy, and that very copy is what gets installed.
    removeDatabaseFiles(incoming);
    const bool copied = QFile::copy(backupFile, incoming)
        && QFile::setPermissions(incoming, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!copied || !isValidBackup(incoming)) {
        removeDatabaseFiles(incoming);
        emit backupError(u"Invalid backup file"_s);
        return false;
    }

    removeDatabaseFiles(scratch);
    QSqlDatabase connection = defaultConnection();
    connection.close();

    if (!moveDatabaseFiles(dbFile, scratch)) {
        reopen(connection);
        removeDatabaseFiles(incoming);
        emit backupError(u"Failed to move database"_s);
        return false;
    }

    if (!QFile::rename(incoming, dbFile) || !reopen(connection)) {
        connection.close();
        removeDatabaseFiles(dbFile);
        moveDatabaseFiles(scratch, dbFile);
        reopen(connection);
        removeDatabaseFiles(incoming);
        emit backupError(u"Failed to restore backup"_s);
        return false;
    }

    removeDatabaseFiles(scratch);
    emit backupRestored();
    return true;
}

QStringList BackupManager::exportedTables()
{
    return { u"properties"_s, u"units"_s, u"tenants"_s, u"contracts"_s, u"payments"_s,
        u"invoices"_s, u"maintenance_requests"_s, u"journal_entries"_s, u"accounts"_s, u"buyers"_s,
        u"installments"_s, u"cheques"_s };
}

QString BackupManager::csvField(const QVariant &value)
{
    QString text = value.toString();
    // A carriage return is quoted too: spreadsheets and CSV readers take it for a line end.
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n')
        || text.contains(u'\r')) {
        text.replace(u"\""_s, u"\"\""_s);
        return u'"' + text + u'"';
    }
    return text;
}

bool BackupManager::exportTable(const QString &table, const QString &folder) const
{
    QFile file(folder + u"/"_s + table + u".csv"_s);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QSqlQuery query(defaultConnection());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT * FROM "_s + table))
        return false;

    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out.setGenerateByteOrderMark(true);
    const QSqlRecord record = query.record();
    QStringList fields;
    for (int i = 0; i < record.count(); ++i)
        fields.append(record.fieldName(i));
    out << fields.join(u',') << '\n';
    while (query.next()) {
        fields.clear();
        for (int i = 0; i < record.count(); ++i)
            fields.append(csvField(query.value(i)));
        out << fields.join(u',') << '\n';
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}

bool BackupManager::exportAllToCSV()
{
    if (!Session::permits(m_db, Permissions::Operation::ExportCsv))
        return false;
    QString base = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    const QString folder = base + u"/Belvardino_Export_"_s
        + QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm"_s);
    if (!QDir().mkpath(folder)) {
        emit backupError(u"Failed to create export folder"_s);
        return false;
    }
    if (!defaultConnection().isOpen()) {
        emit backupError(u"Database not connected"_s);
        return false;
    }

    int exported = 0;
    for (const QString &table : exportedTables()) {
        if (exportTable(table, folder))
            ++exported;
    }
    if (exported == 0)
        return false;
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    return true;
}

QString BackupManager::browseBackupPath()
{
    return QFileDialog::getExistingDirectory(
        nullptr, u"Select Backup Folder"_s, m_backupPath, QFileDialog::ShowDirsOnly);
}

QString BackupManager::browseRestoreFile()
{
    return QFileDialog::getOpenFileName(
        nullptr, u"Select Database Backup"_s, m_backupPath, u"Database files (*.db)"_s);
}
