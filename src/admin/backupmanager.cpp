#include "backupmanager.h"

#include "database.h"
#include "databasefiles.h"
#include "datatransfer.h"
#include "schema.h"
#include "servertools.h"
#include "session.h"

#include <QCoreApplication>
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
#include <QStorageInfo>
#include <QStringConverter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int autoBackupInterval = 86400000; // 24 hours
constexpr int backupsKept = 30;

QSqlDatabase defaultConnection()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
}

// A name no backup in the folder has yet: two backups within one second (a backup, then a
// restore of it) each keep their own file.
QString newBackupName(const QString &folder, const QString &extension)
{
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm-ss"_s);
    QString target = folder + u"/belvardino_"_s + stamp + extension;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = folder + u"/belvardino_%1_%2"_s.arg(stamp).arg(n) + extension;
    return target;
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
    : BackupManager(dataDir, nullptr, parent)
{
}

BackupManager::BackupManager(const QString &dataDir, Database *database, QObject *parent)
    : QObject(parent)
    , m_dataDir(dataDir)
    , m_database(database)
    , m_timer(new QTimer(this))
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    m_backupPath = settings.value(u"backup/path"_s, m_dataDir + u"/backups"_s).toString();
    QDir().mkpath(m_backupPath);

    connect(m_timer, &QTimer::timeout, this, &BackupManager::backupNow);
    if (settings.value(u"backup/auto"_s, true).toBool())
        m_timer->start(autoBackupInterval);
}

QString BackupManager::databasePath() const { return m_dataDir + u"/belvardino.db"_s; }

QString BackupManager::settingsPath() const { return m_dataDir + u"/settings.ini"_s; }

void BackupManager::setBackupPath(const QString &path)
{
    if (!Session::permits(m_database, Permissions::Operation::BackupSettings))
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
    if (!Session::permits(m_database, Permissions::Operation::BackupSettings))
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

QString BackupManager::writeBackup(const QString &folder)
{
    if (!QFileInfo::exists(databasePath()))
        return {};
    QDir().mkpath(folder);
    const QString target = newBackupName(folder, u".db"_s);

    QSqlDatabase connection = defaultConnection();
    const bool written
        = connection.isOpen() ? snapshot(connection, target) : QFile::copy(databasePath(), target);
    if (!written) {
        QFile::remove(target);
        return {};
    }
    return target;
}

bool BackupManager::createBackup()
{
    if (!Session::permits(m_database, Permissions::Operation::Backup))
        return false;
    return backupNow();
}

bool BackupManager::backupNow()
{
    if (!createBackupIn(m_backupPath))
        return false;
    prune();
    return true;
}

bool BackupManager::createBackupIn(const QString &folder)
{
    if (isServer()) {
        const QString target = writeServerBackup(folder);
        if (target.isEmpty())
            return false;
        emit backupCreated(target);
        return true;
    }
    if (!QFileInfo::exists(databasePath())) {
        emit backupError(u"Database file not found"_s);
        return false;
    }
    const QString target = writeBackup(folder);
    if (target.isEmpty()) {
        emit backupError(u"Failed to create backup"_s);
        return false;
    }
    emit backupCreated(target);
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
    // Only this program's backups: the folder may be one the user keeps other files in.
    // Those of the kind in use: a server's dumps, or a file's copies.
    const QString pattern = isServer() ? u"belvardino_*.dump"_s : u"belvardino_*.db"_s;
    const QFileInfoList files
        = QDir(m_backupPath).entryInfoList({ pattern }, QDir::Files, QDir::Time);
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

QString BackupManager::notABackupText()
{
    return u"الملف المختار ليس نسخة احتياطية صالحة، ولم تتغير البيانات"_s;
}

QString BackupManager::folderNotWritableText()
{
    return u"تعذرت الكتابة في مجلد البيانات، ولم تتغير البيانات"_s;
}

QString BackupManager::serverToolsMissingText()
{
    return u"أدوات النسخ الاحتياطي لخادم PostgreSQL (pg_dump وpg_restore وpsql) غير مثبتة على هذا "
           "الحاسوب؛ ثبّت حزمة postgresql-client ثم أعد المحاولة، ولم تتغير البيانات"_s;
}

QString BackupManager::serverBackupFailedText() { return u"تعذر أخذ نسخة احتياطية من الخادم"_s; }

QString BackupManager::serverRestoreFailedText()
{
    return u"تعذرت استعادة النسخة على الخادم، وبقيت البيانات كما كانت"_s;
}

QString BackupManager::fileBackupOnServerText()
{
    return u"الملف المختار نسخة احتياطية لملف بيانات لا لخادم؛ انقل بياناته إلى قاعدة خادم فارغة "
           "بدل استعادتها، ولم تتغير البيانات"_s;
}

QString BackupManager::serverBackupOnFileText()
{
    return u"الملف المختار نسخة احتياطية لخادم مشترك ولا يُستعاد في ملف بيانات، ولم تتغير البيانات"_s;
}

QString BackupManager::newerVersionText()
{
    return u"كتب هذه النسخة إصدار أحدث من البرنامج؛ حدّث البرنامج ثم استعدها، ولم تتغير البيانات"_s;
}

bool BackupManager::isServer() const { return defaultConnection().driverName() == u"QPSQL"_s; }

namespace {

constexpr qint64 headerSize = 100;

quint32 bigEndian(const QByteArray &bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes.at(offset + i));
    return value;
}

// The file's SQLite header, read before anything is copied. A database's size is written in its
// header (page size times page count); a file far past that is something else.
bool looksLikeDatabase(const QString &file)
{
    QFile raw(file);
    if (!raw.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = raw.read(headerSize);
    if (header.size() < headerSize || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return false;
    const quint32 pageSizeField = bigEndian(header, 16, 2);
    const qint64 pageSize = pageSizeField == 1 ? 65536 : pageSizeField;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return false;
    // The page count is trusted only when the same write that set it also stamped field 92.
    const quint32 pages = bigEndian(header, 28, 4);
    const bool countValid = pages > 0 && bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    constexpr qint64 slack = 1 << 20;
    return !countValid || raw.size() <= 2 * pageSize * qint64(pages) + slack;
}

sqlite3 *handleOf(const QSqlDatabase &connection)
{
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool hasTables(sqlite3 *db, const QStringList &wanted)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(
            db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &statement, nullptr)
        != SQLITE_OK)
        return false;
    QStringList tables;
    while (sqlite3_step(statement) == SQLITE_ROW)
        tables.append(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
    sqlite3_finalize(statement);
    for (const QString &table : wanted) {
        if (!tables.contains(table))
            return false;
    }
    return true;
}

bool isIntact(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    bool ok = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW
        && qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)), "ok") == 0;
    sqlite3_finalize(statement);
    return ok;
}

// Errors that come from the disk or folder written to, not from the file read.
bool isWriteFailure(int code)
{
    switch (code & 0xff) {
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return true;
    default:
        return false;
    }
}

} // namespace

