#include "backupmanager.h"
#include "passwordhasher.h"
#include "schema.h"
#include "servertools.h"
#include "testfixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Runs one query on a file through its own connection, apart from the program's connection.
QVariant valueInFile(const QString &file, const QString &sql)
{
    const QString name = u"tst_backup_reader"_s;
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                value = query.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

void makeFile(const QString &path, const QDateTime &modified, const QByteArray &content = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    // Written out first: a flush at close would otherwise stamp the time again.
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupHoldsRowsStillInTheLog();
    void pruningKeepsOtherFiles_data();
    void pruningKeepsOtherFiles();
    void restoreRefusesInvalidFile_data();
    void restoreRefusesInvalidFile();
    void restoreKeepsWhatItIsGiven_data();
    void restoreKeepsWhatItIsGiven();
    void restoreKilledAtAnyStepLeavesOldOrNew_data();
    void restoreKilledAtAnyStepLeavesOldOrNew();
    void serverRestore_data();
    void serverRestore();
};

namespace {

constexpr const char *kFileOnly = "a database file's backups; a server's are in serverRestore";

} // namespace

void TestBackup::backupHoldsRowsStillInTheLog()
{
    TestFixture f;
    if (f.db()->isServer())
        QSKIP(kFileOnly);
    BackupManager manager(f.dataDir());
    f.addProperty(u"برج الأمل"_s);

    // The row sits in the write-ahead log only: a plain copy of the main file lacks it.
    const QString plainCopy = f.dataDir() + u"/plain.db"_s;
    QVERIFY(QFile::copy(f.dbPath(), plainCopy));
    QCOMPARE(valueInFile(plainCopy, u"SELECT COUNT(*) FROM properties"_s).toInt(), 0);

    QVERIFY(manager.createBackup());
    const QString backup = manager.listBackups().first();
    QCOMPARE(valueInFile(backup, u"SELECT name FROM properties"_s).toString(), u"برج الأمل"_s);
    // One self-contained file, with no log beside it.
    QVERIFY(!QFile::exists(backup + u"-wal"_s));
    QCOMPARE(valueInFile(backup, u"PRAGMA journal_mode"_s).toString(), u"delete"_s);
}

void TestBackup::pruningKeepsOtherFiles_data()
{
    QTest::addColumn<bool>("inDataDir");
    QTest::newRow("backups beside the live database") << true;
    QTest::newRow("a folder the user keeps other files in") << false;
}

void TestBackup::pruningKeepsOtherFiles()
{
    QFETCH(bool, inDataDir);
    TestFixture f;
    BackupManager manager(f.dataDir());
    // A server's dumps are named, kept and pruned as a file's copies are.
    const QString extension = f.db()->isServer() ? u".dump"_s : u".db"_s;
    const QString folder = inDataDir ? f.dataDir() : f.dataDir() + u"/mine"_s;
    manager.setBackupPath(folder);
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < 30; ++i) {
        const QDateTime made = now.addDays(-1 - i);
        makeFile(
            folder + u"/belvardino_"_s + made.toString(u"yyyy-MM-dd_HH-mm-ss"_s) + extension, made);
    }
    // Older than every backup, so an indiscriminate pruning would take them first.
    const QStringList others { u"accounts.db"_s, u"belvardino.db.old"_s, u"photo.jpg"_s };
    for (const QString &other : others)
        makeFile(folder + u"/"_s + other, now.addYears(-2));
    if (!f.db()->isServer()) {
        QFile live(f.dbPath());
        QVERIFY(live.open(QIODevice::ReadWrite));
        QVERIFY(live.setFileTime(now.addYears(-3), QFileDevice::FileModificationTime));
    }

    QVERIFY(manager.createBackup());
    QVERIFY(f.db()->isServer() || QFileInfo::exists(f.dbPath()));
    for (const QString &other : others)
        QVERIFY2(QFileInfo::exists(folder + u"/"_s + other), qPrintable(other));
    const QStringList kept = manager.listBackups();
    QCOMPARE(kept.size(), 30);
    auto backupOf = [&](int daysAgo) {
        return folder + u"/belvardino_"_s + now.addDays(-daysAgo).toString(u"yyyy-MM-dd_HH-mm-ss"_s)
            + extension;
    };
    QVERIFY(!QFileInfo::exists(backupOf(30)));
    QVERIFY(kept.contains(backupOf(29)));
    QVERIFY(f.db()->execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s, { u"سالم"_s }) > 0);
}

