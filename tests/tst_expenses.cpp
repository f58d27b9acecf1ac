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
    void addRefused();
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
    // An office expense belongs to no property; it is still owed to its contractor.
    QVERIFY(model.add(0, 0, painter, u"a"_s, u""_s, u""_s, 60, today, 1) > 0);
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

void TestExpenses::addRefused()
{
    TestFixture f;
    const int property = f.addProperty();
    ExpenseModel model(f.db());
    const int contractor = model.addContractor(u"أبو خالد"_s, u""_s, u""_s);
    const QString today = TestFixture::iso(QDate::currentDate());
    QSignalSpy changed(&model, &ExpenseModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.add(property, 0, contractor, u"a"_s, u""_s, u""_s,
                 std::numeric_limits<double>::quiet_NaN(), today, 1),
        -1);
    QCOMPARE(errors.count(), 0);
    // All or nothing: the expense row goes in, the balance update fails.
    f.failWrites(u"contractors"_s, u"UPDATE"_s);
    QCOMPARE(model.add(property, 0, contractor, u"a"_s, u""_s, u""_s, 250, today, 1), -1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"expenses"_s), 0);
    QCOMPARE(balance(f, contractor), 0.0);
}

void TestExpenses::totals()
{
    TestFixture f;
    const int first = f.addProperty();
    const QDate today = QDate::currentDate();
    f.addExpense(first, 0, 150, today);
    f.addExpense(first, 0, 250, today.addMonths(-2));
    f.addExpense(f.addProperty(u"برج الياسمين"_s), 0, 75, today);
    ExpenseModel model(f.db());
    // A negative id totals every property; property zero has none.
    QCOMPARE(model.getTotal(-5), 475.0);
    QCOMPARE(model.getTotal(), 475.0);
    QCOMPARE(model.getTotal(first), 400.0);
    QCOMPARE(model.getTotal(0), 0.0);
}

void TestExpenses::lists()
{
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const QDate today = QDate::currentDate();
    ExpenseModel model(f.db());
    const int contractor = model.addContractor(u"Zaid"_s, u""_s, u""_s);
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
    QCOMPARE(model.addContractor(QString(), u""_s, u""_s), -1);
}

QTEST_GUILESS_MAIN(TestExpenses)
#include "tst_expenses.moc"
