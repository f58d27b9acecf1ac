#include "invoicemodel.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString thisPeriod() { return QDate::currentDate().toString(u"yyyy-MM"_s); }

QString today() { return TestFixture::iso(QDate::currentDate()); }

// What the tenant owes, recomputed from the invoices and payments themselves.
double owedFromRecords(TestFixture &f, int tenantId)
{
    return f
        .scalar(u"SELECT (SELECT COALESCE(SUM(total_amount),0) FROM invoices WHERE tenant_id=?)"
                " - (SELECT COALESCE(SUM(amount),0) FROM payments WHERE tenant_id=?)"
                " - (SELECT COALESCE(SUM(total_amount-paid_amount),0) FROM invoices "
                "WHERE tenant_id=? AND status='void') AS owed"_s,
            {
                tenantId,
                tenantId,
                tenantId,
            })
        .toDouble();
}

int issue(InvoiceModel &invoices, int tenant, double total)
{
    const QVariantMap line { { u"description"_s, u"إيجار"_s }, { u"total"_s, total } };
    return invoices.createInvoice(tenant, 0, thisPeriod(), { line }, 1);
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
    void paymentMovesInvoiceAndTenant_data();
    void paymentMovesInvoiceAndTenant();
    void refusedAmounts_data();
    void refusedAmounts();
    void paymentIsAllOrNothing_data();
    void paymentIsAllOrNothing();
    void paymentWithoutInvoiceFails();
    void listings();
    void recentDefaultsToTen();
};

