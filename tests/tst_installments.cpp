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
    const int property = f.addProperty();
    const int buyer = f.addBuyer(u"سامر عودة"_s, u"401"_s);
    return { buyer, f.addUnit(property, u"A1"_s, 1000, unitStatus) };
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
    void addAndLists();
    void addRefused_data();
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
    QTest::addColumn<QString>("details"); // of the audit row, when checked

    const int year = QDate::currentDate().year();
    const QDate jan31(year, 1, 31);
    const QString febEnd = TestFixture::iso(QDate(year, 2, QDate(year, 2, 1).daysInMonth()));
    const QString y = QString::number(year);
    const QDate today = QDate::currentDate();
    const auto months = [&today](int n) {
        QStringList dues;
        for (int i = 0; i < n; ++i)
            dues << TestFixture::iso(today.addMonths(i));
        return dues;
    };
    const QString none;

    QTest::newRow("10000 less 1000 in 3 from 31 January")
        << u"available"_s << 10000.0 << 1000.0 << 3 << jan31
        << QVariantList { 3000.0, 3000.0, 3000.0 }
        << QStringList { y + u"-01-31"_s, febEnd, y + u"-03-31"_s }
        << u"تم بيع الوحدة A1 بمبلغ 10000 (دفعة: 1000, شيكات: 3)"_s;
    QTest::newRow("month end clamped, always from the start date")
        << u"available"_s << 400.0 << 0.0 << 4 << jan31
        << QVariantList { 100.0, 100.0, 100.0, 100.0 }
        << QStringList { y + u"-01-31"_s, febEnd, y + u"-03-31"_s, y + u"-04-30"_s } << none;
    QTest::newRow("1000 in three parts, remainder on the last")
        << u"available"_s << 1000.0 << 0.0 << 3 << today << QVariantList { 333.33, 333.33, 333.34 }
        << months(3) << none;
    QTest::newRow("zero count carries the whole remainder")
        << u"available"_s << 5000.0 << 1500.0 << 0 << today << QVariantList { 3500.0 } << months(1)
        << none;
    QTest::newRow("negative count carries the whole remainder, audit shows it as passed")
        << u"available"_s << 5000.0 << 0.0 << -4 << today << QVariantList { 5000.0 } << months(1)
        << u"تم بيع الوحدة A1 بمبلغ 5000 (دفعة: 0, شيكات: -4)"_s;
    QTest::newRow("cash sale writes no installments, audit in six significant digits")
        << u"available"_s << 1234567.0 << 1234567.0 << 12 << today << QVariantList {}
        << QStringList {} << u"تم بيع الوحدة A1 بمبلغ 1.23457e+06 (دفعة: 1.23457e+06, شيكات: 12)"_s;
    QTest::newRow("remainder under a cent is not scheduled")
        << u"available"_s << 8000.0 << 7999.995 << 2 << today << QVariantList {} << QStringList {}
        << none;
    QTest::newRow("down payment above the price writes no installments")
        << u"available"_s << 8000.0 << 9000.0 << 3 << today << QVariantList {} << QStringList {}
        << none;
    QTest::newRow("rented unit can be sold")
        << u"rented"_s << 2000.5 << 0.5 << 2 << today << QVariantList { 1000.0, 1000.0 }
        << months(2) << u"تم بيع الوحدة A1 بمبلغ 2000.5 (دفعة: 0.5, شيكات: 2)"_s;
    // 50 billion a month is far beyond a 32-bit count of cents.
    QTest::newRow("large price keeps whole cents")
        << u"available"_s << 150000000000.0 << 0.0 << 3 << today
        << QVariantList { 50000000000.0, 50000000000.0, 50000000000.0 } << months(3) << none;
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
    QFETCH(QString, details);
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
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM installments WHERE buyer_id=? AND currency_id=2 "
                      "AND status='pending'"_s,
                  { sale.buyer })
                 .toInt(),
        amounts.size());

    const QVariantMap unit = f.db()->getById(u"units"_s, sale.unit);
    QCOMPARE(unit.value(u"status"_s).toString(), u"sold"_s);
    QCOMPARE(unit.value(u"buyer_id"_s).toInt(), sale.buyer);
    QCOMPARE(unit.value(u"sale_date"_s).toString(), TestFixture::iso(start));

    const QVariantList payments = f.db()->execQuery(u"SELECT * FROM payments"_s);
    QCOMPARE(payments.size(), down > 0 ? 1 : 0);
    if (down > 0) {
        const QVariantMap payment = payments.first().toMap();
        QCOMPARE(payment.value(u"amount"_s).toDouble(), down);
        QCOMPARE(payment.value(u"buyer_id"_s).toInt(), sale.buyer);
        QCOMPARE(payment.value(u"unit_id"_s).toInt(), sale.unit);
        QCOMPARE(payment.value(u"notes"_s).toString(), u"دفعة مقدمة / بيع وحدة: A1"_s);
        QVERIFY(payment.value(u"invoice_id"_s).isNull());
    }
    const QVariantMap audit = Database::firstRow(f.db()->execQuery(u"SELECT * FROM audit_logs"_s));
    QCOMPARE(audit.value(u"action"_s).toString(), u"بيع وحدة"_s);
    QCOMPARE(audit.value(u"record_id"_s).toInt(), sale.unit);
    if (!details.isEmpty())
        QCOMPARE(audit.value(u"details"_s).toString(), details);

    // A second sale of the now sold unit is refused and changes nothing.
    const int other = f.addBuyer(u"ليلى حداد"_s, u"402"_s);
    QCOMPARE(model.sellUnit(other, sale.unit, 7000, 2000, 5, TestFixture::iso(start), 1), -1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.count(u"installments"_s), amounts.size());
    QCOMPARE(f.count(u"audit_logs"_s), 1);
    QCOMPARE(f.db()->getById(u"units"_s, sale.unit).value(u"buyer_id"_s).toInt(), sale.buyer);
}

