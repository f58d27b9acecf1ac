#include "installmentmodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// SQLite's own idea of today (UTC), which the overdue list compares with.
QVariantList column(TestFixture &f, const QString &sql, const QVariantList &params = {})
{
    QVariantList values;
    for (const QVariant &row : f.db()->execQuery(sql, params))
        values.append(row.toMap().constBegin().value());
    return values;
}

// Makes every statement of the given kind fail, as a full disk or a broken file would.
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
    void sellUnitAuditText_data();
    void sellUnitAuditText();
    void chequeNumbering_data();
    void chequeNumbering();
    void sellUnitRefused_data();
    void sellUnitRefused();
    void secondSaleRefused();
    void sellUnitAllOrNothing_data();
    void sellUnitAllOrNothing();
    void largePriceKeepsWholeCents();
    void payInstallment_data();
    void payInstallment();
    void payMissingInstallment();
    void payInstallmentAllOrNothing_data();
    void payInstallmentAllOrNothing();
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

    const int year = QDate::currentDate().year();
    const QDate jan31(year, 1, 31);
    const QString febEnd = TestFixture::iso(QDate(year, 2, QDate(year, 2, 1).daysInMonth()));
    const QString y = QString::number(year);
    const QDate today = QDate::currentDate();

    QTest::newRow("10000 less 1000 in 3 from 31 January")
        << u"available"_s << 10000.0 << 1000.0 << 3 << jan31
        << QVariantList { 3000.0, 3000.0, 3000.0 }
        << QStringList { y + u"-01-31"_s, febEnd, y + u"-03-31"_s };
    QTest::newRow("month end clamped, always from the start date")
        << u"available"_s << 400.0 << 0.0 << 4 << jan31
        << QVariantList { 100.0, 100.0, 100.0, 100.0 }
        << QStringList { y + u"-01-31"_s, febEnd, y + u"-03-31"_s, y + u"-04-30"_s };
    QTest::newRow("1000 in three parts, remainder on the last")
        << u"available"_s << 1000.0 << 0.0 << 3 << today << QVariantList { 333.33, 333.33, 333.34 }
        << QStringList { TestFixture::iso(today), TestFixture::iso(today.addMonths(1)),
               TestFixture::iso(today.addMonths(2)) };
    QTest::newRow("zero count carries the whole remainder")
        << u"available"_s << 5000.0 << 1500.0 << 0 << today << QVariantList { 3500.0 }
        << QStringList { TestFixture::iso(today) };
    QTest::newRow("negative count carries the whole remainder")
        << u"available"_s << 5000.0 << 0.0 << -4 << today << QVariantList { 5000.0 }
        << QStringList { TestFixture::iso(today) };
    QTest::newRow("cash sale writes no installments")
        << u"available"_s << 8000.0 << 8000.0 << 0 << today << QVariantList {} << QStringList {};
    QTest::newRow("remainder under a cent is not scheduled")
        << u"available"_s << 8000.0 << 7999.995 << 2 << today << QVariantList {} << QStringList {};
    QTest::newRow("down payment above the price writes no installments")
        << u"available"_s << 8000.0 << 9000.0 << 3 << today << QVariantList {} << QStringList {};
    QTest::newRow("rented unit can be sold")
        << u"rented"_s << 2000.0 << 0.0 << 2 << today << QVariantList { 1000.0, 1000.0 }
        << QStringList { TestFixture::iso(today), TestFixture::iso(today.addMonths(1)) };
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

    const QVariantList rows = f.db()->execQuery(
        u"SELECT * FROM installments WHERE unit_id=? ORDER BY id"_s, { sale.unit });
    QCOMPARE(rows.size(), amounts.size());
    double sum = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const QVariantMap row = rows.at(i).toMap();
        QCOMPARE(row.value(u"installment_amount"_s).toDouble(), amounts.at(i).toDouble());
        QCOMPARE(row.value(u"due_date"_s).toString(), dues.at(i));
        QCOMPARE(row.value(u"buyer_id"_s).toInt(), sale.buyer);
        QCOMPARE(row.value(u"total_price"_s).toDouble(), total);
        QCOMPARE(row.value(u"down_payment"_s).toDouble(), down);
        QCOMPARE(row.value(u"currency_id"_s).toInt(), 2);
        QCOMPARE(row.value(u"status"_s).toString(), u"pending"_s);
        QCOMPARE(row.value(u"paid_amount"_s).toDouble(), 0.0);
        sum += row.value(u"installment_amount"_s).toDouble();
    }
    if (!rows.isEmpty())
        QVERIFY(std::abs(sum - (total - down)) < 1e-6);

    const QVariantMap unit = f.db()->getById(u"units"_s, sale.unit);
    QCOMPARE(unit.value(u"status"_s).toString(), u"sold"_s);
    QCOMPARE(unit.value(u"buyer_id"_s).toInt(), sale.buyer);
    QCOMPARE(unit.value(u"sale_price_actual"_s).toDouble(), total);
    QCOMPARE(unit.value(u"sale_date"_s).toString(), TestFixture::iso(start));

    const QVariantList payments = f.db()->execQuery(u"SELECT * FROM payments"_s);
    QCOMPARE(payments.size(), down > 0 ? 1 : 0);
    if (down > 0) {
        const QVariantMap payment = payments.first().toMap();
        QCOMPARE(payment.value(u"amount"_s).toDouble(), down);
        QCOMPARE(payment.value(u"buyer_id"_s).toInt(), sale.buyer);
        QCOMPARE(payment.value(u"unit_id"_s).toInt(), sale.unit);
        QCOMPARE(payment.value(u"payment_method"_s).toString(), u"cash"_s);
        QCOMPARE(payment.value(u"payment_date"_s).toString(), TestFixture::iso(start));
        QCOMPARE(payment.value(u"currency_id"_s).toInt(), 2);
        QCOMPARE(payment.value(u"notes"_s).toString(), u"دفعة مقدمة / بيع وحدة: A1"_s);
        QVERIFY(payment.value(u"invoice_id"_s).isNull());
        QVERIFY(payment.value(u"tenant_id"_s).isNull());
    }
    QCOMPARE(f.count(u"audit_logs"_s), 1);
}

