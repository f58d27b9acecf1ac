#include "authcontroller.h"
#include "backupmanager.h"
#include "datadirlock.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "seeddata.h"
#include "servertools.h"
#include "testfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Runs the real belvardino-cli on temporary data directories.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
    void whileLocked_data();
    void whileLocked();
    void chargedOnce_data();
    void chargedOnce();
    void serviceRun_data();
    void serviceRun();
    void checkFindsInconsistencies_data();
    void checkFindsInconsistencies();
    void restore_data();
    void restore();
    void exportCsvWritesEveryTable();
    void reports_data();
    void reports();
    void import_data();
    void import();
    void resetPassword_data();
    void resetPassword();
    void demoFillsOnlyAnEmptyDirectory();
    void helpForEveryCommand();
    void toServerAndBack();

private:
    struct Result
    {
        int code = -1;
        QString out;
        QString err;
    };
    static Result run(const QString &dataDir, const QStringList &arguments,
        const QByteArray &input = QByteArray());
    // A count read through a connection of its own, which sees the file now at the path (a
    // restore replaces it under the fixture's connection).
    static int countIn(const QString &dbPath, const QString &table);
    // A property with a rented unit and a tenant on an active lease; returns the tenant.
    static int leasedTenant(TestFixture &fixture, double rent = 1200);
};

TestCli::Result TestCli::run(
    const QString &dataDir, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The default data directory of a stray run must never be the user's own.
    env.insert(u"XDG_DATA_HOME"_s, QDir(dataDir).filePath(u"xdg"_s));
    process.setProcessEnvironment(env);
    QStringList options;
    if (!dataDir.isEmpty())
        options << u"--data-dir"_s << dataDir;
    // A fixture on a server: the command works on the same database.
    const QSqlDatabase fixture
        = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    if (!dataDir.isEmpty() && fixture.isOpen() && fixture.driverName() == u"QPSQL"_s)
        options << u"--database"_s << ServerTools::urlOf(fixture);
    process.start(QStringLiteral(BELVARDINO_CLI), options + arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000))
        return {};
    Result result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

int TestCli::countIn(const QString &dbPath, const QString &table)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"tst_cli_count"_s);
        db.setDatabaseName(dbPath);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(u"SELECT COUNT(*) FROM "_s + table) && query.next())
                count = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(u"tst_cli_count"_s);
    return count;
}

int TestCli::leasedTenant(TestFixture &fixture, double rent)
{
    const int property = fixture.addProperty();
    const int unit = fixture.addUnit(property, u"101"_s, rent, u"rented"_s);
    const int tenant = fixture.addTenant(u"سامي حداد"_s, u"900100200"_s);
    const QDate today = QDate::currentDate();
    fixture.addLease(unit, tenant, today.addMonths(-6), today.addMonths(6), rent);
    return tenant;
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList {};
    QTest::newRow("unknown command") << QStringList { u"late-payments"_s };
    QTest::newRow("unknown global option") << QStringList { u"--verbose"_s, u"check"_s };
    QTest::newRow("unknown command option") << QStringList { u"check"_s, u"--fast"_s };
    QTest::newRow("month 13") << QStringList { u"rent-run"_s, u"--period"_s, u"2026-13"_s };
    QTest::newRow("period without leading zero")
        << QStringList { u"rent-run"_s, u"--period"_s, u"2026-3"_s };
    QTest::newRow("period missing") << QStringList { u"rent-run"_s };
    QTest::newRow("late fees on an impossible day")
        << QStringList { u"late-fees"_s, u"--date"_s, u"2026-02-30"_s };
    QTest::newRow("service without id")
        << QStringList { u"service-run"_s, u"--period"_s, u"2026-03"_s, u"--property"_s, u"1"_s };
    QTest::newRow("negative amount") << QStringList { u"service-run"_s, u"--period"_s, u"2026-03"_s,
        u"--property"_s, u"1"_s, u"--service"_s, u"3"_s, u"--amount"_s, u"-5"_s };
    QTest::newRow("unknown report")
        << QStringList { u"report"_s, u"rent-roll"_s, u"--pdf"_s, u"x.pdf"_s };
    QTest::newRow("impossible date") << QStringList { u"report"_s, u"cheques"_s, u"--from"_s,
        u"2026-02-30"_s, u"--to"_s, u"2026-03-01"_s, u"--pdf"_s, u"x.pdf"_s };
    QTest::newRow("range backwards") << QStringList { u"report"_s, u"cheques"_s, u"--from"_s,
        u"2026-03-02"_s, u"--to"_s, u"2026-03-01"_s, u"--pdf"_s, u"x.pdf"_s };
    QTest::newRow("statement without id")
        << QStringList { u"report"_s, u"tenant-statement"_s, u"--pdf"_s, u"x.pdf"_s };
    QTest::newRow("import of contracts")
        << QStringList { u"import"_s, u"contracts"_s, u"rows.tsv"_s };
    QTest::newRow("property for tenants")
        << QStringList { u"import"_s, u"tenants"_s, u"rows.tsv"_s, u"--property"_s, u"1"_s };
    QTest::newRow("scale zero") << QStringList { u"demo"_s, u"--scale"_s, u"0"_s };
    QTest::newRow("password on the command line")
        << QStringList { u"users"_s, u"reset-password"_s, u"admin"_s, u"secret"_s };
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    TestFixture fixture;
    leasedTenant(fixture);
    const int invoices = fixture.count(u"invoices"_s);

    const Result result = run(fixture.dataDir(), arguments);
    QCOMPARE(result.code, 2);
    QVERIFY(!result.err.isEmpty());
    QCOMPARE(result.out, QString());
    QCOMPARE(fixture.count(u"invoices"_s), invoices);
}