void TestBackup::restoreRefusesInvalidFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString notABackup = BackupManager::notABackupText();
    QTest::newRow("text file") << u"text"_s << notABackup;
    QTest::newRow("foreign database") << u"foreign"_s << notABackup;
    QTest::newRow("the live database itself") << u"live"_s << notABackup;
    QTest::newRow("far larger than its header says") << u"huge"_s << notABackup;
    QTest::newRow("damaged pages") << u"damaged"_s << notABackup;
    QTest::newRow("a server's backup") << u"dump"_s << BackupManager::serverBackupOnFileText();
    QTest::newRow("data folder cannot be written")
        << u"unwritable"_s << BackupManager::folderNotWritableText();
}

void TestBackup::restoreRefusesInvalidFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestFixture f;
    if (f.db()->isServer())
        QSKIP(kFileOnly);
    BackupManager manager(f.dataDir(), f.db());
    const QString backups = f.dataDir() + u"/elsewhere"_s;
    manager.setBackupPath(backups);
    f.addProperty(u"الأصل"_s);
    const QString chosen = kind == u"live"_s ? f.dbPath() : f.dataDir() + u"/chosen.db"_s;

    if (kind == u"text"_s) {
        makeFile(chosen, QDateTime::currentDateTime(), "name,city\nx,y\n");
    } else if (kind == u"dump"_s) {
        makeFile(chosen, QDateTime::currentDateTime(), QByteArray("PGDMP\x01\x0e\x00", 8));
    } else if (kind == u"foreign"_s) {
        QVERIFY(valueInFile(chosen, u"CREATE TABLE notes (id INTEGER, body TEXT)"_s).isNull());
    } else if (kind != u"live"_s) {
        QVERIFY(manager.createBackup());
        QVERIFY(QFile::rename(manager.listBackups().first(), chosen));
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (kind == u"huge"_s) {
            QVERIFY(file.resize(64 << 20));
        } else if (kind == u"damaged"_s) {
            // Every page after the first three overwritten, the header left intact.
            QVERIFY(file.seek(3 * 4096));
            file.write(QByteArray(file.size() - 3 * 4096, '\x5a'));
        } else {
            QVERIFY(QDir().mkpath(f.dbPath() + u".incoming/held"_s));
        }
    }
    const QStringList backupsBefore = manager.listBackups();

    QSignalSpy restored(&manager, &BackupManager::backupRestored);
    QSignalSpy errors(&manager, &BackupManager::backupError);
    QVERIFY(!manager.restoreBackup(chosen));
    QCOMPARE(restored.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().first().toString(), message);
    QCOMPARE(f.count(u"properties"_s), 1);
    QVERIFY(f.db()->execInsert(u"INSERT INTO buyers (full_name) VALUES (?)"_s, { u"مشتر"_s }) > 0);
    QCOMPARE(QDir(f.dataDir()).entryList({ u"belvardino.db.*"_s }, QDir::Files), QStringList());
    QCOMPARE(manager.listBackups(), backupsBefore);
    QCOMPARE(manager.lastSafetyBackup(), QString());
}