void TestInstallments::chequeNumbering_data()
{
    QTest::addColumn<QString>("startCheque");
    QTest::addColumn<QVariantList>("cheques");
    QTest::newRow("numeric start counts up")
        << u"1001"_s << QVariantList { u"1001"_s, u"1002"_s, u"1003"_s };
    QTest::newRow("leading zeros are not kept")
        << u"0099"_s << QVariantList { u"99"_s, u"100"_s, u"101"_s };
    QTest::newRow("non-numeric start on the first only")
        << u"A-17"_s << QVariantList { u"A-17"_s, u""_s, u""_s };
    QTest::newRow("zero is not a start number") << u"0"_s << QVariantList { u"0"_s, u""_s, u""_s };
    QTest::newRow("negative is not a start number")
        << u"-5"_s << QVariantList { u"-5"_s, u""_s, u""_s };
    QTest::newRow("empty start leaves every number empty")
        << u""_s << QVariantList { u""_s, u""_s, u""_s };
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
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM installments WHERE cheque_number IS NOT NULL "
                      "AND bank_name=?"_s,
                  { u"بنك فلسطين"_s })
                 .toInt(),
        3);
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
    QTest::newRow("start date in another format")
        << 0 << available << 1000.0 << 100.0 << u"31/01/2025"_s << none;
    QTest::newRow("start date without padding")
        << 0 << available << 1000.0 << 100.0 << u"2025-1-5"_s << none;
    QTest::newRow("empty start date") << 0 << available << 1000.0 << 100.0 << QString() << none;
    QTest::newRow("price not a number") << 0 << available << NaN << 100.0 << today << none;
    QTest::newRow("infinite price") << 0 << available << Inf << 100.0 << today << none;
    QTest::newRow("infinite down payment") << 0 << available << 1000.0 << -Inf << today << none;
    QTest::newRow("unit update fails")
        << 0 << available << 1000.0 << 100.0 << today << QStringList { u"units"_s, u"UPDATE"_s };
    QTest::newRow("down payment insert fails")
        << 0 << available << 1000.0 << 100.0 << today << QStringList { u"payments"_s, u"INSERT"_s };
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
    QCOMPARE(f.count(u"installments"_s), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
    QCOMPARE(f.count(u"audit_logs"_s), 0);
    const QVariantMap unit = f.db()->getById(u"units"_s, sale.unit);
    QCOMPARE(unit.value(u"status"_s).toString(), unitStatus);
    QVERIFY(unit.value(u"buyer_id"_s).isNull());
}