void TestCli::whileLocked_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("prints"); // -1: a write, refused while the application holds the data
    const QString period = QDate::currentDate().toString(u"yyyy-MM"_s);
    QTest::newRow("rent-run") << QStringList { u"rent-run"_s, u"--period"_s, period } << -1;
    QTest::newRow("service-run") << QStringList { u"service-run"_s, u"--period"_s, period,
        u"--service"_s, u"3"_s, u"--property"_s, u"1"_s }
                                 << -1;
    QTest::newRow("late-fees") << QStringList { u"late-fees"_s } << -1;
    QTest::newRow("import") << QStringList { u"import"_s, u"tenants"_s, u"@rows"_s } << -1;
    QTest::newRow("restore") << QStringList { u"restore"_s, u"@backup"_s } << -1;
    QTest::newRow("demo") << QStringList { u"demo"_s } << -1;
    QTest::newRow("reset-password")
        << QStringList { u"users"_s, u"reset-password"_s, u"admin"_s } << -1;
    QTest::newRow("check") << QStringList { u"check"_s } << 0;
    QTest::newRow("backup") << QStringList { u"backup"_s, u"--to"_s, u"@out"_s } << 1;
    QTest::newRow("export-csv") << QStringList { u"export-csv"_s, u"--to"_s, u"@out"_s } << 1;
    QTest::newRow("report") << QStringList { u"report"_s, u"financial-summary"_s, u"--pdf"_s,
        u"@out/summary.pdf"_s }
                            << 1;
    QTest::newRow("users list") << QStringList { u"users"_s, u"list"_s } << 1;
    QTest::newRow("export-journal") << QStringList { u"export-journal"_s, u"@out/books.journal"_s,
        u"--from"_s, u"2000-01-01"_s }
                                    << 1;
    QTest::newRow("services") << QStringList { u"services"_s } << 1;
}