namespace {

QStringList propertyNames(const QString &file)
{
    return valueInFile(
        file, u"SELECT group_concat(name, '|') FROM (SELECT name FROM properties ORDER BY id)"_s)
        .toString()
        .split(u'|', Qt::SkipEmptyParts);
}

// Runs statements on a file through SQLite alone, as another program (or an older version of
// this one) would.
bool execOnFile(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

void TestBackup::restoreKeepsWhatItIsGiven_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("an ordinary backup") << u"ordinary"_s;
    QTest::newRow("a copy with its write-ahead log beside it") << u"log"_s;
    QTest::newRow("a backup of an older version") << u"older"_s;
}

void TestBackup::restoreKeepsWhatItIsGiven()
{
    QFETCH(QString, kind);
    TestFixture f;
    if (f.db()->isServer())
        QSKIP(kFileOnly);
    BackupManager manager(f.dataDir(), f.db());
    f.addProperty(u"في النسخة"_s);
    QVERIFY(manager.createBackup());
    const QString chosen = f.dataDir() + u"/chosen.db"_s;
    QVERIFY(QFile::rename(manager.listBackups().first(), chosen));
    QStringList expected { u"في النسخة"_s };

    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(chosen.toUtf8().constData(), &other), SQLITE_OK);
    if (kind == u"log"_s) {
        // The new row lives only in the log: the copy is taken while the writer still has it open.
        QVERIFY(execOnFile(other, "PRAGMA journal_mode=WAL"));
        QVERIFY(execOnFile(
            other, "INSERT INTO properties (name, type) VALUES ('في السجل', 'residential')"));
        const QString copy = f.dataDir() + u"/copy.db"_s;
        QVERIFY(QFile::copy(chosen, copy));
        QVERIFY(QFile::copy(chosen + u"-wal"_s, copy + u"-wal"_s));
        sqlite3_close(other);
        QVERIFY(QFile::remove(chosen));
        QVERIFY(QFile::rename(copy, chosen));
        QVERIFY(QFile::rename(copy + u"-wal"_s, chosen + u"-wal"_s));
        expected.append(u"في السجل"_s);
    } else {
        if (kind == u"older"_s) {
            // Written before contractors, payments of sales and hashed passwords existed.
            QVERIFY(execOnFile(other, "DROP TABLE contractors"));
            QVERIFY(execOnFile(other, "DROP INDEX idx_payments_buyer"));
            QVERIFY(execOnFile(other, "ALTER TABLE payments DROP COLUMN buyer_id"));
            QVERIFY(execOnFile(other, "ALTER TABLE payments DROP COLUMN unit_id"));
            QVERIFY(execOnFile(other, "UPDATE users SET password_hash='كلمة-قديمة'"));
        }
        sqlite3_close(other);
    }
    f.addProperty(u"بعد النسخة"_s);
    const QStringList before = propertyNames(f.dbPath());

    QSignalSpy restored(&manager, &BackupManager::backupRestored);
    QSignalSpy errors(&manager, &BackupManager::backupError);
    QVERIFY(manager.restoreBackup(chosen));
    QCOMPARE(restored.count(), 1);
    QCOMPARE(errors.count(), 0);

    // The running program reads and writes the restored data through the same Database.
    QStringList names;
    for (const QVariant &row : f.db()->execQuery(u"SELECT name FROM properties ORDER BY id"_s))
        names.append(row.toMap().value(u"name"_s).toString());
    QCOMPARE(names, expected);
    QVERIFY(f.db()->execInsert(
                u"INSERT INTO payments (amount, payment_date, buyer_id) VALUES (?, ?, ?)"_s,
                { 10.5, TestFixture::iso(TestFixture::today()), 1 })
        > 0);
    QVERIFY(f.db()->execInsert(u"INSERT INTO contractors (name) VALUES (?)"_s, { u"سباك"_s }) > 0);
    QCOMPARE(f.scalar(u"PRAGMA foreign_keys"_s).toInt(), 1);
    if (kind == u"older"_s) {
        const QString stored = f.scalar(u"SELECT password_hash FROM users"_s).toString();
        QVERIFY(PasswordHasher::verify(stored, u"كلمة-قديمة"_s));
    }

