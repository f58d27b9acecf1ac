#include "invoicemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString periodOf(const QDate &date) { return date.toString(u"yyyy-MM"_s); }

QString thisPeriod() { return periodOf(QDate::currentDate()); }

QString prefix() { return u"INV-"_s + QDate::currentDate().toString(u"yyyyMM"_s) + u"-"_s; }

int lease(TestFixture &f, int unit, int tenant, double rent, const QString &status = u"active"_s,
    int currencyId = 1)
{
    const QDate today = QDate::currentDate();
    return f.addLease(
        unit, tenant, today.addMonths(-6), today.addMonths(6), rent, status, currencyId);
}

QVariantList invoicesOf(TestFixture &f, int tenant)
{
    return f.db()->execQuery(u"SELECT * FROM invoices WHERE tenant_id=? ORDER BY id"_s, { tenant });
}

QVariantList itemsOf(TestFixture &f, int invoice)
{
    return f.db()->execQuery(
        u"SELECT * FROM invoice_items WHERE invoice_id=? ORDER BY id"_s, { invoice });
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
    void rentInvoicePerActiveLease();
    void rerunIssuesNothing();
    void usageLines_data();
    void usageLines();
    void tenantWithTwoLeasesBilledOnce();
    void whichLeasesAreBilled_data();
    void whichLeasesAreBilled();
    void serviceInvoiceBlocksRentUntilVoided();
    void failedInvoiceIsUndoneAndRunGoesOn_data();
    void failedInvoiceIsUndoneAndRunGoesOn();
    void propertyServiceInvoiceOncePerTenant();
    void propertyWithoutLeasesIssuesNothing();
    void serviceInvoiceUnits();
    void serviceInvoicesAreNotDeduplicated();
    void malformedInputRefused_data();
    void malformedInputRefused();
};

void TestRentGeneration::rentInvoicePerActiveLease()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    const int unitA = f.addUnit(property, u"A1"_s);
    const int unitB = f.addUnit(property, u"A2"_s);
    const int sami = f.addTenant(u"سامي"_s);
    const int laila = f.addTenant(u"ليلى"_s);
    const int leaseA = lease(f, unitA, sami, 1000);
    const int leaseB = lease(f, unitB, laila, 750);
    const QString period = thisPeriod();

    QCOMPARE(model.generateAllRent(period), 2);
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
        QCOMPARE(invoice.value(u"period"_s).toString(), period);
        QCOMPARE(invoice.value(u"due_date"_s).toString(), period + u"-28"_s);
        QCOMPARE(invoice.value(u"status"_s).toString(), u"pending"_s);
        QCOMPARE(invoice.value(u"currency_id"_s).toInt(), 1);
        QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), e.rent);
        QCOMPARE(invoice.value(u"balance"_s).toDouble(), e.rent);
        const QVariantList items = itemsOf(f, invoice.value(u"id"_s).toInt());
        QCOMPARE(items.size(), 1);
        const QVariantMap line = items.first().toMap();
        QCOMPARE(line.value(u"description"_s).toString(), u"إيجار شهري"_s);
        QCOMPARE(line.value(u"type"_s).toString(), u"rent"_s);
        QCOMPARE(line.value(u"quantity"_s).toDouble(), 1.0);
        QCOMPARE(line.value(u"unit_price"_s).toDouble(), e.rent);
        QCOMPARE(line.value(u"total"_s).toDouble(), e.rent);
        QCOMPARE(f.tenantBalance(e.tenant), e.rent);
    }
}

