#include "money.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// One amount received from a tenant settles several open invoices, oldest first.
class TestSettlement : public QObject
{
    Q_OBJECT

private slots:
    void settle_data();
    void settle();
    void buyerPaymentsShowTheBuyer();
};

using Cents = QList<qint64>;

// The tenant owes 500 (two months ago), 300.10 (last month) and 200 (this month).
void TestSettlement::settle_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QList<int>>("chosen"); // indexes into the three invoices; 3 = a stranger's
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("payments");
    QTest::addColumn<Cents>("balances");
    const Cents untouched { 50000, 30010, 20000 };
    QTest::newRow("oldest first, the last one in part")
        << 900.0 << QList<int>() << 0 << QString() << 3 << Cents { 0, 0, 10010 };
    QTest::newRow("all of it to the cent")
        << 1000.1 << QList<int>() << -5 << QString() << 3 << Cents { 0, 0, 0 };
    QTest::newRow("only the chosen, oldest of them first")
        << 250.0 << QList<int> { 2, 1 } << 0 << QString() << 1 << Cents { 50000, 5010, 20000 };
    QTest::newRow("a cent more than owed")
        << 1000.11 << QList<int>() << 0 << QString() << -1 << untouched;
    QTest::newRow("more than the chosen owe")
        << 600.0 << QList<int> { 0 } << 0 << QString() << -1 << untouched;
    QTest::newRow("another tenant's invoice chosen")
        << 100.0 << QList<int> { 0, 3 } << 0 << QString() << -1 << untouched;
    QTest::newRow("dated tomorrow") << 100.0 << QList<int>() << 1 << QString() << -1 << untouched;
    QTest::newRow("nothing") << 0.0 << QList<int>() << 0 << QString() << -1 << untouched;
    QTest::newRow("invoices in two currencies")
        << 900.0 << QList<int>() << 0 << u"currency"_s << -1 << untouched;
    QTest::newRow("third write fails: nothing stays")
        << 900.0 << QList<int>() << 0 << u"write"_s << -1 << untouched;
}

void TestSettlement::settle()
{
    QFETCH(double, amount);
    QFETCH(QList<int>, chosen);
    QFETCH(int, dayOffset);
    QFETCH(QString, fault);
    QFETCH(int, payments);
    QFETCH(Cents, balances);
    TestFixture f;
    PaymentModel model(f.db());
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const QDate today = TestFixture::today();
    QList<int> invoices;
    // Created newest first, so the order of the rows is not the order of the months.
    for (int months : { 0, -1, -2 })
        invoices.prepend(f.addInvoice(tenant, unit, today.addMonths(months).toString(u"yyyy-MM"_s),
            months == 0 ? 200.0 : (months == -1 ? 300.1 : 500.0)));
    invoices.append(f.addInvoice(f.addTenant(u"غريب"_s), unit, today.toString(u"yyyy-MM"_s), 100));
    if (fault == u"currency"_s)
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE invoices SET currency_id=2 WHERE id=?"_s, { invoices.at(2) }));
    if (fault == u"write"_s)
        f.failWrites(u"invoices"_s, u"UPDATE"_s, u"NEW.id="_s + QString::number(invoices.at(2)));
    QVariantList ids;
    for (int index : chosen)
        ids.append(invoices.at(index));
    QSignalSpy changed(&model, &PaymentModel::dataChanged);

    QCOMPARE(model.settle(tenant, ids, amount, u"cash"_s,
                 TestFixture::iso(today.addDays(dayOffset)), u"R-1"_s),
        payments);
    QCOMPARE(changed.count(), payments > 0 ? 1 : 0);
    QCOMPARE(f.count(u"payments"_s), qMax(payments, 0));
    Cents after;
    for (int i = 0; i < 3; ++i)
        after.append(Money::cents(
            f.scalar(u"SELECT balance FROM invoices WHERE id=?"_s, { invoices.at(i) }).toDouble()));
    QCOMPARE(after, balances);
}

// The payments list names whoever paid: an installment payment has a buyer and a unit, no
// tenant and no invoice.
void TestSettlement::buyerPaymentsShowTheBuyer()
{
    TestFixture f;
    PaymentModel model(f.db());
    const int unit = f.addUnit(f.addProperty(u"برج الياسمين"_s), u"S-3"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"ليلى حداد"_s);
    f.insert(u"INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, "
             "currency_id) VALUES (?,?,500,'cash',?,1)"_s,
        { buyer, unit, TestFixture::iso(TestFixture::today()) });
    const QVariantMap row = model.getLatest(10).first().toMap();
    QCOMPARE(row.value(u"tenant_name"_s).toString(), u"ليلى حداد"_s);
    QCOMPARE(row.value(u"unit_number"_s).toString(), u"S-3"_s);
    QCOMPARE(row.value(u"property_name"_s).toString(), u"برج الياسمين"_s);
}

QTEST_GUILESS_MAIN(TestSettlement)
#include "tst_settlement.moc"
