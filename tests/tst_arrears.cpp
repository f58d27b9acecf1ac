#include "arrears.h"
#include "dashboardcontroller.h"
#include "demodata.h"
#include "money.h"
#include "reportcontroller.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An invoice of `amount` (of which `paid` is paid) due `daysLate` days ago, in `currency`.
int addDueInvoice(TestFixture &f, int tenant, int unit, double amount, int daysLate,
    int currency = 1, double paid = 0)
{
    static int serial = 0;
    const QDate due = TestFixture::today().addDays(-daysLate);
    return f.insert(u"INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, "
                    "total_amount, paid_amount, balance, status, currency_id, due_date, "
                    "created_at) VALUES (?,?,?,?,?,?,?,?,?,?,?)"_s,
        { u"AR-"_s + QString::number(++serial), tenant, unit, due.toString(u"yyyy-MM"_s), amount,
            paid, amount - paid, paid > 0 ? u"partial"_s : u"pending"_s, currency,
            TestFixture::iso(due), TestFixture::iso(due.addDays(-5)) });
}

// The account's buckets added over its rows, in cents, for one currency symbol.
QList<qint64> bucketsOf(const QVariantList &rows, const QString &symbol = u"₪"_s)
{
    QList<qint64> sums(Arrears::buckets().size(), 0);
    for (const QVariant &item : rows) {
        const QVariantMap row = item.toMap();
        if (row.value(u"currency_symbol"_s).toString() != symbol)
            continue;
        for (qsizetype k = 0; k < sums.size(); ++k)
            sums[k] += Money::cents(row.value(Arrears::buckets().at(k)).toDouble());
    }
    return sums;
}

// Closing balance per currency symbol of a statement, in cents.
QMap<QString, qint64> closing(const QVariantMap &account)
{
    QMap<QString, qint64> result;
    for (const QVariant &item : account.value(u"currencies"_s).toList())
        result.insert(item.toMap().value(u"currency_symbol"_s).toString(),
            Money::cents(item.toMap().value(u"closing_balance"_s).toDouble()));
    return result;
}

QMap<QString, qint64> agingTotals(const QVariantList &rows)
{
    QMap<QString, qint64> result;
    for (const QVariant &item : rows)
        result[item.toMap().value(u"currency_symbol"_s).toString()]
            += Money::cents(item.toMap().value(u"total"_s).toDouble());
    return result;
}

} // namespace

class TestArrears : public QObject
{
    Q_OBJECT

private slots:
    void bucketBoundaries_data();
    void bucketBoundaries();
    void paymentsOnAccountSettleOldestFirst_data();
    void paymentsOnAccountSettleOldestFirst();
    void buyerDownPaymentAgesFromSale();
    void currenciesStayApartAndConvertAtDatedRate();
    void propertyFilterAndTotals();
    void equalFiguresListByNameThenId_data();
    void equalFiguresListByNameThenId();
    void dashboardSummary();
    void demoPortfolioMatchesStatements();
};

void TestArrears::bucketBoundaries_data()
{
    QTest::addColumn<int>("daysLate");
    QTest::addColumn<int>("bucket");
    QTest::newRow("due in ten days") << -10 << 0;
    QTest::newRow("due today") << 0 << 0;
    QTest::newRow("one day late") << 1 << 1;
    QTest::newRow("30 days late") << 30 << 1;
    QTest::newRow("31 days late") << 31 << 2;
    QTest::newRow("60 days late") << 60 << 2;
    QTest::newRow("61 days late") << 61 << 3;
    QTest::newRow("90 days late") << 90 << 3;
    QTest::newRow("91 days late") << 91 << 4;
}

void TestArrears::bucketBoundaries()
{
    QFETCH(int, daysLate);
    QFETCH(int, bucket);
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const int unit = f.addUnit(f.addProperty(), u"101"_s);
    f.addPayment(
        addDueInvoice(f, tenant, unit, 1000, daysLate, 1, 250), tenant, 250, TestFixture::today());

    QList<qint64> expected(5, 0);
    expected[bucket] = 75000;
    QCOMPARE(bucketsOf(Arrears::account(f.db(), u"tenant"_s, tenant)), expected);
}

// A payment not tied to an invoice is owed back by nobody: it settles the oldest amounts, and
// what it exceeds stays a credit, so the buckets still add up to the statement.
void TestArrears::paymentsOnAccountSettleOldestFirst_data()
{
    QTest::addColumn<double>("onAccount");
    QTest::addColumn<QList<qint64>>("expected");
    QTest::newRow("nothing on account") << 0.0 << QList<qint64> { 20000, 50000, 0, 0, 100000 };
    QTest::newRow("part of the oldest") << 400.0 << QList<qint64> { 20000, 50000, 0, 0, 60000 };
    QTest::newRow("the oldest and part of the next")
        << 1200.0 << QList<qint64> { 20000, 30000, 0, 0, 0 };
    QTest::newRow("more than everything") << 2000.0 << QList<qint64> { -30000, 0, 0, 0, 0 };
}