void TestRentGeneration::rerunIssuesNothing()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, f.addUnit(property, u"A1"_s), tenant, 1000);
    QCOMPARE(model.generateAllRent(thisPeriod()), 1);
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QCOMPARE(model.generateAllRent(thisPeriod()), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"invoices"_s), 1);
    QCOMPARE(f.tenantBalance(tenant), 1000.0);
    // The next month is a new period, numbered on from this month's sequence.
    QCOMPARE(model.generateAllRent(periodOf(QDate::currentDate().addMonths(1))), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(invoicesOf(f, tenant).last().toMap().value(u"invoice_number"_s).toString(),
        prefix() + u"0002"_s);
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
    const int other = f.addUnit(property, u"A2"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, unit, tenant, 1000);
    const QString period = thisPeriod();
    addUsage(f, unit, 1, period, consumption, cost);
    addUsage(f, unit, 3, period, 0, 15);
    // Neither another period nor another unit adds lines.
    addUsage(f, unit, 2, periodOf(QDate::currentDate().addMonths(-1)), 30, 90);
    addUsage(f, other, 2, period, 30, 90);

    QCOMPARE(model.generateAllRent(period), 1);
    const QVariantMap invoice = invoicesOf(f, tenant).first().toMap();
    QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), 1000 + cost + 15);
    QCOMPARE(f.tenantBalance(tenant), 1000 + cost + 15);
    const QVariantList items = itemsOf(f, invoice.value(u"id"_s).toInt());
    QCOMPARE(items.size(), 3);
    QCOMPARE(items.at(0).toMap().value(u"type"_s).toString(), u"rent"_s);
    const QVariantMap water = items.at(1).toMap();
    QCOMPARE(water.value(u"description"_s).toString(), u"مياه"_s);
    QCOMPARE(water.value(u"type"_s).toString(), u"usage"_s);
    QCOMPARE(water.value(u"quantity"_s).toDouble(), consumption);
    QCOMPARE(water.value(u"unit_price"_s).toDouble(), unitPrice);
    QCOMPARE(water.value(u"total"_s).toDouble(), cost);
    const QVariantMap cleaning = items.at(2).toMap();
    QCOMPARE(cleaning.value(u"description"_s).toString(), u"تنظيف"_s);
    QCOMPARE(cleaning.value(u"quantity"_s).toDouble(), 0.0);
    QCOMPARE(cleaning.value(u"unit_price"_s).toDouble(), 15.0);
}

void TestRentGeneration::tenantWithTwoLeasesBilledOnce()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    const int first = lease(f, f.addUnit(property, u"A1"_s), tenant, 1000);
    lease(f, f.addUnit(property, u"A2"_s), tenant, 800);
    lease(f, f.addUnit(property, u"A3"_s), f.addTenant(u"ليلى"_s), 500);

    QCOMPARE(model.generateAllRent(thisPeriod()), 2);
    const QVariantList invoices = invoicesOf(f, tenant);
    QCOMPARE(invoices.size(), 1);
    QCOMPARE(invoices.first().toMap().value(u"contract_id"_s).toInt(), first);
    QCOMPARE(f.tenantBalance(tenant), 1000.0);
}

void TestRentGeneration::whichLeasesAreBilled_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("endInMonths");
    QTest::addColumn<int>("billed");
    QTest::newRow("active lease") << u"active"_s << 6 << 1;
    QTest::newRow("terminated lease") << u"terminated"_s << 6 << 0;
    QTest::newRow("active lease that already ended") << u"active"_s << -2 << 1;
}

void TestRentGeneration::whichLeasesAreBilled()
{
    QFETCH(QString, status);
    QFETCH(int, endInMonths);
    QFETCH(int, billed);
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    const QDate today = QDate::currentDate();
    f.addLease(f.addUnit(property, u"A1"_s), f.addTenant(u"سامي"_s), today.addYears(-1),
        today.addMonths(endInMonths), 1000, status);

    QCOMPARE(model.generateAllRent(thisPeriod()), billed);
    QCOMPARE(f.count(u"invoices"_s), billed);
    QCOMPARE(changed.count(), billed);
}

