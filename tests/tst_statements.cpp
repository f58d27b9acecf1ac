#include "reportcontroller.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

static QString iso(const QDate &day) { return TestFixture::iso(day); }

static QStringList column(const QVariantList &rows, const QString &key)
{
    QStringList values;
    for (const QVariant &row : rows)
        values << row.toMap().value(key).toString();
    return values;
}

static void setCreatedAt(TestFixture &f, int invoiceId, const QString &createdAt)
{
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE invoices SET created_at=? WHERE id=?"_s, { createdAt, invoiceId }));
}

static void setReference(TestFixture &f, int paymentId, const QString &reference)
{
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE payments SET reference=? WHERE id=?"_s, { reference, paymentId }));
}

static int addContractor(TestFixture &f, const QString &name)
{
    return f.insert(u"INSERT INTO contractors (name) VALUES (?)"_s, { name });
}

// Inserting with pasted dates would turn this into "... OR '1'='1'" and list every row.
static const QString injectedTo = u"2000-01-31' OR '1'='1"_s;

class TestStatements : public QObject
{
    Q_OBJECT

private slots:
    void tenantStatement_data();
    void tenantStatement();
    void buyerStatement_data();
    void buyerStatement();
    void contractorStatement_data();
    void contractorStatement();
    void quotedDatesAreValues_data();
    void quotedDatesAreValues();
    void chequeReport_data();
    void chequeReport();
    void monthlyReport();
    void profitLoss_data();
    void profitLoss();
    void balanceSheet();
    void overdueInstallments();
    void propertyComparison();
};

void TestStatements::tenantStatement_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("refs");
    // Ordered by the date text: a bare payment date sorts before an invoice time on that day.
    const QStringList all { u"INV-A"_s, u"PAY-A"_s, u"PAY-B"_s, u"INV-B"_s, u"INV-C"_s };
    QTest::newRow("no range") << QString() << QString() << all;
    QTest::newRow("from without to") << u"2024-01-20"_s << QString() << all;
    QTest::newRow("to without from") << QString() << u"2024-01-20"_s << all;
    QTest::newRow("range keeps the whole last day")
        << u"2024-01-15"_s << u"2024-01-31"_s << QStringList { u"PAY-A"_s, u"PAY-B"_s, u"INV-B"_s };
    QTest::newRow("single day") << u"2024-01-31"_s << u"2024-01-31"_s
                                << QStringList { u"PAY-B"_s, u"INV-B"_s };
    QTest::newRow("empty range") << u"2023-01-01"_s << u"2023-12-31"_s << QStringList {};
}

void TestStatements::tenantStatement()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, refs);
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const int other = f.addTenant(u"ليلى"_s);
    const auto invoice = [&](const QString &number, const QString &createdAt, const QString &status,
                             int tenantId) {
        const int id = f.addInvoice(tenantId, 0, u"2024-01"_s, 1000, status);
        QVERIFY(f.db()->execNonQuery(
            u"UPDATE invoices SET invoice_number=? WHERE id=?"_s, { number, id }));
        setCreatedAt(f, id, createdAt);
    };
    invoice(u"INV-A"_s, u"2024-01-10 09:00:00"_s, u"pending"_s, tenant);
    invoice(u"INV-B"_s, u"2024-01-31 10:00:00"_s, u"pending"_s, tenant);
    invoice(u"INV-C"_s, u"2024-02-01 08:00:00"_s, u"paid"_s, tenant);
    invoice(u"INV-VOID"_s, u"2024-01-20 08:00:00"_s, u"void"_s, tenant);
    invoice(u"INV-OTHER"_s, u"2024-01-20 08:00:00"_s, u"pending"_s, other);
    setReference(f, f.addPayment(0, tenant, 400, QDate(2024, 1, 15)), u"PAY-A"_s);
    setReference(f, f.addPayment(0, tenant, 600, QDate(2024, 1, 31)), u"PAY-B"_s);
    setReference(f, f.addPayment(0, other, 600, QDate(2024, 1, 16)), u"PAY-OTHER"_s);

    ReportController reports(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QVariantList rows = from.isNull() && to.isNull()
        ? reports.getTenantStatement(tenant)
        : reports.getTenantStatement(tenant, from, to);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(column(rows, u"ref"_s), refs);

    for (const QVariant &item : rows) {
        const QVariantMap row = item.toMap();
        const bool isInvoice = row.value(u"type"_s).toString() == u"فاتورة"_s;
        QCOMPARE(isInvoice, row.value(u"ref"_s).toString().startsWith(u"INV"_s));
        if (!isInvoice)
            QCOMPARE(row.value(u"type"_s).toString(), u"دفعة"_s);
        QCOMPARE(row.value(u"debit"_s).toDouble(), isInvoice ? 1000.0 : 0.0);
        QCOMPARE(row.value(u"credit"_s).toDouble() > 0, !isInvoice);
    }
}

