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

} // namespace

class TestInstallments : public QObject
{
    Q_OBJECT

private slots:
    void sellUnitSchedule_data();
    void sellUnitSchedule();
    void sellUnitRefused_data();
    void sellUnitRefused();
    void payInstallment_data();
    void payInstallment();
    void overdueBoundaries();
};

void TestInstallments::sellUnitSchedule_data()
{
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
    QStringList months;
    for (int i = 0; i < 12; ++i)
        months << TestFixture::iso(today.addMonths(i));
    const QStringList year12 = months;
    months = months.mid(0, 3);

    QTest::newRow("month end clamped, always from the start date")
        << 10000.0 << 1000.0 << 4 << QDate(year, 1, 31)
        << QVariantList { 2250.0, 2250.0, 2250.0, 2250.0 }
        << QStringList { y + u"-01-31"_s, febEnd, y + u"-03-31"_s, y + u"-04-30"_s };
    QTest::newRow("remainder on the last")
        << 1000.0 << 0.0 << 3 << today << QVariantList { 333.33, 333.33, 333.34 } << months;
    QTest::newRow("12,008.88 over 12 splits evenly")
        << 12008.88 << 0.0 << 12 << today << QVariantList(12, 1000.74) << year12;
    QTest::newRow("remainder under a cent is not scheduled")
        << 8000.0 << 7999.995 << 2 << today << QVariantList {} << QStringList {};
    // 50 billion a month is far beyond a 32-bit count of cents.
    QTest::newRow("large price keeps whole cents")
        << 150000000000.0 << 0.0 << 3 << today
        << QVariantList { 50000000000.0, 50000000000.0, 50000000000.0 } << months;
}

void TestInstallments::sellUnitSchedule()
{
    QFETCH(double, total);
    QFETCH(double, down);
    QFETCH(int, count);
    QFETCH(QDate, start);
    QFETCH(QVariantList, amounts);
    QFETCH(QStringList, dues);
    TestFixture f;
    const Sale sale = prepareSale(f);
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

void TestInstallments::sellUnitRefused_data()
{
    QTest::addColumn<QString>("unitStatus");
    QTest::addColumn<double>("total");
    QTest::addColumn<QStringList>("failing"); // table, event and condition of failing writes
    QTest::newRow("sold unit") << u"sold"_s << 1000.0 << QStringList();
    QTest::newRow("price not a number") << u"available"_s << NaN << QStringList();
    QTest::newRow("third installment insert fails")
        << u"available"_s << 1000.0
        << QStringList { u"installments"_s, u"INSERT"_s,
               u"(SELECT COUNT(*) FROM installments) >= 2"_s };
}

void TestInstallments::sellUnitRefused()
{
    QFETCH(QString, unitStatus);
    QFETCH(double, total);
    QFETCH(QStringList, failing);
    TestFixture f;
    const Sale sale = prepareSale(f, unitStatus);
    if (!failing.isEmpty())
        f.failWrites(failing.value(0), failing.value(1), failing.value(2));
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.sellUnit(sale.buyer, sale.unit, total, 100, 3,
                 TestFixture::iso(QDate::currentDate()), 1, u"1001"_s),
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
    QTest::newRow("half a cent short rounds up and pays it")
        << 300.0 << 699.995 << u"paid"_s << 1000.0 << QStringList();
    QTest::newRow("shown remainder after odd cents")
        << 300.07 << 699.93 << u"paid"_s << 1000.0 << QStringList();
    QTest::newRow("one cent over refused")
        << 300.0 << 700.01 << u"partial"_s << 300.0 << QStringList();
    QTest::newRow("just below the remainder stays partial")
        << 300.0 << 699.99 << u"partial"_s << 999.99 << QStringList();
    QTest::newRow("not a number refused") << 0.0 << NaN << u"pending"_s << 0.0 << QStringList();
    QTest::newRow("audit insert fails")
        << 0.0 << 400.0 << u"pending"_s << 0.0 << QStringList { u"audit_logs"_s, u"INSERT"_s };
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
        paid - alreadyPaid);
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
}

QTEST_GUILESS_MAIN(TestInstallments)
#include "tst_installments.moc"
