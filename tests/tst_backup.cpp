#include "backupmanager.h"
#include "testfixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

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
    void pruningSparesTheLiveDatabase();
    void restoreValidBackup();
    void restoreRefusesInvalidFile_data();
    void restoreRefusesInvalidFile();
};

void TestBackup::backupHoldsRowsStillInTheLog()
{
    TestFixture f;
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

void TestBackup::pruningSparesTheLiveDatabase()
{
    TestFixture f;
    BackupManager manager(f.dataDir());
    manager.setBackupPath(f.dataDir());
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < 30; ++i)
        makeFile(f.dataDir() + u"/b%1.db"_s.arg(i), now.addDays(-1 - i));
    {
        QFile live(f.dbPath());
        QVERIFY(live.open(QIODevice::ReadWrite));
        QVERIFY(live.setFileTime(now.addYears(-1), QFileDevice::FileModificationTime));
    }

    QVERIFY(manager.createBackup());
    QVERIFY(QFileInfo::exists(f.dbPath()));
    QVERIFY(!QFileInfo::exists(f.dataDir() + u"/b29.db"_s));
    QCOMPARE(manager.listBackups().size(), 30);
    QVERIFY(f.db()->execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s, { u"سالم"_s }) > 0);
}

void TestBackup::restoreValidBackup()
{
    TestFixture f;
    BackupManager manager(f.dataDir());
    const int kept = f.addProperty(u"قبل النسخة"_s);
    QVERIFY(manager.createBackup());
    const QString backup = manager.listBackups().first();
    f.addProperty(u"بعد النسخة"_s);

    QSignalSpy restored(&manager, &BackupManager::backupRestored);
    QVERIFY(manager.restoreBackup(backup));
    QCOMPARE(restored.count(), 1);

    // The running program now reads and writes the restored data through the same Database.
    QCOMPARE(f.scalar(u"SELECT group_concat(id) FROM properties"_s).toInt(), kept);
    QCOMPARE(f.scalar(u"PRAGMA foreign_keys"_s).toInt(), 1);
    QVERIFY(f.db()->execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s, { u"جديد"_s }) > 0);
}

void TestBackup::restoreRefusesInvalidFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << u"text"_s;
    QTest::newRow("foreign database") << u"foreign"_s;
    QTest::newRow("the live database itself") << u"live"_s;
}

void TestBackup::restoreRefusesInvalidFile()
{
    QFETCH(QString, kind);
    TestFixture f;
    BackupManager manager(f.dataDir());
    f.addProperty(u"الأصل"_s);
    const QString chosen = kind == u"live"_s ? f.dbPath() : f.dataDir() + u"/chosen.db"_s;

    if (kind == u"text"_s) {
        makeFile(chosen, QDateTime::currentDateTime(), "name,city\nx,y\n");
    } else if (kind == u"foreign"_s) {
        QVERIFY(valueInFile(chosen, u"CREATE TABLE notes (id INTEGER, body TEXT)"_s).isNull());
    }

    QSignalSpy restored(&manager, &BackupManager::backupRestored);
    QSignalSpy errors(&manager, &BackupManager::backupError);
    QVERIFY(!manager.restoreBackup(chosen));
    QCOMPARE(restored.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.count(u"properties"_s), 1);
    QVERIFY(f.db()->execInsert(u"INSERT INTO buyers (full_name) VALUES (?)"_s, { u"مشتر"_s }) > 0);
    QCOMPARE(QDir(f.dataDir()).entryList({ u"belvardino.db.*"_s }, QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
