#include "dashboardcontroller.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The dashboard's SQL works on SQLite's (UTC) calendar; boundary dates come from there too.
static QDate monthStart(const QDate &day) { return QDate(day.year(), day.month(), 1); }

class TestDashboard : public QObject
{
    Q_OBJECT

private slots:
    void stats();
    void rates();
    void expiringContracts();
    void collectionChart();
    void currenciesWithoutRate_data();
    void currenciesWithoutRate();
};

void TestDashboard::stats()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int property = f.addProperty();
    f.addProperty(u"برج الزيتون"_s);
    const int unit1 = f.addUnit(property, u"A1"_s, 1000, u"rented"_s);
    const int unit2 = f.addUnit(property, u"A2"_s, 1000, u"rented"_s);
    const int unit3 = f.addUnit(property, u"A3"_s);
    f.addUnit(property, u"A4"_s, 1000, u"sold"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    f.addLease(unit1, tenant, today.addMonths(-2), today.addMonths(10), 1000);
    f.addLease(unit2, tenant, today.addMonths(-2), today.addMonths(10), 1000);
    f.addLease(unit3, f.addTenant(u"ليلى"_s), today.addYears(-2), today.addYears(-1), 900,
        u"terminated"_s);
    for (const QString &status : { u"new"_s, u"in_progress"_s, u"completed"_s, u"cancelled"_s })
        f.insert(u"INSERT INTO maintenance_requests (unit_id, title, status, created_at) "
                 "VALUES (?, 'x', ?, '2020-01-01')"_s,
            { unit1, status });
    f.addPayment(0, tenant, 700, monthStart(today));
    f.addPayment(0, tenant, 300, today);

    DashboardController dashboard(f.db());
    const QVariantMap stats = dashboard.getStats();
    QList<double> figures;
    for (const QString &key :
        { u"totalProperties"_s, u"activeTenants"_s, u"monthlyRevenue"_s, u"pendingMaintenance"_s })
        figures << stats.value(key).toDouble();
    // A tenant with two active leases counts twice; a sold unit cannot be rented.
    QCOMPARE(figures << dashboard.getOccupancyRate() << dashboard.getMonthlyRevenue(),
        (QList<double> { 2, 2, 1000, 2, 200.0 / 3, 1000 }));
}

void TestDashboard::rates()
{
    TestFixture f;
    const QDate thisMonth = monthStart(f.sqliteToday());
    const int tenant = f.addTenant(u"سامي"_s);
    const auto invoice = [&](int month, double total, const QString &status, double paid) {
        f.addInvoice(
            tenant, 0, thisMonth.addMonths(month).toString(u"yyyy-MM"_s), total, status, paid);
    };
    DashboardController dashboard(f.db());
    f.addPayment(0, 0, 5000, thisMonth.addMonths(-2)); // before the previous month
    f.addPayment(0, 0, 800, thisMonth);
    // The period text "yyyy-MM" is compared with the first day of last month as text, so last
    // month's invoices sort below it and only this and later billing months count.
    invoice(-1, 3000, u"partial"_s, 1000);
    QCOMPARE(dashboard.getStats().value(u"revenueGrowth"_s).toDouble(), 0.0);
    QCOMPARE(dashboard.getCollectionRate(), 0.0);

    f.addPayment(0, 0, 500, thisMonth.addMonths(-1));
    f.addPayment(0, 0, 500, thisMonth.addDays(-1));
    invoice(0, 3000, u"partial"_s, 1000);
    invoice(0, 1000, u"void"_s, 0); // a void invoice is nothing to collect
    QCOMPARE(dashboard.getStats().value(u"revenueGrowth"_s).toDouble(), -20.0);
    QCOMPARE(dashboard.getCollectionRate(), 100.0 / 3);
}