void TestInstallments::sellUnitAuditText_data()
{
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("down");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("details");
    QTest::newRow("whole numbers")
        << 10000.0 << 1000.0 << 3 << u"تم بيع الوحدة A1 بمبلغ 10000 (دفعة: 1000, شيكات: 3)"_s;
    QTest::newRow("six significant digits")
        << 1234567.0 << 3.75 << 12
        << u"تم بيع الوحدة A1 بمبلغ 1.23457e+06 (دفعة: 3.75, شيكات: 12)"_s;
    QTest::newRow("count as passed, not as adjusted")
        << 900.0 << 0.0 << -2 << u"تم بيع الوحدة A1 بمبلغ 900 (دفعة: 0, شيكات: -2)"_s;
}

void TestInstallments::sellUnitAuditText()
{
    QFETCH(double, total);
    QFETCH(double, down);
    QFETCH(int, count);
    QFETCH(QString, details);
    TestFixture f;
    const Sale sale = prepareSale(f);
    InstallmentModel model(f.db());
    QCOMPARE(model.sellUnit(sale.buyer, sale.unit, total, down, count,
                 TestFixture::iso(QDate::currentDate()), 1),
        1);
    const QVariantMap audit = Database::firstRow(f.db()->execQuery(u"SELECT * FROM audit_logs"_s));
    QCOMPARE(audit.value(u"action"_s).toString(), u"بيع وحدة"_s);
    QCOMPARE(audit.value(u"table_name"_s).toString(), u"units"_s);
    QCOMPARE(audit.value(u"record_id"_s).toInt(), sale.unit);
    QCOMPARE(audit.value(u"details"_s).toString(), details);
    QVERIFY(audit.value(u"user_id"_s).isNull());
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
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM installments WHERE bank_name=?"_s, { u"بنك فلسطين"_s })
                 .toInt(),
        3);
    QCOMPARE(
        f.scalar(u"SELECT COUNT(*) FROM installments WHERE cheque_number IS NULL"_s).toInt(), 0);
}

