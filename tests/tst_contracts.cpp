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
    void add_data();
    void add();
    void terminate_data();
    void terminate();
    void expiringLeases();
};

// The existing lease runs from `start` to `start + 364` days, both inclusive.
void TestContracts::overlapRule_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("existing"); // status of the lease, or "neighbour": on another unit
    QTest::addColumn<QString>("exclude"); // excludeId: "own" lease, "other" id, or none
    QTest::addColumn<bool>("overlaps");
    QTest::newRow("shared last day") << 364 << 544 << u"active"_s << QString() << true;
    QTest::newRow("day after last") << 365 << 544 << u"active"_s << QString() << false;
    QTest::newRow("shared first day") << -30 << 0 << u"active"_s << QString() << true;
    QTest::newRow("day before first") << -30 << -1 << u"active"_s << QString() << false;
    QTest::newRow("wholly inside") << 10 << 20 << u"active"_s << QString() << true;
    QTest::newRow("terminated lease ignored") << 0 << 364 << u"terminated"_s << QString() << false;
    QTest::newRow("other unit ignored") << 0 << 364 << u"neighbour"_s << QString() << false;
    QTest::newRow("excludeId skips its lease") << 10 << 20 << u"active"_s << u"own"_s << false;
    QTest::newRow("excludeId of another lease") << 10 << 20 << u"active"_s << u"other"_s << true;
}

void TestContracts::overlapRule()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, existing);
    QFETCH(QString, exclude);
    QFETCH(bool, overlaps);
    TestFixture f;
    ContractModel model(f.db());
    const QDate start = TestFixture::today();
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"1"_s, 500, u"rented"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    const bool neighbour = existing == u"neighbour"_s;
    const int lease = f.addLease(neighbour ? f.addUnit(property, u"2"_s) : unit, tenant, start,
        start.addDays(364), 500, neighbour ? u"active"_s : existing);
    const QString newStart = TestFixture::iso(start.addDays(from));
    const QString newEnd = TestFixture::iso(start.addDays(to));

    if (!exclude.isNull()) {
        QCOMPARE(model.hasOverlap(unit, newStart, newEnd, exclude == u"own"_s ? lease : lease + 1),
            overlaps);
        return;
    }
    QCOMPARE(model.hasOverlap(unit, newStart, newEnd), overlaps);
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.add(unit, tenant, newStart, newEnd, 500, u"monthly"_s, 0, 1) > 0, !overlaps);
    QCOMPARE(changed.count(), overlaps ? 0 : 1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(f.count(u"contracts"_s), overlaps ? 1 : 2);
}

void TestContracts::add_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("knownTenant");
    QTest::addColumn<double>("rent");
    QTest::addColumn<double>("deposit");
    QTest::addColumn<bool>("unitWriteFails");
    QTest::addColumn<int>("errorCount");
    QTest::addColumn<bool>("stored");
    QTest::newRow("rents the unit")
        << u"available"_s << true << 750.5 << 1500.0 << false << 0 << true;
    QTest::newRow("sold unit") << u"sold"_s << true << 500.0 << 0.0 << false << 0 << false;
    QTest::newRow("unknown tenant")
        << u"available"_s << false << 500.0 << 0.0 << false << 1 << false;
    QTest::newRow("rent NaN") << u"available"_s << true << nan << 0.0 << false << 0 << false;
    QTest::newRow("deposit minus infinite")
        << u"available"_s << true << 500.0 << -inf << false << 0 << false;
    QTest::newRow("unit update fails: all or nothing")
        << u"available"_s << true << 500.0 << 0.0 << true << 1 << false;
}

void TestContracts::add()
{
    QFETCH(QString, status);
    QFETCH(bool, knownTenant);
    QFETCH(double, rent);
    QFETCH(double, deposit);
    QFETCH(bool, unitWriteFails);
    QFETCH(int, errorCount);
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
    const int id = model.add(unit, knownTenant ? tenant : tenant + 100, TestFixture::iso(start),
        TestFixture::iso(start.addYears(1)), rent, u"quarterly"_s, deposit, 2);
    QCOMPARE(id > 0, stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(errors.count(), errorCount);
    QCOMPARE(f.count(u"contracts"_s), stored ? 1 : 0);
    QCOMPARE(unitStatus(f, unit), stored ? u"rented"_s : status);
    if (stored)
        QCOMPARE(model.getById(id).value(u"status"_s).toString(), u"active"_s);
}

void TestContracts::terminate_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("current lease frees the unit") << u"current"_s;
    QTest::newRow("already terminated refused") << u"terminated"_s;
    QTest::newRow("unit update fails: all or nothing") << u"failing unit"_s;
}

void TestContracts::terminate()
{
    QFETCH(QString, target);
    TestFixture f;
    ContractModel model(f.db());
    const QDate today = TestFixture::today();
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, u"rented"_s);
    const int tenant = f.addTenant(u"مستأجر"_s);
    // An old lease ended; the current one holds the unit.
    const int ended = f.addLease(
        unit, tenant, today.addYears(-2), today.addYears(-1).addDays(-1), 500, u"terminated"_s);
    const int current = f.addLease(unit, tenant, today.addYears(-1), today.addYears(1), 500);
    if (target == u"failing unit"_s)
        f.failWrites(u"units"_s, u"UPDATE"_s);
    const bool ok = target == u"current"_s;
    const int id = target == u"terminated"_s ? ended : current;
    QSignalSpy changed(&model, &ContractModel::dataChanged);
    QCOMPARE(model.terminate(id), ok);
    QCOMPARE(changed.count(), ok ? 1 : 0);
    QCOMPARE(unitStatus(f, unit), ok ? u"available"_s : u"rented"_s);
    QCOMPARE(
        model.getById(current).value(u"status"_s).toString(), ok ? u"terminated"_s : u"active"_s);
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

QTEST_GUILESS_MAIN(TestContracts)
#include "tst_contracts.moc"
