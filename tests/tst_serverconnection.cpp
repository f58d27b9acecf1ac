#include "database.h"
#include "listcatalog.h"
#include "pagedlistmodel.h"
#include "propertymodel.h"
#include "serversettings.h"
#include "tenantmodel.h"
#include "transactionguard.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What a URL must carry intact: its own delimiters, a percent run, Arabic, a space.
const QString kPassword = u"s3cret/w:rd%2F?#@ كلمة"_s;

QString serverPrograms()
{
    QStringList versions
        = QDir(u"/usr/lib/postgresql"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
        [](const QString &a, const QString &b) { return a.toDouble() < b.toDouble(); });
    return versions.isEmpty() ? QString() : u"/usr/lib/postgresql/"_s + versions.last() + u"/bin"_s;
}

} // namespace

// Against a server of the test's own, in a temporary folder, that asks for a password (the
// test command's shared one trusts everyone) and that the tests stop and start again.
class TestServerConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void outcome_data();
    void outcome();
    void testButtonAnswersInArabic();
    void passwordNeverLandsInAFile();
    void lostConnection_data();
    void lostConnection();
    void othersHearCommittedWrites();

private:
    bool run(const QString &program, const QStringList &arguments);
    bool start();
    bool stop();
    // A fresh database on the server, and the URL that reaches it.
    QString freshDatabase();
    QString url(const QString &database, const QString &password = kPassword) const;

    QTemporaryDir m_dir;
    QString m_bin;
    int m_serial = 0;
};

bool TestServerConnection::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    // The server refuses to run as root.
    if (geteuid() == 0)
        process.start(
            u"runuser"_s, QStringList { u"-u"_s, u"postgres"_s, u"--"_s, program } + arguments);
    else
        process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

bool TestServerConnection::start()
{
    return run(m_bin + u"/pg_ctl"_s,
        { u"-D"_s, m_dir.path() + u"/data"_s, u"-l"_s, m_dir.path() + u"/server.log"_s, u"-w"_s,
            u"-s"_s, u"-o"_s,
            u"-c listen_addresses='' -k %1 -c fsync=off -c synchronous_commit=off"_s.arg(
                m_dir.path()),
            u"start"_s });
}

bool TestServerConnection::stop()
{
    return run(m_bin + u"/pg_ctl"_s,
        { u"-D"_s, m_dir.path() + u"/data"_s, u"-w"_s, u"-s"_s, u"-m"_s, u"fast"_s, u"stop"_s });
}

void TestServerConnection::initTestCase()
{
    m_bin = serverPrograms();
    if (m_bin.isEmpty() || !QFile::exists(m_bin + u"/initdb"_s))
        QSKIP("PostgreSQL's server programs are not installed");
    QVERIFY(m_dir.isValid());
    QFile secret(m_dir.path() + u"/password"_s);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write(kPassword.toUtf8());
    secret.close();
    if (geteuid() == 0)
        QCOMPARE(QProcess::execute(u"chown"_s, { u"-R"_s, u"postgres"_s, m_dir.path() }), 0);
    QVERIFY(run(m_bin + u"/initdb"_s,
        { u"-D"_s, m_dir.path() + u"/data"_s, u"-U"_s, u"belvardino"_s, u"-A"_s, u"scram-sha-256"_s,
            u"--pwfile"_s, secret.fileName(), u"-E"_s, u"UTF8"_s, u"--no-locale"_s,
            u"--no-sync"_s }));
    QVERIFY(start());
}

void TestServerConnection::cleanupTestCase()
{
    if (QFile::exists(m_dir.path() + u"/data/postmaster.pid"_s))
        stop();
}

QString TestServerConnection::url(const QString &database, const QString &password) const
{
    return ServerSettings::url(m_dir.path(), 5432, database, u"belvardino"_s, password);
}

QString TestServerConnection::freshDatabase()
{
    const QString name = u"books_%1"_s.arg(++m_serial);
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(u"QPSQL"_s, u"admin"_s);
        Database::applyServerUrl(admin, url(u"postgres"_s));
        if (admin.open())
            QSqlQuery(admin).exec(u"CREATE DATABASE "_s + name);
        admin.close();
    }
    QSqlDatabase::removeDatabase(u"admin"_s);
    return url(name);
}

void TestServerConnection::outcome_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("minimumVersion");
    QTest::addColumn<ServerSettings::Outcome>("expected");
    QTemporaryDir nobody;
    const int least = ServerSettings::kMinimumVersion;
    QTest::newRow("connected") << url(u"postgres"_s) << least << ServerSettings::Outcome::Connected;
    QTest::newRow("wrong password")
        << url(u"postgres"_s, u"guess"_s) << least << ServerSettings::Outcome::WrongPassword;
    QTest::newRow("no password") << url(u"postgres"_s, QString()) << least
                                 << ServerSettings::Outcome::WrongPassword;
    QTest::newRow("database missing")
        << url(u"no_such_books"_s) << least << ServerSettings::Outcome::DatabaseMissing;
    QTest::newRow("nothing listening") << ServerSettings::url(
        u"/nonexistent/socket/folder"_s, 5432, u"postgres"_s, u"belvardino"_s, kPassword)
                                       << least << ServerSettings::Outcome::Unreachable;
    QTest::newRow("no such host") << ServerSettings::url(
        u"no-such-host.invalid"_s, 5432, u"postgres"_s, u"belvardino"_s)
                                  << least << ServerSettings::Outcome::Unreachable;
    QTest::newRow("older than required")
        << url(u"postgres"_s) << 990000 << ServerSettings::Outcome::TooOld;
}

