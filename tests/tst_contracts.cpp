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
    void overlapRule();
    void add_data();
    void add();
    void terminate();
    void expiringLeases();
};

// The existing lease runs from `start` to `start + 364` days, both inclusive.
void TestContracts::overlapRule()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, u"rented"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int lease = f.addLease(unit, tenant, start, start.addDays(364), 500);
    const auto day = [&start](int offset) { return TestFixture::iso(start.addDays(offset)); };

    QVERIFY(model.hasOverlap(unit, day(-30), day(0))); // shared first day
    QVERIFY(model.hasOverlap(unit, day(364), day(544))); // shared last day
    QVERIFY(!model.hasOverlap(unit, day(365), day(544)));
    QVERIFY(!model.hasOverlap(unit, day(10), day(20), lease)); // excludeId skips its lease
    QVERIFY(model.add(unit, tenant, day(364), day(544), 500, u"monthly"_s, 0, 1) <= 0);
    QVERIFY(model.add(unit, tenant, day(365), day(544), 500, u"monthly"_s, 0, 1) > 0);
    QCOMPARE(f.count(u"contracts"_s), 2);
    // Terminated leases hold no days.
    QVERIFY(f.db()->execNonQuery(u"UPDATE contracts SET status='terminated'"_s));
    QVERIFY(!model.hasOverlap(unit, day(0), day(544)));
}

void TestContracts::add_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("rent");
    QTest::addColumn<bool>("unitWriteFails");
    QTest::addColumn<bool>("stored");
    QTest::newRow("rents the unit") << u"available"_s << 750.5 << false << true;
    QTest::newRow("sold unit") << u"sold"_s << 500.0 << false << false;
    QTest::newRow("rent NaN") << u"available"_s << nan << false << false;
    QTest::newRow("unit update fails: all or nothing") << u"available"_s << 500.0 << true << false;
}

void TestContracts::add()
{
    QFETCH(QString, status);
    QFETCH(double, rent);
    QFETCH(bool, unitWriteFails);
    QFETCH(bool, stored);
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, status);
    const int tenant = f.addTenant(u"مستأجر"_s);
    if (unitWriteFails)
        f.failWrites(u"units"_s, u"UPDATE"_s);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int id = model.add(unit, tenant, TestFixture::iso(start),
        TestFixture::iso(start.addYears(1)), rent, u"quarterly"_s, 1500, 2);
    QCOMPARE(id > 0, stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(errors.count(), unitWriteFails ? 1 : 0);
    QCOMPARE(f.count(u"contracts"_s), stored ? 1 : 0);
    QCOMPARE(unitStatus(f, unit), stored ? u"rented"_s : status);
}

void TestContracts::terminate()
{
    TestFixture f;
    ContractModel model(f.db());
    const QDate today = TestFixture::today();
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"مستأجر"_s);
    const int unit = f.addUnit(property, u"1"_s, 500, u"rented"_s);
    const int failing = f.addUnit(property, u"2"_s, 500, u"rented"_s);
    // An old lease ended; the current one holds the unit.
    const int ended = f.addLease(
        unit, tenant, today.addYears(-2), today.addYears(-1).addDays(-1), 500, u"terminated"_s);
    const int current = f.addLease(unit, tenant, today.addYears(-1), today.addYears(1), 500);
    const int held = f.addLease(failing, tenant, today, today.addYears(1), 500);
    f.failWrites(u"units"_s, u"UPDATE"_s, u"OLD.id=%1"_s.arg(failing));
    const auto state = [&](int unitId, int lease) {
        return unitStatus(f, unitId) + u'/' + model.getById(lease).value(u"status"_s).toString();
    };
    QSignalSpy changed(&model, &ContractModel::dataChanged);

    QVERIFY(!model.terminate(ended));
    QVERIFY(!model.terminate(held)); // all or nothing when the unit cannot be freed
    QCOMPARE(changed.count(), 0);
    QCOMPARE(state(unit, current), u"rented/active"_s);
    QCOMPARE(state(failing, held), u"rented/active"_s);
    QVERIFY(model.terminate(current));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(state(unit, current), u"available/terminated"_s);

    // A unit sold while the lease ran stays sold when the lease ends.
    const int sold = f.addUnit(property, u"3"_s, 500, u"sold"_s);
    const int lastLease = f.addLease(sold, tenant, today.addYears(-1), today.addYears(1), 500);
    QVERIFY(model.terminate(lastLease));
    QCOMPARE(state(sold, lastLease), u"sold/terminated"_s);
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
}

QTEST_GUILESS_MAIN(TestContracts)
#include "tst_contracts.moc"
