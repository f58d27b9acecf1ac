#include "invoicemodel.h"
#include "money.h"
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
    void reversal_data();
    void reversal();
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

    // A second invoice, partly paid, is voided once its payment is reversed; nothing is owed.
    const int second = issue(invoices, tenant, 90, 1);
    const int partial = pay(payments, second, tenant, 30);
    QVERIFY(partial > 0);
    QCOMPARE(f.tenantBalance(tenant), 60.0);
    QVERIFY(!invoices.voidInvoice(second, u"خطأ"_s));
    QVERIFY(payments.reverse(partial, u"دفعة على الفاتورة الخطأ"_s) > 0);
    QCOMPARE(f.tenantBalance(tenant), 90.0);
    QVERIFY(invoices.voidInvoice(second, u"خطأ"_s));
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(pay(payments, second, tenant, 1), -1);
    QCOMPARE(f.count(u"payments"_s), 4);
    // Net of the reversal, the money received is what the paid invoice shows.
    QCOMPARE(Money::cents(f.scalar(u"SELECT SUM(amount) FROM payments"_s).toDouble()),
        Money::cents(540));
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

// Reversing a payment gives back to the invoice and the tenant exactly what it took.
void TestPayments::reversal_data()
{
    QTest::addColumn<QList<double>>("paid"); // payments on an invoice of 100.5
    QTest::addColumn<int>("reversed"); // index of the payment reversed
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("status"); // the invoice's after; empty: refused
    QTest::newRow("the only payment")
        << QList<double> { 40.25 } << 0 << u"شيك مرتجع"_s << QString() << u"pending"_s;
    QTest::newRow("one of two payments")
        << QList<double> { 40.25, 60.25 } << 0 << u"شيك مرتجع"_s << QString() << u"partial"_s;
    QTest::newRow("the payment that settled it")
        << QList<double> { 40.25, 60.25 } << 1 << u"شيك مرتجع"_s << QString() << u"partial"_s;
    QTest::newRow("the full payment")
        << QList<double> { 100.5 } << 0 << u"شيك مرتجع"_s << QString() << u"pending"_s;
    QTest::newRow("a reversal is not reversed")
        << QList<double> { 40.25 } << -1 << u"شيك مرتجع"_s << QString() << QString();
    QTest::newRow("blank reason") << QList<double> { 40.25 } << 0 << u" "_s << QString() << QString();
    QTest::newRow("tenant update fails")
        << QList<double> { 40.25 } << 0 << u"شيك مرتجع"_s << u"tenants"_s << QString();
}

void TestPayments::reversal()
{
    QFETCH(QList<double>, paid);
    QFETCH(int, reversed);
    QFETCH(QString, reason);
    QFETCH(QString, failing);
    QFETCH(QString, status);
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = issue(invoices, tenant, 100.5);
    QList<int> ids;
    double total = 0;
    for (const double amount : paid) {
        ids << pay(payments, invoice, tenant, amount);
        total += amount;
    }
    int target = reversed >= 0 ? ids.at(reversed) : ids.first();
    if (reversed < 0) // reverse once, then try to reverse the reversal
        target = payments.reverse(ids.first(), u"خطأ"_s);
    QVERIFY(target > 0);
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    const double balanceBefore = f.tenantBalance(tenant);
    const int rowsBefore = f.count(u"payments"_s);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);

    const bool accepted = !status.isEmpty();
    QCOMPARE(payments.reverse(target, reason) > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(payments.lastRefusal().isEmpty(), accepted);
    QCOMPARE(f.count(u"payments"_s), rowsBefore + (accepted ? 1 : 0));
    const QVariantMap row = invoiceRow(f, invoice);
    if (!accepted) {
        QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(balanceBefore));
        return;
    }
    const double back = paid.at(reversed);
    QCOMPARE(row.value(u"status"_s).toString(), status);
    QCOMPARE(Money::cents(row.value(u"paid_amount"_s).toDouble()), Money::cents(total - back));
    QCOMPARE(Money::cents(row.value(u"balance"_s).toDouble()), Money::cents(100.5 - total + back));
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(100.5 - total + back));
    // A payment is reversed once; the page marks it.
    QCOMPARE(payments.reverse(target, reason), -1);
    bool marked = false;
    for (const QVariant &listed : payments.getAll())
        marked |= listed.toMap().value(u"id"_s).toInt() == target
            && !listed.toMap().value(u"reversed_by"_s).isNull();
    QVERIFY(marked);
}

QTEST_GUILESS_MAIN(TestPayments)
#include "tst_payments.moc"