// Writes are refused while the application holds the data directory; reads run beside it.
void TestCli::whileLocked()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, prints);
    TestFixture fixture;
    leasedTenant(fixture);
    QTemporaryDir files;
    QTemporaryDir out;
    QFile rows(files.filePath(u"rows.tsv"_s));
    QVERIFY(rows.open(QIODevice::WriteOnly));
    rows.write("ليلى منصور\t400500600\t0599000000\n");
    rows.close();
    BackupManager backups(fixture.dataDir());
    QVERIFY(backups.createBackupIn(files.path()));
    const QString backup
        = files.filePath(QDir(files.path()).entryList({ u"*.db"_s, u"*.dump"_s }).value(0));
    arguments.replaceInStrings(u"@rows"_s, rows.fileName());
    arguments.replaceInStrings(u"@backup"_s, backup);
    arguments.replaceInStrings(u"@out"_s, out.path());
    const int invoices = fixture.count(u"invoices"_s);
    const int tenants = fixture.count(u"tenants"_s);
    const int properties = fixture.count(u"properties"_s);

    DataDirLock lock(fixture.dataDir());
    QVERIFY(lock.tryLock());
    const Result result = run(fixture.dataDir(), arguments, "changed\nchanged\n");
    if (prints < 0) {
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"in use"_s), qPrintable(result.err));
    } else {
        QVERIFY2(result.code == 0, qPrintable(result.err));
        QCOMPARE(!result.out.isEmpty(), prints > 0);
        // Not on a terminal: no progress, nothing on standard error.
        QCOMPARE(result.err, QString());
    }
    QCOMPARE(fixture.count(u"invoices"_s), invoices);
    QCOMPARE(fixture.count(u"tenants"_s), tenants);
    QCOMPARE(fixture.count(u"properties"_s), properties);
    AuthController auth(fixture.db());
    QVERIFY(auth.login(u"admin"_s, SeedData::adminPassword()));
}

void TestCli::chargedOnce_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("table");
    QTest::addColumn<qint64>("owed"); // cents the tenant owes after the first run
    QTest::newRow("rent run, once per month")
        << QStringList { u"rent-run"_s, u"--period"_s, QDate::currentDate().toString(u"yyyy-MM"_s) }
        << u"invoices"_s << qint64(125050);
    QTest::newRow("late fees, once per invoice")
        << QStringList { u"late-fees"_s, u"--date"_s, QDate::currentDate().toString(Qt::ISODate) }
        << u"late_fees"_s << qint64(3000);
}

// A second run of the same work finds nothing left to charge.
void TestCli::chargedOnce()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, table);
    QFETCH(qint64, owed);
    TestFixture fixture;
    const int tenant = leasedTenant(fixture, 1250.5);
    if (table == u"late_fees"_s) {
        fixture.addInvoice(
            tenant, 0, QDate::currentDate().addMonths(-2).toString(u"yyyy-MM"_s), 1000);
        const Result off = run(fixture.dataDir(), arguments);
        QCOMPARE(off.code, 1);
        QCOMPARE(fixture.count(table), 0);
        QVERIFY(
            fixture.db()->execNonQuery(u"INSERT INTO settings (key, value) VALUES "
                                       "('late_fee_enabled', '1'), ('late_fee_value', '30')"_s));
    }

    const Result first = run(fixture.dataDir(), arguments);
    QCOMPARE(first.code, 0);
    QVERIFY2(first.out.startsWith(u"1 "_s), qPrintable(first.out));
    QCOMPARE(fixture.count(table), 1);
    QCOMPARE(Money::cents(fixture.tenantBalance(tenant)), owed);

    const Result again = run(fixture.dataDir(), arguments);
    QCOMPARE(again.code, 0);
    QVERIFY2(again.out.startsWith(u"0 "_s), qPrintable(again.out));
    QCOMPARE(fixture.count(table), 1);
}

void TestCli::serviceRun_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("totalCents");
    // The seeded catalogue: 1 water and 2 electricity by usage, 3 cleaning at 100 a month.
    QTest::newRow("fixed service at its rate")
        << QStringList { u"--service"_s, u"3"_s } << 0 << qint64(10000);
    QTest::newRow("amount given") << QStringList { u"--service"_s, u"3"_s, u"--amount"_s,
        u"37.25"_s } << 0 << qint64(3725);
    QTest::newRow("usage service needs an amount")
        << QStringList { u"--service"_s, u"1"_s } << 2 << qint64(0);
    QTest::newRow("usage service with an amount")
        << QStringList { u"--service"_s, u"1"_s, u"--amount"_s, u"60"_s } << 0 << qint64(6000);
    QTest::newRow("unknown service") << QStringList { u"--service"_s, u"99"_s } << 1 << qint64(0);
    QTest::newRow("unknown property")
        << QStringList { u"--service"_s, u"3"_s, u"--property"_s, u"99"_s } << 1 << qint64(0);
    QTest::newRow("unknown currency")
        << QStringList { u"--service"_s, u"3"_s, u"--currency"_s, u"XYZ"_s } << 1 << qint64(0);
}