void TestArrears::paymentsOnAccountSettleOldestFirst()
{
    QFETCH(double, onAccount);
    QFETCH(QList<qint64>, expected);
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const int unit = f.addUnit(f.addProperty(), u"101"_s);
    addDueInvoice(f, tenant, unit, 1000, 120);
    addDueInvoice(f, tenant, unit, 500, 10);
    addDueInvoice(f, tenant, unit, 200, -5);
    if (onAccount > 0)
        f.addPayment(0, tenant, onAccount, TestFixture::today());

    const QVariantList rows = Arrears::account(f.db(), u"tenant"_s, tenant);
    QCOMPARE(bucketsOf(rows), expected);
    ReportController reports(f.db());
    QCOMPARE(agingTotals(rows), closing(reports.getTenantAccount(tenant)));
}

// A sale's down payment is charged on the sale day; unpaid, it is as late as the sale is old.
void TestArrears::buyerDownPaymentAgesFromSale()
{
    TestFixture f;
    const int buyer = f.addBuyer(u"ليلى"_s);
    const int unit = f.addUnit(f.addProperty(), u"A1"_s, 0, u"sold"_s);
    const QDate sale = TestFixture::today().addDays(-100);
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE units SET buyer_id=?, sale_price_actual=50000, sale_date=? WHERE id=?"_s,
        { buyer, TestFixture::iso(sale), unit }));
    f.addInstallment(buyer, unit, 20000, sale.addDays(45), 5000, u"partial"_s);
    f.addInstallment(buyer, unit, 20000, TestFixture::today().addDays(20));
    f.insert(u"INSERT INTO payments (buyer_id, unit_id, amount, payment_date, currency_id) "
             "VALUES (?,?,?,?,1)"_s,
        { buyer, unit, 4000.0, TestFixture::iso(sale) });
    f.insert(u"INSERT INTO payments (buyer_id, unit_id, amount, payment_date, currency_id) "
             "VALUES (?,?,?,?,1)"_s,
        { buyer, unit, 5000.0, TestFixture::iso(sale.addDays(50)) });

    const QVariantList rows = Arrears::account(f.db(), u"buyer"_s, buyer);
    QCOMPARE(bucketsOf(rows), (QList<qint64> { 2000000, 0, 1500000, 0, 600000 }));
    ReportController reports(f.db());
    QCOMPARE(agingTotals(rows), closing(reports.getBuyerAccount(buyer)));
}

void TestArrears::currenciesStayApartAndConvertAtDatedRate()
{
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const int unit = f.addUnit(f.addProperty(), u"101"_s);
    // The dollar invoice was issued when a dollar was 3.5; today it is 3.7.
    f.addRate(2, 1, 3.5, TestFixture::today().addDays(-60));
    f.addRate(2, 1, 3.7, TestFixture::today().addDays(-1));
    addDueInvoice(f, tenant, unit, 100, 40, 2);
    addDueInvoice(f, tenant, unit, 1000, 40, 1);

    const QVariantMap report = Arrears::report(f.db());
    QCOMPARE(report.value(u"rows"_s).toList().size(), 2);
    QCOMPARE(
        bucketsOf(report.value(u"rows"_s).toList(), u"$"_s), (QList<qint64> { 0, 0, 10000, 0, 0 }));
    QCOMPARE(report.value(u"totals"_s).toList().size(), 2);
    QVERIFY(!report.value(u"note"_s).toString().isEmpty());
    QCOMPARE(
        Money::cents(report.value(u"total_primary"_s).toMap().value(u"d60"_s).toDouble()), 135000);
}

void TestArrears::propertyFilterAndTotals()
{
    TestFixture f;
    const int north = f.addProperty(u"الشمال"_s);
    const int south = f.addProperty(u"الجنوب"_s);
    const int a = f.addTenant(u"أحمد"_s, u"1"_s);
    const int b = f.addTenant(u"باسل"_s, u"2"_s);
    addDueInvoice(f, a, f.addUnit(north, u"N1"_s), 300, 5);
    addDueInvoice(f, b, f.addUnit(north, u"N2"_s), 700, 95);
    addDueInvoice(f, b, f.addUnit(south, u"S1"_s), 100, 35);

    const QVariantMap all = Arrears::report(f.db(), 0, u"total"_s);
    QCOMPARE(all.value(u"rows"_s).toList().size(), 3);
    QCOMPARE(all.value(u"rows"_s).toList().first().toMap().value(u"name"_s).toString(), u"باسل"_s);
    QCOMPARE(all.value(u"property_totals"_s).toList().size(), 2);
    QCOMPARE(
        Money::cents(all.value(u"total_primary"_s).toMap().value(u"total"_s).toDouble()), 110000);

    const QVariantMap north_ = Arrears::report(f.db(), north, u"name"_s);
    QCOMPARE(north_.value(u"rows"_s).toList().size(), 2);
    QCOMPARE(
        north_.value(u"rows"_s).toList().first().toMap().value(u"name"_s).toString(), u"أحمد"_s);
    QCOMPARE(Money::cents(north_.value(u"total_primary"_s).toMap().value(u"overdue"_s).toDouble()),
        100000);
}

