#include "importcontroller.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every row of every table as the file holds it, read through a connection of its own so that
// nothing uncommitted on the program's connection is seen.
QStringList fileContents(const QString &path)
{
    QStringList rows;
    {
        QSqlDatabase reader = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        reader.setDatabaseName(path);
        if (!reader.open())
            return { u"unreadable"_s };
        QSqlQuery tables(reader);
        tables.exec(u"SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"_s);
        QStringList names;
        while (tables.next())
            names << tables.value(0).toString();
        for (const QString &table : names) {
            QSqlQuery query(reader);
            query.exec(u"SELECT * FROM "_s + table + u" ORDER BY rowid"_s);
            while (query.next()) {
                QStringList values { table };
                for (int i = 0; i < query.record().count(); ++i)
                    values << query.value(i).toString();
                rows << values.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    return rows;
}

// The disk is full from now on: the file cannot grow beyond the pages it has.
void fillDisk(TestFixture &f)
{
    const int pages = f.scalar(u"PRAGMA page_count"_s).toInt();
    QCOMPARE(f.scalar(u"PRAGMA max_page_count=%1"_s.arg(pages)).toInt(), pages);
}

} // namespace

class TestFailedWrites : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskUndoesTheWholeOperation_data();
    void fullDiskUndoesTheWholeOperation();
};

void TestFailedWrites::fullDiskUndoesTheWholeOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("sale with its schedule") << u"sale"_s;
    QTest::newRow("rent run") << u"rent"_s;
    QTest::newRow("service invoice run") << u"service"_s;
    QTest::newRow("paste import") << u"import"_s;
}

// Each operation writes many pages, so the disk fills part-way through it.
void TestFailedWrites::fullDiskUndoesTheWholeOperation()
{
    QFETCH(QString, operation);
    TestFixture f;
    if (f.db()->isServer())
        QSKIP("a full disk is a file's failure, made here with SQLite's page limit; on a server "
              "each model's suite fails its writes part-way with a trigger");
    const int property = f.addProperty();
    const QDate today = TestFixture::today();
    QVariantList tenants;
    for (int i = 0; i < 80; ++i) {
        const int tenant = f.addTenant(u"مستأجر %1"_s.arg(i));
        const int unit = f.addUnit(property, QString::number(100 + i), 750.25);
        f.addLease(unit, tenant, today.addMonths(-3), today.addYears(1), 750.25);
        tenants << tenant;
    }
    const int buyer = f.addBuyer(u"مشتري"_s);
    const int soldUnit = f.addUnit(property, u"S-1"_s);
    QString paste;
    for (int i = 0; i < 400; ++i)
        paste += u"مستورد %1,%2,0599%1\n"_s.arg(i).arg(900000 + i);
    InvoiceModel invoices(f.db());
    InstallmentModel installments(f.db());
    ImportController importer(f.db());
    const QString period = today.toString(u"yyyy-MM"_s);

    const QStringList before = fileContents(f.dbPath());
    fillDisk(f);
    QSignalSpy errors(f.db(), &Database::databaseError);
    if (operation == u"sale"_s) {
        QCOMPARE(installments.sellUnit(buyer, soldUnit, 1'200'000, 100'000, 240,
                     TestFixture::iso(today), 1, u"5001"_s, u"بنك"_s),
            -1);
    } else if (operation == u"rent"_s) {
        QCOMPARE(invoices.generateAllRent(period), 0);
    } else if (operation == u"service"_s) {
        QCOMPARE(invoices.generateServiceInvoice(tenants, u"صيانة المصعد"_s, 35.5, period, 1), 0);
    } else {
        QCOMPARE(importer.importRawCSV(paste, u"tenants"_s), false);
        QCOMPARE(importer.lastImported(), 0);
    }

    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().first().toString().contains(u"full"_s),
        qPrintable(errors.first().first().toString()));
    QCOMPARE(fileContents(f.dbPath()), before);
    // The connection is usable again once the operation is over.
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET notes='x' WHERE id=?"_s, { tenants.at(0) }));
}

QTEST_GUILESS_MAIN(TestFailedWrites)
#include "tst_failedwrites.moc"
