#include "installmentmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QVariantList column(TestFixture &f, const QString &sql)
{
    QVariantList values;
    for (const QVariant &row : f.db()->execQuery(sql))
        values.append(row.toMap().constBegin().value());
    return values;
}

struct Sale
{
    int buyer;
    int unit;
};

Sale prepareSale(TestFixture &f, const QString &unitStatus = u"available"_s)
{
    const int buyer = f.addBuyer(u"سامر عودة"_s, u"401"_s);
    return { buyer, f.addUnit(f.addProperty(), u"A1"_s, 1000, unitStatus) };
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

} // namespace

class TestInstallments : public QObject
{
    Q_OBJECT

private slots:
    void sellUnitSchedule_data();
    void sellUnitSchedule();
    void chequeNumbering_data();
    void chequeNumbering();
    void sellUnitRefused_data();
    void sellUnitRefused();
    void payInstallment_data();
    void payInstallment();
    void overdueBoundaries();
    void addRefused();
};

void TestInstallments::sellUnitSchedule_data()
{
    QTest::addColumn<QString>("unitStatus");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("down");
    QTest::addColumn<int>("count");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QVariantList>("amounts");
    QTest::addColumn<QStringList>("dues");

    const int year = QDate::currentDate().year();
    const QString y = QString::number(year);
    const QString febEnd = TestFixture::iso(QDate(year, 2, QDate(year, 2, 1).daysInMonth()));
    const QDate today = QDate::currentDate();
    const auto months = [&today](int n) {
        QStringList dues;
        for (int i = 0; i < n; ++i)
            dues << TestFixture::iso(today.addMonths(i));
        return dues;
    };
    const QString available = u"available"_s;

    QTest::newRow("month end clamped, always from the start date")
        << available << 10000.0 << 1000.0 << 4 << QDate(year, 1, 31)
        << QVariantList { 2250.0, 2250.0, 2250.0, 2250.0 }
        << QStringList { y + u"-01-31"_s, febEnd, y + u"-03-31"_s, y + u"-04-30"_s };
    QTest::newRow("remainder on the last") << available << 1000.0 << 0.0 << 3 << today
                                           << QVariantList { 333.33, 333.33, 333.34 } << months(3);
    QTest::newRow("zero count carries the whole remainder")
        << available << 5000.0 << 1500.0 << 0 << today << QVariantList { 3500.0 } << months(1);
    QTest::newRow("cash sale") << available << 1234567.0 << 1234567.0 << 12 << today
                               << QVariantList {} << QStringList {};
    QTest::newRow("remainder under a cent is not scheduled")
        << available << 8000.0 << 7999.995 << 2 << today << QVariantList {} << QStringList {};
    QTest::newRow("down payment above the price")
        << available << 8000.0 << 9000.0 << 3 << today << QVariantList {} << QStringList {};
    QTest::newRow("rented unit can be sold") << u"rented"_s << 2000.5 << 0.5 << 2 << today
                                             << QVariantList { 1000.0, 1000.0 } << months(2);
    // 50 billion a month is far beyond a 32-bit count of cents.
    QTest::newRow("large price keeps whole cents")
        << available << 150000000000.0 << 0.0 << 3 << today
        << QVariantList { 50000000000.0, 50000000000.0, 50000000000.0 } << months(3);
}

void TestInstallments::sellUnitSchedule()
{
    QFETCH(QString, unitStatus);
    QFETCH(double, total);
    QFETCH(double, down);
    QFETCH(int, count);
    QFETCH(QDate, start);
    QFETCH(QVariantList, amounts);
    QFETCH(QStringList, dues);
    TestFixture f;
    const Sale sale = prepareSale(f, unitStatus);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);

    QCOMPARE(
        model.sellUnit(sale.buyer, sale.unit, total, down, count, TestFixture::iso(start), 2), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(
        column(f, u"SELECT ROUND(installment_amount, 6) FROM installments ORDER BY id"_s), amounts);
    QCOMPARE(
        column(f, u"SELECT due_date FROM installments ORDER BY id"_s), QVariant(dues).toList());
    const QVariantMap unit = f.db()->getById(u"units"_s, sale.unit);
    QCOMPARE(unit.value(u"status"_s).toString(), u"sold"_s);
    QCOMPARE(unit.value(u"buyer_id"_s).toInt(), sale.buyer);
    QCOMPARE(column(f, u"SELECT amount FROM payments"_s),
        down > 0 ? QVariantList { down } : QVariantList {});
    QCOMPARE(f.count(u"audit_logs"_s), 1);
}