void TestArrears::equalFiguresListByNameThenId_data()
{
    QTest::addColumn<QString>("sortKey");
    QTest::addColumn<QString>("laterName");
    QTest::addColumn<QStringList>("expected");
    // Tenants are added in the order باسل, the later name, أحمد: ids run against the names.
    QTest::newRow("equal overdue")
        << u"overdue"_s << u"جميل"_s << QStringList { u"أحمد"_s, u"باسل"_s, u"جميل"_s };
    QTest::newRow("equal total") << u"total"_s << u"جميل"_s
                                 << QStringList { u"أحمد"_s, u"باسل"_s, u"جميل"_s };
    QTest::newRow("same property")
        << u"property"_s << u"جميل"_s << QStringList { u"أحمد"_s, u"باسل"_s, u"جميل"_s };
    QTest::newRow("same name, older account first")
        << u"name"_s << u"باسل"_s << QStringList { u"أحمد"_s, u"باسل"_s, u"باسل"_s };
}

void TestArrears::equalFiguresListByNameThenId()
{
    QFETCH(QString, sortKey);
    QFETCH(QString, laterName);
    QFETCH(QStringList, expected);
    TestFixture f;
    const int property = f.addProperty();
    QList<int> ids;
    for (const QString &name : { u"باسل"_s, laterName, u"أحمد"_s }) {
        ids.append(f.addTenant(name, QString::number(ids.size() + 1)));
        addDueInvoice(
            f, ids.constLast(), f.addUnit(property, QString::number(ids.size())), 500, 40);
    }

    QStringList names;
    QList<int> people;
    for (const QVariant &row : Arrears::rows(f.db(), 0, sortKey)) {
        names.append(row.toMap().value(u"name"_s).toString());
        people.append(row.toMap().value(u"person_id"_s).toInt());
    }
    QCOMPARE(names, expected);
    if (laterName == u"باسل"_s)
        QCOMPARE(people.mid(1), (QList<int> { ids.at(0), ids.at(1) }));
}

void TestArrears::dashboardSummary()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"101"_s);
    const int a = f.addTenant(u"أحمد"_s, u"1"_s);
    const int b = f.addTenant(u"باسل"_s, u"2"_s);
    addDueInvoice(f, a, unit, 300, 29);
    addDueInvoice(f, a, unit, 400, 31);
    addDueInvoice(f, b, unit, 500, 91);
    addDueInvoice(f, b, unit, 600, 120);
    // Dollars converted at the rate of their day, each bucket rounded to the cent as shown.
    f.addRate(2, 1, 3.7133, TestFixture::today().addDays(-100));
    addDueInvoice(f, b, unit, 33.33, 70, 2);
    addDueInvoice(f, b, unit, 10.01, 95, 2);

    DashboardController dashboard(f.db());
    const QVariantMap card = dashboard.getArrearsSummary();
    qint64 shown = 0;
    for (const QVariant &row : Arrears::rows(f.db(), 0, u"name"_s)) {
        for (const QString &bucket : { u"d60"_s, u"d90"_s, u"over90"_s })
            shown += Money::cents(row.toMap().value(bucket + u"_primary"_s).toDouble());
    }
    QCOMPARE(Money::cents(card.value(u"over_30"_s).toDouble()), 150000 + 12376 + 3717);
    QCOMPARE(Money::cents(card.value(u"over_30"_s).toDouble()), shown);
    QCOMPARE(card.value(u"accounts_over_90"_s).toInt(), 1);
}

// The arrears and the statements read the same money: on the sample portfolio every tenant's
// and buyer's aging adds up to the statement's closing balance, currency by currency.
void TestArrears::demoPortfolioMatchesStatements()
{
    TestFixture f;
    DemoData::fill(f.db());
    ReportController reports(f.db());
    const QVariantList rows = Arrears::rows(f.db());
    QVERIFY(rows.size() > 0);
    int checked = 0;
    for (const QString &kind : { u"tenant"_s, u"buyer"_s }) {
        const QString table = kind == u"tenant"_s ? u"tenants"_s : u"buyers"_s;
        for (const QVariant &item : f.db()->execQuery(u"SELECT id FROM "_s + table)) {
            const int id = item.toMap().value(u"id"_s).toInt();
            QVariantList own;
            for (const QVariant &row : rows) {
                if (row.toMap().value(u"kind"_s) == kind
                    && row.toMap().value(u"person_id"_s).toInt() == id)
                    own.append(row);
            }
            QMap<QString, qint64> expected = closing(
                kind == u"tenant"_s ? reports.getTenantAccount(id) : reports.getBuyerAccount(id));
            expected.removeIf([](const auto &it) { return it.value() == 0; });
            QCOMPARE(agingTotals(own), expected);
            ++checked;
        }
    }
    QVERIFY(checked > 10);
}

QTEST_GUILESS_MAIN(TestArrears)
#include "tst_arrears.moc"