namespace {

// The first bytes of pg_dump's custom format and of an SQLite database.
const QByteArray kDumpMagic("PGDMP");
const QByteArray kSqliteMagic("SQLite format 3");

bool startsWith(const QString &file, const QByteArray &magic)
{
    QFile raw(file);
    return raw.open(QIODevice::ReadOnly) && raw.read(magic.size()) == magic;
}

// What a restore script holds: the tables it creates and the newest layout version it records.
struct ScriptContents
{
    QStringList tables;
    int version = 0;
};

ScriptContents readScript(const QString &script)
{
    ScriptContents contents;
    QFile file(script);
    if (!file.open(QIODevice::ReadOnly))
        return contents;
    static const QByteArray create("CREATE TABLE public.");
    static const QByteArray versions("COPY public.schema_version ");
    bool inVersions = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (inVersions) {
            if (line.startsWith("\\."))
                inVersions = false;
            else
                contents.version = std::max(contents.version, line.trimmed().toInt());
        } else if (line.startsWith(create)) {
            const QByteArray name = line.mid(create.size());
            contents.tables.append(QString::fromUtf8(name.left(name.indexOf(' '))));
        } else if (line.startsWith(versions)) {
            inVersions = true;
        }
    }
    return contents;
}

// Before the dump's script, in its transaction: no operator's write is half done (writers hold
// this lock, as SqlDialect::beginTransaction takes it), and every table, sequence and function
// of the schema moves aside, so the script builds into an empty schema that keeps its owner and
// grants. Another server's extensions stay where they are.
const QString kClearSchema = uR"(SELECT pg_advisory_xact_lock(1114795108);
DROP SCHEMA IF EXISTS bv_replaced CASCADE;
CREATE SCHEMA bv_replaced;
DO $$
DECLARE r record;
BEGIN
  FOR r IN SELECT c.oid::regclass AS name, c.relkind FROM pg_class c
      WHERE c.relnamespace = 'public'::regnamespace AND c.relkind IN ('r', 'p', 'v', 'm', 'S')
        AND NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.classid = 'pg_class'::regclass
          AND d.objid = c.oid AND d.deptype IN ('e', 'a', 'i')) LOOP
    EXECUTE format('ALTER %s %s SET SCHEMA bv_replaced',
      CASE r.relkind WHEN 'v' THEN 'VIEW' WHEN 'm' THEN 'MATERIALIZED VIEW'
        WHEN 'S' THEN 'SEQUENCE' ELSE 'TABLE' END, r.name);
  END LOOP;
  FOR r IN SELECT p.oid::regprocedure AS name FROM pg_proc p
      WHERE p.pronamespace = 'public'::regnamespace
        AND NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.classid = 'pg_proc'::regclass
          AND d.objid = p.oid AND d.deptype = 'e') LOOP
    EXECUTE format('ALTER ROUTINE %s SET SCHEMA bv_replaced', r.name);
  END LOOP;
