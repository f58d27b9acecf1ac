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

QString lastNumberOf(TestFixture &f, int tenant)
{
    return invoicesOf(f, tenant).last().toMap().value(u"invoice_number"_s).toString();
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
    void usageLines();
    void failedInvoiceIsUndoneAndRunGoesOn();
    void serviceInvoices();
    void malformedInputRefused();
};

void TestRentGeneration::rentRun()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int sami = f.addTenant(u"سامي"_s);
    const int laila = f.addTenant(u"ليلى"_s);
    const int ended = f.addTenant(u"خالد"_s);
    const int former = f.addTenant(u"منى"_s);
    // A tenant with two leases is billed once, for the first.
    const int leaseA = lease(f, f.addUnit(property, u"A1"_s), sami, 1000);
    lease(f, f.addUnit(property, u"A3"_s), sami, 800);
    lease(f, f.addUnit(property, u"A2"_s), laila, 750);
    // Still marked active after its end: billed. Terminated: not billed.
    lease(f, f.addUnit(property, u"A4"_s), ended, 600, u"active"_s, 1, -2);
    lease(f, f.addUnit(property, u"A5"_s), former, 500, u"terminated"_s);

    QCOMPARE(model.generateAllRent(thisPeriod()), 3);
    QCOMPARE(invoicesOf(f, sami).size(), 1);
    QCOMPARE(invoicesOf(f, sami).first().toMap().value(u"contract_id"_s).toInt(), leaseA);
    QCOMPARE(lastNumberOf(f, laila), prefix() + u"0002"_s);
    QCOMPARE(f.tenantBalance(sami), 1000.0);
    QCOMPARE(f.tenantBalance(laila), 750.0);
    QCOMPARE(f.tenantBalance(ended), 600.0);
    QCOMPARE(invoicesOf(f, former).size(), 0);

    // A rerun issues nothing; the next month is new, numbered on from this month's sequence.
    QCOMPARE(model.generateAllRent(thisPeriod()), 0);
    QCOMPARE(f.tenantBalance(sami), 1000.0);
    QCOMPARE(model.generateAllRent(periodOf(1)), 3);
    QCOMPARE(lastNumberOf(f, sami), prefix() + u"0004"_s);
}

void TestRentGeneration::usageLines()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, unit, tenant, 1000);
    // Under one unit the cost is the price; above it the cost is divided.
    addUsage(f, unit, 1, thisPeriod(), 0.5, 10);
    addUsage(f, unit, 2, thisPeriod(), 1.25, 10);
    // Neither another period nor another unit adds lines.
    addUsage(f, unit, 1, periodOf(-1), 30, 90);
    addUsage(f, f.addUnit(property, u"A2"_s), 1, thisPeriod(), 30, 90);

    QCOMPARE(model.generateAllRent(thisPeriod()), 1);
    QCOMPARE(f.tenantBalance(tenant), 1020.0);
    QCOMPARE(f.scalar(u"SELECT GROUP_CONCAT(unit_price, '/') FROM "
                      "(SELECT unit_price FROM invoice_items ORDER BY id)"_s)
                 .toString(),
        u"1000.0/10.0/8.0"_s);
}

void TestRentGeneration::failedInvoiceIsUndoneAndRunGoesOn()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int property = f.addProperty();
    const int first = f.addTenant(u"سامي"_s);
    const int failing = f.addTenant(u"ليلى"_s);
    const int last = f.addTenant(u"خالد"_s);
    for (const int tenant : { first, failing, last }) {
        const int unit = f.addUnit(property, u"U"_s + QString::number(tenant));
        lease(f, unit, tenant, 1000);
        if (tenant == failing)
            addUsage(f, unit, 1, thisPeriod(), 20, 60);
    }
    // The invoice row and its lines go in; the balance update is refused.
    f.failWrites(u"tenants"_s, u"UPDATE"_s, u"OLD.id=%1"_s.arg(failing));

    QCOMPARE(model.generateAllRent(thisPeriod()), 2);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(invoicesOf(f, failing).size(), 0);
    QCOMPARE(f.count(u"invoice_items"_s), 2);
    QCOMPARE(f.tenantBalance(failing), 0.0);
    QCOMPARE(f.tenantBalance(last), 1000.0);
    // The failed invoice leaves no hole in the numbering.
    QCOMPARE(lastNumberOf(f, last), prefix() + u"0002"_s);
}

void TestRentGeneration::serviceInvoices()
{
    TestFixture f;
    InvoiceModel model(f.db());
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

    // One invoice per active tenant of the property, however many units they rent.
    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مصعد"_s, 50, thisPeriod(), 1), 2);
    QCOMPARE(f.tenantBalance(sami), 50.0);
    QCOMPARE(f.tenantBalance(laila), 50.0);
    QCOMPARE(f.tenantBalance(former) + f.tenantBalance(outsider), 0.0);

    // Service invoices of the period block the rent until they are voided.
    QCOMPARE(model.generateAllRent(thisPeriod()), 1);
    QCOMPARE(f.tenantBalance(outsider), 1000.0);
    QCOMPARE(f.tenantBalance(sami), 50.0);
    for (const QVariant &row : invoicesOf(f, sami))
        QVERIFY(model.voidInvoice(row.toMap().value(u"id"_s).toInt()));
    QCOMPARE(model.generateAllRent(thisPeriod()), 1);
    QCOMPARE(f.tenantBalance(sami), 1000.0);
}

void TestRentGeneration::malformedInputRefused()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, f.addUnit(property, u"A1"_s), tenant, 1000);
    const double nan = std::numeric_limits<double>::quiet_NaN();

    QCOMPARE(model.generateAllRent(u"2024-13"_s), 0);
    QCOMPARE(model.generateServiceInvoice({ tenant }, u"تنظيف"_s, 50, u"2024-5"_s, 1), 0);
    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مصعد"_s, nan, thisPeriod(), 1), 0);
    QCOMPARE(f.count(u"invoices"_s), 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

QTEST_GUILESS_MAIN(TestRentGeneration)
#include "tst_rentgeneration.moc"
