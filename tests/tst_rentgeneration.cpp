#include "invoicemodel.h"
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

QString thisPeriod() { return periodOf(0); }

QString prefix() { return u"INV-"_s + QDate::currentDate().toString(u"yyyyMM"_s) + u"-"_s; }

int lease(TestFixture &f, int unit, int tenant, double rent, const QString &status = u"active"_s,
    int currencyId = 1, int endInMonths = 6)
{
    const QDate today = QDate::currentDate();
    return f.addLease(
        unit, tenant, today.addYears(-1), today.addMonths(endInMonths), rent, status, currencyId);
}

QVariantList invoicesOf(TestFixture &f, int tenant)
{
    return f.db()->execQuery(u"SELECT * FROM invoices WHERE tenant_id=? ORDER BY id"_s, { tenant });
}

QVariantList itemsOf(TestFixture &f, const QVariant &invoice)
{
    return f.db()->execQuery(u"SELECT * FROM invoice_items WHERE invoice_id=? ORDER BY id"_s,
        { invoice.toMap()[u"id"_s] });
}

void addUsage(
    TestFixture &f, int unit, int service, const QString &period, double consumption, double cost)
{
    f.insert(u"INSERT INTO usage_records (unit_id, service_id, period, consumption, cost) "
             "VALUES (?,?,?,?,?)"_s,
        { unit, service, period, consumption, cost });
}

} // namespace

class TestRentGeneration : public QObject
{
    Q_OBJECT

private slots:
    void rentRun();
    void usageLines_data();
    void usageLines();
    void failedInvoiceIsUndoneAndRunGoesOn_data();
    void failedInvoiceIsUndoneAndRunGoesOn();
    void propertyServiceInvoiceOncePerTenant();
    void serviceInvoices();
    void malformedInputRefused_data();
    void malformedInputRefused();
};

void TestRentGeneration::rentRun()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    const int sami = f.addTenant(u"سامي"_s);
    const int laila = f.addTenant(u"ليلى"_s);
    const int ended = f.addTenant(u"خالد"_s);
    const int former = f.addTenant(u"منى"_s);
    const int unitA = f.addUnit(property, u"A1"_s);
    const int unitB = f.addUnit(property, u"A2"_s);
    // A tenant with two leases is billed once, for the first.
    const int leaseA = lease(f, unitA, sami, 1000);
    lease(f, f.addUnit(property, u"A3"_s), sami, 800);
    const int leaseB = lease(f, unitB, laila, 750);
    // Still marked active after its end: billed. Terminated: not billed.
    lease(f, f.addUnit(property, u"A4"_s), ended, 600, u"active"_s, 1, -2);
    lease(f, f.addUnit(property, u"A5"_s), former, 500, u"terminated"_s);

    QCOMPARE(model.generateAllRent(thisPeriod()), 3);
    QCOMPARE(changed.count(), 1);
    const struct
    {
        int tenant, unit, contract;
        double rent;
        QString number;
    } expected[] = { { sami, unitA, leaseA, 1000, prefix() + u"0001"_s },
        { laila, unitB, leaseB, 750, prefix() + u"0002"_s } };
    for (const auto &e : expected) {
        const QVariantList invoices = invoicesOf(f, e.tenant);
        QCOMPARE(invoices.size(), 1);
        const QVariantMap invoice = invoices.first().toMap();
        QCOMPARE(invoice.value(u"invoice_number"_s).toString(), e.number);
        QCOMPARE(invoice.value(u"unit_id"_s).toInt(), e.unit);
        QCOMPARE(invoice.value(u"contract_id"_s).toInt(), e.contract);
        QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), e.rent);
        const QVariantMap line = itemsOf(f, invoice).first().toMap();
        QCOMPARE(line.value(u"description"_s).toString(), u"إيجار شهري"_s);
        QCOMPARE(line.value(u"type"_s).toString(), u"rent"_s);
        QCOMPARE(line.value(u"unit_price"_s).toDouble(), e.rent);
        QCOMPARE(f.tenantBalance(e.tenant), e.rent);
    }
    QCOMPARE(f.tenantBalance(ended), 600.0);
    QCOMPARE(invoicesOf(f, former).size(), 0);

    // A rerun issues nothing; the next month is new, numbered on from this month's sequence.
    QCOMPARE(model.generateAllRent(thisPeriod()), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.tenantBalance(sami), 1000.0);
    QCOMPARE(model.generateAllRent(periodOf(1)), 3);
    QCOMPARE(invoicesOf(f, sami).last().toMap().value(u"invoice_number"_s).toString(),
        prefix() + u"0004"_s);
}

