#include "money.h"
#include "reportcontroller.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

static void setUnit(
    TestFixture &f, int unitId, const QString &assignments, const QVariantList &values)
{
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE units SET "_s + assignments + u" WHERE id=?"_s, values + QVariantList { unitId }));
}

static QList<double> figures(const QVariantMap &map, const QStringList &keys)
{
    QList<double> values;
    for (const QString &key : keys)
        values << map.value(key).toDouble();
    return values;
}

static void salePayment(TestFixture &f, int buyer, int unit, double amount, const QDate &date)
{
    f.insert(u"INSERT INTO payments (buyer_id, unit_id, amount, payment_date, currency_id) "
             "VALUES (?,?,?,?,1)"_s,
        { buyer, unit, amount, TestFixture::iso(date) });
}

class TestProfitability : public QObject
{
    Q_OBJECT

private slots:
    void projectFinancials();
    void everyProjectAtOnce_data();
    void everyProjectAtOnce();
    void propertyProfitability();
    void unitProfitability();
};

void TestProfitability::projectFinancials()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int sold1 = f.addUnit(property, u"1"_s, 0, u"sold"_s);
    const int sold2 = f.addUnit(property, u"2"_s, 0, u"sold"_s);
    f.addUnit(property, u"3"_s, 0, u"available"_s, 100, 90000);
    setUnit(f, sold1, u"sale_price_actual=?, sale_price=?"_s, { 100000, 95000 });
    setUnit(f, sold2, u"sale_price_actual=?"_s, { 120000 });
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, sold1, 100000, today.addMonths(-3), 100000, u"paid"_s);
    f.addInstallment(buyer, sold2, 120000, today.addMonths(-1), 50000, u"partial"_s);
    // Sale money is what the buyers paid, as the payments that collecting it records.
    salePayment(f, buyer, sold1, 100000, today.addMonths(-3));
    salePayment(f, buyer, sold2, 50000, today.addMonths(-1));
    f.addExpense(property, 0, 20000, today.addYears(-3));
    f.addExpense(property, sold1, 10000, today);
    // Another property's figures stay out.
    const int other = f.addProperty(u"آخر"_s);
    f.addUnit(other, u"1"_s, 0, u"available"_s, 100, 70000);
    f.addExpense(other, 0, 999, today);

    ReportController reports(f.db());
    QCOMPARE(
        figures(reports.getProjectDetailedFinancials(property),
            { u"total_sales_value"_s, u"unsold_value"_s, u"total_collected"_s, u"total_expenses"_s,
                u"expected_profit"_s, u"net_cash_flow"_s, u"total_units"_s, u"sold_units"_s }),
        (QList<double> { 220000, 90000, 150000, 30000, 280000, 120000, 3, 2 }));
}

void TestProfitability::everyProjectAtOnce_data()
{
    QTest::addColumn<QString>("portfolio");
    QTest::newRow("sales in two currencies, one without a schedule") << u"sales"_s;
    QTest::newRow("rent on a voided invoice and rent without an invoice") << u"rent"_s;
    QTest::newRow("expenses on units, on the property, on none, undated") << u"expenses"_s;
    QTest::newRow("a property without units beside available ones") << u"empty"_s;
}

