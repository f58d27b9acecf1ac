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
    void addAndUpdateStatus();
    void addRefused_data();
    void addRefused();
    void completeBooksExpense_data();
    void completeBooksExpense();
    void completeTwiceBooksTwice();
    void completeMissingRequest();
    void completeAllOrNothing_data();
    void completeAllOrNothing();
    void completeRefusesNonFiniteCost();
    void counts_data();
    void counts();
    void listsNamePropertyThroughUnit();
};

void TestMaintenance::addAndUpdateStatus()
{
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    const int id = model.add(site.unit, site.property, u"تسرب مياه"_s, u"المطبخ"_s, u"high"_s);
    QVERIFY(id > 0);
    QVariantMap row = f.db()->getById(u"maintenance_requests"_s, id);
    QCOMPARE(row.value(u"status"_s).toString(), u"new"_s);
    QCOMPARE(row.value(u"priority"_s).toString(), u"high"_s);
    QCOMPARE(row.value(u"description"_s).toString(), u"المطبخ"_s);
    QCOMPARE(row.value(u"request_date"_s).toString(), f.scalar(u"SELECT date('now')"_s).toString());

    QVERIFY(model.updateStatus(id, u"in_progress"_s));
    QVERIFY(model.updateStatus(id + 10, u"in_progress"_s));
    QCOMPARE(changed.count(), 3);
    row = f.db()->getById(u"maintenance_requests"_s, id);
    QCOMPARE(row.value(u"status"_s).toString(), u"in_progress"_s);
}

void TestMaintenance::addRefused_data()
{
    QTest::addColumn<bool>("unitExists");
    QTest::addColumn<int>("propertyOffset");
    QTest::newRow("unit that does not exist") << false << 0;
    QTest::newRow("property zero") << true << -1;
}

void TestMaintenance::addRefused()
{
    QFETCH(bool, unitExists);
    QFETCH(int, propertyOffset);
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    const int property = propertyOffset < 0 ? 0 : site.property;
    QCOMPARE(
        model.add(unitExists ? site.unit : site.unit + 9, property, u"x"_s, u""_s, u"low"_s), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"maintenance_requests"_s), 0);
}

void TestMaintenance::completeBooksExpense_data()
{
    QTest::addColumn<double>("cost");
    QTest::newRow("with a cost") << 350.5;
    QTest::newRow("at no cost") << 0.0;
}

void TestMaintenance::completeBooksExpense()
{
    QFETCH(double, cost);
    TestFixture f;
    const Site site = prepareSite(f);
    const int contractor
        = f.insert(u"INSERT INTO contractors (name, balance) VALUES ('أبو خالد', 40)"_s, {});
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"تسرب مياه"_s, u""_s, u"medium"_s);
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);

    QVERIFY(model.complete(id, cost));
    QCOMPARE(changed.count(), 1);
    const QVariantMap request = f.db()->getById(u"maintenance_requests"_s, id);
    QCOMPARE(request.value(u"status"_s).toString(), u"completed"_s);
    QCOMPARE(request.value(u"cost"_s).toDouble(), cost);
    QCOMPARE(request.value(u"completed_date"_s).toString(),
        f.scalar(u"SELECT date('now')"_s).toString());

    const QVariantList expenses = f.db()->execQuery(u"SELECT * FROM expenses"_s);
    QCOMPARE(expenses.size(), 1);
    const QVariantMap expense = expenses.first().toMap();
    QCOMPARE(expense.value(u"property_id"_s).toInt(), site.property);
    QCOMPARE(expense.value(u"unit_id"_s).toInt(), site.unit);
    QCOMPARE(expense.value(u"category"_s).toString(), u"صيانة"_s);
    QCOMPARE(expense.value(u"description"_s).toString(), u"تسرب مياه"_s);
    QCOMPARE(expense.value(u"amount"_s).toDouble(), cost);
    QCOMPARE(expense.value(u"expense_date"_s).toString(), TestFixture::iso(QDate::currentDate()));
    QCOMPARE(expense.value(u"maintenance_id"_s).toInt(), id);
    QVERIFY(expense.value(u"contractor_id"_s).isNull());
    QVERIFY(expense.value(u"currency_id"_s).isNull());
    QCOMPARE(
        f.scalar(u"SELECT balance FROM contractors WHERE id=?"_s, { contractor }).toDouble(), 40.0);
}