void TestInstallments::chequeNumbering_data()
{
    QTest::addColumn<QString>("startCheque");
    QTest::addColumn<QVariantList>("cheques");
    QTest::newRow("leading zeros are not kept")
        << u"0099"_s << QVariantList { u"99"_s, u"100"_s, u"101"_s };
    QTest::newRow("non-numeric start on the first only")
        << u"A-17"_s << QVariantList { u"A-17"_s, u""_s, u""_s };
    QTest::newRow("zero is not a start number") << u"0"_s << QVariantList { u"0"_s, u""_s, u""_s };
}

void TestInstallments::chequeNumbering()
{
    QFETCH(QString, startCheque);
    QFETCH(QVariantList, cheques);
    TestFixture f;
    const Sale sale = prepareSale(f);
    InstallmentModel model(f.db());
    QCOMPARE(model.sellUnit(sale.buyer, sale.unit, 3000, 0, 3,
                 TestFixture::iso(QDate::currentDate()), 1, startCheque, u"بنك فلسطين"_s),
        1);
    QCOMPARE(column(f, u"SELECT cheque_number FROM installments ORDER BY id"_s), cheques);
}

void TestInstallments::sellUnitRefused_data()
{
    QTest::addColumn<int>("unitOffset");
    QTest::addColumn<QString>("unitStatus");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("down");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("failing"); // table, event and condition of failing writes
    const QString today = TestFixture::iso(QDate::currentDate());
    const QString available = u"available"_s;
    const QStringList none;
    QTest::newRow("missing unit") << 100 << available << 1000.0 << 100.0 << today << none;
    QTest::newRow("sold unit") << 0 << u"sold"_s << 1000.0 << 100.0 << today << none;
    QTest::newRow("start date that does not exist")
        << 0 << available << 1000.0 << 100.0 << u"2025-02-30"_s << none;
    QTest::newRow("price not a number") << 0 << available << NaN << 100.0 << today << none;
    QTest::newRow("infinite down payment") << 0 << available << 1000.0 << -Inf << today << none;
    QTest::newRow("unit update fails")
        << 0 << available << 1000.0 << 100.0 << today << QStringList { u"units"_s, u"UPDATE"_s };
    QTest::newRow("third installment insert fails")
        << 0 << available << 1000.0 << 100.0 << today
        << QStringList { u"installments"_s, u"INSERT"_s,
               u"(SELECT COUNT(*) FROM installments) >= 2"_s };
    QTest::newRow("audit insert fails") << 0 << available << 1000.0 << 100.0 << today
                                        << QStringList { u"audit_logs"_s, u"INSERT"_s };
}

void TestInstallments::sellUnitRefused()
{
    QFETCH(int, unitOffset);
    QFETCH(QString, unitStatus);
    QFETCH(double, total);
    QFETCH(double, down);
    QFETCH(QString, start);
    QFETCH(QStringList, failing);
    TestFixture f;
    const Sale sale = prepareSale(f, unitStatus);
    if (!failing.isEmpty())
        f.failWrites(failing.value(0), failing.value(1), failing.value(2));
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(
        model.sellUnit(sale.buyer, sale.unit + unitOffset, total, down, 3, start, 1, u"1001"_s),
        -1);
    QCOMPARE(changed.count(), 0);
    // Refusals are silent; a failed write reports itself.
    QCOMPARE(errors.count(), failing.isEmpty() ? 0 : 1);
    QCOMPARE(f.count(u"installments"_s) + f.count(u"payments"_s) + f.count(u"audit_logs"_s), 0);
    const QVariantMap unit = f.db()->getById(u"units"_s, sale.unit);
    QCOMPARE(unit.value(u"status"_s).toString(), unitStatus);
    QVERIFY(unit.value(u"buyer_id"_s).isNull());
}

