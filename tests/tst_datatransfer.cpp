#include "datatransfer.h"
#include "demodata.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A database file of its own beside the fixture's database, under its own connection name.
class FileDatabase
{
public:
    FileDatabase(const QString &path, const QString &name)
        : m_name(name)
    {
        m_db = std::make_unique<Database>();
        if (!m_db->initialize(path, name))
            qFatal("database file could not be created");
    }
    ~FileDatabase()
    {
        m_db.reset();
        QSqlDatabase::removeDatabase(m_name);
    }
    Database *db() { return m_db.get(); }

private:
    QString m_name;
    std::unique_ptr<Database> m_db;
};

QStringList tablesOf(Database *file)
{
    QStringList tables;
    for (const QVariant &row : file->execQuery(
             u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
             "ORDER BY name"_s))
        tables.append(row.toMap().value(u"name"_s).toString());
    return tables;
}

// Every row of the table in a fixed order: all its columns, left to right.
QVariantList rowsOf(Database *file, const QString &table)
{
    const int columns = file->execQuery(u"SELECT * FROM pragma_table_info(?)"_s, { table }).size();
    QStringList order;
    for (int i = 1; i <= columns; ++i)
        order.append(QString::number(i));
    return file->execQuery(u"SELECT * FROM %1 ORDER BY %2"_s.arg(table, order.join(u',')));
}

} // namespace

class TestDataTransfer : public QObject
{
    Q_OBJECT

private slots:
    void portfolioThereAndBack();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
};

// From a file to the fixture's database (the server when BELVARDINO_TEST_PG is set) and from
// there into a new file: every table of the last equals the first, row for row.
void TestDataTransfer::portfolioThereAndBack()
{
    TestFixture f;
    QTemporaryDir dir;
    FileDatabase source(dir.filePath(u"source.db"_s), u"tst_transfer_source"_s);
    const DemoData::Counts demo = DemoData::fill(source.db());
    QVERIFY(demo.invoices > 0 && demo.journalEntries > 0);

    DataTransfer transfer;
    QSignalSpy progress(&transfer, &DataTransfer::progress);
    QVERIFY2(transfer.copy(source.db(), f.db()), qPrintable(transfer.error()));
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.constLast().at(0), progress.constLast().at(1));
    QCOMPARE(transfer.counts().value(u"invoices"_s), qint64(demo.invoices));
    QCOMPARE(f.count(u"invoices"_s), demo.invoices);
    // New rows go on after the copied ids.
    const int lastTenant = f.scalar(u"SELECT MAX(id) FROM tenants"_s).toInt();
    FileDatabase back(dir.filePath(u"back.db"_s), u"tst_transfer_back"_s);
    QVERIFY2(transfer.copy(f.db(), back.db()), qPrintable(transfer.error()));
    QCOMPARE(f.addTenant(u"بعد النقل"_s), lastTenant + 1);

    const QStringList tables = tablesOf(source.db());
    QCOMPARE(tablesOf(back.db()), tables);
    for (const QString &table : tables) {
        const QVariantList expected = rowsOf(source.db(), table);
        const QVariantList copied = rowsOf(back.db(), table);
        QVERIFY2(copied.size() == expected.size(), qPrintable(table));
        for (qsizetype i = 0; i < expected.size(); ++i)
            QVERIFY2(copied.at(i).toMap() == expected.at(i).toMap(),
                qPrintable(u"%1 row %2"_s.arg(table).arg(i)));
    }
}

void TestDataTransfer::refusalsChangeNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("target holds data") << u"full"_s << DataTransfer::targetNotEmptyText();
    QTest::newRow("target of another layout") << u"layout"_s << DataTransfer::layoutsDifferText();
    QTest::newRow("a row the target refuses halfway")
        << u"refused"_s << DataTransfer::copyFailedText();
}

void TestDataTransfer::refusalsChangeNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestFixture f;
    QTemporaryDir dir;
    FileDatabase source(dir.filePath(u"source.db"_s), u"tst_transfer_source"_s);
    DemoData::fill(source.db());
    if (kind == u"full"_s)
        f.addTenant(u"موجود"_s);
    else if (kind == u"layout"_s)
        QVERIFY(f.db()->execNonQuery(u"ALTER TABLE tenants ADD COLUMN nickname TEXT"_s));
    else
        // Two tenants of the same name, which the source allows, come late in the copy.
        QVERIFY(
            f.db()->execNonQuery(u"CREATE UNIQUE INDEX tenants_one_name ON tenants (full_name)"_s));
    if (kind == u"refused"_s)
        QVERIFY(source.db()->execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s,
                    { Database::firstRow(source.db()->execQuery(u"SELECT full_name FROM tenants "
                                                                "ORDER BY id LIMIT 1"_s))
                            .value(u"full_name"_s) })
            > 0);
    const int users = f.count(u"users"_s);
    const int accounts = f.count(u"accounts"_s);
    const int tenants = f.count(u"tenants"_s);
    const int sourceTenants
        = Database::firstRow(source.db()->execQuery(u"SELECT COUNT(*) AS c FROM tenants"_s))
              .value(u"c"_s)
              .toInt();

    DataTransfer transfer;
    QVERIFY(!transfer.copy(source.db(), f.db()));
    QVERIFY2(transfer.error().startsWith(message), qPrintable(transfer.error()));
    QCOMPARE(f.count(u"users"_s), users);
    QCOMPARE(f.count(u"accounts"_s), accounts);
    QCOMPARE(f.count(u"tenants"_s), tenants);
    QCOMPARE(f.count(u"invoices"_s), 0);
    QVERIFY(transfer.counts().isEmpty());
    QCOMPARE(Database::firstRow(source.db()->execQuery(u"SELECT COUNT(*) AS c FROM tenants"_s))
                 .value(u"c"_s)
                 .toInt(),
        sourceTenants);
    // The target takes writes as before: nothing of the copy's transaction is left open.
    QVERIFY(f.addTenant(u"بعد الرفض"_s) > 0);
}

QTEST_GUILESS_MAIN(TestDataTransfer)
#include "tst_datatransfer.moc"