void TestCli::serviceRun()
{
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(qint64, totalCents);
    TestFixture fixture;
    const int tenant = leasedTenant(fixture);
    const QString property = fixture.scalar(u"SELECT id FROM properties"_s).toString();
    QStringList arguments { u"service-run"_s, u"--period"_s,
        QDate::currentDate().toString(u"yyyy-MM"_s) };
    if (!options.contains(u"--property"_s))
        arguments << u"--property"_s << property;

    const Result result = run(fixture.dataDir(), arguments + options);
    QVERIFY2(result.code == code, qPrintable(result.err));
    QCOMPARE(fixture.count(u"invoices"_s), totalCents > 0 ? 1 : 0);
    QCOMPARE(Money::cents(fixture.tenantBalance(tenant)), totalCents);
}

void TestCli::checkFindsInconsistencies_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("finding");
    QTest::newRow("consistent") << QString() << QString();
    QTest::newRow("tenant balance off by a cent")
        << u"UPDATE tenants SET balance=balance+0.01"_s << u"tenant"_s;
    QTest::newRow("paid and balance miss the total")
        << u"UPDATE invoices SET paid_amount=paid_amount+5"_s << u"invoice"_s;
    QTest::newRow("installment changed")
        << u"UPDATE installments SET installment_amount=installment_amount+1 WHERE id=(SELECT MIN(id) FROM installments)"_s
        << u"sale of unit"_s;
    QTest::newRow("journal line changed")
        << u"UPDATE journal_lines SET debit=debit+10 WHERE debit>0"_s << u"journal entry"_s;
    QTest::newRow("payment of a missing tenant")
        << u"UPDATE payments SET tenant_id=9999"_s << u"foreign key"_s;
    QTest::newRow("sub-cent drift is no finding")
        << u"UPDATE tenants SET balance=balance+0.001"_s << QString();
}

void TestCli::checkFindsInconsistencies()
{
    QFETCH(QString, damage);
    QFETCH(QString, finding);
    TestFixture fixture;
    const int tenant = leasedTenant(fixture);
    InvoiceModel invoices(fixture.db());
    QCOMPARE(invoices.generateAllRent(QDate::currentDate().toString(u"yyyy-MM"_s)), 1);
    const int invoice = fixture.scalar(u"SELECT id FROM invoices"_s).toInt();
    PaymentModel payments(fixture.db());
    QVERIFY(payments.add(invoice, tenant, 400.1, u"cash"_s,
                QDate::currentDate().toString(Qt::ISODate), QString(), 1)
        > 0);
    const int unit = fixture.addUnit(fixture.scalar(u"SELECT id FROM properties"_s).toInt(),
        u"102"_s, 0, u"available"_s, 100, 1000);
    InstallmentModel sales(fixture.db());
    QCOMPARE(sales.sellUnit(fixture.addBuyer(u"مريم عودة"_s), unit, 1000, 100, 7,
                 QDate::currentDate().toString(Qt::ISODate), 1, QString(), QString()),
        1);
    const int entry
        = fixture.insert(u"INSERT INTO journal_entries (entry_date, description) VALUES (?, ?)"_s,
            { QDate::currentDate().toString(Qt::ISODate), u"تحصيل"_s });
    fixture.insert(u"INSERT INTO journal_lines (entry_id, account_id, debit, credit) VALUES "
                   "(?, (SELECT MIN(id) FROM accounts), 0.1, 0), "
                   "(?, (SELECT MIN(id) FROM accounts), 0.2, 0), "
                   "(?, (SELECT MAX(id) FROM accounts), 0, 0.3)"_s,
        { entry, entry, entry });
    if (!damage.isEmpty() && fixture.db()->isServer()) {
        if (finding.startsWith(u"foreign key"_s))
            QSKIP("a server refuses a row whose parent is missing");
        QVERIFY(fixture.db()->execNonQuery(damage));
    } else if (!damage.isEmpty()) {
        // The damage is what a stray edit does, foreign keys not enforced.
        QVERIFY(fixture.db()->execNonQuery(u"PRAGMA foreign_keys=OFF"_s));
        QVERIFY(fixture.db()->execNonQuery(damage));
        QVERIFY(fixture.db()->execNonQuery(u"PRAGMA foreign_keys=ON"_s));
    }

    const Result result = run(fixture.dataDir(), { u"check"_s });
    if (finding.isEmpty()) {
        QVERIFY2(result.code == 0, qPrintable(result.out + result.err));
        QCOMPARE(result.out, QString());
    } else {
        QCOMPARE(result.code, 1);
        // Only the damaged rule reports; every other one still holds.
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty(), qPrintable(result.err));
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(finding), qPrintable(result.out));
    }
}

