#include "reportcontroller.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using TF = TestFixture;

static QStringList column(const QVariantList &rows, const QString &key)
{
    QStringList values;
    for (const QVariant &row : rows)
        values << row.toMap().value(key).toString();
    return values;
}

static QList<double> figures(const QVariantMap &map, const QStringList &keys)
{
    QList<double> values;
    for (const QString &key : keys)
        values << map.value(key).toDouble();
    return values;
}

class TestStatements : public QObject
{
    Q_OBJECT

private slots:
    void statements_data();
    void statements();
    void chequeReport_data();
    void chequeReport();
    void monthlyReport();
    void totals_data();
    void totals();
    void overdueInstallments();
    void propertyComparison();
};

void TestStatements::statements_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("keys");
    // Tenant rows are ordered by the date text: a bare payment date sorts before an invoice time.
    const QStringList all { u"INV-A"_s, u"PAY-A"_s, u"PAY-B"_s, u"INV-B"_s, u"INV-C"_s };
    QTest::newRow("tenant, no range") << u"tenant"_s << QString() << QString() << all;
    QTest::newRow("tenant, one date only") << u"tenant"_s << u"2024-01-20"_s << QString() << all;
    QTest::newRow("tenant, range keeps the whole last day")
        << u"tenant"_s << u"2024-01-15"_s << u"2024-01-31"_s
        << QStringList { u"PAY-A"_s, u"PAY-B"_s, u"INV-B"_s };
    QTest::newRow("tenant, single day") << u"tenant"_s << u"2024-01-31"_s << u"2024-01-31"_s
                                        << QStringList { u"PAY-B"_s, u"INV-B"_s };
    const QStringList dues { u"2024-01-05"_s, u"2024-02-05"_s, u"2024-03-05"_s };
    QTest::newRow("buyer, no range") << u"buyer"_s << QString() << QString() << dues;
    QTest::newRow("buyer, inclusive at both ends")
        << u"buyer"_s << u"2024-01-05"_s << u"2024-02-05"_s << dues.mid(0, 2);
    QTest::newRow("contractor, one month") << u"contractor"_s << u"2024-04-01"_s << u"2024-04-30"_s
                                           << QStringList { u"2024-04-30"_s, u"2024-04-01"_s };
    // Dates pasted into the SQL text would widen these to every row or run a second statement.
    const QString injected = u"2000-01-31' OR '1'='1"_s;
    for (const QString &kind : { u"tenant"_s, u"buyer"_s, u"contractor"_s }) {
        QTest::addRow("%s, injected condition", qPrintable(kind))
            << kind << u"2000-01-01"_s << injected << QStringList {};
    }
    QTest::newRow("buyer, second statement")
        << u"buyer"_s << u"2000-01-01"_s << u"2000-01-31'; DELETE FROM installments; --"_s
        << QStringList {};
}

void TestStatements::statements()
{
    QFETCH(QString, kind);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, keys);
    TestFixture f;
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    const int otherTenant = f.addTenant(u"ليلى"_s);
    const auto invoice = [&](const QString &number, const QString &createdAt, const QString &status,
                             int tenantId) {
        QVERIFY(
            f.db()->execNonQuery(u"UPDATE invoices SET invoice_number=?, created_at=? WHERE id=?"_s,
                { number, createdAt, f.addInvoice(tenantId, 0, u"2024-01"_s, 1000, status) }));
    };
    invoice(u"INV-A"_s, u"2024-01-10 09:00:00"_s, u"pending"_s, tenant);
    invoice(u"INV-B"_s, u"2024-01-31 10:00:00"_s, u"pending"_s, tenant);
    invoice(u"INV-C"_s, u"2024-02-01 08:00:00"_s, u"paid"_s, tenant);
    invoice(u"INV-VOID"_s, u"2024-01-20 08:00:00"_s, u"void"_s, tenant);
    invoice(u"INV-OTHER"_s, u"2024-01-20 08:00:00"_s, u"pending"_s, otherTenant);
    const auto payment = [&](int tenantId, double amount, const QDate &date, const QString &ref) {
        QVERIFY(f.db()->execNonQuery(u"UPDATE payments SET reference=? WHERE id=?"_s,
            { ref, f.addPayment(0, tenantId, amount, date) }));
    };
    payment(tenant, 400, QDate(2024, 1, 15), u"PAY-A"_s);
    payment(tenant, 600, QDate(2024, 1, 31), u"PAY-B"_s);
    payment(otherTenant, 600, QDate(2024, 1, 16), u"PAY-OTHER"_s);

    const int unit = f.addUnit(property, u"B7"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 2000, QDate(2024, 3, 5));
    f.addInstallment(buyer, unit, 2000, QDate(2024, 1, 5), 2000, u"paid"_s);
    f.addInstallment(buyer, unit, 2000, QDate(2024, 2, 5), 500, u"partial"_s);
    f.addInstallment(f.addBuyer(u"آخر"_s), unit, 2000, QDate(2024, 2, 6));

    const auto addContractor = [&](const QString &name) {
        return f.insert(u"INSERT INTO contractors (name) VALUES (?)"_s, { name });
    };
    const int contractor = addContractor(u"مقاولات الأمل"_s);
    f.addExpense(property, f.addUnit(property, u"C1"_s), 300, QDate(2024, 4, 1), contractor);
    f.addExpense(0, 0, 200, QDate(2024, 4, 30), contractor);
    f.addExpense(property, 0, 100, QDate(2024, 3, 31), contractor);
    f.addExpense(property, 0, 900, QDate(2024, 4, 15), addContractor(u"آخر"_s));

    ReportController reports(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVariantList rows;
    if (kind == u"tenant"_s) {
        rows = from.isNull() && to.isNull() ? reports.getTenantStatement(tenant)
                                            : reports.getTenantStatement(tenant, from, to);
    } else if (kind == u"buyer"_s) {
        rows = reports.getBuyerStatement(buyer, from, to);
    } else {
        rows = reports.getContractorStatement(contractor, from, to);
    }
    QCOMPARE(errors.count(), 0);
    QCOMPARE(f.count(u"installments"_s), 4); // the injected DELETE did not run
    const QString key = kind == u"tenant"_s ? u"ref"_s
        : kind == u"buyer"_s                ? u"due_date"_s
                                            : u"expense_date"_s;
    QCOMPARE(column(rows, key), keys);
    if (kind == u"tenant"_s) {
        for (const QVariant &item : rows) {
            const QVariantMap row = item.toMap();
            const bool isInvoice = row.value(u"ref"_s).toString().startsWith(u"INV"_s);
            QCOMPARE(row.value(u"debit"_s).toDouble(), isInvoice ? 1000.0 : 0.0);
            QCOMPARE(row.value(u"credit"_s).toDouble() > 0, !isInvoice);
        }
    }
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
    QTest::newRow("range ends are inclusive")
        << QString() << -10 << 10 << QStringList { u"C-PAID"_s, u"C-PEND"_s, u"C-BOUNCED"_s };
    QTest::newRow("status and range") << u"pending"_s << -30 << 30 << QStringList { u"C-PEND"_s };
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
        = [&](int offset) { return offset == 9999 ? QString() : TF::iso(today.addDays(offset)); };
    ReportController reports(f.db());
    const QVariantList rows = status.isNull() && fromOffset == 9999
        ? reports.getChequeReport()
        : reports.getChequeReport(status, date(fromOffset), date(toOffset));
    QCOMPARE(column(rows, u"cheque_number"_s), numbers);
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
    QCOMPARE(column(rows, u"revenue"_s), (QStringList { u"1500"_s, u"300"_s }));
    QVERIFY(reports.getMonthlyReport(QString::number(year - 5)).isEmpty());
}

