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

QList<int> ids(const QVariantList &rows)
{
    QList<int> result;
    for (const QVariant &row : rows)
        result.append(row.toMap().value(u"id"_s).toInt());
    return result;
}

} // namespace

class TestExpenses : public QObject
{
    Q_OBJECT

private slots:
    void linksAndContractorBalance();
    void addRefused_data();
    void addRefused();
    void totals_data();
    void totals();
    void lists();
};

void TestExpenses::linksAndContractorBalance()
{
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    ExpenseModel model(f.db());
    const int plumber = model.addContractor(u"أبو خالد"_s, u""_s, u"سباكة"_s);
    const int painter = model.addContractor(u"أبو سامي"_s, u""_s, u"دهان"_s);
    const QString today = TestFixture::iso(QDate::currentDate());
    const int id = model.add(property, unit, plumber, u"a"_s, u""_s, u""_s, 250, today, 2);
    QVERIFY(id > 0);
    QVERIFY(model.add(property, 0, plumber, u"a"_s, u""_s, u""_s, 125.5, today, 1) > 0);
    QVERIFY(model.add(property, 0, painter, u"a"_s, u""_s, u""_s, 60, today, 1) > 0);
    // A contractor id with no contractor row changes nothing and is not refused.
    QVERIFY(model.add(property, 0, painter + 50, u"a"_s, u""_s, u""_s, 70, today, 1) > 0);
    QCOMPARE(balance(f, plumber), 375.5);
    QCOMPARE(balance(f, painter), 60.0);
    // The property doubles as the project and the unit as the cost centre.
    QCOMPARE(
        f.scalar(u"SELECT project_id || '/' || cost_center_id FROM expenses WHERE id=?"_s, { id })
            .toString(),
        u"%1/%2"_s.arg(property).arg(unit));
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
    QTest::addColumn<int>("which"); // 1: the first property; other values passed as they are
    QTest::addColumn<double>("expected");
    QTest::newRow("no argument totals all") << true << 0 << 475.0;
    QTest::newRow("negative totals all") << false << -5 << 475.0;
    QTest::newRow("first property, every month") << false << 1 << 400.0;
    QTest::newRow("property zero has none") << false << 0 << 0.0;
}

void TestExpenses::totals()
{
    QFETCH(bool, useDefault);
    QFETCH(int, which);
    QFETCH(double, expected);
    TestFixture f;
    const int first = f.addProperty();
    const QDate today = QDate::currentDate();
    f.addExpense(first, 0, 150, today);
    f.addExpense(first, 0, 250, today.addMonths(-2));
    f.addExpense(f.addProperty(u"برج الياسمين"_s), 0, 75, today);
    ExpenseModel model(f.db());
    QCOMPARE(useDefault ? model.getTotal() : model.getTotal(which == 1 ? first : which), expected);
}

void TestExpenses::lists()
{
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const QDate today = QDate::currentDate();
    ExpenseModel model(f.db());
    const int contractor = model.addContractor(u"Zaid"_s, u""_s, u""_s);
    const int adam = model.addContractor(u"Adam"_s, u""_s, u""_s);
    const int old = f.addExpense(property, unit, 10, today.addDays(-20), contractor);
    const int recent = f.addExpense(property, 0, 20, today);
    const int elsewhere = f.addExpense(f.addProperty(u"برج الياسمين"_s), 0, 30, today.addDays(-5));

    // Optional joins leave NULLs rather than dropping the row.
    const QVariantList all = model.getAll();
    QCOMPARE(ids(all), (QList<int> { recent, elsewhere, old }));
    QVERIFY(all.at(0).toMap().value(u"unit_number"_s).isNull());
    QCOMPARE(all.at(2).toMap().value(u"contractor_name"_s).toString(), u"Zaid"_s);
    QCOMPARE(ids(model.getByProperty(property)), (QList<int> { recent, old }));
    QCOMPARE(ids(model.getContractorExpenses(contractor)), QList<int> { old });
    QCOMPARE(ids(model.getContractors()), (QList<int> { adam, contractor }));
    QCOMPARE(model.addContractor(QString(), u""_s, u""_s), -1);
}

QTEST_GUILESS_MAIN(TestExpenses)
#include "tst_expenses.moc"
