#include "testfixture.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDatabase : public QObject
{
    Q_OBJECT

private slots:
    void namedColumnsOnly();
    void valueTypes_data();
    void valueTypes();
    void everyRowInOrder();
    void failureWhileSteppingReturnsNoRows();
    void statementsSurviveReconnect();
    void boundValuesAreNeverSql();
    void valueCountMustMatchPlaceholders_data();
    void valueCountMustMatchPlaceholders();
};

void TestDatabase::namedColumnsOnly()
{
    TestFixture f;
    const QVariantList rows = f.db()->execQueryColumns(
        u"SELECT 1 as a, 2 as b, 3 as c, 5 as c FROM (SELECT 1 UNION ALL SELECT 2) AS t"_s, {},
        { u"b"_s, u"c"_s, u"zz"_s });
    QCOMPARE(rows.size(), 2);
    for (const QVariant &row : rows)
        QCOMPARE(row.toMap(), (QVariantMap { { u"b"_s, 2 }, { u"c"_s, 5 } }));
}

void TestDatabase::valueTypes_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<QString>("serverExpression"); // when the server writes it otherwise
    QTest::addColumn<QVariant>("serverExpected"); // when the server's driver reads it otherwise
    // Qt's server driver reads a bigint that is not negative as unsigned.
    QTest::newRow("integer") << u"9223372036854775807"_s << QVariant(qlonglong(9223372036854775807))
                             << QString() << QVariant(qulonglong(9223372036854775807));
    // A server's bare decimal is exact; the stored amounts are doubles.
    QTest::newRow("real") << u"333.33"_s << QVariant(333.33)
                          << u"CAST(333.33 AS double precision)"_s << QVariant();
    QTest::newRow("null is a null text")
        << u"NULL"_s << QVariant(QMetaType::fromType<QString>()) << QString() << QVariant();
    QTest::newRow("arabic text") << u"'شقة ٣ – الطابق الأول'"_s
                                 << QVariant(u"شقة ٣ – الطابق الأول"_s) << QString() << QVariant();
    QTest::newRow("blob") << u"x'00ff'"_s << QVariant(QByteArray("\x00\xff", 2))
                          << u"decode('00ff', 'hex')"_s << QVariant();
}

// Every row of a list carries the same kinds of values as its first one.
void TestDatabase::valueTypes()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);
    QFETCH(QString, serverExpression);
    QFETCH(QVariant, serverExpected);
    TestFixture f;
    if (f.db()->isServer() && !serverExpression.isEmpty())
        expression = serverExpression;
    if (f.db()->isServer() && serverExpected.isValid())
        expected = serverExpected;
    const QVariantList rows = f.db()->execQuery(u"SELECT "_s + expression
        + u" as v FROM (SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3) AS t"_s);
    QCOMPARE(rows.size(), 3);
    for (const QVariant &row : rows) {
        const QVariant value = row.toMap().value(u"v"_s);
        QCOMPARE(value.metaType(), expected.metaType());
        QCOMPARE(value.isNull(), expected.isNull());
        QCOMPARE(value, expected);
    }
}

void TestDatabase::everyRowInOrder()
{
    const int count = 2500;
    TestFixture f;
    const QString sql = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                        "WHERE i<?) SELECT i, 'row ' || i as label FROM n"_s;
    // Twice, so the second run goes through the kept statement.
    for (int run = 0; run < 2; ++run) {
        const QVariantList rows = f.db()->execQuery(sql, { count });
        QCOMPARE(rows.size(), count);
        for (int i = 0; i < count; ++i) {
            const QVariantMap row = rows.at(i).toMap();
            QCOMPARE(row.value(u"i"_s).toInt(), i + 1);
            QCOMPARE(row.value(u"label"_s).toString(), u"row %1"_s.arg(i + 1));
        }
    }
}

// A statement that fails after its first rows is a failure, not a shorter list.
void TestDatabase::failureWhileSteppingReturnsNoRows()
{
    TestFixture f;
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QVariantList rows = f.db()->execQuery(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3) "
        "SELECT i, CASE WHEN i=3 THEN abs(-9223372036854775807-1) ELSE i END as v FROM n"_s);
    QVERIFY(rows.isEmpty());
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().first().toString().contains(
        f.db()->isServer() ? u"out of range"_s : u"overflow"_s));
}

void TestDatabase::statementsSurviveReconnect()
{
    TestFixture f;
    const QString sql = u"SELECT COUNT(*) AS c FROM tenants"_s;
    QCOMPARE(f.scalar(sql).toInt(), 0);
    // Another holder of the shared connection closes and reopens it, as a restore does.
    QSqlDatabase connection = QSqlDatabase::database();
    connection.close();
    QVERIFY(connection.open());
    f.addTenant(u"بعد"_s);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(f.scalar(sql).toInt(), 1);
    QCOMPARE(errors.count(), 0);
}

void TestDatabase::boundValuesAreNeverSql()
{
    TestFixture f;
    const QString hostile = u"x'); DROP TABLE tenants; --"_s;
    QVERIFY(f.db()->execInsert(u"INSERT INTO tenants (full_name) VALUES (?)"_s, { hostile }) > 0);
    QCOMPARE(f.scalar(u"SELECT full_name FROM tenants"_s).toString(), hostile);
}

void TestDatabase::valueCountMustMatchPlaceholders_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::newRow("none") << QVariantList {};
    QTest::newRow("one fewer") << QVariantList { u"ثانٍ"_s };
    QTest::newRow("one more") << QVariantList { u"ثانٍ"_s, u"0599"_s, 7 };
}

// A kept statement must not run with values left over from its previous call.
void TestDatabase::valueCountMustMatchPlaceholders()
{
    QFETCH(QVariantList, values);
    TestFixture f;
    const QString sql = u"INSERT INTO tenants (full_name, phone) VALUES (?,?)"_s;
    QVERIFY(f.db()->execInsert(sql, { u"أول"_s, u"0598"_s }) > 0);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(f.db()->execInsert(sql, values), -1);
    QVERIFY(!f.db()->execNonQuery(sql, values));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(f.count(u"tenants"_s), 1);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