void TestInstallments::sellUnitRefused_data()
{
    QTest::addColumn<bool>("unitExists");
    QTest::addColumn<QString>("unitStatus");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("down");
    QTest::addColumn<QString>("start");
    const QString today = TestFixture::iso(QDate::currentDate());
    QTest::newRow("missing unit") << false << u"available"_s << 1000.0 << 100.0 << today;
    QTest::newRow("sold unit") << true << u"sold"_s << 1000.0 << 100.0 << today;
    QTest::newRow("start date that does not exist")
        << true << u"available"_s << 1000.0 << 100.0 << u"2025-02-30"_s;
    QTest::newRow("start date in another format")
        << true << u"available"_s << 1000.0 << 100.0 << u"31/01/2025"_s;
    QTest::newRow("start date without padding")
        << true << u"available"_s << 1000.0 << 100.0 << u"2025-1-5"_s;
    QTest::newRow("empty start date") << true << u"available"_s << 1000.0 << 100.0 << QString();
    QTest::newRow("price not a number") << true << u"available"_s << NaN << 100.0 << today;
    QTest::newRow("infinite price") << true << u"available"_s << Inf << 100.0 << today;
    QTest::newRow("infinite down payment") << true << u"available"_s << 1000.0 << -Inf << today;
}

void TestInstallments::sellUnitRefused()
{
    QFETCH(bool, unitExists);
    QFETCH(QString, unitStatus);
    QFETCH(double, total);
    QFETCH(double, down);
    QFETCH(QString, start);
    TestFixture f;
    const Sale sale = prepareSale(f, unitStatus);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.sellUnit(sale.buyer, unitExists ? sale.unit : sale.unit + 100, total, down, 3,
                 start, 1, u"1001"_s),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(f.count(u"installments"_s), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
    QCOMPARE(f.count(u"audit_logs"_s), 0);
    QCOMPARE(
        f.scalar(u"SELECT status FROM units WHERE id=?"_s, { sale.unit }).toString(), unitStatus);
}

void TestInstallments::secondSaleRefused()
{
    TestFixture f;
    const Sale sale = prepareSale(f);
    const int otherBuyer = f.addBuyer(u"ليلى حداد"_s, u"402"_s);
    InstallmentModel model(f.db());
    const QString today = TestFixture::iso(QDate::currentDate());
    QCOMPARE(model.sellUnit(sale.buyer, sale.unit, 6000, 1000, 5, today, 1), 1);
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);

    QCOMPARE(model.sellUnit(otherBuyer, sale.unit, 7000, 2000, 5, today, 1), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"installments"_s), 5);
    QCOMPARE(f.count(u"payments"_s), 1);
    QCOMPARE(f.count(u"audit_logs"_s), 1);
    QCOMPARE(
        f.scalar(u"SELECT buyer_id FROM units WHERE id=?"_s, { sale.unit }).toInt(), sale.buyer);
}

void TestInstallments::sellUnitAllOrNothing_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("condition");
    QTest::newRow("unit update fails") << u"units"_s << u"UPDATE"_s << QString();
    QTest::newRow("down payment insert fails") << u"payments"_s << u"INSERT"_s << QString();
    QTest::newRow("third installment insert fails")
        << u"installments"_s << u"INSERT"_s << u"(SELECT COUNT(*) FROM installments) >= 2"_s;
    QTest::newRow("audit insert fails") << u"audit_logs"_s << u"INSERT"_s << QString();
}

