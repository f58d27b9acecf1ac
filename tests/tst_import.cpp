#include "importcontroller.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void importCounts_data();
    void importCounts();
    void tenantFieldsTrimmed();
    void unitFields_data();
    void unitFields();
};

void TestImport::importCounts_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("imported");
    QTest::addColumn<int>("skipped");
    QTest::newRow("blank lines are not rows")
        << u"tenants"_s << u"أحمد,401,0599\n\n   \nسارة,402,0598\n"_s << true << 2 << 0;
    QTest::newRow("carriage returns dropped")
        << u"buyers"_s << u"أحمد,401,0599\r\nسارة,402,0598\r\n"_s << true << 2 << 0;
    QTest::newRow("duplicate identity does not stop the rest")
        << u"tenants"_s << u"أحمد,401,0599\nمكرر,401,0500\nسارة,402,0598"_s << true << 2 << 1;
    QTest::newRow("tab-separated, short line skipped")
        << u"tenants"_s << u"أحمد\t401\t0599\tغزة\nسارة\t402"_s << true << 1 << 1;
    QTest::newRow("unknown target") << u"Tenants"_s << u"أحمد,401,0599"_s << false << 0 << 1;
    QTest::newRow("nothing stored is a failure")
        << u"tenants"_s << u"أحمد\nسارة"_s << false << 0 << 2;
    QTest::newRow("empty text") << u"tenants"_s << QString() << false << 0 << 0;
}

void TestImport::importCounts()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(bool, result);
    QFETCH(int, imported);
    QFETCH(int, skipped);
    TestFixture f;
    ImportController importer(f.db());
    QSignalSpy finished(&importer, &ImportController::importFinished);
    QCOMPARE(importer.importRawCSV(text, target), result);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(importer.lastImported(), imported);
    QCOMPARE(importer.lastSkipped(), skipped);
    QCOMPARE(f.count(u"tenants"_s) + f.count(u"buyers"_s), imported);
}

void TestImport::tenantFieldsTrimmed()
{
    TestFixture f;
    ImportController importer(f.db());
    QVERIFY(importer.importRawCSV(
        u"  أحمد علي ,  401 ,0599 \n سارة,402,0598, رام الله ,زائد"_s, u"tenants"_s));
    QStringList rows;
    for (const QVariant &row : f.db()->execQuery(u"SELECT full_name || '|' || id_number || '|' || "
                                                 "phone || '|' || address AS r FROM tenants "
                                                 "ORDER BY id"_s))
        rows << row.toMap().value(u"r"_s).toString();
    // A missing address is stored as empty text: a NULL would blank the whole line.
    QCOMPARE(rows, (QStringList { u"أحمد علي|401|0599|"_s, u"سارة|402|0598|رام الله"_s }));
}

void TestImport::unitFields_data()
{
    QTest::addColumn<QString>("line"); // %1 is the property id
    QTest::addColumn<QString>("stored"); // number|area|sale price|rent, empty when refused
    QTest::newRow("four fields") << u"%1, A-12,120.5,90000"_s << u"A-12|120.5|90000.0|0.0"_s;
    QTest::newRow("with rent") << u"%1,B-1,80,0,1500.5,extra"_s << u"B-1|80.0|0.0|1500.5"_s;
    QTest::newRow("unreadable number is 0") << u"%1,C-3,large,70000"_s << u"C-3|0.0|70000.0|0.0"_s;
    QTest::newRow("tab-separated with comma in a field")
        << u"%1\tD-4\t95\t1,200"_s << u"D-4|95.0|0.0|0.0"_s;
    QTest::newRow("missing property refused") << u"9999,F-6,100,1000"_s << QString();
    QTest::newRow("nan price refused") << u"%1,G-7,100,nan"_s << QString();
    QTest::newRow("infinite rent refused") << u"%1,H-8,100,1000,inf"_s << QString();
}

void TestImport::unitFields()
{
    QFETCH(QString, line);
    QFETCH(QString, stored);
    TestFixture f;
    const int property = f.addProperty();
    ImportController importer(f.db());
    QCOMPARE(importer.importRawCSV(line.arg(property), u"units"_s), !stored.isEmpty());
    QCOMPARE(importer.lastSkipped(), stored.isEmpty() ? 1 : 0);
    QCOMPARE(f.scalar(u"SELECT unit_number || '|' || area || '|' || sale_price || '|' || "
                      "rent_monthly FROM units WHERE property_id=?"_s,
                  { property })
                 .toString(),
        stored);
    QCOMPARE(f.count(u"units"_s), stored.isEmpty() ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
