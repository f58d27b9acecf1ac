#include "testfixture.h"
#include "unitmodel.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void uniqueNumberWithinProperty_data();
    void uniqueNumberWithinProperty();
    void guardedRemove_data();
    void guardedRemove();
    void markAsSoldRecordsTheSale();
    void nonFiniteAmountsRefused_data();
    void nonFiniteAmountsRefused();
};

void TestUnits::uniqueNumberWithinProperty_data()
{
    QTest::addColumn<bool>("sameProperty");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same number, same property") << true << false;
    QTest::newRow("same number, other property") << false << true;
}

void TestUnits::uniqueNumberWithinProperty()
{
    QFETCH(bool, sameProperty);
    QFETCH(bool, accepted);
    TestFixture f;
    UnitModel model(f.db());
    const int first = f.addProperty(u"A"_s);
    const int second = f.addProperty(u"B"_s);
    QVERIFY(model.add(first, u"101"_s, 1, 90, 3, 700, 8400, 90000, 1) > 0);
    QSignalSpy changed(&model, &UnitModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    const int id
        = model.add(sameProperty ? first : second, u"101"_s, 2, 80, 2, 600, 7200, 80000, 1);
    QCOMPARE(id > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(errors.count(), accepted ? 0 : 1);
    QCOMPARE(f.count(u"units"_s), accepted ? 2 : 1);
}

void TestUnits::guardedRemove_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("endedLease");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("available without history") << u"available"_s << false << true << 0;
    QTest::newRow("rented refused silently") << u"rented"_s << false << false << 0;
    QTest::newRow("sold refused silently") << u"sold"_s << false << false << 0;
    QTest::newRow("available with an ended lease") << u"available"_s << true << false << 1;
}

void TestUnits::guardedRemove()
{
    QFETCH(QString, status);
    QFETCH(bool, endedLease);
    QFETCH(bool, removed);
    QFETCH(int, errorCount);
    TestFixture f;
    UnitModel model(f.db());
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500);
    // Status set through the model, as a page would.
    QVERIFY(model.updateStatus(unit, status));
    if (endedLease) {
        const QDate today = TestFixture::today();
        f.addLease(unit, f.addTenant(u"ع"_s), today.addYears(-2), today.addYears(-1), 500,
            u"terminated"_s);
    }
    QSignalSpy changed(&model, &UnitModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.remove(unit), removed);
    QCOMPARE(changed.count(), removed ? 1 : 0);
    QCOMPARE(errors.count(), errorCount);
    QCOMPARE(f.count(u"units"_s), removed ? 0 : 1);

    // An unknown id is not refused.
    QVERIFY(model.remove(unit + 100));
}

void TestUnits::markAsSoldRecordsTheSale()
{
    TestFixture f;
    UnitModel model(f.db());
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, u"available"_s, 100, 90000);
    const int buyer = f.addBuyer(u"مشتري"_s);
    const QString date = TestFixture::iso(TestFixture::today());
    const QString sale = u"SELECT status || '/' || IFNULL(buyer_id, '-') || '/' || "
                         "IFNULL(sale_price_actual, '-') || '/' || sale_price || '/' || "
                         "IFNULL(sale_date, '-') FROM units WHERE id=?"_s;
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVERIFY(!model.markAsSold(unit, buyer + 100, 85000, date));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.scalar(sale, { unit }).toString(), u"available/-/-/90000.0/-"_s);

    QSignalSpy changed(&model, &UnitModel::dataChanged);
    QVERIFY(model.markAsSold(unit, buyer, 85000, date));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(
        f.scalar(sale, { unit }).toString(), u"sold/%1/85000.0/90000.0/%2"_s.arg(buyer).arg(date));
}

void TestUnits::nonFiniteAmountsRefused_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<double>("amount");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("monthly rent NaN") << 0 << nan;
    QTest::newRow("yearly rent infinite") << 1 << inf;
    QTest::newRow("sale price minus infinite") << 2 << -inf;
}

void TestUnits::nonFiniteAmountsRefused()
{
    QFETCH(int, field);
    QFETCH(double, amount);
    TestFixture f;
    UnitModel model(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"1"_s, 500);
    const int buyer = f.addBuyer(u"م"_s);
    double prices[3] = { 500, 6000, 70000 };
    prices[field] = amount;
    QSignalSpy changed(&model, &UnitModel::dataChanged);

    QCOMPARE(model.add(property, u"2"_s, 1, 90, 3, prices[0], prices[1], prices[2], 1), -1);
    QVERIFY(!model.update(unit, u"1"_s, 1, 90, 3, prices[0], prices[1], prices[2]));
    QVERIFY(!model.markAsSold(unit, buyer, amount, u"2024-01-01"_s));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"units"_s), 1);
    QCOMPARE(f.scalar(u"SELECT rent_monthly || '/' || status FROM units"_s).toString(),
        u"500.0/available"_s);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