END $$)"_s;

// After the script, still in its transaction: the data it replaced goes.
const QString kDropReplaced = u"DROP SCHEMA bv_replaced CASCADE"_s;

} // namespace

QString BackupManager::writeServerBackup(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        emit backupError(folderNotWritableText());
        return {};
    }
    const QString target = newBackupName(folder, u".dump"_s);
    ServerTools tools(defaultConnection());
    const ServerTools::Outcome outcome = tools.dump(target);
    if (outcome == ServerTools::Outcome::Done)
        return target;
    QFile::remove(target);
    emit backupError(outcome == ServerTools::Outcome::Missing
            ? serverToolsMissingText()
            : serverBackupFailedText() + u": "_s + tools.error());
    return {};
}

// pg_restore turns the dump into a script first, so a damaged or foreign file is refused before
// the server is touched. psql then runs it in one transaction that first moves the schema's
// objects aside and at last drops them: a failure anywhere (a bad row, a lost connection, the
// program killed) rolls back to the data as it was, and other operators never see a half-filled
// schema. A scratch database swapped in by renaming would need every operator disconnected.
bool BackupManager::restoreServerBackup(const QString &backupFile)
{
    if (startsWith(backupFile, kSqliteMagic))
        return refuse(Refusal::OtherKind);
    if (!startsWith(backupFile, kDumpMagic))
        return refuse(Refusal::NotABackup);
    if (ServerTools::find(u"psql"_s).isEmpty())
        return refuse(Refusal::ToolsMissing);
    QTemporaryDir work;
    if (!work.isValid())
        return refuse(Refusal::FolderNotWritable);
    const QString script = work.filePath(u"restore.sql"_s);

    QString url;
    {
        const QSqlDatabase connection = defaultConnection();
        url = ServerTools::urlOf(connection);
        ServerTools tools(connection);
        switch (tools.script(backupFile, script)) {
        case ServerTools::Outcome::Missing:
            return refuse(Refusal::ToolsMissing);
        case ServerTools::Outcome::Failed:
            return refuse(Refusal::NotABackup);
        case ServerTools::Outcome::Done:
            break;
        }
        const ScriptContents contents = readScript(script);
        for (const QString &table : Schema::tablesOfEveryVersion()) {
            if (!contents.tables.contains(table))
                return refuse(Refusal::NotABackup);
        }
        if (contents.version > Schema::version())
            return refuse(Refusal::NewerVersion);

        const QString safety = writeServerBackup(m_backupPath);
        if (safety.isEmpty())
            return false;
        m_lastSafetyBackup = safety;
        emit lastSafetyBackupChanged();
        emit backupCreated(safety);

        if (tools.apply(kClearSchema, script, kDropReplaced) != ServerTools::Outcome::Done) {
            emit backupError(serverRestoreFailedText() + u": "_s + tools.error());
            return false;
        }
    }
    // Reopened as a file is: fresh statements, and an older backup brought to this layout.
    if (m_database && !m_database->initialize(url)) {
        emit backupError(u"استُعيدت النسخة لكن تعذر فتحها؛ أعد تشغيل البرنامج"_s);
        return false;
    }
    emit backupRestored();
    return true;
}