void TestRentGeneration::usageLines_data()
{
    QTest::addColumn<double>("consumption");
    QTest::addColumn<double>("cost");
    QTest::addColumn<double>("unitPrice");
    QTest::newRow("metered consumption divides") << 20.0 << 60.0 << 3.0;
    QTest::newRow("zero consumption does not divide") << 0.0 << 15.0 << 15.0;
    QTest::newRow("half a unit is priced whole") << 0.5 << 10.0 << 10.0;
    QTest::newRow("exactly one unit is priced whole") << 1.0 << 8.0 << 8.0;
    QTest::newRow("just over one divides") << 1.25 << 10.0 << 8.0;
}

void TestRentGeneration::usageLines()
{
    QFETCH(double, consumption);
    QFETCH(double, cost);
    QFETCH(double, unitPrice);
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, unit, tenant, 1000);
    addUsage(f, unit, 1, thisPeriod(), consumption, cost);
    addUsage(f, unit, 3, thisPeriod(), 0, 15);
    // Neither another period nor another unit adds lines.
    addUsage(f, unit, 2, periodOf(-1), 30, 90);
    addUsage(f, f.addUnit(property, u"A2"_s), 2, thisPeriod(), 30, 90);

    QCOMPARE(model.generateAllRent(thisPeriod()), 1);
    const QVariant invoice = invoicesOf(f, tenant).first();
    QCOMPARE(invoice.toMap().value(u"total_amount"_s).toDouble(), 1000 + cost + 15);
    QCOMPARE(f.tenantBalance(tenant), 1000 + cost + 15);
    const QVariantList items = itemsOf(f, invoice);
    QCOMPARE(items.size(), 3);
    const QVariantMap water = items.at(1).toMap();
    QCOMPARE(water.value(u"description"_s).toString(), u"مياه"_s);
    QCOMPARE(water.value(u"type"_s).toString(), u"usage"_s);
    QCOMPARE(water.value(u"quantity"_s).toDouble(), consumption);
    QCOMPARE(water.value(u"unit_price"_s).toDouble(), unitPrice);
    QCOMPARE(water.value(u"total"_s).toDouble(), cost);
}

void TestRentGeneration::failedInvoiceIsUndoneAndRunGoesOn_data()
{
    QTest::addColumn<bool>("refuseBalance");
    QTest::newRow("lease without currency") << false;
    // The invoice row and its lines go in; the balance update is refused.
    QTest::newRow("balance update refused") << true;
}

void TestRentGeneration::failedInvoiceIsUndoneAndRunGoesOn()
{
    QFETCH(bool, refuseBalance);
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int property = f.addProperty();
    const int first = f.addTenant(u"سامي"_s);
    const int failing = f.addTenant(u"ليلى"_s);
    const int last = f.addTenant(u"خالد"_s);
    for (const int tenant : { first, failing, last }) {
        const int unit = f.addUnit(property, u"U"_s + QString::number(tenant));
        lease(f, unit, tenant, 1000, u"active"_s, tenant == failing && !refuseBalance ? 0 : 1);
        if (tenant == failing)
            addUsage(f, unit, 1, thisPeriod(), 20, 60);
    }
    if (refuseBalance)
        f.failWrites(u"tenants"_s, u"UPDATE"_s, u"OLD.id=%1"_s.arg(failing));

    QCOMPARE(model.generateAllRent(thisPeriod()), 2);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(invoicesOf(f, failing).size(), 0);
    QCOMPARE(f.count(u"invoice_items"_s), 2);
    QCOMPARE(f.tenantBalance(failing), 0.0);
    QCOMPARE(f.tenantBalance(last), 1000.0);
    // The failed invoice leaves no hole in the numbering.
    QCOMPARE(invoicesOf(f, last).first().toMap().value(u"invoice_number"_s).toString(),
        prefix() + u"0002"_s);
}