void TestDashboard::currenciesWithoutRate_data()
{
    // Money in dinars (currency 3) dated 30 days ago; rates of dinars or dollars to shekels.
    QTest::addColumn<int>("rateCurrency");
    QTest::addColumn<int>("rateAge");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no rate at all") << 0 << 0 << QStringList { u"JOD"_s };
    QTest::newRow("a rate before the money") << 3 << 40 << QStringList {};
    QTest::newRow("a rate on the money's day") << 3 << 30 << QStringList {};
    QTest::newRow("only a later rate") << 3 << 10 << QStringList { u"JOD"_s };
    QTest::newRow("a rate of another currency") << 2 << 40 << QStringList { u"JOD"_s };
}

void TestDashboard::currenciesWithoutRate()
{
    QFETCH(int, rateCurrency);
    QFETCH(int, rateAge);
    QFETCH(QStringList, expected);
    TestFixture f;
    const QDate day = f.sqliteToday().addDays(-30);
    f.addPayment(0, f.addTenant(u"سامي"_s), 700, day);
    f.db()->execNonQuery(u"UPDATE payments SET currency_id=3"_s);
    f.addPayment(0, 0, 100, day.addDays(-400)); // shekels never need a rate
    if (rateCurrency > 0)
        f.addRate(rateCurrency, 1, 4.9, f.sqliteToday().addDays(-rateAge));
    QCOMPARE(
        DashboardController(f.db()).getStats().value(u"currenciesWithoutRate"_s).toStringList(),
        expected);
}

void TestDashboard::expiringContracts()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int property = f.addProperty();
    const auto lease = [&](const QString &name, int endOffset, const QString &status) {
        const int unit = f.addUnit(property, name);
        f.addLease(
            unit, f.addTenant(name), today.addYears(-1), today.addDays(endOffset), 1000, status);
    };
    lease(u"بعد أربعين"_s, 40, u"active"_s);
    lease(u"بعد عشرين"_s, 20, u"active"_s);
    lease(u"انتهى"_s, -15, u"active"_s);
    lease(u"بعد ثلاثين"_s, 30, u"active"_s);
    lease(u"اليوم"_s, 0, u"active"_s);
    lease(u"منهي"_s, 5, u"terminated"_s);

    DashboardController dashboard(f.db());
    QStringList names;
    for (const QVariant &row : dashboard.getExpiringContracts())
        names << row.toMap().value(u"tenant_name"_s).toString();
    QCOMPARE(names, (QStringList { u"انتهى"_s, u"اليوم"_s, u"بعد عشرين"_s, u"بعد ثلاثين"_s }));
}

void TestDashboard::collectionChart()
{
    TestFixture f;
    const QDate thisMonth = monthStart(f.sqliteToday());
    f.addPayment(0, 0, 1200, thisMonth);
    f.addPayment(0, 0, 300.5, thisMonth);
    f.addPayment(0, 0, 800, thisMonth.addMonths(-2).addDays(14));
    f.addPayment(0, 0, 450, thisMonth.addMonths(-5));
    f.addPayment(0, 0, 999, thisMonth.addDays(-1).addMonths(-5)); // the month before the chart
    f.addPayment(0, 0, 777, thisMonth.addMonths(1)); // next month
    // A payment stored with a time is still its day's money.
    f.insert(u"INSERT INTO payments (amount, payment_date) VALUES (?, ?)"_s,
        { 25, TestFixture::iso(thisMonth.addMonths(-2)) + u" 18:30:00"_s });

    QStringList months;
    QList<double> values;
    for (const QVariant &bar : DashboardController(f.db()).getCollectionChart()) {
        months << bar.toMap().value(u"month"_s).toString();
        values << bar.toMap().value(u"value"_s).toDouble();
    }
    QCOMPARE(months.first(), thisMonth.addMonths(-5).toString(u"yyyy-MM"_s));
    QCOMPARE(months.last(), thisMonth.toString(u"yyyy-MM"_s));
    QCOMPARE(values, (QList<double> { 450, 0, 0, 825, 0, 1500.5 }));
}

QTEST_GUILESS_MAIN(TestDashboard)
#include "tst_dashboard.moc"
