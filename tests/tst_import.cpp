#include "importcontroller.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void importCounts();
    void tenantFields();
    void unitFields_data();
    void unitFields();
    void missingIdNumbers_data();
    void missingIdNumbers();
    void skippedRowsSayWhy_data();
    void skippedRowsSayWhy();
};

void TestImport::importCounts()
{
    TestFixture f;
    ImportController importer(f.db());
    QSignalSpy finished(&importer, &ImportController::importFinished);
    QVERIFY(importer.importRawCSV(u"أحمد,401,0599\r\n\r\n   \nسارة,402,0598\r\n"_s, u"buyers"_s));
    QCOMPARE(importer.lastImported(), 2);
    QCOMPARE(importer.lastSkipped(), 0);
    // Every line too short for a row: nothing stored is a failure.
    QVERIFY(!importer.importRawCSV(u"أحمد\nسارة"_s, u"tenants"_s));
    QCOMPARE(importer.lastImported(), 0);
    QCOMPARE(importer.lastSkipped(), 2);
    QCOMPARE(finished.count(), 2);
    QCOMPARE(f.count(u"buyers"_s), 2);
    QCOMPARE(f.count(u"tenants"_s), 0);
}

// Fields are trimmed; a duplicate identity is skipped without stopping the rest.
void TestImport::tenantFields()
{
    TestFixture f;
    ImportController importer(f.db());
    QVERIFY(importer.importRawCSV(
        u"  أحمد علي ,  401 ,0599 \nمكرر,401,0500\n سارة,402,0598, رام الله ,زائد"_s,
        u"tenants"_s));
    QCOMPARE(importer.lastSkipped(), 1);
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
    QTest::newRow("rent, extra field ignored")
        << u"%1, B-1 ,80,70000,1500.5,extra"_s << u"B-1|80.0|70000.0|1500.5"_s;
    QTest::newRow("unreadable area refused") << u"%1, B-1 ,large,70000,1500.5"_s << QString();
    QTest::newRow("tab-separated with thousands separator")
        << u"%1\tD-4\t95\t1,200"_s << u"D-4|95.0|1200.0|0.0"_s;
    QTest::newRow("quoted amount with a comma")
        << u"%1,E-5,\"1,250.5\",\"٣٠٠٬٠٠٠\""_s << u"E-5|1250.5|300000.0|0.0"_s;
    QTest::newRow("nan price refused") << u"%1,G-7,100,nan"_s << QString();
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
    QCOMPARE(f.joined(u"SELECT unit_number, area, sale_price, rent_monthly FROM units WHERE "
                      "property_id=?"_s,
                 { property }, u"|"_s),
        stored);
    QCOMPARE(f.count(u"units"_s), stored.isEmpty() ? 0 : 1);
}

void TestImport::missingIdNumbers_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("tenants") << u"tenants"_s;
    QTest::newRow("buyers") << u"buyers"_s;
}

// People without an ID number are all kept; their number is unknown, not a shared empty one.
void TestImport::missingIdNumbers()
{
    QFETCH(QString, table);
    TestFixture f;
    ImportController importer(f.db());
    QVERIFY(importer.importRawCSV(u"أحمد,,0599\nسارة, ,0598\nمنى,77,0597"_s, table));
    QCOMPARE(importer.lastImported(), 3);
    QCOMPARE(importer.lastSkipped(), 0);
    QCOMPARE(
        f.scalar(u"SELECT COUNT(*) FROM "_s + table + u" WHERE id_number IS NULL"_s).toInt(), 2);
}

void TestImport::skippedRowsSayWhy_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QStringList>("stored"); // name|id number|phone
    QTest::addColumn<QStringList>("skipped"); // line:reason
    QTest::newRow("header row skipped") << u"الاسم\tرقم الهوية\tالهاتف\nأحمد\t401\t0599"_s << true
                                        << QStringList { u"أحمد|401|0599"_s } << QStringList();
    QTest::newRow("quoted fields keep their commas and quotes")
        << u"\"علي, الابن\",402,\"0598\"\n\"قول \"\"نعم\"\"\",403,0597"_s << false
        << QStringList { u"علي, الابن|402|0598"_s, u"قول \"نعم\"|403|0597"_s } << QStringList();
    QTest::newRow("quoted tab in a tab-separated row")
        << u"\"سارة\tأحمد\"\t404\t0596"_s << false << QStringList { u"سارة\tأحمد|404|0596"_s }
        << QStringList();
    QTest::newRow("every skipped row with its reason")
        << u"أحمد,401,0599\n,405,0595\nمكرر,401,0594\nقصير\nسالم,١٢٣,٠٥٩٣"_s << false
        << QStringList { u"أحمد|401|0599"_s, u"سالم|123|0593"_s }
        << QStringList { u"2:الاسم مفقود"_s, u"3:رقم الهوية مسجل مسبقاً"_s,
               u"4:حقول ناقصة: الاسم ورقم الهوية والهاتف مطلوبة"_s };
    QTest::newRow("rows without ID numbers do not collide")
        << u"أحمد,,0599\nسارة,,0598"_s << false
        << QStringList { u"أحمد|-|0599"_s, u"سارة|-|0598"_s } << QStringList();
}

void TestImport::skippedRowsSayWhy()
{
    QFETCH(QString, text);
    QFETCH(bool, header);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, skipped);
    TestFixture f;
    ImportController importer(f.db());
    QCOMPARE(importer.importRawCSV(text, u"tenants"_s), !stored.isEmpty());
    QCOMPARE(importer.lastHeaderSkipped(), header);
    QCOMPARE(importer.lastSkipped(), int(skipped.size()));
    QStringList reasons;
    for (const QVariant &row : importer.lastSkippedRows())
        reasons << row.toMap().value(u"line"_s).toString() + u":"_s
                + row.toMap().value(u"reason"_s).toString();
    QCOMPARE(reasons, skipped);
    QStringList rows;
    for (const QVariant &row : f.db()->execQuery(u"SELECT full_name || '|' || "
                                                 "IFNULL(id_number,'-') || '|' || phone AS r "
                                                 "FROM tenants ORDER BY id"_s))
        rows << row.toMap().value(u"r"_s).toString();
    QCOMPARE(rows, stored);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