void TestRentGeneration::propertyServiceInvoiceOncePerTenant()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    const int sami = f.addTenant(u"سامي"_s);
    const int laila = f.addTenant(u"ليلى"_s);
    const int former = f.addTenant(u"خالد"_s);
    const int outsider = f.addTenant(u"منى"_s);
    lease(f, f.addUnit(property, u"A1"_s), sami, 1000);
    lease(f, f.addUnit(property, u"A2"_s), sami, 1000);
    lease(f, f.addUnit(property, u"A3"_s), laila, 1000);
    lease(f, f.addUnit(property, u"A4"_s), former, 1000, u"terminated"_s);
    lease(f, f.addUnit(f.addProperty(u"برج الزيتون"_s), u"B1"_s), outsider, 1000);

    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مصعد"_s, 50, thisPeriod(), 1), 2);
    QCOMPARE(changed.count(), 1);
    for (const int tenant : { sami, laila }) {
        const QVariantList invoices = invoicesOf(f, tenant);
        QCOMPARE(invoices.size(), 1);
        QVERIFY(invoices.first().toMap().value(u"contract_id"_s).isNull());
        const QVariantMap line = itemsOf(f, invoices.first()).first().toMap();
        QCOMPARE(line.value(u"description"_s).toString(), u"مصعد"_s);
        QCOMPARE(line.value(u"type"_s).toString(), u"service"_s);
        QCOMPARE(line.value(u"unit_price"_s).toDouble(), 50.0);
        QCOMPARE(f.tenantBalance(tenant), 50.0);
    }
    QCOMPARE(invoicesOf(f, former).size() + invoicesOf(f, outsider).size(), 0);
    // A property with units but no leases issues nothing.
    const int empty = f.addProperty(u"برج السرو"_s);
    f.addUnit(empty, u"C1"_s);
    QCOMPARE(model.generatePropertyServiceInvoice(empty, u"مصعد"_s, 50, thisPeriod(), 1), 0);
    QCOMPARE(changed.count(), 1);
}

void TestRentGeneration::serviceInvoices()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int unit = f.addUnit(f.addProperty(), u"A1"_s);
    const int renting = f.addTenant(u"سامي"_s);
    const int notRenting = f.addTenant(u"ليلى"_s);
    lease(f, unit, renting, 1000);

    // Not deduplicated: the same tenant twice, and again in a second call, gets three invoices.
    QCOMPARE(model.generateServiceInvoice(
                 { renting, notRenting, renting }, u"تنظيف"_s, 100, thisPeriod(), 1),
        3);
    QCOMPARE(model.generateServiceInvoice({ renting }, u"تنظيف"_s, 100, thisPeriod(), 1), 1);
    QCOMPARE(f.tenantBalance(renting), 300.0);
    const QVariantList mine = invoicesOf(f, renting);
    QCOMPARE(mine.size(), 3);
    QCOMPARE(mine.first().toMap().value(u"unit_id"_s).toInt(), unit);
    QVERIFY(invoicesOf(f, notRenting).first().toMap().value(u"unit_id"_s).isNull());

    // Service invoices of the period block the rent until they are voided.
    QCOMPARE(model.generateAllRent(thisPeriod()), 0);
    for (const QVariant &row : mine)
        QVERIFY(model.voidInvoice(row.toMap().value(u"id"_s).toInt()));
    QCOMPARE(model.generateAllRent(thisPeriod()), 1);
    QCOMPARE(f.tenantBalance(renting), 1000.0);
}

void TestRentGeneration::malformedInputRefused_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("rentCount");
    QTest::addColumn<int>("serviceCount");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("valid") << thisPeriod() << 50.0 << 1 << 1;
    QTest::newRow("month 13") << u"2024-13"_s << 50.0 << 0 << 0;
    QTest::newRow("single digit month") << u"2024-5"_s << 50.0 << 0 << 0;
    QTest::newRow("full date") << u"2024-05-01"_s << 50.0 << 0 << 0;
    QTest::newRow("empty") << QString() << 50.0 << 0 << 0;
    QTest::newRow("NaN amount") << thisPeriod() << nan << 1 << 0;
    QTest::newRow("infinite amount") << thisPeriod() << inf << 1 << 0;
}

void TestRentGeneration::malformedInputRefused()
{
    QFETCH(QString, period);
    QFETCH(double, amount);
    QFETCH(int, rentCount);
    QFETCH(int, serviceCount);
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, f.addUnit(property, u"A1"_s), tenant, 1000);

    QCOMPARE(model.generateAllRent(period), rentCount);
    QCOMPARE(model.generateServiceInvoice({ tenant }, u"تنظيف"_s, amount, period, 1), serviceCount);
    QCOMPARE(
        model.generatePropertyServiceInvoice(property, u"مصعد"_s, amount, period, 1), serviceCount);
    QCOMPARE(f.count(u"invoices"_s), rentCount + 2 * serviceCount);
    QCOMPARE(changed.count(), (rentCount > 0 ? 1 : 0) + 2 * serviceCount);
    QCOMPARE(f.tenantBalance(tenant), rentCount * 1000.0 + (serviceCount > 0 ? 2 * amount : 0.0));
}

QTEST_GUILESS_MAIN(TestRentGeneration)
#include "tst_rentgeneration.moc"
