#include "depositmodel.h"
#include "money.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString today() { return TestFixture::iso(TestFixture::today()); }

// A tenant's lease of unit 101 with a deposit, and rent invoices of the lease.
struct Lease
{
    explicit Lease(TestFixture &f, double deposit = 1000.10)
    {
        const QDate start = TestFixture::today().addMonths(-11);
        unit = f.addUnit(f.addProperty(), u"101"_s);
        tenant = f.addTenant(u"سالم"_s);
        id = f.addLease(unit, tenant, start, start.addYears(1).addDays(-1), 500);
        f.db()->execNonQuery(u"UPDATE contracts SET deposit=? WHERE id=?"_s, { deposit, id });
    }
    // An open rent invoice of the lease, the tenant's balance raised by it.
    int invoice(TestFixture &f, int month, double amount)
    {
        const int invoiceId = f.addInvoice(
            tenant, unit, TestFixture::today().addMonths(month).toString(u"yyyy-MM"_s), amount);
        f.db()->execNonQuery(u"UPDATE invoices SET contract_id=? WHERE id=?"_s, { id, invoiceId });
        f.db()->execNonQuery(
            u"UPDATE tenants SET balance=balance+? WHERE id=?"_s, { amount, tenant });
        return invoiceId;
    }
    int unit = 0;
    int tenant = 0;
    int id = 0;
};

QVariantList damages(const QList<double> &amounts)
{
    QVariantList list;
    for (double amount : amounts)
        list.append(QVariantMap { { u"description"_s, u"كسر زجاج"_s }, { u"amount"_s, amount } });
    return list;
}

} // namespace

class TestDeposits : public QObject
{
    Q_OBJECT

private slots:
    void receive_data();
    void receive();
    void settle_data();
    void settle();
    void settlementIsAllOrNothing_data();
    void settlementIsAllOrNothing();
};

void TestDeposits::receive_data()
{
    QTest::addColumn<double>("deposit");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("twice");
    QTest::addColumn<bool>("receiptFails");
    QTest::addColumn<bool>("held");
    QTest::newRow("held in full with its receipt")
        << 1000.10 << u"active"_s << false << false << true;
    QTest::newRow("no deposit on the lease") << 0.0 << u"active"_s << false << false << false;
    QTest::newRow("an ended lease") << 500.0 << u"terminated"_s << false << false << false;
    QTest::newRow("received once only") << 500.0 << u"active"_s << true << false << true;
    QTest::newRow("the receipt fails: nothing held")
        << 500.0 << u"active"_s << false << true << false;
}

void TestDeposits::receive()
{
    QFETCH(double, deposit);
    QFETCH(QString, status);
    QFETCH(bool, twice);
    QFETCH(bool, receiptFails);
    QFETCH(bool, held);
    TestFixture f;
    DepositModel model(f.db());
    Lease lease(f, deposit);
    f.db()->execNonQuery(u"UPDATE contracts SET status=? WHERE id=?"_s, { status, lease.id });
    if (twice)
        QVERIFY(model.receive(lease.id, today(), u"cash"_s, {}) > 0);
    if (receiptFails)
        f.failWrites(u"vouchers"_s);
    QSignalSpy changed(&model, &DepositModel::dataChanged);

    const int id = model.receive(lease.id, today(), u"cash"_s, {});
    QCOMPARE(id > 0, held && !twice);
    QCOMPARE(model.lastRefusal().isEmpty(), held && !twice);
    QCOMPARE(changed.count(), held && !twice ? 1 : 0);
    QCOMPARE(f.count(u"deposits"_s), held ? 1 : 0);
    QCOMPARE(f.count(u"vouchers"_s), held ? 1 : 0);
    if (held) {
        const QVariantMap row = model.getByTenant(lease.tenant).value(0).toMap();
        QCOMPARE(Money::cents(row.value(u"amount"_s).toDouble()), Money::cents(deposit));
        QCOMPARE(row.value(u"status"_s).toString(), u"held"_s);
        QVERIFY(row.value(u"receipt_number"_s).toString().startsWith(u"RCV-"_s));
    }
    // Money held for the tenant is not a payment: no rent is counted from it.
    QCOMPARE(f.count(u"payments"_s), 0);
}

// Deposit 1,000.10; the lease's invoices are open for `invoices`.
void TestDeposits::settle_data()
{
    QTest::addColumn<QList<double>>("invoices");
    QTest::addColumn<QList<double>>("damaged");
    QTest::addColumn<bool>("keepRest");
    QTest::addColumn<bool>("invoiceRest");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("deducted");
    QTest::addColumn<double>("refund");
    QTest::addColumn<double>("kept");
    QTest::addColumn<double>("invoicedRest");
    QTest::newRow("nothing deducted: all refunded")
        << QList<double>() << QList<double>() << false << false << true << 0.0 << 1000.10 << 0.0
        << 0.0;
    QTest::newRow("unpaid rent and damage, in cents")
        << QList<double> { 300.05, 200.0 } << QList<double> { 0.1, 99.95 } << false << false << true
        << 600.10 << 400.0 << 0.0 << 0.0;
    QTest::newRow("the rest kept") << QList<double> { 300.05 } << QList<double>() << true << false
                                   << true << 300.05 << 0.0 << 700.05 << 0.0;
    QTest::newRow("damage to the cent of the deposit")
        << QList<double>() << QList<double> { 1000.0, 0.10 } << false << false << true << 1000.10
        << 0.0 << 0.0 << 0.0;
    QTest::newRow("damage a cent beyond the deposit refused")
        << QList<double>() << QList<double> { 1000.11 } << false << false << false << 0.0 << 0.0
        << 0.0 << 0.0;
    QTest::newRow("unpaid rent beyond the deposit refused")
        << QList<double> { 1500.0 } << QList<double>() << false << false << false << 0.0 << 0.0
        << 0.0 << 0.0;
    QTest::newRow("damage beyond the deposit invoiced")
        << QList<double> { 200.0 } << QList<double> { 1000.0 } << false << true << true << 1000.10
        << 0.0 << 0.0 << 199.90;
}

