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
    void uniqueNumberWithinProperty();
    void guardedRemove();
    void markAsSoldRecordsTheSale();
    void nonFiniteAmountsRefused();
};

void TestUnits::uniqueNumberWithinProperty()
{
    TestFixture f;
    UnitModel model(f.db());
    const int first = f.addProperty(u"A"_s);
    QVERIFY(model.add(first, u"101"_s, 1, 90, 3, 700, 8400, 90000, 1) > 0);
    QSignalSpy changed(&model, &UnitModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVERIFY(model.add(first, u"101"_s, 2, 80, 2, 600, 7200, 80000, 1) <= 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QVERIFY(model.add(f.addProperty(u"B"_s), u"101"_s, 2, 80, 2, 600, 7200, 80000, 1) > 0);
    QCOMPARE(f.count(u"units"_s), 2);
}

void TestUnits::guardedRemove()
{
    TestFixture f;
    UnitModel model(f.db());
    const int property = f.addProperty();
    const int rented = f.addUnit(property, u"1"_s, 500);
    const int leased = f.addUnit(property, u"2"_s, 500);
    const int free = f.addUnit(property, u"3"_s, 500);
    // Status set through the model, as a page would.
    QVERIFY(model.updateStatus(rented, u"rented"_s));
    const QDate today = TestFixture::today();
    f.addLease(
        leased, f.addTenant(u"ع"_s), today.addYears(-2), today.addYears(-1), 500, u"terminated"_s);
    QSignalSpy changed(&model, &UnitModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QVERIFY(!model.remove(rented)); // refused before the database is asked
    QCOMPARE(errors.count(), 0);
    QVERIFY(!model.remove(leased)); // kept by its ended lease
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QVERIFY(model.remove(free));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.count(u"units"_s), 2);
}

void TestUnits::markAsSoldRecordsTheSale()
{
    TestFixture f;
    UnitModel model(f.db());
    const int unit = f.addUnit(f.addProperty(), u"1"_s, 500, u"available"_s, 100, 90000);
    const int buyer = f.addBuyer(u"مشتري"_s);
    const QString date = TestFixture::iso(TestFixture::today());
    const QString sale = u"SELECT status, buyer_id, sale_price_actual, sale_price, sale_date "
                         "FROM units WHERE id=?"_s;
    QSignalSpy changed(&model, &UnitModel::dataChanged);
    QVERIFY(model.markAsSold(unit, buyer, 85000, date));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.joined(sale, { unit }), u"sold/%1/85000.0/90000.0/%2"_s.arg(buyer).arg(date));

    // Selling it again would replace the buyer and book the revenue a second time.
    QVERIFY(!model.markAsSold(unit, f.addBuyer(u"آخر"_s), 70000, date));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.joined(sale, { unit }), u"sold/%1/85000.0/90000.0/%2"_s.arg(buyer).arg(date));
}

void TestUnits::nonFiniteAmountsRefused()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TestFixture f;
    UnitModel model(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"1"_s, 500);
    QSignalSpy changed(&model, &UnitModel::dataChanged);

    QCOMPARE(model.add(property, u"2"_s, 1, 90, 3, nan, 6000, 70000, 1), -1);
    QVERIFY(!model.update(unit, u"1"_s, 1, 90, 3, nan, 6000, 70000));
    QVERIFY(!model.markAsSold(unit, f.addBuyer(u"م"_s), nan, u"2024-01-01"_s));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"units"_s), 1);
    QCOMPARE(f.joined(u"SELECT rent_monthly, status FROM units"_s), u"500.0/available"_s);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