void TestStatements::buyerStatement_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("dues");
    QTest::newRow("no range") << QString() << QString()
                              << QStringList { u"2024-01-05"_s, u"2024-02-05"_s, u"2024-03-05"_s };
    QTest::newRow("inclusive at both ends")
        << u"2024-01-05"_s << u"2024-02-05"_s << QStringList { u"2024-01-05"_s, u"2024-02-05"_s };
    QTest::newRow("one date only")
        << u"2024-03-01"_s << QString()
        << QStringList { u"2024-01-05"_s, u"2024-02-05"_s, u"2024-03-05"_s };
}

void TestStatements::buyerStatement()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, dues);
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"B7"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 2000, QDate(2024, 3, 5));
    f.addInstallment(buyer, unit, 2000, QDate(2024, 1, 5), 2000, u"paid"_s);
    f.addInstallment(buyer, unit, 2000, QDate(2024, 2, 5), 500, u"partial"_s);
    f.addInstallment(f.addBuyer(u"آخر"_s), unit, 2000, QDate(2024, 2, 6));

    ReportController reports(f.db());
    const QVariantList rows = reports.getBuyerStatement(buyer, from, to);
    QCOMPARE(column(rows, u"due_date"_s), dues);
    const QVariantMap first = rows.first().toMap();
    QCOMPARE(first.value(u"unit_number"_s).toString(), u"B7"_s);
    QCOMPARE(first.value(u"property_name"_s).toString(), u"برج النخيل"_s);
    QCOMPARE(first.value(u"installment_amount"_s).toDouble(), 2000.0);
}

void TestStatements::contractorStatement_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("dates");
    QTest::newRow("no range, newest first")
        << QString() << QString()
        << QStringList { u"2024-04-30"_s, u"2024-04-01"_s, u"2024-03-31"_s };
    QTest::newRow("one month") << u"2024-04-01"_s << u"2024-04-30"_s
                               << QStringList { u"2024-04-30"_s, u"2024-04-01"_s };
}

void TestStatements::contractorStatement()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, dates);
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"C1"_s);
    const int contractor = addContractor(f, u"مقاولات الأمل"_s);
    f.addExpense(property, unit, 300, QDate(2024, 4, 1), contractor);
    f.addExpense(0, 0, 200, QDate(2024, 4, 30), contractor);
    f.addExpense(property, 0, 100, QDate(2024, 3, 31), contractor);
    f.addExpense(property, 0, 900, QDate(2024, 4, 15), addContractor(f, u"آخر"_s));

    ReportController reports(f.db());
    const QVariantList rows = reports.getContractorStatement(contractor, from, to);
    QCOMPARE(column(rows, u"expense_date"_s), dates);
    const QVariantMap unlinked = rows.first().toMap();
    QVERIFY(unlinked.value(u"property_name"_s).isNull());
    QVERIFY(unlinked.value(u"unit_number"_s).isNull());
    QCOMPARE(rows.last().toMap().value(u"property_name"_s).toString(), u"برج النخيل"_s);
}

// Guards the statements against dates pasted into their SQL text.
void TestStatements::quotedDatesAreValues_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("to");
    QTest::newRow("tenant, injected condition") << u"tenant"_s << injectedTo;
    QTest::newRow("buyer, injected condition") << u"buyer"_s << injectedTo;
    QTest::newRow("contractor, injected condition") << u"contractor"_s << injectedTo;
    QTest::newRow("tenant, stray quote") << u"tenant"_s << u"2000-01-31'"_s;
    QTest::newRow("buyer, second statement")
        << u"buyer"_s << u"2000-01-31'; DELETE FROM installments; --"_s;
}