void TestCli::restore_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file there
    QTest::addColumn<bool>("restores");
    QTest::newRow("a backup the command made") << QByteArray("@backup") << true;
    QTest::newRow("text file") << QByteArray("name,phone\nسامي,0599\n") << false;
    QTest::newRow("SQLite header then garbage")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(4096, 'x') << false;
    QTest::newRow("missing file") << QByteArray() << false;
}

void TestCli::restore()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, restores);
    TestFixture fixture;
    leasedTenant(fixture);
    QTemporaryDir files;
    QString path = files.filePath(u"belvardino_2026-01-01_00-00-00.db"_s);
    if (content == "@backup") {
        const Result backup = run(fixture.dataDir(), { u"backup"_s, u"--to"_s, files.path() });
        QCOMPARE(backup.code, 0);
        path = backup.out.trimmed();
        QVERIFY2(QFileInfo(path).isFile() && path.startsWith(files.path()), qPrintable(path));
    } else if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    fixture.addTenant(u"نور جابر"_s, u"900100300"_s);

    const Result result = run(fixture.dataDir(), { u"restore"_s, path });
    QVERIFY2(result.code == (restores ? 0 : 1), qPrintable(result.err));
    if (!restores)
        QVERIFY(!result.err.isEmpty());
    if (fixture.db()->isServer()) {
        QCOMPARE(fixture.count(u"tenants"_s), restores ? 1 : 2);
        QCOMPARE(fixture.count(u"contracts"_s), 1);
        return;
    }
    QCOMPARE(countIn(fixture.dbPath(), u"tenants"_s), restores ? 1 : 2);
    QCOMPARE(countIn(fixture.dbPath(), u"contracts"_s), 1);
}

void TestCli::exportCsvWritesEveryTable()
{
    TestFixture fixture;
    leasedTenant(fixture);
    fixture.addTenant(u"هالة قاسم, الابنة"_s, u"900100301"_s);
    QTemporaryDir out;
    const QString folder = out.filePath(u"csv"_s);

    const Result result = run(fixture.dataDir(), { u"export-csv"_s, u"--to"_s, folder });
    QCOMPARE(result.code, 0);
    QCOMPARE(result.out.trimmed(), folder);
    QCOMPARE(QDir(folder).entryList({ u"*.csv"_s }).size(), BackupManager::exportedTables().size());
    QFile tenants(folder + u"/tenants.csv"_s);
    QVERIFY(tenants.open(QIODevice::ReadOnly));
    // A header and one line per tenant; the comma inside a name stays inside its field.
    QCOMPARE(QString::fromUtf8(tenants.readAll()).split(u'\n', Qt::SkipEmptyParts).size(), 3);
}

void TestCli::reports_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("code");
    QTest::newRow("financial summary") << u"financial-summary"_s << QString() << 0;
    QTest::newRow("arrears") << u"arrears"_s << QString() << 0;
    QTest::newRow("cheques") << u"cheques"_s << QString() << 0;
    QTest::newRow("tenant statement") << u"tenant-statement"_s << u"@tenant"_s << 0;
    QTest::newRow("buyer statement") << u"buyer-statement"_s << u"@buyer"_s << 0;
    QTest::newRow("contractor statement") << u"contractor-statement"_s << u"@contractor"_s << 0;
    QTest::newRow("unknown tenant") << u"tenant-statement"_s << u"999"_s << 1;
    QTest::newRow("unknown buyer") << u"buyer-statement"_s << u"999"_s << 1;
}