void TestInstallments::payInstallment_data()
{
    QTest::addColumn<double>("alreadyPaid");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("paid"); // unchanged when the payment is refused
    QTest::addColumn<QString>("details"); // empty when refused
    QTest::addColumn<QStringList>("failing"); // table and event of failing writes
    const QString partial = u"partial"_s;
    const QStringList ok;
    QTest::newRow("part of a pending installment")
        << 0.0 << 300.0 << partial << 300.0 << u"تم تحصيل مبلغ 300"_s << ok;
    QTest::newRow("the rest makes it paid")
        << 300.0 << 700.0 << u"paid"_s << 1000.0 << u"تم تحصيل مبلغ 700"_s << ok;
    QTest::newRow("the whole amount at once")
        << 0.0 << 1000.0 << u"paid"_s << 1000.0 << u"تم تحصيل مبلغ 1000"_s << ok;
    QTest::newRow("half a cent short still pays it")
        << 300.0 << 699.995 << u"paid"_s << 999.995 << u"تم تحصيل مبلغ 699.995"_s << ok;
    QTest::newRow("more than one cent short stays partial")
        << 300.0 << 699.98 << partial << 999.98 << u"تم تحصيل مبلغ 699.98"_s << ok;
    QTest::newRow("just within one cent over")
        << 300.0 << 700.009 << u"paid"_s << 1000.009 << u"تم تحصيل مبلغ 700.009"_s << ok;
    QTest::newRow("just beyond one cent over refused")
        << 300.0 << 700.011 << partial << 300.0 << QString() << ok;
    QTest::newRow("two cents over refused")
        << 300.0 << 700.02 << partial << 300.0 << QString() << ok;
    QTest::newRow("full amount on a partly paid one refused")
        << 300.0 << 1000.0 << partial << 300.0 << QString() << ok;
    QTest::newRow("zero refused") << 0.0 << 0.0 << u"pending"_s << 0.0 << QString() << ok;
    QTest::newRow("negative refused") << 300.0 << -50.0 << partial << 300.0 << QString() << ok;
    QTest::newRow("not a number refused") << 0.0 << NaN << u"pending"_s << 0.0 << QString() << ok;
    QTest::newRow("infinity refused") << 0.0 << Inf << u"pending"_s << 0.0 << QString() << ok;
    QTest::newRow("installment update fails") << 0.0 << 400.0 << u"pending"_s << 0.0 << QString()
                                              << QStringList { u"installments"_s, u"UPDATE"_s };
    QTest::newRow("payment insert fails") << 0.0 << 400.0 << u"pending"_s << 0.0 << QString()
                                          << QStringList { u"payments"_s, u"INSERT"_s };
    QTest::newRow("audit insert fails") << 0.0 << 400.0 << u"pending"_s << 0.0 << QString()
                                        << QStringList { u"audit_logs"_s, u"INSERT"_s };
}