void TestDeposits::settle()
{
    QFETCH(QList<double>, invoices);
    QFETCH(QList<double>, damaged);
    QFETCH(bool, keepRest);
    QFETCH(bool, invoiceRest);
    QFETCH(bool, accepted);
    QFETCH(double, deducted);
    QFETCH(double, refund);
    QFETCH(double, kept);
    QFETCH(double, invoicedRest);
    TestFixture f;
    DepositModel model(f.db());
    Lease lease(f);
    qint64 owed = 0;
    for (qsizetype i = 0; i < invoices.size(); ++i) {
        lease.invoice(f, int(i) - 3, invoices.at(i));
        owed += Money::cents(invoices.at(i));
    }
    const int deposit = model.receive(lease.id, today(), u"cash"_s, {});
    QVERIFY(deposit > 0);

    const QVariantMap plan = model.settlementPlan(deposit, damages(damaged), keepRest, invoiceRest);
    QCOMPARE(plan.value(u"refusal"_s).toString().isEmpty(), accepted);
    QCOMPARE(model.settle(deposit, damages(damaged), keepRest, invoiceRest, today(), u"cash"_s, {}),
        accepted);
    const QVariantMap row = model.getById(deposit);
    QCOMPARE(row.value(u"status"_s).toString(), accepted ? u"settled"_s : u"held"_s);
    if (!accepted) {
        QVERIFY(!model.lastRefusal().isEmpty());
        QCOMPARE(f.count(u"deposit_deductions"_s), 0);
        return;
    }
    QCOMPARE(Money::cents(row.value(u"deducted"_s).toDouble()), Money::cents(deducted));
    QCOMPARE(Money::cents(row.value(u"refunded"_s).toDouble()), Money::cents(refund));
    QCOMPARE(Money::cents(row.value(u"kept"_s).toDouble()), Money::cents(kept));
    QCOMPARE(Money::cents(row.value(u"invoiced_rest"_s).toDouble()), Money::cents(invoicedRest));
    // The parts add up to the deposit, to the cent.
    QCOMPARE(Money::cents(row.value(u"deducted"_s).toDouble()) + Money::cents(refund)
            + Money::cents(kept),
        Money::cents(1000.10));
    // The refund has its payment voucher; the rent taken from the deposit has no receipt of its
    // own, and the tenant owes what the deposit did not cover plus damages invoiced.
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM vouchers WHERE kind='payment'"_s).toInt(),
        Money::cents(refund) > 0 ? 1 : 0);
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM vouchers WHERE kind='receipt'"_s).toInt(), 1);
    const qint64 fromDeposit = qMin(owed, Money::cents(1000.10));
    QCOMPARE(Money::cents(f.tenantBalance(lease.tenant)),
        owed - fromDeposit + Money::cents(invoicedRest));
}

void TestDeposits::settlementIsAllOrNothing_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("the refund voucher fails") << u"vouchers"_s;
    QTest::newRow("a deduction fails") << u"deposit_deductions"_s;
    QTest::newRow("the invoice for the rest fails") << u"invoices"_s;
    QTest::newRow("a payment from the deposit fails") << u"payments"_s;
}

void TestDeposits::settlementIsAllOrNothing()
{
    QFETCH(QString, table);
    TestFixture f;
    DepositModel model(f.db());
    Lease lease(f, 1000);
    const int invoice = lease.invoice(f, -1, 300);
    const int deposit = model.receive(lease.id, today(), u"cash"_s, {});
    QVERIFY(deposit > 0);
    const double balance = f.tenantBalance(lease.tenant);
    const int invoices = f.count(u"invoices"_s);
    f.failWrites(table);
    QSignalSpy changed(&model, &DepositModel::dataChanged);

    // The invoiced rest needs damages beyond the deposit; otherwise a refund is paid.
    const bool beyond = table == u"invoices"_s;
    QVERIFY(!model.settle(
        deposit, damages({ beyond ? 900.0 : 100.0 }), false, beyond, today(), u"cash"_s, {}));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.getById(deposit).value(u"status"_s).toString(), u"held"_s);
    QCOMPARE(f.count(u"deposit_deductions"_s), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
    QCOMPARE(f.count(u"vouchers"_s), 1);
    QCOMPARE(f.count(u"invoices"_s), invoices);
    QCOMPARE(f.scalar(u"SELECT balance FROM invoices WHERE id=?"_s, { invoice }).toDouble(), 300.0);
    QCOMPARE(f.tenantBalance(lease.tenant), balance);
}

QTEST_GUILESS_MAIN(TestDeposits)
#include "tst_deposits.moc"
