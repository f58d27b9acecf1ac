#include "money.h"

#include <QTest>
#include <limits>

class TestMoney : public QObject
{
    Q_OBJECT

private slots:
    void cents_data();
    void cents();
    void compare_data();
    void compare();
};

void TestMoney::cents_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("0.1+0.2") << 0.1 + 0.2 << qint64(30);
    QTest::newRow("1.005 stored below half") << 1.005 << qint64(100);
    QTest::newRow("half away from zero") << 0.125 << qint64(13);
    QTest::newRow("negative") << -50.205 << qint64(-5021);
    QTest::newRow("residue of a partial payment") << 100.30 - 50.10 - 50.20 << qint64(0);
    QTest::newRow("a billion") << 1e9 << qint64(100000000000);
    QTest::newRow("largest countable") << 9e15 << qint64(900000000000000000);
    QTest::newRow("beyond countable") << 9.1e15 << qint64(0);
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << qint64(0);
}

void TestMoney::cents()
{
    QFETCH(double, amount);
    QFETCH(qint64, expected);
    QCOMPARE(Money::cents(amount), expected);
}

void TestMoney::compare_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("shown remainder equals balance") << 50.20 << 100.30 - 50.10 << 0;
    QTest::newRow("one cent more") << 50.21 << 100.30 - 50.10 << 1;
    QTest::newRow("one cent less") << 99.99 << 100.0 << -1;
    QTest::newRow("sub-cent difference") << 100.004 << 100.0 << 0;
}

void TestMoney::compare()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, expected);
    QCOMPARE(Money::compare(a, b), expected);
    QCOMPARE(Money::compare(b, a), -expected);
    QCOMPARE(Money::equal(a, b), expected == 0);
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