void TestServerConnection::outcome()
{
    QFETCH(QString, address);
    QFETCH(int, minimumVersion);
    QFETCH(ServerSettings::Outcome, expected);
    QString detail;
    QCOMPARE(ServerSettings::check(address, &detail, minimumVersion), expected);
}

void TestServerConnection::testButtonAnswersInArabic()
{
    QTemporaryDir data;
    Database db;
    ServerSettings where(data.path(), &db);
    QSignalSpy tested(&where, &ServerSettings::tested);
    where.testConnection(m_dir.path(), 5432, u"postgres"_s, u"belvardino"_s, u"guess"_s);
    QTRY_COMPARE_WITH_TIMEOUT(tested.count(), 1, 10000);
    QCOMPARE(tested.at(0).at(0).toBool(), false);
    QCOMPARE(tested.at(0).at(1).toString(),
        ServerSettings::outcomeText(ServerSettings::Outcome::WrongPassword));
    QVERIFY(!where.isTesting());
}

// Without a secret store (no desktop session) the choice is refused with the reason, and the
// password is written nowhere.
void TestServerConnection::passwordNeverLandsInAFile()
{
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QTemporaryDir data;
    Database db;
    ServerSettings where(data.path(), &db);
    QVERIFY(!where.chooseServer(m_dir.path(), 5432, u"books"_s, u"belvardino"_s, kPassword));
    QVERIFY(where.lastError().startsWith(u"لا تتوفر على هذا الجهاز خزنة كلمات السر"_s));
    QVERIFY(!where.useServer());
    QVERIFY(!ServerSettings(data.path(), &db).useServer());
    QDirIterator files(data.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains(kPassword.toUtf8()));
    }
}

void TestServerConnection::lostConnection_data()
{
    QTest::addColumn<bool>("insideTransaction");
    QTest::newRow("between operations") << false;
    QTest::newRow("before a transaction commits") << true;
}

// A write while the server is down is reported failed and stores nothing; the connection comes
// back by itself once the server does.
void TestServerConnection::lostConnection()
{
    QFETCH(bool, insideTransaction);
    Database db;
    QVERIFY(db.initialize(freshDatabase()));
    TenantModel tenants(&db);
    QVERIFY(tenants.add(u"سالم"_s, u"1"_s, {}, {}, {}) > 0);
    QSignalSpy connection(&db, &Database::connectedChanged);
    QSignalSpy changed(&tenants, &ModelBase::dataChanged);

    if (insideTransaction) {
        TransactionGuard guard(&db);
        QVERIFY(guard.isActive());
        QVERIFY(db.execInsert(u"INSERT INTO tenants (full_name) VALUES ('مازن')"_s) > 0);
        QVERIFY(stop());
        QVERIFY(!guard.commit());
    } else {
        QVERIFY(stop());
        QCOMPARE(tenants.add(u"مازن"_s, u"2"_s, {}, {}, {}), -1);
    }
    QVERIFY(!db.isConnected());
    QTRY_COMPARE(connection.count(), 1);
    // Refused at once while the server is away, without waiting on it.
    QCOMPARE(tenants.add(u"وليد"_s, u"3"_s, {}, {}, {}), -1);
    QCOMPARE(changed.count(), 0);

    QVERIFY(start());
    QTRY_VERIFY_WITH_TIMEOUT(db.isConnected(), 15000);
    QCOMPARE(connection.count(), 2);
    QVERIFY(tenants.add(u"هالة"_s, u"4"_s, {}, {}, {}) > 0);
    QCOMPARE(db.execQuery(u"SELECT full_name FROM tenants ORDER BY id"_s).size(), 2);
}

// A commit on one connection reloads the other's open list within a second; a rolled back
// write is never announced, and a connection ignores its own.
void TestServerConnection::othersHearCommittedWrites()
{
    const QString address = freshDatabase();
    Database one;
    Database two;
    QVERIFY(one.initialize(address, u"one"_s));
    QVERIFY(two.initialize(address, u"two"_s));
    ListCatalog catalog(&two);
    PagedListModel *list = catalog.open(u"tenants"_s, &catalog);
    list->setActive(true);
    QCOMPARE(list->count(), 0);
    QSignalSpy heardByOne(&one, &Database::changedElsewhere);
    QSignalSpy heardByTwo(&two, &Database::changedElsewhere);

    {
        TransactionGuard undone(&one);
        QVERIFY(one.execInsert(u"INSERT INTO properties (name) VALUES ('برج')"_s) > 0);
    }
    TenantModel tenants(&one);
    QVERIFY(tenants.add(u"سالم"_s, u"1"_s, {}, {}, {}) > 0);
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), 1, 1000);
    QCOMPARE(heardByTwo.count(), 1);
    QCOMPARE(heardByTwo.at(0).at(0).toStringList(), QStringList { u"tenants"_s });

    PropertyModel properties(&two);
    QVERIFY(properties.add(u"برج"_s, u"residential"_s, {}, {}, {}) > 0);
    QTRY_COMPARE_WITH_TIMEOUT(heardByOne.count(), 1, 1000);
    QVERIFY(!heardByOne.at(0).at(0).toStringList().contains(u"tenants"_s));
    QVERIFY(heardByOne.at(0).at(0).toStringList().contains(u"properties"_s));
}

QTEST_GUILESS_MAIN(TestServerConnection)
#include "tst_serverconnection.moc"
