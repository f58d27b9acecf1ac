#include "tenantmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTenants : public QObject
{
    Q_OBJECT

private slots:
    void listingCountsActiveContracts();
    void uniqueIdentityNumbers_data();
    void uniqueIdentityNumbers();
    void guardedRemove_data();
    void guardedRemove();
    void statementOrder();
};

void TestTenants::listingCountsActiveContracts()
{
    TestFixture f;
    TenantModel model(f.db());
    const int property = f.addProperty();
    const int busy = f.addTenant(u"مستأجر"_s);
    const QDate today = TestFixture::today();
    f.addLease(f.addUnit(property, u"1"_s), busy, today, today.addYears(1), 500);
    f.addLease(f.addUnit(property, u"2"_s), busy, today, today.addYears(1), 500);
    f.addLease(f.addUnit(property, u"3"_s), busy, today, today.addYears(1), 500, u"terminated"_s);
    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().toMap().value(u"active_contracts"_s).toInt(), 2);
}

void TestTenants::uniqueIdentityNumbers_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("byUpdate");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same number") << u"123456789"_s << u"123456789"_s << false << false;
    QTest::newRow("same number by update") << u"123456789"_s << u"123456789"_s << true << false;
    QTest::newRow("empty string twice") << u""_s << u""_s << false << false;
    QTest::newRow("no number twice") << QString() << QString() << false << true;
}

void TestTenants::uniqueIdentityNumbers()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, byUpdate);
    QFETCH(bool, accepted);
    TestFixture f;
    TenantModel model(f.db());
    QVERIFY(model.add(u"أول"_s, first, {}, {}, {}) > 0);
    const int other = byUpdate ? model.add(u"ثان"_s, u"temp"_s, {}, {}, {}) : 0;
    QSignalSpy changed(&model, &TenantModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    const bool stored = byUpdate ? model.update(other, u"ثان"_s, second, {}, {}, {})
                                 : model.add(u"ثان"_s, second, {}, {}, {}) > 0;
    QCOMPARE(stored, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(errors.count(), accepted ? 0 : 1);
    const int holders = accepted && first == second ? 2 : 1;
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM tenants WHERE id_number IS ?"_s,
                  { second.isNull() ? QVariant() : QVariant(second) })
                 .toInt(),
        holders);
}

void TestTenants::guardedRemove_data()
{
    QTest::addColumn<QString>("contractStatus");
    QTest::addColumn<bool>("invoiced");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("no history") << QString() << false << true << 0;
    // Once that contract is terminated the refusal comes from the key instead.
    QTest::newRow("active, then terminated contract") << u"active"_s << false << false << 0;
    QTest::newRow("terminated contract kept by its key") << u"terminated"_s << false << false << 1;
    QTest::newRow("invoice kept by its key") << QString() << true << false << 1;
}

void TestTenants::guardedRemove()
{
    QFETCH(QString, contractStatus);
    QFETCH(bool, invoiced);
    QFETCH(bool, removed);
    QFETCH(int, errorCount);
    TestFixture f;
    TenantModel model(f.db());
    const int tenant = f.addTenant(u"مستأجر"_s, u"77"_s);
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const QDate today = TestFixture::today();
    if (!contractStatus.isNull())
        f.addLease(unit, tenant, today, today.addYears(1), 500, contractStatus);
    if (invoiced)
        f.addInvoice(tenant, unit, today.toString(u"yyyy-MM"_s), 500);
    QSignalSpy changed(&model, &TenantModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.remove(tenant), removed);
    QCOMPARE(changed.count(), removed ? 1 : 0);
    QCOMPARE(errors.count(), errorCount);
    QCOMPARE(f.count(u"tenants"_s), removed ? 0 : 1);
    if (contractStatus == u"active"_s) {
        QVERIFY(f.db()->execNonQuery(u"UPDATE contracts SET status='terminated'"_s));
        QVERIFY(!model.remove(tenant));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(f.count(u"tenants"_s), 1);
    }
}

void TestTenants::statementOrder()
{
    TestFixture f;
    TenantModel model(f.db());
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int other = f.addTenant(u"آخر"_s);
    const QDate today = TestFixture::today();
    const QString period = today.toString(u"yyyy-MM"_s);
    const int invoice = f.addInvoice(tenant, 0, period, 700);
    const int voided = f.addInvoice(tenant, 0, period, 300, u"void"_s);
    const QString stamp = u"UPDATE invoices SET created_at=? WHERE id=?"_s;
    f.db()->execNonQuery(stamp, { TestFixture::iso(today) + u" 10:00:00"_s, invoice });
    f.db()->execNonQuery(stamp, { TestFixture::iso(today.addDays(-3)) + u" 09:00:00"_s, voided });
    f.addPayment(invoice, tenant, 250, today);
    f.addPayment(f.addInvoice(other, 0, period, 50), other, 50, today);

    QStringList lines;
    for (const QVariant &row : model.getStatement(tenant)) {
        const QVariantMap m = row.toMap();
        lines << u"%1 %2/%3"_s.arg(m.value(u"type"_s).toString())
                     .arg(m.value(u"debit"_s).toDouble())
                     .arg(m.value(u"credit"_s).toDouble());
    }
    // A void invoice still shows its full total; on the same day the payment (a plain date)
    // sorts before the invoice (a timestamp).
    QCOMPARE(lines, (QStringList { u"invoice 300/0"_s, u"payment 0/250"_s, u"invoice 700/0"_s }));
}

QTEST_GUILESS_MAIN(TestTenants)
#include "tst_tenants.moc"
