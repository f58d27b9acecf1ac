#include "contractmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

static QString unitStatus(TestFixture &f, int unit)
{
    return f.scalar(u"SELECT status FROM units WHERE id=?"_s, { unit }).toString();
}

class TestContracts : public QObject
{
    Q_OBJECT

private slots:
    void overlapRule_data();
    void overlapRule();
    void overlapIgnoresTerminatedAndOtherUnits();
    void excludeId();
    void addRentsTheUnit();
    void addRefusals_data();
    void addRefusals();
    void addIsAllOrNothing();
    void terminateFreesTheUnit();
    void terminateRefusals_data();
    void terminateRefusals();
    void expiringLeases();
    void listingsCarryNames();
};

// The existing lease runs from `start` to `start + 364` days, both inclusive.
void TestContracts::overlapRule_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("overlaps");
    QTest::newRow("shared last day") << 364 << 544 << true;
    QTest::newRow("day after last") << 365 << 544 << false;
    QTest::newRow("shared first day") << -30 << 0 << true;
    QTest::newRow("day before first") << -30 << -1 << false;
    QTest::newRow("wholly inside") << 10 << 20 << true;
    QTest::newRow("wholly around") << -10 << 400 << true;
}

void TestContracts::overlapRule()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, overlaps);
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, u"rented"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    f.addLease(unit, tenant, start, start.addDays(364), 500);
    const QString newStart = TestFixture::iso(start.addDays(from));
    const QString newEnd = TestFixture::iso(start.addDays(to));

    QCOMPARE(model.hasOverlap(unit, newStart, newEnd), overlaps);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int id = model.add(unit, tenant, newStart, newEnd, 500, u"monthly"_s, 0, 1);
    QCOMPARE(id > 0, !overlaps);
    QCOMPARE(changed.count(), overlaps ? 0 : 1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(f.count(u"contracts"_s), overlaps ? 1 : 2);
}

void TestContracts::overlapIgnoresTerminatedAndOtherUnits()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const QString from = TestFixture::iso(start);
    const QString to = TestFixture::iso(start.addYears(1));
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"1"_s);
    const int neighbour = f.addUnit(property, u"2"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int first = model.add(unit, tenant, from, to, 500, u"monthly"_s, 0, 1);
    QVERIFY(first > 0);
    QVERIFY(model.add(neighbour, tenant, from, to, 500, u"monthly"_s, 0, 1) > 0);
    QCOMPARE(model.add(unit, tenant, from, to, 500, u"monthly"_s, 0, 1), -1);
    QVERIFY(model.terminate(first));
    QVERIFY(model.add(unit, tenant, from, to, 500, u"monthly"_s, 0, 1) > 0);
}

void TestContracts::excludeId()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int only = f.addLease(unit, tenant, start, start.addYears(1), 500);
    const QString from = TestFixture::iso(start.addMonths(1));
    const QString to = TestFixture::iso(start.addMonths(2));
    QVERIFY(model.hasOverlap(unit, from, to));
    QVERIFY(model.hasOverlap(unit, from, to, only + 1));
    QVERIFY(!model.hasOverlap(unit, from, to, only));
}

void TestContracts::addRentsTheUnit()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    const int id = model.add(unit, tenant, TestFixture::iso(start),
        TestFixture::iso(start.addYears(1)), 750.5, u"quarterly"_s, 1500, 2);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(unitStatus(f, unit), u"rented"_s);
    const QVariantMap row = model.getById(id);
    QCOMPARE(row.value(u"status"_s).toString(), u"active"_s);
    QCOMPARE(row.value(u"rent_amount"_s).toDouble(), 750.5);
    QCOMPARE(row.value(u"payment_frequency"_s).toString(), u"quarterly"_s);
    QCOMPARE(row.value(u"deposit"_s).toDouble(), 1500.0);
    QCOMPARE(row.value(u"currency_id"_s).toInt(), 2);
    QCOMPARE(row.value(u"end_date"_s).toString(), TestFixture::iso(start.addYears(1)));
}

void TestContracts::addRefusals_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("knownTenant");
    QTest::addColumn<double>("rent");
    QTest::addColumn<double>("deposit");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("sold unit") << u"sold"_s << true << 500.0 << 0.0 << 0;
    QTest::newRow("unknown tenant") << u"available"_s << false << 500.0 << 0.0 << 1;
    QTest::newRow("rent NaN") << u"available"_s << true << nan << 0.0 << 0;
    QTest::newRow("rent infinite") << u"available"_s << true << inf << 0.0 << 0;
    QTest::newRow("deposit minus infinite") << u"available"_s << true << 500.0 << -inf << 0;
}