void TestCli::reports()
{
    QFETCH(QString, name);
    QFETCH(QString, id);
    QFETCH(int, code);
    TestFixture fixture;
    const int tenant = leasedTenant(fixture);
    InvoiceModel invoices(fixture.db());
    QCOMPARE(invoices.generateAllRent(QDate::currentDate().toString(u"yyyy-MM"_s)), 1);
    const int buyer = fixture.addBuyer(u"مريم عودة"_s);
    fixture.addInstallment(buyer,
        fixture.addUnit(fixture.scalar(u"SELECT id FROM properties"_s).toInt(), u"102"_s), 5000,
        QDate::currentDate().addMonths(-1));
    fixture.addCheque(u"700100"_s, 2500, QDate::currentDate());
    const int contractor = fixture.insert(
        u"INSERT INTO contractors (name, trade) VALUES (?, ?)"_s, { u"مقاول البناء"_s, u"دهان"_s });
    fixture.addExpense(fixture.scalar(u"SELECT id FROM properties"_s).toInt(), 0, 800,
        QDate::currentDate(), contractor);
    id.replace(u"@tenant"_s, QString::number(tenant));
    id.replace(u"@buyer"_s, QString::number(buyer));
    id.replace(u"@contractor"_s, QString::number(contractor));
    QTemporaryDir out;
    const QString pdf = out.filePath(u"report.pdf"_s);
    QStringList arguments { u"report"_s, name, u"--pdf"_s, pdf };
    if (!id.isEmpty())
        arguments << u"--id"_s << id;

    const Result result = run(fixture.dataDir(), arguments);
    QVERIFY2(result.code == code, qPrintable(result.err));
    QFile file(pdf);
    if (code != 0) {
        QVERIFY(!file.exists());
        return;
    }
    QCOMPARE(result.out.trimmed(), pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(5), QByteArray("%PDF-"));
}

void TestCli::import_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("added");
    QTest::newRow("tenants, one row short")
        << u"tenants"_s
        << QByteArray(
               "ليلى منصور\t400500600\t0599000001\tنابلس\r\nعمر جابر\t400500601\t0599000002\n"
               "ناقص\t400500602\n")
        << QStringList() << 0 << u"tenants"_s << 2;
    QTest::newRow("buyers") << u"buyers"_s << QByteArray("دانة سلامة\t500600700\t0598000001\n")
                            << QStringList() << 0 << u"buyers"_s << 1;
    QTest::newRow("units into a property")
        << u"units"_s << QByteArray("201\t120\t300000\t1500\n202\t95\t250000\n")
        << QStringList { u"--property"_s, u"@property"_s } << 0 << u"units"_s << 2;
    QTest::newRow("units into a missing property")
        << u"units"_s << QByteArray("201\t120\t300000\t1500\n")
        << QStringList { u"--property"_s, u"999"_s } << 1 << u"units"_s << 0;
    QTest::newRow("nothing importable")
        << u"tenants"_s << QByteArray("اسم فقط\n") << QStringList() << 1 << u"tenants"_s << 0;
    // A row that would import if the broken bytes were read leniently.
    QTest::newRow("not UTF-8") << u"tenants"_s
                               << QByteArray("ليلى منصور\t400500600\t0599\xff\xfe\n")
                               << QStringList() << 1 << u"tenants"_s << 0;
    QTest::newRow("missing file") << u"tenants"_s << QByteArray() << QStringList() << 1
                                  << u"tenants"_s << 0;
}

void TestCli::import()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, table);
    QFETCH(int, added);
    TestFixture fixture;
    leasedTenant(fixture);
    options.replaceInStrings(
        u"@property"_s, fixture.scalar(u"SELECT id FROM properties"_s).toString());
    QTemporaryDir files;
    const QString path = files.filePath(u"rows.tsv"_s);
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const int before = fixture.count(table);

    const Result result = run(fixture.dataDir(), QStringList { u"import"_s, kind, path } + options);
    QVERIFY2(result.code == code, qPrintable(result.err));
    QCOMPARE(fixture.count(table) - before, added);
}

void TestCli::resetPassword_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("changed");
    QTest::newRow("twice the same")
        << u"admin"_s << QByteArray("جديدة-2026\nجديدة-2026\n") << 0 << true;
    QTest::newRow("the two differ")
        << u"admin"_s << QByteArray("جديدة-2026\nجديدة-2027\n") << 1 << false;
    QTest::newRow("empty") << u"admin"_s << QByteArray("\n\n") << 1 << false;
    QTest::newRow("seven characters")
        << u"admin"_s << QByteArray("جديدة-2\nجديدة-2\n") << 1 << false;
    QTest::newRow("input ends early") << u"admin"_s << QByteArray("جديدة-2026\n") << 1 << false;
    QTest::newRow("unknown user") << u"nobody"_s << QByteArray("جديدة-2026\nجديدة-2026\n") << 1
                                  << false;
}

