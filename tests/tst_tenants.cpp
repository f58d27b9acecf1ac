#include "tenantmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTenants : public QObject
{
    Q_OBJECT

private slots:
    void uniqueIdentityNumbers();
    void guardedRemove();
    void statementOrder();
};

// An identity number is unique; a missing one is not.
void TestTenants::uniqueIdentityNumbers()
{
    TestFixture f;
    TenantModel model(f.db());
    QVERIFY(model.add(u"أول"_s, u"123456789"_s, {}, {}, {}) > 0);
    QVERIFY(model.add(u"ثان"_s, QString(), {}, {}, {}) > 0);
    QSignalSpy changed(&model, &TenantModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVERIFY(model.add(u"ثالث"_s, u"123456789"_s, {}, {}, {}) <= 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QVERIFY(model.add(u"رابع"_s, QString(), {}, {}, {}) > 0);
    QCOMPARE(f.count(u"tenants"_s), 3);
}

void TestTenants::guardedRemove()
{
    TestFixture f;
    TenantModel model(f.db());
    const int tenant = f.addTenant(u"مستأجر"_s, u"77"_s);
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    for (const QString &status : { u"active"_s, u"active"_s, u"terminated"_s }) {
        const int unit = f.addUnit(property, QString::number(f.count(u"units"_s) + 1));
        f.addLease(unit, tenant, today, today.addYears(1), 500, status);
    }
    // The listing counts only the active contracts.
    QCOMPARE(model.getAll().first().toMap().value(u"active_contracts"_s).toInt(), 2);
    QSignalSpy changed(&model, &TenantModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVERIFY(!model.remove(tenant)); // refused before the database is asked
    QCOMPARE(errors.count(), 0);
    // Once that contract is terminated the refusal comes from the key instead.
    QVERIFY(f.db()->execNonQuery(u"UPDATE contracts SET status='terminated'"_s));
    QVERIFY(!model.remove(tenant));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QVERIFY(model.remove(f.addTenant(u"حر"_s)));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.count(u"tenants"_s), 1);
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
    // A void invoice is listed but owes nothing; on the same day the payment (a plain date)
    // sorts before the invoice (a timestamp).
    QCOMPARE(lines, (QStringList { u"invoice 0/0"_s, u"payment 0/250"_s, u"invoice 700/0"_s }));
}

QTEST_GUILESS_MAIN(TestTenants)
#include "tst_tenants.moc"