void TestContracts::addRefusals()
{
    QFETCH(QString, status);
    QFETCH(bool, knownTenant);
    QFETCH(double, rent);
    QFETCH(double, deposit);
    QFETCH(int, errorCount);
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, status);
    const int tenant = f.addTenant(u"مستأجر"_s);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.add(unit, knownTenant ? tenant : tenant + 100, TestFixture::iso(start),
                 TestFixture::iso(start.addYears(1)), rent, u"monthly"_s, deposit, 1),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), errorCount);
    QCOMPARE(f.count(u"contracts"_s), 0);
    QCOMPARE(unitStatus(f, unit), status);
}

void TestContracts::addIsAllOrNothing()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    f.failWrites(u"units"_s, u"UPDATE"_s);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QCOMPARE(model.add(unit, tenant, TestFixture::iso(start), TestFixture::iso(start.addYears(1)),
                 500, u"monthly"_s, 0, 1),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"contracts"_s), 0);
    QCOMPARE(unitStatus(f, unit), u"available"_s);
}

void TestContracts::terminateFreesTheUnit()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int id = model.add(unit, tenant, TestFixture::iso(start),
        TestFixture::iso(start.addYears(1)), 500, u"monthly"_s, 0, 1);
    const int invoice = f.addInvoice(tenant, unit, start.toString(u"yyyy-MM"_s), 500);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QVERIFY(model.terminate(id));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.getById(id).value(u"status"_s).toString(), u"terminated"_s);
    QCOMPARE(unitStatus(f, unit), u"available"_s);
    QCOMPARE(f.scalar(u"SELECT status FROM invoices WHERE id=?"_s, { invoice }).toString(),
        u"pending"_s);
}

void TestContracts::terminateRefusals_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::newRow("already terminated") << u"terminated"_s;
    QTest::newRow("unknown contract") << u"unknown"_s;
    QTest::newRow("unit update fails") << u"failing unit"_s;
}

void TestContracts::terminateRefusals()
{
    QFETCH(QString, refusal);
    TestFixture f;
    ContractModel model(f.db());
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, u"rented"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    // An old lease ended; the current one holds the unit.
    const int ended = f.addLease(
        unit, tenant, today.addYears(-2), today.addYears(-1).addDays(-1), 500, u"terminated"_s);
    const int current = f.addLease(unit, tenant, today.addYears(-1), today.addYears(1), 500);
    int target = ended;
    if (refusal == u"unknown"_s)
        target = current + 100;
    if (refusal == u"failing unit"_s) {
        target = current;
        f.failWrites(u"units"_s, u"UPDATE"_s);
    }
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QVERIFY(!model.terminate(target));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(unitStatus(f, unit), u"rented"_s);
    QCOMPARE(model.getById(current).value(u"status"_s).toString(), u"active"_s);
}

void TestContracts::expiringLeases()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int soon = f.addLease(
        f.addUnit(property, u"1"_s), tenant, today.addYears(-1), today.addDays(10), 500);
    const int overdue = f.addLease(
        f.addUnit(property, u"2"_s), tenant, today.addYears(-1), today.addMonths(-1), 500);
    f.addLease(f.addUnit(property, u"3"_s), tenant, today, today.addDays(40), 500);
    f.addLease(f.addUnit(property, u"4"_s), tenant, today.addYears(-1), today.addDays(1), 500,
        u"terminated"_s);

    const QVariantList rows = model.getExpiring(30);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toMap().value(u"id"_s).toInt(), overdue);
    QCOMPARE(rows.at(1).toMap().value(u"id"_s).toInt(), soon);
    QCOMPARE(rows.at(1).toMap().value(u"unit_number"_s).toString(), u"1"_s);
}

void TestContracts::listingsCarryNames()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(u"برج الياسمين"_s), u"7"_s);
    const int older = f.addLease(
        unit, f.addTenant(u"قديم"_s), today.addYears(-2), today.addYears(-1), 400, u"terminated"_s);
    const int newer = f.addLease(unit, f.addTenant(u"جديد"_s), today, today.addYears(1), 500);
    f.db()->execNonQuery(
        u"UPDATE contracts SET created_at='2020-01-01 00:00:00' WHERE id=?"_s, { older });
    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 2);
    const QVariantMap first = rows.at(0).toMap();
    QCOMPARE(first.value(u"id"_s).toInt(), newer);
    QCOMPARE(first.value(u"tenant_name"_s).toString(), u"جديد"_s);
    QCOMPARE(first.value(u"unit_number"_s).toString(), u"7"_s);
    QCOMPARE(first.value(u"property_name"_s).toString(), u"برج الياسمين"_s);
    QCOMPARE(rows.at(1).toMap().value(u"id"_s).toInt(), older);
    QVERIFY(model.getById(newer + 100).isEmpty());
}

QTEST_GUILESS_MAIN(TestContracts)
#include "tst_contracts.moc"
