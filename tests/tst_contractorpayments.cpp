#include "expensemodel.h"
#include "money.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestContractorPayments : public QObject
{
    Q_OBJECT

private slots:
    void pay_data();
    void pay();
};

// The contractor is owed 1,000.50 from earlier expenses.
void TestContractorPayments::pay_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<bool>("knownContractor");
    QTest::addColumn<bool>("paymentWriteFails");
    QTest::addColumn<double>("balanceAfter");
    QTest::newRow("part of the balance") << 400.25 << 0 << true << false << 600.25;
    QTest::newRow("the whole balance, to the cent") << 1000.5 << -3 << true << false << 0.0;
    QTest::newRow("a cent more than owed") << 1000.51 << 0 << true << false << 1000.5;
    QTest::newRow("nothing") << 0.0 << 0 << true << false << 1000.5;
    QTest::newRow("negative") << -10.0 << 0 << true << false << 1000.5;
    QTest::newRow("dated tomorrow") << 100.0 << 1 << true << false << 1000.5;
    QTest::newRow("unknown contractor") << 100.0 << 0 << false << false << 1000.5;
    QTest::newRow("payment row fails: balance stays") << 100.0 << 0 << true << true << 1000.5;
}

void TestContractorPayments::pay()
{
    QFETCH(double, amount);
    QFETCH(int, dayOffset);
    QFETCH(bool, knownContractor);
    QFETCH(bool, paymentWriteFails);
    QFETCH(double, balanceAfter);
    TestFixture f;
    ExpenseModel model(f.db());
    const int contractor
        = f.insert(u"INSERT INTO contractors (name, balance) VALUES ('ورشة', 1000.5)"_s, {});
    if (paymentWriteFails)
        f.failWrites(u"contractor_payments"_s);
    const QString date = TestFixture::iso(QDate::currentDate().addDays(dayOffset));
    QSignalSpy changed(&model, &ExpenseModel::dataChanged);

    const int id = model.payContractor(
        knownContractor ? contractor : contractor + 1, amount, date, u"cash"_s, QString());
    const bool stored = !Money::equal(balanceAfter, 1000.5);
    QCOMPARE(id > 0, stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(f.count(u"contractor_payments"_s), stored ? 1 : 0);
    QCOMPARE(
        Money::cents(
            f.scalar(u"SELECT balance FROM contractors WHERE id=?"_s, { contractor }).toDouble()),
        Money::cents(balanceAfter));
    QCOMPARE(model.getContractorPayments(contractor).size(), stored ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestContractorPayments)
#include "tst_contractorpayments.moc"
