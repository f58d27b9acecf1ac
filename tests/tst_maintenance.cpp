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
    void completeRefused_data();
    void completeRefused();
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
    const QString state
        = u"SELECT status || '/' || request_date FROM maintenance_requests WHERE id=?"_s;
    const QString today = f.scalar(u"SELECT date('now')"_s).toString();
    QCOMPARE(f.scalar(state, { id }).toString(), u"new/"_s + today);
    QVERIFY(model.updateStatus(id, u"in_progress"_s));
    QVERIFY(model.updateStatus(id + 10, u"in_progress"_s));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(f.scalar(state, { id }).toString(), u"in_progress/"_s + today);
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
    QTest::addColumn<QList<double>>("costs");
    QTest::newRow("with a cost") << QList<double> { 350.5 };
    QTest::newRow("at no cost") << QList<double> { 0 };
    QTest::newRow("twice books twice") << QList<double> { 100, 250 };
}

void TestMaintenance::completeBooksExpense()
{
    QFETCH(QList<double>, costs);
    TestFixture f;
    const Site site = prepareSite(f);
    const int contractor
        = f.insert(u"INSERT INTO contractors (name, balance) VALUES ('أبو خالد', 40)"_s, {});
    MaintenanceModel model(f.db());
    const int id = model.add(site.unit, site.property, u"تسرب مياه"_s, u""_s, u"medium"_s);
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    double total = 0;
    for (double cost : costs) {
        QVERIFY(model.complete(id, cost));
        total += cost;
    }
    QCOMPARE(changed.count(), costs.size());
    const QString today = f.scalar(u"SELECT date('now')"_s).toString();
    QCOMPARE(f.scalar(u"SELECT status || '/' || (cost + 0.0) || '/' || completed_date "
                      "FROM maintenance_requests WHERE id=?"_s,
                  { id })
                 .toString(),
        u"completed/%1/%2"_s.arg(QString::number(costs.last(), 'f', 1), today));
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM expenses WHERE maintenance_id=? AND property_id=? "
                      "AND unit_id=? AND category='صيانة' AND description='تسرب مياه' AND "
                      "expense_date=? AND contractor_id IS NULL AND currency_id IS NULL"_s,
                  { id, site.property, site.unit, TestFixture::iso(QDate::currentDate()) })
                 .toInt(),
        costs.size());
    QCOMPARE(f.scalar(u"SELECT SUM(amount) FROM expenses"_s).toDouble(), total);
    QCOMPARE(
        f.scalar(u"SELECT balance FROM contractors WHERE id=?"_s, { contractor }).toDouble(), 40.0);
}

void TestMaintenance::completeRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::addColumn<double>("cost");
    QTest::addColumn<bool>("missing");
    QTest::newRow("request update fails")
        << u"maintenance_requests"_s << u"UPDATE"_s << 400.0 << false;
    QTest::newRow("expense insert fails") << u"expenses"_s << u"INSERT"_s << 400.0 << false;
    QTest::newRow("cost not a number")
        << QString() << QString() << std::numeric_limits<double>::quiet_NaN() << false;
    QTest::newRow("infinite cost")
        << QString() << QString() << std::numeric_limits<double>::infinity() << false;
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
    QSignalSpy changed(&model, &MaintenanceModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.complete(missing ? id + 50 : id, cost), missing);
    QCOMPARE(changed.count(), missing ? 1 : 0);
    QCOMPARE(errors.count(), table.isNull() ? 0 : 1);
    QCOMPARE(f.scalar(u"SELECT status || '/' || (cost + 0.0) || '/' || IFNULL(completed_date, '-') "
                      "FROM maintenance_requests"_s)
                 .toString(),
        u"new/0.0/-"_s);
    QCOMPARE(f.count(u"expenses"_s), 0);
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