// Reads the chosen file through SQLite from a read-only connection, so what sits in a write-ahead
// log beside it is part of the copy and the file itself is left as it was. The copy stands alone,
// in rollback-journal mode, and is brought to the current layout before it may be installed.
BackupManager::Refusal BackupManager::prepareCopy(const QString &chosen, const QString &copy)
{
    sqlite3 *source = nullptr;
    if (sqlite3_open_v2(chosen.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK) {
        sqlite3_close(source);
        return Refusal::NotABackup;
    }
    if (!hasTables(source, Schema::tablesOfEveryVersion())) {
        sqlite3_close(source);
        return Refusal::NotABackup;
    }

    Refusal refusal = Refusal::None;
    sqlite3 *target = nullptr;
    if (sqlite3_open_v2(
            copy.toUtf8().constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        refusal = Refusal::FolderNotWritable;
    } else {
        sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
        const int stepped = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(target);
        const int finished = backup ? sqlite3_backup_finish(backup) : stepped;
        if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
            const int code = stepped != SQLITE_DONE ? stepped : finished;
            // The target's own error tells a full disk from an unreadable source.
            refusal = isWriteFailure(code) || isWriteFailure(sqlite3_errcode(target))
                ? Refusal::FolderNotWritable
                : Refusal::NotABackup;
        } else if (sqlite3_exec(target, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr)
            != SQLITE_OK) {
            refusal = Refusal::FolderNotWritable;
        } else if (!isIntact(target)) {
            refusal = Refusal::NotABackup;
        }
    }
    sqlite3_close(target);
    sqlite3_close(source);
    if (refusal == Refusal::None && !Database::upgradeFile(copy))
        refusal = Refusal::FolderNotWritable;
    return refusal;
}

bool BackupManager::refuse(Refusal refusal)
{
    switch (refusal) {
    case Refusal::NotABackup:
        emit backupError(notABackupText());
        break;
    case Refusal::ToolsMissing:
        emit backupError(serverToolsMissingText());
        break;
    case Refusal::OtherKind:
        emit backupError(isServer() ? fileBackupOnServerText() : serverBackupOnFileText());
        break;
    case Refusal::NewerVersion:
        emit backupError(newerVersionText());
        break;
    default:
        emit backupError(folderNotWritableText());
        break;
    }
    return false;
}

bool BackupManager::restoreBackup(const QString &backupFile)
{
    if (!Session::permits(m_database, Permissions::Operation::Restore))
        return false;
    if (backupFile.isEmpty())
        return false;
    if (isServer())
        return restoreServerBackup(backupFile);
    if (startsWith(backupFile, kDumpMagic))
        return refuse(Refusal::OtherKind);

    const QString dbFile = databasePath();
    const QString incoming = DatabaseFiles::incomingPath(dbFile);

    // Refused before anything is written: the live file itself, anything that is not a database
    // or is far larger than one, a file the data folder has no room for.
    if (isLiveDatabase(backupFile) || !looksLikeDatabase(backupFile))
        return refuse(Refusal::NotABackup);
    QStorageInfo storage(m_dataDir);
    storage.refresh();
    if (storage.isValid() && QFileInfo(backupFile).size() > storage.bytesAvailable())
        return refuse(Refusal::FolderNotWritable);

    DatabaseFiles::remove(incoming);
    const Refusal refusal = prepareCopy(backupFile, incoming);
    if (refusal != Refusal::None) {
        DatabaseFiles::remove(incoming);
        return refuse(refusal);
    }

    // The data in use now becomes an ordinary backup first, so a mistaken restore can be undone
    // from the backups list.
    QSqlDatabase connection = defaultConnection();
    const QString safety = writeBackup(m_backupPath);
    if (safety.isEmpty()) {
        DatabaseFiles::remove(incoming);
        return refuse(Refusal::FolderNotWritable);
    }
    m_lastSafetyBackup = safety;
    emit lastSafetyBackupChanged();
    emit backupCreated(safety);

    // Closing the last connection folds the write-ahead log into the file and removes it; a log
    // left behind would be read as part of the new file.
    if (connection.isOpen()) {
        if (sqlite3 *live = handleOf(connection))
            sqlite3_wal_checkpoint_v2(live, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        connection.close();
    }
    if (QFileInfo(dbFile + u"-wal"_s).size() > 0 || !DatabaseFiles::install(incoming, dbFile)) {
        DatabaseFiles::remove(incoming);
        reopenLive();
        return refuse(Refusal::FolderNotWritable);
    }
    QFile::remove(dbFile + u"-wal"_s);
    QFile::remove(dbFile + u"-shm"_s);

    if (!reopenLive()) {
        emit backupError(u"استُعيدت النسخة لكن تعذر فتحها؛ أعد تشغيل البرنامج"_s);
        return false;
    }
    emit backupRestored();
    return true;
}

bool BackupManager::reopenLive()
{
    if (m_database)
        return m_database->initialize(databasePath());
    return reopen(defaultConnection());
}

QStringList BackupManager::exportedTables()
{
    return { u"properties"_s, u"units"_s, u"tenants"_s, u"contracts"_s, u"payments"_s,
        u"invoices"_s, u"maintenance_requests"_s, u"journal_entries"_s, u"accounts"_s, u"buyers"_s,
        u"installments"_s, u"cheques"_s, u"expenses"_s, u"contractors"_s, u"contractor_payments"_s,
        u"journal_lines"_s };
}

QString BackupManager::csvField(const QVariant &value)
{
    QString text = value.toString();
    // Spreadsheets run a text cell that starts like a formula; the apostrophe makes them show it.
    // Numbers stored as numbers stay as they are, a minus sign included.
    static const QString formulaStarts = u"=+-@\t\r"_s;
    if (value.typeId() == QMetaType::QString && !text.isEmpty()
        && formulaStarts.contains(text.front()))
        text.prepend(u'\'');
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

int BackupManager::exportTablesTo(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        emit backupError(u"Failed to create export folder"_s);
        return 0;
    }
    if (!defaultConnection().isOpen()) {
        emit backupError(u"Database not connected"_s);
        return 0;
    }

    QStringList failed;
    for (const QString &table : exportedTables()) {
        if (!exportTable(table, folder))
            failed.append(table);
    }
    if (!failed.isEmpty())
        emit backupError(u"تعذر تصدير بعض الجداول: "_s + failed.join(u"، "_s));
    return int(exportedTables().size() - failed.size());
}

bool BackupManager::exportAllToCSV()
{
    if (!Session::permits(m_database, Permissions::Operation::ExportCsv))
        return false;
    QString base = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    const QString folder = base + u"/Belvardino_Export_"_s
        + QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm"_s);
    if (exportTablesTo(folder) != exportedTables().size())
        return false;
    m_lastExportFolder = folder;
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    return true;
}

QString BackupManager::browseBackupPath()
{
    return QFileDialog::getExistingDirectory(
        nullptr, u"اختر مجلد النسخ الاحتياطية"_s, m_backupPath, QFileDialog::ShowDirsOnly);
}

QString BackupManager::browseRestoreFile()
{
    return QFileDialog::getOpenFileName(nullptr, u"اختر ملف النسخة الاحتياطية"_s, m_backupPath,
        isServer() ? u"نسخ الخادم الاحتياطية (*.dump)"_s : u"ملفات قاعدة البيانات (*.db)"_s);
}

QString BackupManager::browseNewDataFile()
{
    return QFileDialog::getSaveFileName(
        nullptr, u"اختر اسم ملف البيانات الجديد"_s, m_backupPath, u"ملفات قاعدة البيانات (*.db)"_s);
}

QString BackupManager::serverUrl(const QString &host, int port, const QString &database,
    const QString &user, const QString &password) const
{
    QSqlDatabase parts = QSqlDatabase::addDatabase(u"QPSQL"_s, u"belvardino_url_parts"_s);
    parts.setHostName(host.trimmed());
    parts.setPort(port > 0 ? port : -1);
    parts.setDatabaseName(database.trimmed());
    parts.setUserName(user.trimmed());
    parts.setPassword(password);
    const QString url = ServerTools::urlOf(parts);
    parts = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"belvardino_url_parts"_s);
    return url;
}

bool BackupManager::copyDataTo(const QString &target)
{
    // Moving the books between stores is an administrator's, as a restore is.
    if (!Session::permits(m_database, Permissions::Operation::Restore))
        return false;
    if (!m_database || target.isEmpty())
        return false;
    const bool toServer = Database::isServerUrl(target);
    if (!toServer && QFileInfo::exists(target)) {
        emit backupError(u"الملف المختار موجود؛ اختر اسماً لملف جديد، ولم يتغير شيء"_s);
        return false;
    }
    const QString name = u"belvardino_transfer"_s;
    bool ok = false;
    {
        Database copy;
        QString opening;
        connect(&copy, &Database::databaseError, this,
            [&opening](const QString &error) { opening = error; });
        if (!copy.initialize(target, name)) {
            emit backupError((toServer ? u"تعذر الاتصال بقاعدة الخادم، ولم يتغير شيء: "_s
                                       : u"تعذر إنشاء الملف، ولم يتغير شيء: "_s)
                + opening);
        } else {
            DataTransfer transfer;
            connect(&transfer, &DataTransfer::progress, this,
                [this](qint64 done, qint64 total, const QString &) {
                    emit transferProgress(double(done), double(total));
                    // The settings page shows the progress while the copy runs.
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                });
            ok = transfer.copy(m_database, &copy);
            if (!ok)
                emit backupError(transfer.error());
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok && !toServer)
        DatabaseFiles::remove(target);
    return ok;
}