void TestStatements::totals_data()
{
    QTest::addColumn<bool>("balanceSheet");
    QTest::addColumn<bool>("withData");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("profit and loss, loss in the period")
        << false << true << QList<double> { 5000, 7000, -2000 };
    QTest::newRow("balance sheet, empty database") << true << false << QList<double> { 0, 0, 0, 0 };
    QTest::newRow("balance sheet, open amounts and cash")
        << true << true << QList<double> { 1300, 1500, 5800, 8600 };
}

void TestStatements::totals()
{
    QFETCH(bool, balanceSheet);
    QFETCH(bool, withData);
    QFETCH(QList<double>, expected);
    TestFixture f;
    const QDate today = TestFixture::today();
    if (withData) {
        const int property = f.addProperty();
        const int unit = f.addUnit(property, u"A"_s);
        const int tenant = f.addTenant(u"سامي"_s);
        const int buyer = f.addBuyer(u"خالد"_s);
        f.addInvoice(tenant, unit, u"2024-01"_s, 1000, u"partial"_s, 400);
        f.addInvoice(tenant, unit, u"2024-02"_s, 700, u"pending"_s);
        f.addInvoice(tenant, unit, u"2024-03"_s, 900, u"void"_s);
        f.addInvoice(tenant, unit, u"2024-04"_s, 500, u"paid"_s, 500);
        f.addInstallment(buyer, unit, 2000, today, 500, u"partial"_s);
        f.addInstallment(buyer, unit, 2000, today, 2000, u"paid"_s);
        f.addPayment(0, 0, 3000, today.addDays(-30));
        f.addPayment(0, tenant, 2000, today);
        f.addPayment(0, 0, 800, today.addDays(-31));
        f.addExpense(property, 0, 7000, today.addDays(-30));
        f.addExpense(property, 0, 600, today.addDays(1));
    }
    ReportController reports(f.db());
    const QVariantMap result = balanceSheet
        ? reports.getBalanceSheet()
        : reports.getProfitLoss(TF::iso(today.addDays(-30)), TF::iso(today));
    const QStringList keys = balanceSheet
        ? QStringList { u"receivables"_s, u"installment_receivables"_s, u"cash"_s,
              u"total_assets"_s }
        : QStringList { u"revenue"_s, u"expenses"_s, u"net_profit"_s };
    QCOMPARE(figures(result, keys), expected);
}

void TestStatements::overdueInstallments()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int unit = f.addUnit(f.addProperty(), u"A"_s, 0, u"sold"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-1), 300, u"partial"_s);
    f.addInstallment(buyer, unit, 1000, today.addDays(-40));
    f.addInstallment(buyer, unit, 1000, today.addDays(-2), 1000, u"paid"_s);
    f.addInstallment(buyer, unit, 1000, today);

    ReportController reports(f.db());
    const QVariantList rows = reports.getOverdueInstallments();
    QCOMPARE(column(rows, u"due_date"_s),
        (QStringList { TF::iso(today.addDays(-40)), TF::iso(today.addDays(-1)) }));
    QCOMPARE(column(rows, u"paid_amount"_s), (QStringList { u"0"_s, u"300"_s }));
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
    QCOMPARE(figures(rows.first().toMap(),
                 { u"id"_s, u"units"_s, u"rented"_s, u"sold"_s, u"income"_s, u"expenses"_s }),
        (QList<double> { double(busy), 2, 1, 1, 800, 150 }));
}

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
