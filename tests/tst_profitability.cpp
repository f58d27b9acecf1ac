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
