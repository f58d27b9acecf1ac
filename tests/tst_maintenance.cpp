#include "maintenancemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct Site
{
    int property;
    int unit;
};

Site prepareSite(TestFixture &f)
{
    const int property = f.addProperty();
    return { property, f.addUnit(property, u"A1"_s) };
}

} // namespace

class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void completeBooksExpense();
    void completeRefused_data();
    void completeRefused();
    void listsAndCounts();
};

void TestMaintenance::completeBooksExpense()
{
    // Completing twice books twice.
    const QList<double> costs { 100, 250 };
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"تسرب مياه"_s, u""_s, u"medium"_s);
    double total = 0;
    for (double cost : costs) {
        QVERIFY(model.complete(id, cost));
        total += cost;
    }
    QCOMPARE(f.joined(u"SELECT status, cost + 0.0 FROM maintenance_requests"_s),
        u"completed/"_s + QString::number(costs.last(), 'f', 1));
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM expenses WHERE maintenance_id=? AND property_id=? "
                      "AND unit_id=? AND expense_date=?"_s,
                  { id, site.property, site.unit, TestFixture::iso(QDate::currentDate()) })
                 .toInt(),
        costs.size());
    QCOMPARE(f.scalar(u"SELECT SUM(amount) FROM expenses"_s).toDouble(), total);
}

void TestMaintenance::completeRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::addColumn<double>("cost");
    QTest::addColumn<bool>("missing");
    QTest::newRow("expense insert fails") << u"expenses"_s << u"INSERT"_s << 400.0 << false;
    QTest::newRow("cost not a number")
        << QString() << QString() << std::numeric_limits<double>::quiet_NaN() << false;
    // Not a refusal: nothing to complete, so nothing is booked.
    QTest::newRow("missing request books nothing") << QString() << QString() << 500.0 << true;
}

void TestMaintenance::completeRefused()
{
    QFETCH(QString, table);
    QFETCH(QString, event);
    QFETCH(double, cost);
    QFETCH(bool, missing);
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"مصعد"_s, u""_s, u"high"_s);
    if (!table.isNull())
        f.failWrites(table, event);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.complete(missing ? id + 50 : id, cost), missing);
    QCOMPARE(errors.count(), table.isNull() ? 0 : 1);
    QCOMPARE(f.joined(u"SELECT status, cost + 0.0, IFNULL(completed_date, '-') "
                      "FROM maintenance_requests"_s),
        u"new/0.0/-"_s);
    QCOMPARE(f.count(u"expenses"_s), 0);
}

void TestMaintenance::listsAndCounts()
{
    TestFixture f;
    const Site site = prepareSite(f);
    const int otherProperty = f.addProperty(u"برج الياسمين"_s);
    MaintenanceModel model(f.db());
    const int first = model.add(site.unit, otherProperty, u"أ"_s, u""_s, u"low"_s);
    const int second = model.add(site.unit, site.property, u"ب"_s, u""_s, u"low"_s);
    // Same-second inserts: make the creation order visible to the sort.
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE maintenance_requests SET created_at=datetime('now','-1 hour') WHERE id=?"_s,
        { first }));
    QVERIFY(model.updateStatus(first, u"in_progress"_s));
    QVERIFY(model.complete(second, 10));

    const QVariantList all = model.getAll();
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.at(0).toMap().value(u"id"_s).toInt(), second);
    QCOMPARE(all.at(1).toMap().value(u"id"_s).toInt(), first);
    // The property is named through the unit, not the request's own property column.
    QCOMPARE(all.at(1).toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);
    QCOMPARE(model.getCount(), 2);
    QCOMPARE(model.getCount(u"completed"_s), 1);
}

QTEST_GUILESS_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
