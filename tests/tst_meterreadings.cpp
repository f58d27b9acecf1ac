#include "invoicemodel.h"
#include "money.h"
#include "servicemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The seeded catalogue: 1 water at 5 a cubic metre, 2 electricity at 0.5 a kilowatt-hour.
constexpr int kWater = 1;
constexpr int kElectricity = 2;

QString month(int offset) { return TestFixture::today().addMonths(offset).toString(u"yyyy-MM"_s); }

QVariantMap reading(int unitId, int serviceId, const QVariant &value, bool replaced = false)
{
    return { { u"unit_id"_s, unitId }, { u"service_id"_s, serviceId },
        { u"current_reading"_s, value }, { u"meter_replaced"_s, replaced } };
}

QVariantMap sheetRow(
    ServiceModel &model, int propertyId, const QString &period, int unitId, int serviceId)
{
    for (const QVariant &element : model.readingSheet(propertyId, period)) {
        const QVariantMap row = element.toMap();
        if (row.value(u"unit_id"_s).toInt() == unitId
            && row.value(u"service_id"_s).toInt() == serviceId)
            return row;
    }
    return {};
}

} // namespace

class TestMeterReadings : public QObject
{
    Q_OBJECT

private slots:
    void carriesThePreviousReading_data();
    void carriesThePreviousReading();
    void rentRunAndLateReadings();
    void saveIsAllOrNothing_data();
    void saveIsAllOrNothing();
};

void TestMeterReadings::carriesThePreviousReading_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("saved");
    QTest::addColumn<double>("previous");
    QTest::addColumn<double>("consumption");
    QTest::addColumn<qint64>("costCents");
    // The first reading, 100, is three months back.
    QTest::newRow("next month") << -2 << 130.5 << false << 1 << 100.0 << 30.5 << qint64(15250);
    QTest::newRow("a month skipped") << -1 << 170.0 << false << 1 << 100.0 << 70.0 << qint64(35000);
    QTest::newRow("meter replaced counts from zero")
        << -2 << 20.0 << true << 1 << 100.0 << 20.0 << qint64(10000);
    QTest::newRow("below the previous reading is refused")
        << -2 << 90.0 << false << -1 << 100.0 << 0.0 << qint64(0);
    QTest::newRow("unchanged reading stores nothing")
        << -3 << 100.0 << false << 0 << 0.0 << 100.0 << qint64(50000);
}

void TestMeterReadings::carriesThePreviousReading()
{
    QFETCH(int, offset);
    QFETCH(double, value);
    QFETCH(bool, replaced);
    QFETCH(int, saved);
    QFETCH(double, previous);
    QFETCH(double, consumption);
    QFETCH(qint64, costCents);
    TestFixture f;
    ServiceModel model(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"101"_s);
    QCOMPARE(model.saveReadings(property, month(-3), { reading(unit, kWater, 100) }), 1);

    QCOMPARE(
        model.saveReadings(property, month(offset), { reading(unit, kWater, value, replaced) }),
        saved);
    QCOMPARE(model.lastRefusal().isEmpty(), saved >= 0);
    const QVariantMap row = sheetRow(model, property, month(offset), unit, kWater);
    QCOMPARE(row.value(u"previous_reading"_s).toDouble(), previous);
    if (saved < 0) {
        QVERIFY(row.value(u"record_id"_s).isNull());
        return;
    }
    QCOMPARE(row.value(u"consumption"_s).toDouble(), consumption);
    QCOMPARE(Money::cents(row.value(u"cost"_s).toDouble()), costCents);
    // The month before can no longer change under a later reading.
    if (offset > -3)
        QCOMPARE(sheetRow(model, property, month(-3), unit, kWater).value(u"locked"_s).toInt(), 1);
}

// Readings entered before the run become its usage lines; one entered after goes to a service
// invoice of its own, once.
void TestMeterReadings::rentRunAndLateReadings()
{
    TestFixture f;
    ServiceModel readings(f.db());
    InvoiceModel invoices(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"101"_s, 1000, u"rented"_s);
    const int tenant = f.addTenant(u"سامي"_s, u"900"_s);
    f.addLease(
        unit, tenant, TestFixture::today().addMonths(-3), TestFixture::today().addMonths(9), 1000);
    const QString period = month(0);

    QCOMPARE(readings.saveReadings(property, period, { reading(unit, kWater, 12) }), 1);
    QCOMPARE(invoices.generateAllRent(period), 1);
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), 106000);
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM invoice_items WHERE type='usage'"_s).toInt(), 1);
    QCOMPARE(sheetRow(readings, property, period, unit, kWater).value(u"locked"_s).toInt(), 1);

    QCOMPARE(readings.saveReadings(property, period, { reading(unit, kElectricity, 300) }), 1);
    QCOMPARE(sheetRow(readings, property, period, unit, kElectricity).value(u"late"_s).toInt(), 1);
    QCOMPARE(invoices.billLateReadings(property, period), 1);
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), 121000);
    QCOMPARE(sheetRow(readings, property, period, unit, kElectricity).value(u"late"_s).toInt(), 0);
    QCOMPARE(invoices.billLateReadings(property, period), 0);
    QCOMPARE(f.count(u"invoices"_s), 2);
}

void TestMeterReadings::saveIsAllOrNothing_data()
{
    QTest::addColumn<bool>("failWrite");
    QTest::newRow("a refused row") << false;
    QTest::newRow("a failed write") << true;
}

void TestMeterReadings::saveIsAllOrNothing()
{
    QFETCH(bool, failWrite);
    TestFixture f;
    ServiceModel model(f.db());
    const int property = f.addProperty();
    const int first = f.addUnit(property, u"101"_s);
    const int second = f.addUnit(property, u"102"_s);
    QCOMPARE(model.saveReadings(property, month(-1), { reading(second, kWater, 50) }), 1);
    if (failWrite)
        f.failWrites(u"usage_records"_s, u"INSERT"_s, u"NEW.unit_id=%1"_s.arg(second));
    QSignalSpy changed(&model, &ServiceModel::dataChanged);

    const QVariantList rows { reading(first, kWater, 10), reading(first, kElectricity, u""_s),
        reading(second, kWater, failWrite ? 60 : 40) };
    QCOMPARE(model.saveReadings(property, month(0), rows), -1);
    QVERIFY(!model.lastRefusal().isEmpty());
    QCOMPARE(f.count(u"usage_records"_s), 1);
    QCOMPARE(changed.count(), 0);
}

QTEST_GUILESS_MAIN(TestMeterReadings)
#include "tst_meterreadings.moc"