void TestInstallments::sellUnitAllOrNothing()
{
    QFETCH(QString, table);
    QFETCH(QString, event);
    QFETCH(QString, condition);
    TestFixture f;
    const Sale sale = prepareSale(f);
    f.failWrites(table, event, condition);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.sellUnit(sale.buyer, sale.unit, 10000, 1000, 3,
                 TestFixture::iso(QDate::currentDate()), 1, u"1001"_s),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.count(u"installments"_s), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
    QCOMPARE(f.count(u"audit_logs"_s), 0);
    const QVariantMap unit = f.db()->getById(u"units"_s, sale.unit);
    QCOMPARE(unit.value(u"status"_s).toString(), u"available"_s);
    QVERIFY(unit.value(u"buyer_id"_s).isNull());
}

void TestInstallments::largePriceKeepsWholeCents()
{
    // 50 billion a month is far beyond a 32-bit count of cents.
    TestFixture f;
    const Sale sale = prepareSale(f);
    InstallmentModel model(f.db());
    QCOMPARE(model.sellUnit(sale.buyer, sale.unit, 150000000000.0, 0, 3,
                 TestFixture::iso(QDate::currentDate()), 1),
        1);
    QCOMPARE(column(f, u"SELECT installment_amount FROM installments ORDER BY id"_s),
        (QVariantList { 50000000000.0, 50000000000.0, 50000000000.0 }));
}

void TestInstallments::payInstallment_data()
{
    QTest::addColumn<double>("alreadyPaid");
    QTest::addColumn<double>("amount");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("paid");
    QTest::addColumn<QString>("details");

    QTest::newRow("part of a pending installment")
        << 0.0 << 300.0 << true << u"partial"_s << 300.0 << u"تم تحصيل مبلغ 300"_s;
    QTest::newRow("the rest makes it paid")
        << 300.0 << 700.0 << true << u"paid"_s << 1000.0 << u"تم تحصيل مبلغ 700"_s;
    QTest::newRow("the whole amount at once")
        << 0.0 << 1000.0 << true << u"paid"_s << 1000.0 << u"تم تحصيل مبلغ 1000"_s;
    QTest::newRow("half a cent short still pays it")
        << 300.0 << 699.995 << true << u"paid"_s << 999.995 << u"تم تحصيل مبلغ 699.995"_s;
    QTest::newRow("more than one cent short stays partial")
        << 300.0 << 699.98 << true << u"partial"_s << 999.98 << u"تم تحصيل مبلغ 699.98"_s;
    QTest::newRow("just within one cent over")
        << 300.0 << 700.009 << true << u"paid"_s << 1000.009 << u"تم تحصيل مبلغ 700.009"_s;
    QTest::newRow("just beyond one cent over refused")
        << 300.0 << 700.011 << false << u"partial"_s << 300.0 << QString();
    QTest::newRow("two cents over refused")
        << 300.0 << 700.02 << false << u"partial"_s << 300.0 << QString();
    QTest::newRow("full amount on a partly paid one refused")
        << 300.0 << 1000.0 << false << u"partial"_s << 300.0 << QString();
    QTest::newRow("zero refused") << 0.0 << 0.0 << false << u"pending"_s << 0.0 << QString();
    QTest::newRow("negative refused")
        << 300.0 << -50.0 << false << u"partial"_s << 300.0 << QString();
    QTest::newRow("not a number refused")
        << 0.0 << NaN << false << u"pending"_s << 0.0 << QString();
    QTest::newRow("infinity refused") << 0.0 << Inf << false << u"pending"_s << 0.0 << QString();
}

