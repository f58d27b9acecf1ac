#include "invoicemodel.h"
#include "settingsmanager.h"
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
    void leaseCoversThePeriod_data();
    void leaseCoversThePeriod();
    void billedOncePerLease_data();
    void billedOncePerLease();
    void usageLines();
    void failedInvoiceIsUndoneAndRunGoesOn();
    void runLongerThanAChunk();
    void propertyServiceRun();
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
    lease(f, f.addUnit(property, u"A1"_s), sami, 1000);
    lease(f, f.addUnit(property, u"A2"_s), laila, 750);
    // Still marked active but ended two months ago: not billed. Terminated: not billed.
    lease(f, f.addUnit(property, u"A4"_s), ended, 600, u"active"_s, 1, -2);
    lease(f, f.addUnit(property, u"A5"_s), former, 500, u"terminated"_s);

    QCOMPARE(model.generateAllRent(thisPeriod()), 2);
    QCOMPARE(lastNumberOf(f, laila), prefix() + u"0002"_s);
    QCOMPARE(f.tenantBalance(sami), 1000.0);
    QCOMPARE(f.tenantBalance(laila), 750.0);
    QCOMPARE(f.tenantBalance(ended), 0.0);
    QCOMPARE(invoicesOf(f, former).size(), 0);

    // The next month is new, numbered on from this month's sequence.
    QCOMPARE(model.generateAllRent(periodOf(1)), 2);
    QCOMPARE(lastNumberOf(f, sami), prefix() + u"0003"_s);
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
    QCOMPARE(f.joined(u"SELECT unit_price FROM invoice_items ORDER BY id"_s), u"1000.0/10.0/8.0"_s);
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
    // A server writes the run in chunks: the chunk's failure is reported, then the invoice's own
    // when the chunk is issued again one invoice at a time.
    QCOMPARE(errors.count(), f.db()->isServer() ? 2 : 1);
    QCOMPARE(invoicesOf(f, failing).size(), 0);
    QCOMPARE(f.count(u"invoice_items"_s), 2);
    QCOMPARE(f.tenantBalance(failing), 0.0);
    QCOMPARE(f.tenantBalance(last), 1000.0);
    // The failed invoice leaves no hole in the numbering.
    QCOMPARE(lastNumberOf(f, last), prefix() + u"0002"_s);
}

// More leases than a server writes in one chunk: every lease billed once, numbered without a gap,
// and a tenant with two leases owes both rents.
void TestRentGeneration::runLongerThanAChunk()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int tenants = 150;
    QList<int> ids;
    for (int i = 0; i < tenants; ++i) {
        ids.append(f.addTenant(u"مستأجر %1"_s.arg(i)));
        lease(f, f.addUnit(property, u"A%1"_s.arg(i)), ids.last(), 1000 + i);
        const int unit = f.addUnit(property, u"B%1"_s.arg(i));
        lease(f, unit, ids.last(), 0.5);
        if (i % 7 == 0)
            addUsage(f, unit, 1, thisPeriod(), 0.5, 10);
    }

    QCOMPARE(model.generateAllRent(thisPeriod()), 2 * tenants);
    QCOMPARE(f.count(u"invoice_items"_s), 2 * tenants + (tenants + 6) / 7);
    QCOMPARE(f.joined(u"SELECT MAX(invoice_number) FROM invoices"_s), prefix() + u"0300"_s);
    QCOMPARE(f.joined(u"SELECT COUNT(DISTINCT invoice_number) FROM invoices"_s), u"300"_s);
    for (int i = 0; i < tenants; ++i)
        QCOMPARE(f.tenantBalance(ids.at(i)), 1000 + i + 0.5 + (i % 7 == 0 ? 10 : 0));
    QCOMPARE(model.generateAllRent(thisPeriod()), 0);
}

// One invoice per active tenant of the property, however many units they rent, and once per
// service and month.
void TestRentGeneration::propertyServiceRun()
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

    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مياه"_s, 40, thisPeriod(), 1), 2);
    QCOMPARE(f.tenantBalance(sami), 40.0);
    QCOMPARE(f.tenantBalance(laila), 40.0);
    QCOMPARE(f.tenantBalance(former) + f.tenantBalance(outsider), 0.0);
    // Billed on a unit of this property.
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM invoices i JOIN units u ON i.unit_id=u.id "
                      "WHERE u.property_id=?"_s,
                  { property })
                 .toInt(),
        2);

    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مياه"_s, 40, thisPeriod(), 1), 0);
    QCOMPARE(model.lastRunReport().value(u"alreadyBilled"_s).toInt(), 2);
    QCOMPARE(changed.count(), 0);
    // A tenant listed twice is charged once.
    QCOMPARE(model.generateServiceInvoice({ sami, sami }, u"مياه"_s, 40, periodOf(1), 1), 1);
    QCOMPARE(f.tenantBalance(sami), 80.0);
    // Another service of the month, or the same one next month, is new.
    QCOMPARE(model.generatePropertyServiceInvoice(property, u"مصعد"_s, 15, thisPeriod(), 1), 2);
    QCOMPARE(f.tenantBalance(laila), 55.0);
}