void TestMaintenance::completeTwiceBooksTwice()
{
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"مصعد"_s, u""_s, u"high"_s);
    QVERIFY(model.complete(id, 100));
    QVERIFY(model.complete(id, 250));
    QCOMPARE(
        f.scalar(u"SELECT cost FROM maintenance_requests WHERE id=?"_s, { id }).toDouble(), 250.0);
    QCOMPARE(
        f.scalar(u"SELECT COUNT(*) FROM expenses WHERE maintenance_id=?"_s, { id }).toInt(), 2);
    QCOMPARE(f.scalar(u"SELECT SUM(amount) FROM expenses"_s).toDouble(), 350.0);
}

void TestMaintenance::completeMissingRequest()
{
    TestFixture f;
    MaintenanceModel model(f.db());
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    QVERIFY(model.complete(77, 500));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.count(u"expenses"_s), 0);
}

void TestMaintenance::completeAllOrNothing_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::newRow("request update fails") << u"maintenance_requests"_s << u"UPDATE"_s;
    QTest::newRow("expense insert fails") << u"expenses"_s << u"INSERT"_s;
}

void TestMaintenance::completeAllOrNothing()
{
    QFETCH(QString, table);
    QFETCH(QString, event);
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"مصعد"_s, u""_s, u"high"_s);
    f.failWrites(table, event);
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.complete(id, 400), false);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    const QVariantMap request = f.db()->getById(u"maintenance_requests"_s, id);
    QCOMPARE(request.value(u"status"_s).toString(), u"new"_s);
    QCOMPARE(request.value(u"cost"_s).toDouble(), 0.0);
    QVERIFY(request.value(u"completed_date"_s).isNull());
    QCOMPARE(f.count(u"expenses"_s), 0);
}

void TestMaintenance::completeRefusesNonFiniteCost()
{
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"مصعد"_s, u""_s, u"high"_s);
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    QCOMPARE(model.complete(id, std::numeric_limits<double>::quiet_NaN()), false);
    QCOMPARE(model.complete(id, std::numeric_limits<double>::infinity()), false);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"expenses"_s), 0);
    QCOMPARE(f.scalar(u"SELECT status FROM maintenance_requests"_s).toString(), u"new"_s);
}

void TestMaintenance::counts_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("useDefault");
    QTest::addColumn<int>("expected");
    QTest::newRow("no argument counts all") << QString() << true << 3;
    QTest::newRow("empty text counts all") << u""_s << false << 3;
    QTest::newRow("completed only") << u"completed"_s << false << 1;
    QTest::newRow("new only") << u"new"_s << false << 2;
    QTest::newRow("unknown status") << u"cancelled"_s << false << 0;
}

void TestMaintenance::counts()
{
    QFETCH(QString, status);
    QFETCH(bool, useDefault);
    QFETCH(int, expected);
    TestFixture f;
    const Site site = prepareSite(f);
    MaintenanceModel model(f.db());
    model.add(site.unit, site.property, u"أ"_s, u""_s, u"low"_s);
    model.add(site.unit, site.property, u"ب"_s, u""_s, u"low"_s);
    QVERIFY(model.complete(model.add(site.unit, site.property, u"ج"_s, u""_s, u"low"_s), 10));
    QCOMPARE(useDefault ? model.getCount() : model.getCount(status), expected);
}

void TestMaintenance::listsNamePropertyThroughUnit()
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

    const QVariantList all = model.getAll();
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.at(0).toMap().value(u"id"_s).toInt(), second);
    QCOMPARE(all.at(1).toMap().value(u"id"_s).toInt(), first);
    QCOMPARE(all.at(1).toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);
    QCOMPARE(all.at(1).toMap().value(u"unit_number"_s).toString(), u"A1"_s);

    const QVariantList inProgress = model.getByStatus(u"in_progress"_s);
    QCOMPARE(inProgress.size(), 1);
    QCOMPARE(inProgress.first().toMap().value(u"id"_s).toInt(), first);
    QCOMPARE(inProgress.first().toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);
}

QTEST_GUILESS_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