    // What was in use before is an ordinary backup the interface can name.
    const QString safety = manager.lastSafetyBackup();
    QVERIFY(manager.listBackups().contains(safety));
    QCOMPARE(propertyNames(safety), before);
    QCOMPARE(QDir(f.dataDir()).entryList({ u"belvardino.db.*"_s }, QDir::Files), QStringList());
    QVERIFY(QFile::exists(chosen + (kind == u"log"_s ? u"-wal"_s : QString())));
}

namespace {

// Counts the calls of one system call that the restoring child makes, with or without the
// restore itself.
int countCalls(const QString &syscall, const QString &dataDir, const QStringList &restore)
{
    const QString log = dataDir + u"/../strace.log"_s;
    QProcess strace;
    strace.start(u"strace"_s,
        QStringList { u"-f"_s, u"-qq"_s, u"-o"_s, log, u"-e"_s, u"trace="_s + syscall,
            QStringLiteral(RESTORE_CHILD), dataDir }
            + restore);
    if (!strace.waitForFinished(60000) || strace.exitCode() != 0)
        return -1;
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QRegularExpression call(u"^\\d+\\s+"_s + syscall + u"\\("_s);
    int calls = 0;
    while (!file.atEnd()) {
        if (call.match(QString::fromUtf8(file.readLine())).hasMatch())
            ++calls;
    }
    return calls;
}

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files)) {
        if (!QFile::copy(from + u"/"_s + name, to + u"/"_s + name))
            return false;
    }
    return true;
}

} // namespace

void TestBackup::restoreKilledAtAnyStepLeavesOldOrNew_data()
{
    QTest::addColumn<QString>("syscall");
    for (const char *syscall :
        { "openat", "pwrite64", "fdatasync", "fsync", "ftruncate", "rename", "unlink", "close" })
        QTest::newRow(syscall) << QString::fromLatin1(syscall);
}

void TestBackup::restoreKilledAtAnyStepLeavesOldOrNew()
{
    QFETCH(QString, syscall);
    if (QStandardPaths::findExecutable(u"strace"_s).isEmpty())
        QSKIP("strace is not installed (scripts/setup.sh installs it)");
    if (!TestFixture::serverUrl().isEmpty())
        QSKIP(kFileOnly);

    QTemporaryDir work;
    const QString original = work.path() + u"/original"_s;
    const QString chosen = work.path() + u"/chosen.db"_s;
    QStringList restoredNames;
    QStringList oldNames;
    {
        TestFixture f;
        BackupManager manager(f.dataDir(), f.db());
        f.addProperty(u"في النسخة"_s);
        QVERIFY(manager.createBackup());
        QVERIFY(QFile::copy(manager.listBackups().first(), chosen));
        f.addProperty(u"بعد النسخة"_s);
        QSqlDatabase::database().close();
        QVERIFY(copyFolder(f.dataDir(), original));
        restoredNames = propertyNames(chosen);
        oldNames = propertyNames(original + u"/belvardino.db"_s);
    }
    QCOMPARE(restoredNames.size(), 1);
    QCOMPARE(oldNames.size(), 2);

    QVERIFY(copyFolder(original, work.path() + u"/count1"_s));
    const int startUp = countCalls(syscall, work.path() + u"/count1"_s, {});
    QVERIFY(copyFolder(original, work.path() + u"/count2"_s));
    const int whole = countCalls(syscall, work.path() + u"/count2"_s, { chosen });
    QVERIFY2(startUp >= 0 && whole > startUp, qPrintable(u"%1 %2"_s.arg(startUp).arg(whole)));
    QCOMPARE(propertyNames(work.path() + u"/count2/belvardino.db"_s), restoredNames);

    // Every call the restore adds, or an even sample of them when there are many.
    constexpr int samples = 24;
    const int restoreCalls = whole - startUp;
    int killed = 0;
    for (int i = 0; i < std::min(samples, restoreCalls); ++i) {
        const int n
            = startUp + 1 + (restoreCalls <= samples ? i : i * (restoreCalls - 1) / (samples - 1));
        const QString dir = work.path() + u"/run%1"_s.arg(n);
        QVERIFY(copyFolder(original, dir));
        QProcess strace;
        strace.start(u"strace"_s,
            { u"-f"_s, u"-qq"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace="_s + syscall, u"-e"_s,
                u"inject=%1:signal=SIGKILL:when=%2"_s.arg(syscall).arg(n),
                QStringLiteral(RESTORE_CHILD), dir, chosen });
        QVERIFY(strace.waitForFinished(60000));
        if (strace.exitStatus() == QProcess::CrashExit || strace.exitCode() != 0)
            ++killed;

        // What the next start sees: one whole version, never an empty or a mixed one.
        Database next;
        QVERIFY(next.initialize(dir + u"/belvardino.db"_s));
        QStringList names;
        for (const QVariant &row : next.execQuery(u"SELECT name FROM properties ORDER BY id"_s))
            names.append(row.toMap().value(u"name"_s).toString());
        QVERIFY2(names == oldNames || names == restoredNames,
            qPrintable(u"killed at %1 #%2: %3"_s.arg(syscall).arg(n).arg(names.join(u", "_s))));
        QVERIFY(Database::firstRow(next.execQuery(u"SELECT COUNT(*) AS c FROM users"_s))
                    .value(u"c"_s)
                    .toInt()
            > 0);
        QCOMPARE(QDir(dir).entryList({ u"belvardino.db.*"_s }, QDir::Files), QStringList());
    }
    QVERIFY(killed > 0);
}