void TestInstallments::payInstallment_data()
{
    QTest::addColumn<double>("alreadyPaid");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("paid"); // equal to alreadyPaid when the payment is refused
    QTest::addColumn<QStringList>("failing"); // table and event of failing writes
    const QString partial = u"partial"_s;
    const QString pending = u"pending"_s;
    const QStringList ok;
    QTest::newRow("part of a pending installment") << 0.0 << 300.0 << partial << 300.0 << ok;
    QTest::newRow("the rest makes it paid") << 300.0 << 700.0 << u"paid"_s << 1000.0 << ok;
    QTest::newRow("half a cent short still pays it")
        << 300.0 << 699.995 << u"paid"_s << 999.995 << ok;
    QTest::newRow("more than one cent short stays partial")
        << 300.0 << 699.98 << partial << 999.98 << ok;
    QTest::newRow("just within one cent over") << 300.0 << 700.009 << u"paid"_s << 1000.009 << ok;
    QTest::newRow("just beyond one cent over refused")
        << 300.0 << 700.011 << partial << 300.0 << ok;
    QTest::newRow("zero refused") << 0.0 << 0.0 << pending << 0.0 << ok;
    QTest::newRow("not a number refused") << 0.0 << NaN << pending << 0.0 << ok;
    QTest::newRow("installment update fails")
        << 0.0 << 400.0 << pending << 0.0 << QStringList { u"installments"_s, u"UPDATE"_s };
    QTest::newRow("audit insert fails")
        << 0.0 << 400.0 << pending << 0.0 << QStringList { u"audit_logs"_s, u"INSERT"_s };
}

void TestInstallments::payInstallment()
{
    QFETCH(double, alreadyPaid);
    QFETCH(double, amount);
    QFETCH(QString, status);
    QFETCH(double, paid);
    QFETCH(QStringList, failing);
    TestFixture f;
    const Sale sale = prepareSale(f);
    const int id = f.addInstallment(sale.buyer, sale.unit, 1000, QDate::currentDate(), alreadyPaid,
        alreadyPaid > 0 ? u"partial"_s : u"pending"_s);
    if (!failing.isEmpty())
        f.failWrites(failing.value(0), failing.value(1));
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    const bool accepted = paid != alreadyPaid;
    QCOMPARE(model.payInstallment(id, amount), accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(errors.count(), failing.isEmpty() ? 0 : 1);
    const QVariantMap row = f.db()->getById(u"installments"_s, id);
    QCOMPARE(row.value(u"status"_s).toString(), status);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), paid);
    QCOMPARE(f.count(u"audit_logs"_s), accepted ? 1 : 0);
    QCOMPARE(f.scalar(u"SELECT SUM(amount) FROM payments WHERE buyer_id=? AND unit_id=?"_s,
                  { sale.buyer, sale.unit })
                 .toDouble(),
        accepted ? amount : 0.0);
}

void TestInstallments::overdueBoundaries()
{
    TestFixture f;
    const Sale sale = prepareSale(f);
    const QDate today = f.sqliteToday();
    const int pastPending = f.addInstallment(sale.buyer, sale.unit, 100, today.addDays(-1));
    const int pastPartial
        = f.addInstallment(sale.buyer, sale.unit, 100, today.addDays(-40), 50, u"partial"_s);
    f.addInstallment(sale.buyer, sale.unit, 100, today.addDays(-2), 100, u"paid"_s);
    f.addInstallment(sale.buyer, sale.unit, 100, today);
    f.addInstallment(sale.buyer, sale.unit, 100, today.addDays(1));
    InstallmentModel model(f.db());

    const QVariantList overdue = model.getOverdue();
    QCOMPARE(overdue.size(), 2);
    QCOMPARE(overdue.at(0).toMap().value(u"id"_s).toInt(), pastPartial);
    QCOMPARE(overdue.at(1).toMap().value(u"id"_s).toInt(), pastPending);
    QCOMPARE(overdue.at(0).toMap().value(u"buyer_name"_s).toString(), u"سامر عودة"_s);
}

void TestInstallments::addRefused()
{
    TestFixture f;
    const Sale sale = prepareSale(f);
    InstallmentModel model(f.db());
    const QString today = TestFixture::iso(QDate::currentDate());
    QCOMPARE(model.add(sale.buyer + 100, sale.unit, 500, 0, 500, today, 1), -1);
    QCOMPARE(model.add(sale.buyer, sale.unit, 500, 0, NaN, today, 1), -1);
    QCOMPARE(f.count(u"installments"_s), 0);
}

QTEST_GUILESS_MAIN(TestInstallments)
#include "tst_installments.moc"