// The grouped sums agree with the single-property figures, property by property.
void TestProfitability::everyProjectAtOnce()
{
    QFETCH(QString, portfolio);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int one = f.addProperty(u"ب"_s);
    const int two = f.addProperty(u"أ"_s);
    f.addRate(2, 1, 3.7, today.addYears(-1));
    const int buyer = f.addBuyer(u"خالد"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    f.addUnit(one, u"A"_s, 0, u"available"_s, 100, 90000.33);
    const int priced = f.addUnit(two, u"A"_s, 0, u"available"_s, 100, 20000);
    setUnit(f, priced, u"currency_id=2"_s, {});
    if (portfolio == u"sales"_s) {
        for (const int property : { one, two }) {
            const int sold = f.addUnit(property, u"S"_s, 0, u"sold"_s);
            const int plain = f.addUnit(property, u"P"_s, 0, u"sold"_s);
            setUnit(f, sold, u"sale_price_actual=?, sale_date=?, buyer_id=?"_s,
                { 100000.10 * property, TestFixture::iso(today), buyer });
            setUnit(f, plain, u"sale_price_actual=?, sale_date=?, buyer_id=?"_s,
                { 5000, TestFixture::iso(today.addMonths(-2)), buyer });
            f.insert(u"INSERT INTO installments (buyer_id, unit_id, total_price, "
                     "installment_amount, due_date, currency_id) VALUES (?,?,1,1,?,2)"_s,
                { buyer, sold, TestFixture::iso(today) });
            salePayment(f, buyer, sold, 333.33, today);
            salePayment(f, buyer, plain, 1000.01, today.addDays(-3));
        }
    } else if (portfolio == u"rent"_s) {
        for (const int property : { one, two }) {
            const int rented = f.addUnit(property, u"R"_s, 700, u"rented"_s);
            const int open = f.addInvoice(tenant, rented, today.toString(u"yyyy-MM"_s), 700);
            const int voided = f.addInvoice(
                tenant, rented, today.addMonths(-1).toString(u"yyyy-MM"_s), 700, u"void"_s);
            f.addPayment(open, tenant, 350.5 * property, today);
            f.addPayment(voided, tenant, 99, today);
        }
        f.addPayment(0, tenant, 1234, today);
    } else if (portfolio == u"expenses"_s) {
        const int unit = f.addUnit(two, u"E"_s, 0, u"rented"_s);
        f.addExpense(one, 0, 120.45, today);
        f.addExpense(two, unit, 80.1, today.addYears(-2));
        f.addExpense(0, 0, 999, today);
        const int undated = f.addExpense(two, 0, 55, today);
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE expenses SET expense_date='soon', currency_id=2 WHERE id=?"_s, { undated }));
    } else {
        f.addProperty(u"ج"_s);
    }

    ReportController reports(f.db());
    const QVariantList all = reports.getProjectsFinancials();
    QCOMPARE(all.size(), f.count(u"properties"_s));
    const QStringList keys { u"total_sales_value"_s, u"total_collected"_s, u"rent_income"_s,
        u"total_expenses"_s, u"unsold_value"_s, u"expected_profit"_s, u"net_cash_flow"_s,
        u"total_units"_s, u"sold_units"_s };
    QStringList names;
    for (const QVariant &item : all) {
        const QVariantMap row = item.toMap();
        names << row.value(u"name"_s).toString();
        const QVariantMap single = reports.getProjectDetailedFinancials(row.value(u"id"_s).toInt());
        for (const QString &key : keys) {
            QCOMPARE(Money::cents(row.value(key).toDouble()),
                Money::cents(single.value(key).toDouble()));
        }
    }
    QCOMPARE(names.first(), u"أ"_s);
}

void TestProfitability::propertyProfitability()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int rented = f.addUnit(property, u"1"_s, 1000, u"rented"_s);
    const int sold = f.addUnit(property, u"2"_s, 0, u"sold"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, rented, today.toString(u"yyyy-MM"_s), 20000);
    f.addPayment(invoice, tenant, 6000, today.addDays(-30));
    f.addPayment(invoice, tenant, 4000, today);
    f.addPayment(invoice, tenant, 400, today.addDays(-31));
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, sold, 5000, today.addYears(-2), 5000, u"paid"_s);
    salePayment(f, buyer, sold, 5000, today.addYears(-2));
    f.addExpense(property, 0, 2000, today.addDays(-30));
    f.addExpense(property, rented, 1000, today);
    f.addExpense(property, 0, 250, today.addDays(1));
    f.addExpense(f.addProperty(u"آخر"_s), 0, 777, today);

    ReportController reports(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QStringList keys { u"income"_s, u"expenses"_s, u"profit"_s, u"margin"_s };
    // Installments outside the period still count.
    QCOMPARE(figures(reports.getPropertyProfitability(
                         property, TestFixture::iso(today.addDays(-30)), TestFixture::iso(today)),
                 keys),
        (QList<double> { 15000, 3000, 12000, 80 }));
    // A quoted date is a value: pasted into the SQL it would widen the sums.
    QCOMPARE(figures(reports.getPropertyProfitability(
                         property, u"2000-01-01"_s, u"2000-01-31' OR '1'='1"_s),
                 keys),
        (QList<double> { 5000, 0, 5000, 100 }));
    QCOMPARE(errors.count(), 0);
}

void TestProfitability::unitProfitability()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"1"_s, 0, u"available"_s, 100, 50000);
    const int noArea = f.addUnit(property, u"2"_s, 0, u"available"_s, 0, 30000);
    const int neighbour = f.addUnit(property, u"3"_s, 0, u"available"_s, 100, 40000);
    f.addExpense(property, 0, 1500, today);
    f.addExpense(property, 0, 500, today.addYears(-1));
    f.addExpense(property, unit, 300, today);
    f.addExpense(property, neighbour, 4000, today);

    ReportController reports(f.db());
    const QStringList keys { u"sale_price"_s, u"direct_expenses"_s, u"allocated_expenses"_s,
        u"total_cost"_s, u"profit"_s };
    // Shared costs follow the area; an area of 0 counts as 1 of the raw total.
    QCOMPARE(figures(reports.getUnitProfitability(unit), keys),
        (QList<double> { 50000, 300, 1000, 1300, 48700 }));
    QCOMPARE(figures(reports.getUnitProfitability(noArea), keys),
        (QList<double> { 30000, 0, 10, 10, 29990 }));
}

QTEST_GUILESS_MAIN(TestProfitability)
#include "tst_profitability.moc"