namespace {

QStringList namesOf(Database *db)
{
    QStringList names;
    for (const QVariant &row : db->execQuery(u"SELECT name FROM properties ORDER BY id"_s))
        names.append(row.toMap().value(u"name"_s).toString());
    return names;
}

} // namespace

void TestBackup::serverRestore_data()
{
    QTest::addColumn<QString>("kind");
    // Empty when the restore goes through.
    QTest::addColumn<QString>("message");
    const QString notABackup = BackupManager::notABackupText();
    QTest::newRow("a dump the program wrote") << u"ordinary"_s << QString();
    QTest::newRow("text file") << u"text"_s << notABackup;
    QTest::newRow("a database file's backup")
        << u"file"_s << BackupManager::fileBackupOnServerText();
    QTest::newRow("damaged dump") << u"damaged"_s << notABackup;
    QTest::newRow("another database's dump") << u"foreign"_s << notABackup;
    QTest::newRow("written by a newer version") << u"newer"_s << BackupManager::newerVersionText();
    QTest::newRow("refused by the server after every row is in")
        << u"halfway"_s << BackupManager::serverRestoreFailedText();
    QTest::newRow("PostgreSQL's tools not installed")
        << u"missing"_s << BackupManager::serverToolsMissingText();
}

void TestBackup::serverRestore()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestFixture f;
    if (!f.db()->isServer())
        QSKIP("needs a server: set BELVARDINO_TEST_PG to a postgresql:// URL");
    BackupManager manager(f.dataDir(), f.db());
    QSignalSpy errors(&manager, &BackupManager::backupError);
    f.addProperty(u"في النسخة"_s);
    const QString role = u"bvt_gone_%1"_s.arg(QCoreApplication::applicationPid());
    if (kind == u"newer"_s)
        QVERIFY(f.db()->execNonQuery(
            u"INSERT INTO schema_version (version) VALUES (?)"_s, { Schema::version() + 1 }));
    if (kind == u"halfway"_s) {
        // The dump grants to a role that is gone by the time of the restore: its grant, the
        // script's last step, fails after every table and row is in.
        QVERIFY(f.db()->execNonQuery(u"CREATE ROLE "_s + role));
        QVERIFY(f.db()->execNonQuery(u"GRANT SELECT ON properties TO "_s + role));
    }
    QVERIFY(manager.createBackup());
    QCOMPARE(errors.count(), 0);
    QString chosen = manager.listBackups().value(0);
    QVERIFY(chosen.endsWith(u".dump"_s));

    if (kind == u"newer"_s) {
        QVERIFY(f.db()->execNonQuery(
            u"DELETE FROM schema_version WHERE version > ?"_s, { Schema::version() }));
    } else if (kind == u"halfway"_s) {
        QVERIFY(f.db()->execNonQuery(u"REVOKE ALL ON properties FROM "_s + role));
        QVERIFY(f.db()->execNonQuery(u"DROP ROLE "_s + role));
    } else if (kind == u"text"_s) {
        chosen = f.dataDir() + u"/chosen.dump"_s;
        makeFile(chosen, QDateTime::currentDateTime(), "name,city\nx,y\n");
    } else if (kind == u"file"_s) {
        chosen = f.dataDir() + u"/chosen.db"_s;
        QVERIFY(valueInFile(chosen, u"CREATE TABLE properties (id INTEGER)"_s).isNull());
    } else if (kind == u"damaged"_s) {
        QFile file(chosen);
        QVERIFY(file.resize(file.size() / 2));
    } else if (kind == u"foreign"_s) {
        chosen = f.dataDir() + u"/foreign.dump"_s;
        const QString name = u"tst_backup_foreign"_s;
        {
            QSqlDatabase other = QSqlDatabase::cloneDatabase(QSqlDatabase::database(), name);
            other.setDatabaseName(u"postgres"_s);
            QCOMPARE(ServerTools(other).dump(chosen), ServerTools::Outcome::Done);
        }
        QSqlDatabase::removeDatabase(name);
    }
    QTemporaryDir noTools;
    if (kind == u"missing"_s)
        qputenv("BELVARDINO_PG_BIN", noTools.path().toUtf8());
    const auto tools = qScopeGuard([] { qunsetenv("BELVARDINO_PG_BIN"); });
    f.addProperty(u"بعد النسخة"_s);
    const QStringList before = namesOf(f.db());
    const QStringList backups = manager.listBackups();

    QSignalSpy restored(&manager, &BackupManager::backupRestored);
    QCOMPARE(manager.restoreBackup(chosen), message.isEmpty());
    QCOMPARE(restored.count(), message.isEmpty() ? 1 : 0);
    QCOMPARE(errors.count(), message.isEmpty() ? 0 : 1);
    if (message.isEmpty()) {
        QCOMPARE(namesOf(f.db()), QStringList { u"في النسخة"_s });
        QVERIFY(manager.listBackups().contains(manager.lastSafetyBackup()));
        // Ids go on from the restored rows, through the same Database.
        QCOMPARE(f.addProperty(u"جديد"_s), 2);
    } else {
        QVERIFY2(errors.first().first().toString().startsWith(message),
            qPrintable(errors.first().first().toString()));
        QCOMPARE(namesOf(f.db()), before);
        // The data in use is saved first only once the chosen file has passed every check.
        QCOMPARE(manager.listBackups().size(), backups.size() + (kind == u"halfway"_s ? 1 : 0));
        QVERIFY(f.addProperty(u"جديد"_s) > 0);
    }
    QCOMPARE(
        f.scalar(u"SELECT COUNT(*) FROM pg_namespace WHERE nspname = 'bv_replaced'"_s).toInt(), 0);
    if (kind == u"missing"_s) {
        QVERIFY(!manager.createBackup());
        QCOMPARE(errors.constLast().first().toString(), BackupManager::serverToolsMissingText());
        QCOMPARE(manager.listBackups(), backups);
    }
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
