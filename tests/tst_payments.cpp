#include "invoicemodel.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString periodOf(int monthsAhead)
{
    return QDate::currentDate().addMonths(monthsAhead).toString(u"yyyy-MM"_s);
}

int issue(InvoiceModel &invoices, int tenant, double total, int monthsAhead = 0)
{
    const QVariantMap line { { u"description"_s, u"إيجار"_s }, { u"total"_s, total } };
    return invoices.createInvoice(tenant, 0, periodOf(monthsAhead), { line }, 1);
}

int pay(PaymentModel &payments, int invoice, int tenant, double amount)
{
    return payments.add(
        invoice, tenant, amount, u"cash"_s, TestFixture::iso(QDate::currentDate()), QString(), 1);
}

QVariantMap invoiceRow(TestFixture &f, int id)
{
    return Database::firstRow(f.db()->execQuery(
        u"SELECT paid_amount, balance, status FROM invoices WHERE id=?"_s, { id }));
}

} // namespace

class TestPayments : public QObject
{
    Q_OBJECT

private slots:
    void balanceInvariantAcrossTheInvoiceLife();
    void paymentOutcomes_data();
    void paymentOutcomes();
};

void TestPayments::balanceInvariantAcrossTheInvoiceLife()
{
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);

    const int first = issue(invoices, tenant, 540);
    QCOMPARE(f.tenantBalance(tenant), 540.0);
    QVERIFY(pay(payments, first, tenant, 200) > 0);
    QCOMPARE(f.tenantBalance(tenant), 340.0);
    QVERIFY(pay(payments, first, tenant, 340) > 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(invoiceRow(f, first).value(u"status"_s).toString(), u"paid"_s);

    // A second invoice, partly paid and then voided, leaves nothing owed.
    const int second = issue(invoices, tenant, 90, 1);
    QVERIFY(pay(payments, second, tenant, 30) > 0);
    QCOMPARE(f.tenantBalance(tenant), 60.0);
    QVERIFY(invoices.voidInvoice(second));
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(pay(payments, second, tenant, 1), -1);
    QCOMPARE(f.count(u"payments"_s), 3);
}

void TestPayments::paymentOutcomes_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("after"); // empty when the payment is refused
    QTest::addColumn<QString>("failing"); // a table whose updates fail
    QTest::newRow("a cent short") << 99.99 << u"partial"_s << QString();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QString() << QString();
    // Overpaying is refused exactly, with no tolerance.
    QTest::newRow("over by far less than a cent") << 100.000001 << QString() << QString();
    QTest::newRow("tenant update fails") << 40.0 << QString() << u"tenants"_s;
}

void TestPayments::paymentOutcomes()
{
    QFETCH(double, amount);
    QFETCH(QString, after);
    QFETCH(QString, failing);
    TestFixture f;
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, 0, periodOf(0), 100, u"pending"_s, 0);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=100 WHERE id=?"_s, { tenant }));
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);
    QSignalSpy errorSpy(f.db(), &Database::databaseError);

    const bool accepted = !after.isEmpty();
    QCOMPARE(pay(payments, invoice, tenant, amount) > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    // Business refusals are silent; only a failed statement reports an error.
    QCOMPARE(errorSpy.count(), failing.isEmpty() ? 0 : 1);
    QCOMPARE(f.count(u"payments"_s), accepted ? 1 : 0);
    const double paid = accepted ? amount : 0;
    const QVariantMap row = invoiceRow(f, invoice);
    QCOMPARE(row.value(u"status"_s).toString(), accepted ? after : u"pending"_s);
    QCOMPARE(row.value(u"balance"_s).toDouble(), 100 - paid);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), paid);
    QCOMPARE(f.tenantBalance(tenant), 100 - paid);
}

QTEST_GUILESS_MAIN(TestPayments)
#include "tst_payments.moc"
