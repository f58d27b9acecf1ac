#include "expensemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

double balance(TestFixture &f, int contractor)
{
    return f.scalar(u"SELECT balance FROM contractors WHERE id=?"_s, { contractor }).toDouble();
}

} // namespace

class TestExpenses : public QObject
{
    Q_OBJECT

private slots:
    void addStoresColumns_data();
    void addStoresColumns();
    void contractorBalanceAccumulates();
    void addRefused_data();
    void addRefused();
    void totals_data();
    void totals();
    void lists();
    void contractors();
};

void TestExpenses::addStoresColumns_data()
{
    QTest::addColumn<bool>("withUnit");
    QTest::addColumn<bool>("withContractor");
    QTest::newRow("unit and contractor") << true << true;
    QTest::newRow("no unit") << false << true;
    QTest::newRow("no contractor") << true << false;
}

void TestExpenses::addStoresColumns()
{
    QFETCH(bool, withUnit);
    QFETCH(bool, withContractor);
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    ExpenseModel model(f.db());
    const int contractor = model.addContractor(u"أبو خالد"_s, u"0599"_s, u"سباكة"_s);
    QSignalSpy changed(&model, &ExpenseModel::dataChanged);
    const QString date = TestFixture::iso(QDate::currentDate().addDays(-3));

    const int id = model.add(property, withUnit ? unit : 0, withContractor ? contractor : 0,
        u"تشغيل"_s, u"سباكة"_s, u"إصلاح"_s, 250, date, 2);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    // The property doubles as the project and the unit as the cost centre; absent links are NULL.
    const QString links = u"SELECT project_id || '/' || IFNULL(unit_id, '-') || '/' || "
                          "IFNULL(cost_center_id, '-') || '/' || IFNULL(contractor_id, '-') || "
                          "'/' || IFNULL(maintenance_id, '-') FROM expenses WHERE id=?"_s;
    QCOMPARE(f.scalar(links, { id }).toString(),
        u"%1/%2/%2/%3/-"_s.arg(property)
            .arg(withUnit ? QString::number(unit) : u"-"_s)
            .arg(withContractor ? QString::number(contractor) : u"-"_s));
    QCOMPARE(balance(f, contractor), withContractor ? 250.0 : 0.0);
}

void TestExpenses::contractorBalanceAccumulates()
{
    TestFixture f;
    const int property = f.addProperty();
    ExpenseModel model(f.db());
    const int plumber = model.addContractor(u"أبو خالد"_s, u""_s, u"سباكة"_s);
    const int painter = model.addContractor(u"أبو سامي"_s, u""_s, u"دهان"_s);
    const QString today = TestFixture::iso(QDate::currentDate());
    QVERIFY(model.add(property, 0, plumber, u"a"_s, u""_s, u""_s, 250, today, 1) > 0);
    QVERIFY(model.add(property, 0, plumber, u"a"_s, u""_s, u""_s, 125.5, today, 1) > 0);
    QVERIFY(model.add(property, 0, painter, u"a"_s, u""_s, u""_s, 60, today, 1) > 0);
    // A contractor id with no contractor row changes nothing and is not refused.
    QVERIFY(model.add(property, 0, painter + 50, u"a"_s, u""_s, u""_s, 70, today, 1) > 0);
    QCOMPARE(balance(f, plumber), 375.5);
    QCOMPARE(balance(f, painter), 60.0);
    QCOMPARE(model.getContractorExpenses(plumber).size(), 2);
}

void TestExpenses::addRefused_data()
{
    QTest::addColumn<bool>("propertyZero");
    QTest::addColumn<double>("amount");
    QTest::addColumn<bool>("balanceWriteFails");
    QTest::addColumn<int>("errors");
    QTest::newRow("property zero") << true << 100.0 << false << 1;
    QTest::newRow("amount not a number")
        << false << std::numeric_limits<double>::quiet_NaN() << false << 0;
    QTest::newRow("infinite amount")
        << false << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("balance update fails: all or nothing") << false << 250.0 << true << 1;
}

