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
    void listings();
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
    // Overpaying is refused exactly, with no tolerance.
    QCOMPARE(pay(payments, first, tenant, 340.01), -1);
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
    QTest::addColumn<int>("invoiceOffset");
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("after"); // empty when the payment is refused
    QTest::addColumn<QString>("failing"); // a table whose updates fail
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QString pending = u"pending"_s;
    QTest::newRow("partial") << 0 << pending << 40.0 << u"partial"_s << QString();
    QTest::newRow("whole balance") << 0 << pending << 100.0 << u"paid"_s << QString();
    QTest::newRow("a cent short") << 0 << pending << 99.99 << u"partial"_s << QString();
    QTest::newRow("zero") << 0 << pending << 0.0 << QString() << QString();
    QTest::newRow("NaN") << 0 << pending << nan << QString() << QString();
    QTest::newRow("over the balance by a cent") << 0 << pending << 100.01 << QString() << QString();
    QTest::newRow("over by far less than a cent")
        << 0 << pending << 100.000001 << QString() << QString();
    QTest::newRow("paid invoice") << 0 << u"paid"_s << 1.0 << QString() << QString();
    QTest::newRow("void invoice") << 0 << u"void"_s << 1.0 << QString() << QString();
    QTest::newRow("missing invoice") << 999 << pending << 50.0 << QString() << QString();
    QTest::newRow("invoice update fails") << 0 << pending << 40.0 << QString() << u"invoices"_s;
    QTest::newRow("tenant update fails") << 0 << pending << 40.0 << QString() << u"tenants"_s;
}

void TestPayments::paymentOutcomes()
{
    QFETCH(int, invoiceOffset);
    QFETCH(QString, status);
    QFETCH(double, amount);
    QFETCH(QString, after);
    QFETCH(QString, failing);
    TestFixture f;
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const double open = status == u"pending"_s ? 100 : 0;
    const int invoice = f.addInvoice(tenant, 0, periodOf(0), 100, status, 100 - open);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=? WHERE id=?"_s, { open, tenant }));
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);
    QSignalSpy errorSpy(f.db(), &Database::databaseError);

    const bool accepted = !after.isEmpty();
    QCOMPARE(pay(payments, invoice + invoiceOffset, tenant, amount) > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    // Business refusals are silent; only a failed statement reports an error.
    QCOMPARE(errorSpy.count(), invoiceOffset != 0 || !failing.isEmpty() ? 1 : 0);
    QCOMPARE(f.count(u"payments"_s), accepted ? 1 : 0);
    const double paid = accepted ? amount : 0;
    const QVariantMap row = invoiceRow(f, invoice);
    QCOMPARE(row.value(u"status"_s).toString(), accepted ? after : status);
    QCOMPARE(row.value(u"balance"_s).toDouble(), open - paid);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), 100 - open + paid);
    QCOMPARE(f.tenantBalance(tenant), open - paid);
}

void TestPayments::listings()
{
    TestFixture f;
    PaymentModel payments(f.db());
    const int unit = f.addUnit(f.addProperty(), u"A1"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, unit, periodOf(0), 10000);
    const QDate today = QDate::currentDate();
    for (int daysAgo = 11; daysAgo >= 0; --daysAgo)
        f.addPayment(invoice, tenant, 10 + daysAgo, today.addDays(-daysAgo));

    // Newest first, and the unit is reached through the invoice.
    const QVariantList recent = payments.getRecent();
    QCOMPARE(recent.size(), 10);
    for (int i = 0; i < recent.size(); ++i)
        QCOMPARE(recent.at(i).toMap().value(u"payment_date"_s).toString(),
            TestFixture::iso(today.addDays(-i)));
    QCOMPARE(recent.first().toMap().value(u"unit_number"_s).toString(), u"A1"_s);
    QCOMPARE(payments.getRecent(-1).size(), 12);
}

QTEST_GUILESS_MAIN(TestPayments)
#include "tst_payments.moc"
