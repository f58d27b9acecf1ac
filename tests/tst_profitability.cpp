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

class TestProfitability : public QObject
{
    Q_OBJECT

private slots:
    void projectFinancials();
    void propertyProfitability_data();
    void propertyProfitability();
    void unitProfitability_data();
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

void TestProfitability::propertyProfitability_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("withRent");
    QTest::addColumn<QList<double>>("expected"); // income, expenses, profit, margin
    const QDate today = TestFixture::today();
    const QString from = TestFixture::iso(today.addDays(-30));
    const QString to = TestFixture::iso(today);
    QTest::newRow("installments outside the period still count")
        << from << to << true << QList<double> { 15000, 3000, 12000, 80 };
    QTest::newRow("no period counts everything")
        << QString() << QString() << true
        << QList<double> { 15400, 3250, 12150, 12150.0 / 15400.0 * 100.0 };
    QTest::newRow("no income") << from << to << false << QList<double> { 0, 500, -500, 0 };
    // Guards the period against being pasted into the SQL: the quote must not widen the sums.
    QTest::newRow("quoted date is a value") << u"2000-01-01"_s << u"2000-01-31' OR '1'='1"_s << true
                                            << QList<double> { 5000, 0, 5000, 100 };
}

void TestProfitability::propertyProfitability()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, withRent);
    QFETCH(QList<double>, expected);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int rented = f.addUnit(property, u"1"_s, 1000, u"rented"_s);
    const int sold = f.addUnit(property, u"2"_s, 0, u"sold"_s);
    if (withRent) {
        const int tenant = f.addTenant(u"سامي"_s);
        const int invoice = f.addInvoice(tenant, rented, today.toString(u"yyyy-MM"_s), 20000);
        f.addPayment(invoice, tenant, 6000, today.addDays(-30));
        f.addPayment(invoice, tenant, 4000, today);
        f.addPayment(invoice, tenant, 400, today.addDays(-31));
        f.addInstallment(f.addBuyer(u"خالد"_s), sold, 5000, today.addYears(-2), 5000, u"paid"_s);
        f.addExpense(property, 0, 2000, today.addDays(-30));
        f.addExpense(property, rented, 1000, today);
        f.addExpense(property, 0, 250, today.addDays(1));
    } else {
        f.addExpense(property, 0, 500, today.addDays(-1));
    }
    f.addExpense(f.addProperty(u"آخر"_s), 0, 777, today);

    ReportController reports(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(figures(reports.getPropertyProfitability(property, from, to),
                 { u"income"_s, u"expenses"_s, u"profit"_s, u"margin"_s }),
        expected);
    QCOMPARE(errors.count(), 0);
}

void TestProfitability::unitProfitability_data()
{
    QTest::addColumn<double>("area");
    QTest::addColumn<double>("otherAreas");
    QTest::addColumn<double>("actualPrice");
    // sale price, direct, allocated, total cost, profit
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("a quarter of the area, unsold")
        << 100.0 << 300.0 << 0.0 << QList<double> { 50000, 300, 500, 800, 49200 };
    QTest::newRow("sold price wins over list price")
        << 100.0 << 300.0 << 70000.0 << QList<double> { 70000, 300, 500, 800, 69200 };
    QTest::newRow("area 0 counts as 1 of the raw total")
        << 0.0 << 200.0 << 0.0 << QList<double> { 50000, 300, 2000.0 / 200.0, 310, 49690 };
    QTest::newRow("no unit has an area")
        << 0.0 << 0.0 << 0.0 << QList<double> { 50000, 300, 2000, 2300, 47700 };
}

void TestProfitability::unitProfitability()
{
    QFETCH(double, area);
    QFETCH(double, otherAreas);
    QFETCH(double, actualPrice);
    QFETCH(QList<double>, expected);
    TestFixture f;
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"1"_s, 0, u"available"_s, area, 50000);
    if (actualPrice > 0)
        setUnit(f, unit, u"status='sold', sale_price_actual=?"_s, { actualPrice });
    const int neighbour = f.addUnit(property, u"2"_s, 0, u"available"_s, otherAreas, 40000);
    if (otherAreas == 0) {
        setUnit(f, unit, u"area=NULL"_s, {});
        setUnit(f, neighbour, u"area=NULL"_s, {});
    }
    f.addExpense(property, 0, 1500, today);
    f.addExpense(property, 0, 500, today.addYears(-1));
    f.addExpense(property, unit, 300, today);
    f.addExpense(property, neighbour, 4000, today);

    ReportController reports(f.db());
    QCOMPARE(figures(reports.getUnitProfitability(unit),
                 { u"sale_price"_s, u"direct_expenses"_s, u"allocated_expenses"_s, u"total_cost"_s,
                     u"profit"_s }),
        expected);
}

QTEST_GUILESS_MAIN(TestProfitability)
#include "tst_profitability.moc"