// A run for a month bills only the leases that cover a day of it; prorated when chosen.
void TestRentGeneration::leaseCoversThePeriod_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("prorate");
    QTest::addColumn<double>("billed"); // -1: not billed
    // The run is for 2025-02, a month of 28 days; the rent is 1000.
    QTest::newRow("starts the first of the next month")
        << u"2025-03-01"_s << u"2026-02-28"_s << false << -1.0;
    QTest::newRow("ended the last day of the previous month")
        << u"2024-02-01"_s << u"2025-01-31"_s << true << -1.0;
    QTest::newRow("starts mid-month, whole rent")
        << u"2025-02-14"_s << u"2026-02-13"_s << false << 1000.0;
    QTest::newRow("starts mid-month, prorated")
        << u"2025-02-14"_s << u"2026-02-13"_s << true << 535.71;
    QTest::newRow("ends mid-month, prorated")
        << u"2024-02-15"_s << u"2025-02-14"_s << true << 500.0;
    QTest::newRow("one-day overlap at the end, whole rent")
        << u"2024-02-01"_s << u"2025-02-01"_s << false << 1000.0;
    QTest::newRow("one-day overlap at the end, prorated")
        << u"2024-02-01"_s << u"2025-02-01"_s << true << 35.71;
    QTest::newRow("one-day overlap at the start, prorated")
        << u"2025-02-28"_s << u"2026-02-27"_s << true << 35.71;
    QTest::newRow("whole month, prorated") << u"2025-01-10"_s << u"2026-01-09"_s << true << 1000.0;
}

void TestRentGeneration::leaseCoversThePeriod()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, prorate);
    QFETCH(double, billed);
    TestFixture f;
    InvoiceModel model(f.db());
    SettingsManager settings(f.db());
    QVERIFY(settings.setProrateRent(prorate));
    const int tenant = f.addTenant(u"سامي"_s);
    f.addLease(f.addUnit(f.addProperty(), u"A1"_s), tenant, QDate::fromString(start, Qt::ISODate),
        QDate::fromString(end, Qt::ISODate), 1000);

    const bool issued = billed >= 0;
    QCOMPARE(model.generateAllRent(u"2025-02"_s), issued ? 1 : 0);
    QCOMPARE(f.tenantBalance(tenant), issued ? billed : 0.0);
    QCOMPARE(f.scalar(u"SELECT COALESCE(SUM(total), 0) FROM invoice_items"_s).toDouble(),
        issued ? billed : 0.0);
    // What was not billed is listed with its reason.
    const QVariantList skipped = model.lastRunReport().value(u"skipped"_s).toList();
    QCOMPARE(skipped.size(), issued ? 0 : 1);
    if (!issued)
        QVERIFY(!skipped.first().toMap().value(u"reason"_s).toString().isEmpty());
}

// "Already billed" is per lease and period, and counts rent invoices only.
void TestRentGeneration::billedOncePerLease_data()
{
    QTest::addColumn<QString>("before"); // what the month already holds
    QTest::addColumn<int>("issued");
    QTest::addColumn<double>("balance");
    QTest::addColumn<int>("alreadyBilled");
    // The tenant rents two units, 1000 and 800.
    QTest::newRow("two leases of one tenant") << QString() << 2 << 1800.0 << 0;
    QTest::newRow("rent after a water invoice") << u"water"_s << 2 << 1860.0 << 0;
    QTest::newRow("rent after a custom rent invoice") << u"custom"_s << 2 << 2100.0 << 0;
    QTest::newRow("second run of the month") << u"run"_s << 0 << 1800.0 << 2;
    QTest::newRow("voided rent is billed again") << u"voided run"_s << 2 << 1800.0 << 0;
}

void TestRentGeneration::billedOncePerLease()
{
    QFETCH(QString, before);
    QFETCH(int, issued);
    QFETCH(double, balance);
    QFETCH(int, alreadyBilled);
    TestFixture f;
    InvoiceModel model(f.db());
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    lease(f, f.addUnit(property, u"A1"_s), tenant, 1000);
    lease(f, f.addUnit(property, u"A2"_s), tenant, 800);
    const auto custom = [&](const QString &text, double total) {
        return model.createInvoice(tenant, 0, thisPeriod(),
            { QVariantMap {
                { u"description"_s, text }, { u"type"_s, u"rent"_s }, { u"total"_s, total } } },
            1);
    };
    if (before == u"water"_s)
        QCOMPARE(model.generateServiceInvoice({ tenant }, u"مياه"_s, 60, thisPeriod(), 1), 1);
    if (before == u"custom"_s)
        QVERIFY(custom(u"إيجار"_s, 300) > 0);
    if (before.endsWith(u"run"_s))
        QCOMPARE(model.generateAllRent(thisPeriod()), 2);
    if (before == u"voided run"_s) {
        for (const QVariant &row : invoicesOf(f, tenant))
            QVERIFY(model.voidInvoice(row.toMap().value(u"id"_s).toInt(), u"خطأ"_s));
    }
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QCOMPARE(model.generateAllRent(thisPeriod()), issued);
    QCOMPARE(changed.count(), issued > 0 ? 1 : 0);
    QCOMPARE(f.tenantBalance(tenant), balance);
    QCOMPARE(model.lastRunReport().value(u"alreadyBilled"_s).toInt(), alreadyBilled);
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM invoices WHERE contract_id IS NOT NULL "
                      "AND status!='void'"_s)
                 .toInt(),
        2);
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
    QCOMPARE(
        model.generatePropertyServiceInvoice(property, u"مصعد"_s, 1e9 + 0.01, thisPeriod(), 1), 0);
    QVERIFY(!model.lastRefusal().isEmpty());
    QCOMPARE(f.count(u"invoices"_s), 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

QTEST_GUILESS_MAIN(TestRentGeneration)
#include "tst_rentgeneration.moc"