void TestCli::resetPassword()
{
    QFETCH(QString, user);
    QFETCH(QByteArray, input);
    QFETCH(int, code);
    QFETCH(bool, changed);
    TestFixture fixture;

    const Result result = run(fixture.dataDir(), { u"users"_s, u"reset-password"_s, user }, input);
    QVERIFY2(result.code == code, qPrintable(result.err));
    AuthController auth(fixture.db());
    QCOMPARE(auth.login(u"admin"_s, u"جديدة-2026"_s), changed);
    QCOMPARE(auth.login(u"admin"_s, SeedData::adminPassword()), !changed);
}

void TestCli::demoFillsOnlyAnEmptyDirectory()
{
    QTemporaryDir dir;
    const QString dataDir = dir.filePath(u"new"_s);
    const Result filled = run(dataDir, { u"demo"_s });
    QVERIFY2(filled.code == 0, qPrintable(filled.err));
    QCOMPARE(filled.err, QString());
    const int properties = countIn(dataDir + u"/belvardino.db"_s, u"properties"_s);
    QVERIFY(properties > 0);

    // The portfolio is written through the business rules, so it passes the check.
    const Result checked = run(dataDir, { u"check"_s });
    QVERIFY2(checked.code == 0, qPrintable(checked.out));

    const Result again = run(dataDir, { u"demo"_s });
    QCOMPARE(again.code, 1);
    QCOMPARE(countIn(dataDir + u"/belvardino.db"_s, u"properties"_s), properties);
}

void TestCli::helpForEveryCommand()
{
    const Result help = run(QString(), { u"--help"_s });
    QCOMPARE(help.code, 0);
    const QStringList lines = help.out.split(u'\n');
    const qsizetype first = lines.indexOf(u"Commands:"_s) + 1;
    QVERIFY(first > 0);
    int commands = 0;
    for (qsizetype i = first; i < lines.size() && lines.at(i).startsWith(u"  "_s); ++i) {
        const QString name = lines.at(i).trimmed().section(u' ', 0, 0);
        const Result own = run(QString(), { name, u"--help"_s });
        QVERIFY2(own.code == 0 && own.out.contains(u"Usage:"_s), qPrintable(name));
        ++commands;
    }
    QVERIFY(commands >= 10);

    const Result version = run(QString(), { u"--version"_s });
    QCOMPARE(version.code, 0);
    QVERIFY(version.out.startsWith(u"belvardino-cli "_s));
}

// A file's portfolio to an empty server database and from there to a new file; each copy is
// refused where it would overwrite something.
void TestCli::toServerAndBack()
{
    if (TestFixture::serverUrl().isEmpty())
        QSKIP("needs a server: set BELVARDINO_TEST_PG to a postgresql:// URL");
    QTemporaryDir dir;
    const QString dataDir = dir.filePath(u"file"_s);
    // Written before the fixture opens, so that the command fills the file, not the server.
    QCOMPARE(run(dataDir, { u"demo"_s }).code, 0);
    const int tenants = countIn(dataDir + u"/belvardino.db"_s, u"tenants"_s);
    TestFixture fixture;
    const QString url = ServerTools::urlOf(QSqlDatabase::database());

    const Result moved = run(dataDir, { u"to-server"_s, url });
    QVERIFY2(moved.code == 0, qPrintable(moved.err));
    QCOMPARE(fixture.count(u"tenants"_s), tenants);
    const Result again = run(dataDir, { u"to-server"_s, url });
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(u"already holds data"_s), qPrintable(again.err));

    const QString copy = dir.filePath(u"copy.db"_s);
    const Result back = run(QString(), { u"to-file"_s, url, copy });
    QVERIFY2(back.code == 0, qPrintable(back.err));
    QCOMPARE(countIn(copy, u"tenants"_s), tenants);
    const Result over = run(QString(), { u"to-file"_s, url, copy });
    QCOMPARE(over.code, 1);
    QVERIFY2(over.err.contains(u"exists"_s), qPrintable(over.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
