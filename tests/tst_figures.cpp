#include "dashboardcontroller.h"
#include "figures.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "reportcontroller.h"
#include "testfixture.h"

#include <QTest>
#include <tuple>

using namespace Qt::StringLiterals;

using TF = TestFixture;

// Each figure that several places show, worked out by hand on a small portfolio:
//   building one: a rented unit (invoice 700 paid this month), a unit sold this month for 50,000
//     with 5,000 down, another sold for 10,000 dollars with 1,000 down, two units available
//     asking 80,000 shekels and 20,000 dollars, an expense of 1,200 paid this month, and an
//     invoice of 900 that got 300 and was voided;
//   building two: a rented unit whose invoice of 100 dollars was paid and another of 50 dollars
//     still open; a dollar is 3.5 shekels.
class TestFigures : public QObject
{
    Q_OBJECT

private slots:
    void figuresAgree_data();
    void figuresAgree();
    void collectionsTakeEachDaysRate_data();
    void collectionsTakeEachDaysRate();
};

void TestFigures::figuresAgree_data()
{
    QTest::addColumn<QString>("figure");
    QTest::addColumn<double>("expected");
    QTest::newRow("occupancy: rented over rentable") << u"occupancy"_s << 50.0;
    QTest::newRow("occupancy of building one") << u"occupancy one"_s << 100.0 / 3;
    QTest::newRow("monthly revenue: rent in shekels, dollars converted, void left out")
        << u"revenue"_s << 1050.0;
    QTest::newRow("sale money on its own, down payments included, dollars converted")
        << u"sales"_s << 8500.0;
    QTest::newRow("cash available: collections less expenses paid") << u"cash"_s << 8350.0;
    QTest::newRow("building one counts rent beside sales") << u"project net"_s << 8000.0;
    QTest::newRow("sale prices in two currencies") << u"sales value"_s << 85000.0;
    QTest::newRow("asking prices in two currencies") << u"unsold value"_s << 150000.0;
    QTest::newRow("installments owed in two currencies") << u"installments owed"_s << 76500.0;
    QTest::newRow("rent owed in dollars") << u"rent owed"_s << 175.0;
    QTest::newRow("building two's income in dollars") << u"income two"_s << 350.0;
}