void TestRentGeneration::serviceInvoiceBlocksRentUntilVoided()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, f.addUnit(property, u"A1"_s), tenant, 1000);
    const QString period = thisPeriod();

    QCOMPARE(model.generateServiceInvoice({ tenant }, u"حراسة"_s, 75, period, 1), 1);
    QCOMPARE(model.generateAllRent(period), 0);
    const int service = invoicesOf(f, tenant).first().toMap().value(u"id"_s).toInt();
    QVERIFY(model.voidInvoice(service));
    QCOMPARE(model.generateAllRent(period), 1);
    QCOMPARE(f.tenantBalance(tenant), 1000.0);
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
    QCOMPARE(f.count(u"invoices"_s), 2);
    QCOMPARE(f.count(u"invoice_items"_s), 2);
    QCOMPARE(f.tenantBalance(failing), 0.0);
    QCOMPARE(f.tenantBalance(first), 1000.0);
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
    const int elsewhere = f.addProperty(u"برج الزيتون"_s);
    const int sami = f.addTenant(u"سامي"_s);
    const int laila = f.addTenant(u"ليلى"_s);
    const int former = f.addTenant(u"خالد"_s);
    const int outsider = f.addTenant(u"منى"_s);
    lease(f, f.addUnit(property, u"A1"_s), sami, 1000);
    lease(f, f.addUnit(property, u"A2"_s), sami, 1000);
    lease(f, f.addUnit(property, u"A3"_s), laila, 1000);
    lease(f, f.addUnit(property, u"A4"_s), former, 1000, u"terminated"_s);
    lease(f, f.addUnit(elsewhere, u"B1"_s), outsider, 1000);

    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مصعد"_s, 50, thisPeriod(), 1), 2);
    QCOMPARE(changed.count(), 1);
    for (const int tenant : { sami, laila }) {
        const QVariantList invoices = invoicesOf(f, tenant);
        QCOMPARE(invoices.size(), 1);
        const QVariantMap invoice = invoices.first().toMap();
        QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), 50.0);
        QVERIFY(invoice.value(u"contract_id"_s).isNull());
        const QVariantList items = itemsOf(f, invoice.value(u"id"_s).toInt());
        QCOMPARE(items.size(), 1);
        const QVariantMap line = items.first().toMap();
        QCOMPARE(line.value(u"description"_s).toString(), u"مصعد"_s);
        QCOMPARE(line.value(u"type"_s).toString(), u"service"_s);
        QCOMPARE(line.value(u"quantity"_s).toDouble(), 1.0);
        QCOMPARE(line.value(u"unit_price"_s).toDouble(), 50.0);
        QCOMPARE(line.value(u"total"_s).toDouble(), 50.0);
        QCOMPARE(f.tenantBalance(tenant), 50.0);
    }
    QCOMPARE(invoicesOf(f, former).size(), 0);
    QCOMPARE(invoicesOf(f, outsider).size(), 0);
}

void TestRentGeneration::propertyWithoutLeasesIssuesNothing()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    f.addUnit(property, u"A1"_s);

    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مصعد"_s, 50, thisPeriod(), 1), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"invoices"_s), 0);
}

void TestRentGeneration::serviceInvoiceUnits()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const int renting = f.addTenant(u"سامي"_s);
    const int notRenting = f.addTenant(u"ليلى"_s);
    lease(f, unit, renting, 1000);

    QCOMPARE(
        model.generateServiceInvoice({ renting, notRenting }, u"تنظيف"_s, 100, thisPeriod(), 1), 2);
    QCOMPARE(invoicesOf(f, renting).first().toMap().value(u"unit_id"_s).toInt(), unit);
    QVERIFY(invoicesOf(f, notRenting).first().toMap().value(u"unit_id"_s).isNull());
}

void TestRentGeneration::serviceInvoicesAreNotDeduplicated()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);

    QCOMPARE(model.generateServiceInvoice({ tenant, tenant }, u"تنظيف"_s, 100, thisPeriod(), 1), 2);
    QCOMPARE(model.generateServiceInvoice({ tenant }, u"تنظيف"_s, 100, thisPeriod(), 1), 1);
    QCOMPARE(f.tenantBalance(tenant), 300.0);
    QStringList numbers;
    for (const QVariant &row : invoicesOf(f, tenant))
        numbers << row.toMap().value(u"invoice_number"_s).toString();
    QCOMPARE(
        numbers, QStringList({ prefix() + u"0001"_s, prefix() + u"0002"_s, prefix() + u"0003"_s }));
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