void TestInstallments::payInstallment()
{
    QFETCH(double, alreadyPaid);
    QFETCH(double, amount);
    QFETCH(bool, accepted);
    QFETCH(QString, status);
    QFETCH(double, paid);
    QFETCH(QString, details);
    TestFixture f;
    const Sale sale = prepareSale(f);
    const int id = f.addInstallment(sale.buyer, sale.unit, 1000, QDate::currentDate(), alreadyPaid,
        alreadyPaid > 0 ? u"partial"_s : u"pending"_s);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);

    QCOMPARE(model.payInstallment(id, amount), accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    const QVariantMap row = f.db()->getById(u"installments"_s, id);
    QCOMPARE(row.value(u"status"_s).toString(), status);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), paid);

    const QVariantList payments = f.db()->execQuery(u"SELECT * FROM payments"_s);
    QCOMPARE(payments.size(), accepted ? 1 : 0);
    QCOMPARE(f.count(u"audit_logs"_s), accepted ? 1 : 0);
    if (!accepted)
        return;
    const QVariantMap payment = payments.first().toMap();
    QCOMPARE(payment.value(u"amount"_s).toDouble(), amount);
    QCOMPARE(payment.value(u"buyer_id"_s).toInt(), sale.buyer);
    QCOMPARE(payment.value(u"unit_id"_s).toInt(), sale.unit);
    QCOMPARE(payment.value(u"currency_id"_s).toInt(), 1);
    QCOMPARE(payment.value(u"payment_method"_s).toString(), u"cash"_s);
    QCOMPARE(payment.value(u"payment_date"_s).toDate(), f.sqliteToday());
    QCOMPARE(payment.value(u"notes"_s).toString(), u"تحصيل قسط - معرف: %1"_s.arg(id));
    const QVariantMap audit = Database::firstRow(f.db()->execQuery(u"SELECT * FROM audit_logs"_s));
    QCOMPARE(audit.value(u"action"_s).toString(), u"تحصيل قسط"_s);
    QCOMPARE(audit.value(u"table_name"_s).toString(), u"installments"_s);
    QCOMPARE(audit.value(u"record_id"_s).toInt(), id);
    QCOMPARE(audit.value(u"details"_s).toString(), details);
}

void TestInstallments::payMissingInstallment()
{
    TestFixture f;
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QCOMPARE(model.payInstallment(42, 100), false);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"payments"_s), 0);
}

void TestInstallments::payInstallmentAllOrNothing_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::newRow("installment update fails") << u"installments"_s << u"UPDATE"_s;
    QTest::newRow("payment insert fails") << u"payments"_s << u"INSERT"_s;
    QTest::newRow("audit insert fails") << u"audit_logs"_s << u"INSERT"_s;
}

void TestInstallments::payInstallmentAllOrNothing()
{
    QFETCH(QString, table);
    QFETCH(QString, event);
    TestFixture f;
    const Sale sale = prepareSale(f);
    const int id = f.addInstallment(sale.buyer, sale.unit, 1000, QDate::currentDate());
    f.failWrites(table, event);
    InstallmentModel model(f.db());
    QSignalSpy changed(&model, &InstallmentModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.payInstallment(id, 400), false);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    const QVariantMap row = f.db()->getById(u"installments"_s, id);
    QCOMPARE(row.value(u"status"_s).toString(), u"pending"_s);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), 0.0);
    QCOMPARE(f.count(u"payments"_s), 0);
    QCOMPARE(f.count(u"audit_logs"_s), 0);
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
    const int others = model.add(other, otherUnit, 900, 0, 900, TestFixture::iso(today), 3);
    QVERIFY(later > 0 && earlier > 0 && others > 0);
    QCOMPARE(changed.count(), 3);

    const QVariantMap row = f.db()->getById(u"installments"_s, later);
    QCOMPARE(row.value(u"status"_s).toString(), u"pending"_s);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), 0.0);
    QVERIFY(row.value(u"cheque_number"_s).isNull());
    QCOMPARE(row.value(u"currency_id"_s).toInt(), 1);

    const QVariantList mine = model.getByBuyer(sale.buyer);
    QCOMPARE(mine.size(), 2);
    QCOMPARE(mine.at(0).toMap().value(u"id"_s).toInt(), earlier);
    QCOMPARE(mine.at(1).toMap().value(u"id"_s).toInt(), later);
    QCOMPARE(mine.at(0).toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);

    const QVariantList all = model.getAll();
    QCOMPARE(all.size(), 3);
    QCOMPARE(all.last().toMap().value(u"id"_s).toInt(), later);
    QCOMPARE(all.last().toMap().value(u"buyer_name"_s).toString(), u"سامر عودة"_s);
    QCOMPARE(all.last().toMap().value(u"unit_number"_s).toString(), u"A1"_s);
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