void TestPayments::balanceInvariantAcrossTheInvoiceLife()
{
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);

    const int first = issue(invoices, tenant, 540);
    QVERIFY(first > 0);
    QCOMPARE(f.tenantBalance(tenant), 540.0);
    QVERIFY(payments.add(first, tenant, 200, u"cash"_s, today(), QString(), 1) > 0);
    QCOMPARE(f.tenantBalance(tenant), 340.0);
    QCOMPARE(payments.add(first, tenant, 340.01, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(f.tenantBalance(tenant), 340.0);
    QVERIFY(payments.add(first, tenant, 340, u"bank"_s, today(), u"TR-1"_s, 1) > 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(invoiceRow(f, first).value(u"status"_s).toString(), u"paid"_s);
    QCOMPARE(payments.add(first, tenant, 0.01, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(f.tenantBalance(tenant), owedFromRecords(f, tenant));

    // A second invoice, partly paid and then voided, leaves nothing owed.
    const QString next = QDate::currentDate().addMonths(1).toString(u"yyyy-MM"_s);
    const int second = invoices.createInvoice(tenant, 0, next,
        { QVariantMap { { u"description"_s, u"مياه"_s }, { u"total"_s, 90 } } }, 1);
    QVERIFY(second > 0);
    QVERIFY(payments.add(second, tenant, 30, u"cash"_s, today(), QString(), 1) > 0);
    QCOMPARE(f.tenantBalance(tenant), 60.0);
    QCOMPARE(f.tenantBalance(tenant), owedFromRecords(f, tenant));
    QVERIFY(invoices.voidInvoice(second));
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(f.tenantBalance(tenant), owedFromRecords(f, tenant));
    QCOMPARE(payments.add(second, tenant, 1, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(f.count(u"payments"_s), 3);
}

void TestPayments::paymentMovesInvoiceAndTenant_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("balance");
    QTest::addColumn<QString>("status");
    QTest::newRow("partial") << 200.0 << 340.0 << u"partial"_s;
    QTest::newRow("whole balance") << 540.0 << 0.0 << u"paid"_s;
    QTest::newRow("a cent short") << 539.99 << 540 - 539.99 << u"partial"_s;
}

void TestPayments::paymentMovesInvoiceAndTenant()
{
    QFETCH(double, amount);
    QFETCH(double, balance);
    QFETCH(QString, status);
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = issue(invoices, tenant, 540);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);

    const int id = payments.add(invoice, tenant, amount, u"cheque"_s, today(), u"CH-7"_s, 1);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    const QVariantMap row = invoiceRow(f, invoice);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), amount);
    QCOMPARE(row.value(u"balance"_s).toDouble(), balance);
    QCOMPARE(row.value(u"status"_s).toString(), status);
    QCOMPARE(f.tenantBalance(tenant), 540 - amount);
    const QVariantMap stored = payments.getByTenant(tenant).first().toMap();
    QCOMPARE(stored.value(u"id"_s).toInt(), id);
    QCOMPARE(stored.value(u"payment_method"_s).toString(), u"cheque"_s);
    QCOMPARE(stored.value(u"reference"_s).toString(), u"CH-7"_s);
    QCOMPARE(stored.value(u"payment_date"_s).toString(), today());
}

void TestPayments::refusedAmounts_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount");
    QTest::newRow("zero") << u"pending"_s << 0.0;
    QTest::newRow("negative") << u"pending"_s << -50.0;
    QTest::newRow("NaN") << u"pending"_s << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite") << u"pending"_s << std::numeric_limits<double>::infinity();
    QTest::newRow("over the balance by a cent") << u"pending"_s << 100.01;
    QTest::newRow("over the balance by far less than a cent") << u"pending"_s << 100.000001;
    QTest::newRow("paid invoice") << u"paid"_s << 1.0;
    QTest::newRow("void invoice") << u"void"_s << 1.0;
}

void TestPayments::refusedAmounts()
{
    QFETCH(QString, status);
    QFETCH(double, amount);
    TestFixture f;
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice
        = f.addInvoice(tenant, 0, thisPeriod(), 100, status, status == u"paid"_s ? 100 : 0);
    if (status == u"void"_s)
        QVERIFY(f.db()->execNonQuery(u"UPDATE invoices SET balance=0 WHERE id=?"_s, { invoice }));
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(payments.add(invoice, tenant, amount, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
    QCOMPARE(invoiceRow(f, invoice).value(u"status"_s).toString(), status);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

void TestPayments::paymentIsAllOrNothing_data()
{
    QTest::addColumn<QString>("refusingTable");
    QTest::newRow("invoice update refused") << u"invoices"_s;
    QTest::newRow("tenant update refused") << u"tenants"_s;
}

void TestPayments::paymentIsAllOrNothing()
{
    QFETCH(QString, refusingTable);
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = issue(invoices, tenant, 540);
    f.failWrites(refusingTable, u"UPDATE"_s);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);

    QCOMPARE(payments.add(invoice, tenant, 200, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
    const QVariantMap row = invoiceRow(f, invoice);
    QCOMPARE(row.value(u"balance"_s).toDouble(), 540.0);
    QCOMPARE(row.value(u"status"_s).toString(), u"pending"_s);
    QCOMPARE(f.tenantBalance(tenant), 540.0);
}

void TestPayments::paymentWithoutInvoiceFails()
{
    TestFixture f;
    PaymentModel payments(f.db());
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int tenant = f.addTenant(u"سامي"_s);

    QCOMPARE(payments.add(0, tenant, 50, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(payments.add(999, tenant, 50, u"cash"_s, today(), QString(), 1), -1);
    QCOMPARE(errors.count(), 2);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
}

void TestPayments::listings()
{
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const int idle = f.addTenant(u"ليلى"_s);
    const int invoice = invoices.createInvoice(tenant, unit, thisPeriod(),
        { QVariantMap { { u"description"_s, u"إيجار"_s }, { u"total"_s, 500 } } }, 1);
    QVERIFY(payments.add(invoice, tenant, 100, u"cash"_s, today(), QString(), 1) > 0);
    const QString number = invoices.getById(invoice).value(u"invoice_number"_s).toString();

    const QVariantMap listed = payments.getAll().first().toMap();
    QCOMPARE(listed.value(u"invoice_number"_s).toString(), number);
    QCOMPARE(listed.value(u"tenant_name"_s).toString(), u"سامي"_s);
    QCOMPARE(listed.value(u"unit_number"_s).toString(), u"A1"_s);
    QCOMPARE(listed.value(u"property_name"_s).toString(), u"برج النخيل"_s);
    const QVariantMap recent = payments.getRecent().first().toMap();
    QVERIFY(!recent.contains(u"invoice_number"_s));
    QCOMPARE(recent.value(u"unit_number"_s).toString(), u"A1"_s);
    QCOMPARE(payments.getByTenant(idle), QVariantList());
}

void TestPayments::recentDefaultsToTen()
{
    TestFixture f;
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, 0, thisPeriod(), 10000);
    const QDate today = QDate::currentDate();
    for (int daysAgo = 11; daysAgo >= 0; --daysAgo)
        f.addPayment(invoice, tenant, 10 + daysAgo, today.addDays(-daysAgo));

    const QVariantList recent = payments.getRecent();
    QCOMPARE(recent.size(), 10);
    for (int i = 0; i < recent.size(); ++i)
        QCOMPARE(recent.at(i).toMap().value(u"payment_date"_s).toString(),
            TestFixture::iso(today.addDays(-i)));
    QCOMPARE(payments.getRecent(3).size(), 3);
    QCOMPARE(payments.getRecent(-1).size(), 12);
    QCOMPARE(payments.getAll().size(), 12);
}

QTEST_GUILESS_MAIN(TestPayments)
#include "tst_payments.moc"