void TestStatements::quotedDatesAreValues()
{
    QFETCH(QString, statement);
    QFETCH(QString, to);
    TestFixture f;
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"Q1"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    const int contractor = addContractor(f, u"مقاول"_s);
    f.addInvoice(tenant, unit, u"2024-05"_s, 1000);
    f.addPayment(0, tenant, 100, QDate(2024, 5, 2));
    f.addInstallment(buyer, unit, 2000, QDate(2024, 5, 5));
    f.addExpense(property, unit, 300, QDate(2024, 5, 1), contractor);

    ReportController reports(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QString from = u"2000-01-01"_s;
    QVariantList rows;
    if (statement == u"tenant"_s)
        rows = reports.getTenantStatement(tenant, from, to);
    else if (statement == u"buyer"_s)
        rows = reports.getBuyerStatement(buyer, from, to);
    else
        rows = reports.getContractorStatement(contractor, from, to);
    QCOMPARE(rows.size(), 0);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(f.count(u"installments"_s), 1);
}

void TestStatements::chequeReport_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("fromOffset");
    QTest::addColumn<int>("toOffset");
    QTest::addColumn<QStringList>("numbers");
    const int none = 9999;
    QTest::newRow("no argument lists all by due date")
        << QString() << none << none
        << QStringList { u"C-OLD"_s, u"C-PAID"_s, u"C-PEND"_s, u"C-BOUNCED"_s, u"C-LATE"_s };
    QTest::newRow("pending only") << u"pending"_s << none << none
                                  << QStringList { u"C-OLD"_s, u"C-PEND"_s, u"C-LATE"_s };
    QTest::newRow("every status in range")
        << QString() << -30 << 30 << QStringList { u"C-PAID"_s, u"C-PEND"_s, u"C-BOUNCED"_s };
    QTest::newRow("range ends are inclusive")
        << QString() << -10 << 10 << QStringList { u"C-PAID"_s, u"C-PEND"_s, u"C-BOUNCED"_s };
    QTest::newRow("status and range") << u"pending"_s << -30 << 30 << QStringList { u"C-PEND"_s };
    QTest::newRow("range needs both dates")
        << u"bounced"_s << -30 << none << QStringList { u"C-BOUNCED"_s };
}

void TestStatements::chequeReport()
{
    QFETCH(QString, status);
    QFETCH(int, fromOffset);
    QFETCH(int, toOffset);
    QFETCH(QStringList, numbers);
    TestFixture f;
    const QDate today = TestFixture::today();
    f.addCheque(u"C-PEND"_s, 100, today);
    f.addCheque(u"C-LATE"_s, 100, today.addDays(100));
    f.addCheque(u"C-PAID"_s, 100, today.addDays(-10), u"paid"_s);
    f.addCheque(u"C-BOUNCED"_s, 100, today.addDays(10), u"bounced"_s, u"issued"_s);
    f.addCheque(u"C-OLD"_s, 100, today.addDays(-100));

    const auto date
        = [&](int offset) { return offset == 9999 ? QString() : iso(today.addDays(offset)); };
    ReportController reports(f.db());
    const QVariantList rows = status.isNull() && fromOffset == 9999
        ? reports.getChequeReport()
        : reports.getChequeReport(status, date(fromOffset), date(toOffset));
    QCOMPARE(column(rows, u"cheque_number"_s), numbers);
    QCOMPARE(rows.first().toMap().value(u"currency_symbol"_s).toString(), u"₪"_s);
}

void TestStatements::monthlyReport()
{
    TestFixture f;
    const int year = TestFixture::today().year() - 1;
    f.addPayment(0, 0, 300, QDate(year, 5, 20));
    f.addPayment(0, 0, 1000, QDate(year, 3, 1));
    f.addPayment(0, 0, 500, QDate(year, 3, 31));
    f.addPayment(0, 0, 9000, QDate(year + 1, 1, 1));
    f.addPayment(0, 0, 9000, QDate(year - 1, 12, 31));

    ReportController reports(f.db());
    const QVariantList rows = reports.getMonthlyReport(QString::number(year));
    QCOMPARE(column(rows, u"month"_s), (QStringList { u"03"_s, u"05"_s }));
    QCOMPARE(rows.at(0).toMap().value(u"revenue"_s).toDouble(), 1500.0);
    QCOMPARE(rows.at(1).toMap().value(u"revenue"_s).toDouble(), 300.0);
    QVERIFY(reports.getMonthlyReport(QString::number(year - 5)).isEmpty());
}

void TestStatements::profitLoss_data()
{
    QTest::addColumn<bool>("withData");
    QTest::addColumn<double>("revenue");
    QTest::addColumn<double>("expenses");
    QTest::addColumn<double>("net");
    QTest::newRow("empty database") << false << 0.0 << 0.0 << 0.0;
    QTest::newRow("loss in the period") << true << 5000.0 << 7000.0 << -2000.0;
}