void TestFigures::figuresAgree()
{
    QFETCH(QString, figure);
    QFETCH(double, expected);
    TestFixture f;
    const QDate today = TF::today();
    const QString month = today.toString(u"yyyy-MM"_s);
    const int one = f.addProperty(u"البرج الأول"_s);
    const int two = f.addProperty(u"البرج الثاني"_s);
    const int rented = f.addUnit(one, u"R1"_s, 700, u"rented"_s);
    const int sold = f.addUnit(one, u"S1"_s);
    const int soldInDollars = f.addUnit(one, u"S2"_s);
    f.addUnit(one, u"A1"_s, 1000, u"available"_s, 100, 80000);
    const int askedInDollars = f.addUnit(one, u"A2"_s, 1000, u"available"_s, 100, 20000);
    QVERIFY(
        f.db()->execNonQuery(u"UPDATE units SET currency_id=2 WHERE id=?"_s, { askedInDollars }));
    const int rentedTwo = f.addUnit(two, u"R2"_s, 100, u"rented"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const int tenantTwo = f.addTenant(u"ليلى"_s);
    f.addRate(2, 1, 3.5, today.addDays(-1));

    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const auto bill = [&](int who, int unit, double total, int currency, const QString &period) {
        return invoices.createInvoice(who, unit, period,
            { QVariantMap { { u"description"_s, u"إيجار"_s }, { u"unit_price"_s, total },
                { u"total"_s, total } } },
            currency);
    };
    QVERIFY(payments.add(bill(tenant, rented, 700, 1, month), tenant, 700, u"cash"_s,
                TF::iso(today), QString(), 1)
        > 0);
    QVERIFY(payments.add(bill(tenantTwo, rentedTwo, 100, 2, month), tenantTwo, 100, u"cash"_s,
                TF::iso(today), QString(), 2)
        > 0);
    QVERIFY(bill(tenantTwo, rentedTwo, 50, 2, today.addMonths(1).toString(u"yyyy-MM"_s)) > 0);
    const int voided = bill(tenant, rented, 900, 1, today.addMonths(-1).toString(u"yyyy-MM"_s));
    const int paidOnVoided
        = payments.add(voided, tenant, 300, u"cash"_s, TF::iso(today), QString(), 1);
    QVERIFY(paidOnVoided > 0);
    // Money received stays on record: the payment is reversed before its invoice is voided.
    QVERIFY(payments.reverse(paidOnVoided, u"فاتورة خاطئة"_s) > 0);
    QVERIFY(invoices.voidInvoice(voided, u"فاتورة خاطئة"_s));
    QCOMPARE(InstallmentModel(f.db()).sellUnit(
                 f.addBuyer(u"خالد"_s), sold, 50000, 5000, 2, TF::iso(today), 1),
        1);
    QCOMPARE(InstallmentModel(f.db()).sellUnit(
                 f.addBuyer(u"نادر"_s), soldInDollars, 10000, 1000, 1, TF::iso(today), 2),
        1);
    f.addExpense(one, 0, 1200, today);

    DashboardController dashboard(f.db());
    ReportController reports(f.db());
    const QString monthStart = TF::iso(QDate(today.year(), today.month(), 1));
    const QVariantMap stats = dashboard.getStats();
    const QVariantMap month_ = reports.getProfitLoss(monthStart, TF::iso(today));
    const QVariantMap project = reports.getProjectDetailedFinancials(one);
    QList<double> places;
    if (figure == u"occupancy"_s) {
        places << dashboard.getOccupancyRate() << reports.getOccupancy()
               << reports.getSmartAIAnalysis().value(u"occupancy"_s).toDouble();
    } else if (figure == u"occupancy one"_s) {
        places << reports.getOccupancy(one);
    } else if (figure == u"revenue"_s) {
        places << stats.value(u"monthlyRevenue"_s).toDouble() << dashboard.getMonthlyRevenue()
               << dashboard.getCollectionChart().last().toMap().value(u"value"_s).toDouble()
               << month_.value(u"rent_revenue"_s).toDouble();
    } else if (figure == u"sales"_s) {
        places << stats.value(u"monthlySales"_s).toDouble()
               << month_.value(u"sale_revenue"_s).toDouble()
               << project.value(u"total_collected"_s).toDouble();
    } else if (figure == u"cash"_s) {
        places << reports.getBalanceSheet().value(u"cash"_s).toDouble()
               << month_.value(u"net_profit"_s).toDouble();
    } else if (figure == u"project net"_s) {
        places << project.value(u"net_cash_flow"_s).toDouble()
               << reports.getPropertyProfitability(one).value(u"profit"_s).toDouble();
    } else if (figure == u"sales value"_s) {
        places << project.value(u"total_sales_value"_s).toDouble();
    } else if (figure == u"unsold value"_s) {
        places << project.value(u"unsold_value"_s).toDouble();
    } else if (figure == u"installments owed"_s) {
        places << reports.getBalanceSheet().value(u"installment_receivables"_s).toDouble();
    } else if (figure == u"rent owed"_s) {
        places << reports.getBalanceSheet().value(u"receivables"_s).toDouble();
    } else if (figure == u"income two"_s) {
        for (const QVariant &row : reports.getPropertyComparison()) {
            if (row.toMap().value(u"id"_s).toInt() == two)
                places << row.toMap().value(u"income"_s).toDouble();
        }
        places << PropertyModel(f.db()).getStats(two).value(u"total_income"_s).toDouble();
    }
    QVERIFY(!places.isEmpty());
    QCOMPARE(places, QList<double>(places.size(), expected));
}

void TestFigures::collectionsTakeEachDaysRate_data()
{
    QTest::addColumn<int>("fromDaysAgo");
    QTest::addColumn<double>("expected");
    // 100 dollars at 3.0, 100 dollars and 50 shekels on one day at 4.0.
    QTest::newRow("the whole history") << -1 << 750.0;
    QTest::newRow("a range across the rate change") << 30 << 750.0;
    QTest::newRow("after the rate change only") << 7 << 450.0;
}

// Dollars paid on either side of a rate change each convert at their own day's rate, however
// the sum is put together.
void TestFigures::collectionsTakeEachDaysRate()
{
    QFETCH(int, fromDaysAgo);
    QFETCH(double, expected);
    TestFixture f;
    const QDate today = TF::today();
    const int unit = f.addUnit(f.addProperty(), u"101"_s, 100, u"rented"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    f.addRate(2, 1, 3.0, today.addDays(-20));
    f.addRate(2, 1, 4.0, today.addDays(-5));
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const auto bill = [&](double total, int currency) {
        return invoices.createInvoice(tenant, unit, today.toString(u"yyyy-MM"_s),
            { QVariantMap { { u"description"_s, u"إيجار"_s }, { u"unit_price"_s, total },
                { u"total"_s, total } } },
            currency);
    };
    const int dollars = bill(200, 2);
    const int shekels = bill(50, 1);
    for (const auto &[invoice, daysAgo, currency, amount] : { std::tuple { dollars, 10, 2, 100.0 },
             std::tuple { dollars, 2, 2, 100.0 }, std::tuple { shekels, 2, 1, 50.0 } })
        QVERIFY(payments.add(invoice, tenant, amount, u"cash"_s, TF::iso(today.addDays(-daysAgo)),
                    QString(), currency)
            > 0);

    const QString from = fromDaysAgo < 0 ? QString() : TF::iso(today.addDays(-fromDaysAgo));
    QCOMPARE(Money::cents(Figures::rentCollections(f.db(), from, TF::iso(today))),
        Money::cents(expected));
}

QTEST_GUILESS_MAIN(TestFigures)
#include "tst_figures.moc"