void TestInstallments::payInstallment()
{
    QFETCH(double, alreadyPaid);
    QFETCH(double, amount);
    QFETCH(QString, status);
    QFETCH(double, paid);
    QFETCH(QString, details);
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

    const bool accepted = !details.isEmpty();
    QCOMPARE(model.payInstallment(id, amount), accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(errors.count(), failing.isEmpty() ? 0 : 1);
    const QVariantMap row = f.db()->getById(u"installments"_s, id);
    QCOMPARE(row.value(u"status"_s).toString(), status);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), paid);
    QCOMPARE(f.count(u"payments"_s), accepted ? 1 : 0);
    QCOMPARE(f.count(u"audit_logs"_s), accepted ? 1 : 0);
    if (!accepted)
        return;
    const QVariantMap payment = Database::firstRow(f.db()->execQuery(u"SELECT * FROM payments"_s));
    QCOMPARE(payment.value(u"amount"_s).toDouble(), amount);
    QCOMPARE(payment.value(u"buyer_id"_s).toInt(), sale.buyer);
    QCOMPARE(payment.value(u"unit_id"_s).toInt(), sale.unit);
    QCOMPARE(payment.value(u"payment_date"_s).toDate(), f.sqliteToday());
    QCOMPARE(payment.value(u"notes"_s).toString(), u"تحصيل قسط - معرف: %1"_s.arg(id));
    const QVariantMap audit = Database::firstRow(f.db()->execQuery(u"SELECT * FROM audit_logs"_s));
    QCOMPARE(audit.value(u"action"_s).toString(), u"تحصيل قسط"_s);
    QCOMPARE(audit.value(u"record_id"_s).toInt(), id);
    QCOMPARE(audit.value(u"details"_s).toString(), details);
    // An installment that does not exist cannot be paid.
    QVERIFY(!model.payInstallment(id + 100, 100));
    QCOMPARE(f.count(u"payments"_s), 1);
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
    QCOMPARE(overdue.at(0).toMap().value(u"unit_number"_s).toString(), u"A1"_s);
}

void TestInstallments::addAndLists()
{
    TestFixture f;
    const Sale sale = prepareSale(f);
    const int other = f.addBuyer(u"أحمد"_s, u"403"_s);
    const int otherUnit = f.addUnit(f.addProperty(u"برج الياسمين"_s), u"B7"_s);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    const QDate today = QDate::currentDate();

    const int later = model.add(
        sale.buyer, sale.unit, 5000, 500, 1500, TestFixture::iso(today.addMonths(2)), 1);
    const int earlier
        = model.add(sale.buyer, sale.unit, 5000, 500, 1500, TestFixture::iso(today), 1);
    QVERIFY(model.add(other, otherUnit, 900, 0, 900, TestFixture::iso(today), 3) > 0);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(f.db()->getById(u"installments"_s, later).value(u"status"_s).toString(), u"pending"_s);

    const QVariantList mine = model.getByBuyer(sale.buyer);
    QCOMPARE(mine.size(), 2);
    QCOMPARE(mine.at(0).toMap().value(u"id"_s).toInt(), earlier);
    QCOMPARE(mine.at(1).toMap().value(u"id"_s).toInt(), later);
    QCOMPARE(mine.at(0).toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);

    const QVariantList all = model.getAll();
    QCOMPARE(all.size(), 3);
    const QVariantMap last = all.last().toMap();
    QCOMPARE(last.value(u"id"_s).toInt(), later);
    QCOMPARE(last.value(u"buyer_name"_s).toString(), u"سامر عودة"_s);
    QCOMPARE(last.value(u"unit_number"_s).toString(), u"A1"_s);
}

void TestInstallments::addRefused_data()
{
    QTest::addColumn<int>("buyerOffset");
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("expectedErrors");
    QTest::newRow("buyer that does not exist") << 100 << 500.0 << 1;
    QTest::newRow("amount not a number") << 0 << NaN << 0;
    QTest::newRow("infinite amount") << 0 << Inf << 0;
}

void TestInstallments::addRefused()
{
    QFETCH(int, buyerOffset);
    QFETCH(double, amount);
    QFETCH(int, expectedErrors);
    TestFixture f;
    const Sale sale = prepareSale(f);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.add(sale.buyer + buyerOffset, sale.unit, 500, 0, amount,
                 TestFixture::iso(QDate::currentDate()), 1),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), expectedErrors);
    QCOMPARE(f.count(u"installments"_s), 0);
}

QTEST_GUILESS_MAIN(TestInstallments)
#include "tst_installments.moc"