void TestStatements::profitLoss()
{
    QFETCH(bool, withData);
    QFETCH(double, revenue);
    QFETCH(double, expenses);
    QFETCH(double, net);
    TestFixture f;
    const QDate today = TestFixture::today();
    if (withData) {
        const int property = f.addProperty();
        f.addPayment(0, 0, 3000, today.addDays(-30));
        f.addPayment(0, 0, 2000, today);
        f.addPayment(0, 0, 800, today.addDays(-31));
        f.addExpense(property, 0, 7000, today.addDays(-30));
        f.addExpense(property, 0, 600, today.addDays(1));
    }
    ReportController reports(f.db());
    const QVariantMap result = reports.getProfitLoss(iso(today.addDays(-30)), iso(today));
    QCOMPARE(result.value(u"revenue"_s).toDouble(), revenue);
    QCOMPARE(result.value(u"expenses"_s).toDouble(), expenses);
    QCOMPARE(result.value(u"net_profit"_s).typeId(), QMetaType::Double);
    QCOMPARE(result.value(u"net_profit"_s).toDouble(), net);
}

void TestStatements::balanceSheet()
{
    TestFixture f;
    ReportController reports(f.db());
    QVariantMap sheet = reports.getBalanceSheet();
    QCOMPARE(sheet.keys(),
        (QStringList {
            u"cash"_s, u"installment_receivables"_s, u"receivables"_s, u"total_assets"_s }));
    QCOMPARE(sheet.value(u"receivables"_s).toDouble(), 0.0);
    QCOMPARE(sheet.value(u"installment_receivables"_s).toDouble(), 0.0);
    QCOMPARE(sheet.value(u"cash"_s).toDouble(), 0.0);
    QCOMPARE(sheet.value(u"total_assets"_s).typeId(), QMetaType::Double);
    QCOMPARE(sheet.value(u"total_assets"_s).toDouble(), 0.0);

    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInvoice(tenant, unit, u"2024-01"_s, 1000, u"partial"_s, 400);
    f.addInvoice(tenant, unit, u"2024-02"_s, 700, u"pending"_s);
    f.addInvoice(tenant, unit, u"2024-03"_s, 900, u"void"_s);
    f.addInvoice(tenant, unit, u"2024-04"_s, 500, u"paid"_s, 500);
    f.addPayment(0, tenant, 900, TestFixture::today());
    f.addInstallment(buyer, unit, 2000, TestFixture::today(), 500, u"partial"_s);
    f.addInstallment(buyer, unit, 2000, TestFixture::today(), 2000, u"paid"_s);
    sheet = reports.getBalanceSheet();
    QCOMPARE(sheet.value(u"receivables"_s).toDouble(), 1300.0);
    QCOMPARE(sheet.value(u"installment_receivables"_s).toDouble(), 1500.0);
    QCOMPARE(sheet.value(u"cash"_s).toDouble(), 900.0);
    QCOMPARE(sheet.value(u"total_assets"_s).toDouble(), 3700.0);
}

void TestStatements::overdueInstallments()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-1), 300, u"partial"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-40));
    f.addInstallment(buyer, unit, 1000, today.addDays(-2), 1000, u"paid"_s);
    f.addInstallment(buyer, unit, 1000, today);

    ReportController reports(f.db());
    const QVariantList rows = reports.getOverdueInstallments();
    QCOMPARE(column(rows, u"due_date"_s),
        (QStringList { iso(today.addDays(-40)), iso(today.addDays(-1)) }));
    const QVariantMap partial = rows.last().toMap();
    QCOMPARE(partial.value(u"paid_amount"_s).toDouble(), 300.0);
    QCOMPARE(partial.value(u"buyer_name"_s).toString(), u"خالد"_s);
    QCOMPARE(partial.value(u"property_name"_s).toString(), u"برج النخيل"_s);
}

void TestStatements::propertyComparison()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    const int quiet = f.addProperty(u"هادئ"_s);
    const int busy = f.addProperty(u"نشط"_s);
    f.addUnit(quiet, u"1"_s);
    const int rented = f.addUnit(busy, u"1"_s, 1000, u"rented"_s);
    f.addUnit(busy, u"2"_s, 1000, u"sold"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    f.addPayment(f.addInvoice(tenant, rented, u"2024-01"_s, 1000), tenant, 800, today);
    f.addExpense(busy, 0, 100, today);
    f.addExpense(busy, rented, 50, today);

    ReportController reports(f.db());
    const QVariantList rows = reports.getPropertyComparison();
    QCOMPARE(column(rows, u"name"_s), (QStringList { u"نشط"_s, u"هادئ"_s }));
    const QVariantMap top = rows.first().toMap();
    QCOMPARE(top.value(u"id"_s).toInt(), busy);
    QCOMPARE(top.value(u"units"_s).toInt(), 2);
    QCOMPARE(top.value(u"rented"_s).toInt(), 1);
    QCOMPARE(top.value(u"sold"_s).toInt(), 1);
    QCOMPARE(top.value(u"income"_s).toDouble(), 800.0);
    QCOMPARE(top.value(u"expenses"_s).toDouble(), 150.0);
}

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