void TestExpenses::addRefused()
{
    QFETCH(bool, propertyZero);
    QFETCH(double, amount);
    QFETCH(bool, balanceWriteFails);
    QFETCH(int, errors);
    TestFixture f;
    const int property = f.addProperty();
    ExpenseModel model(f.db());
    const int contractor = model.addContractor(u"أبو خالد"_s, u""_s, u""_s);
    if (balanceWriteFails)
        f.failWrites(u"contractors"_s, u"UPDATE"_s);
    QSignalSpy changed(&model, &ExpenseModel::dataChanged);
    QSignalSpy errorSpy(f.db(), &Database::databaseError);
    QCOMPARE(model.add(propertyZero ? 0 : property, 0, contractor, u"a"_s, u""_s, u""_s, amount,
                 TestFixture::iso(QDate::currentDate()), 1),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errorSpy.count(), errors);
    QCOMPARE(f.count(u"expenses"_s), 0);
    QCOMPARE(balance(f, contractor), 0.0);
}

void TestExpenses::totals_data()
{
    QTest::addColumn<bool>("useDefault");
    QTest::addColumn<int>("which");
    QTest::addColumn<double>("expected");
    // which: 1 first property, 2 second property, other values passed as they are.
    QTest::newRow("no argument totals all") << true << 0 << 475.0;
    QTest::newRow("negative totals all") << false << -5 << 475.0;
    QTest::newRow("first property") << false << 1 << 400.0;
    QTest::newRow("second property") << false << 2 << 75.0;
    QTest::newRow("property zero has none") << false << 0 << 0.0;
    QTest::newRow("unknown property has none") << false << 999 << 0.0;
}

void TestExpenses::totals()
{
    QFETCH(bool, useDefault);
    QFETCH(int, which);
    QFETCH(double, expected);
    TestFixture f;
    const int first = f.addProperty();
    const int second = f.addProperty(u"برج الياسمين"_s);
    const QDate today = QDate::currentDate();
    f.addExpense(first, 0, 150, today);
    f.addExpense(first, 0, 250, today.addMonths(-2));
    f.addExpense(second, 0, 75, today);
    ExpenseModel model(f.db());
    const int propId = which == 1 ? first : which == 2 ? second : which;
    QCOMPARE(useDefault ? model.getTotal() : model.getTotal(propId), expected);
}

void TestExpenses::lists()
{
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const int other = f.addProperty(u"برج الياسمين"_s);
    const QDate today = QDate::currentDate();
    ExpenseModel model(f.db());
    const int contractor = model.addContractor(u"أبو خالد"_s, u""_s, u""_s);
    const int old = f.addExpense(property, unit, 10, today.addDays(-20), contractor);
    const int recent = f.addExpense(property, 0, 20, today);
    const int elsewhere = f.addExpense(other, 0, 30, today.addDays(-5));

    const QVariantList all = model.getAll();
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.at(0).toMap().value(u"id"_s).toInt(), recent);
    QCOMPARE(all.at(1).toMap().value(u"id"_s).toInt(), elsewhere);
    QCOMPARE(all.at(2).toMap().value(u"id"_s).toInt(), old);
    // Optional joins leave NULLs rather than dropping the row.
    QVERIFY(all.at(0).toMap().value(u"unit_number"_s).isNull());
    QCOMPARE(all.at(2).toMap().value(u"contractor_name"_s).toString(), u"أبو خالد"_s);
    QCOMPARE(all.at(1).toMap().value(u"property_name"_s).toString(), u"برج الياسمين"_s);

    const QVariantList mine = model.getByProperty(property);
    QCOMPARE(mine.size(), 2);
    QCOMPARE(mine.at(0).toMap().value(u"id"_s).toInt(), recent);
    QCOMPARE(mine.at(1).toMap().value(u"id"_s).toInt(), old);

    const QVariantList booked = model.getContractorExpenses(contractor);
    QCOMPARE(booked.size(), 1);
    QCOMPARE(booked.first().toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);
}

void TestExpenses::contractors()
{
    TestFixture f;
    ExpenseModel model(f.db());
    QSignalSpy changed(&model, &ExpenseModel::dataChanged);
    const int zaid = model.addContractor(u"Zaid"_s, u"0599"_s, u"كهرباء"_s);
    const int adam = model.addContractor(u"Adam"_s, u""_s, u"دهان"_s);
    QCOMPARE(changed.count(), 2);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.addContractor(QString(), u""_s, u""_s), -1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 2);

    const QVariantList rows = model.getContractors();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toMap().value(u"id"_s).toInt(), adam);
    QCOMPARE(rows.at(1).toMap().value(u"id"_s).toInt(), zaid);
}

QTEST_GUILESS_MAIN(TestExpenses)
#include "tst_expenses.moc"
