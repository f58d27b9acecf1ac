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
    void tenantStatement_data();
    void tenantStatement();
    void chequeReport();
    void totals();
    void overdueInstallments();
};

void TestStatements::tenantStatement_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("refs");
    // Rows are ordered by the date text: a bare payment date sorts before an invoice time.
    const QStringList all { u"INV-A"_s, u"PAY-A"_s, u"PAY-B"_s, u"INV-B"_s, u"INV-C"_s };
    QTest::newRow("no range") << QString() << QString() << all;
    QTest::newRow("one date only") << u"2024-01-20"_s << QString() << all;
    QTest::newRow("range keeps the whole last day")
        << u"2024-01-15"_s << u"2024-01-31"_s << QStringList { u"PAY-A"_s, u"PAY-B"_s, u"INV-B"_s };
    // A date pasted into the SQL text would widen this to every row.
    QTest::newRow("injected condition")
        << u"2000-01-01"_s << u"2000-01-31' OR '1'='1"_s << QStringList {};
}

void TestStatements::tenantStatement()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, refs);
    TestFixture f;
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

    ReportController reports(f.db());
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QVariantList rows = from.isNull() ? reports.getTenantStatement(tenant)
                                            : reports.getTenantStatement(tenant, from, to);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(column(rows, u"ref"_s), refs);
    for (const QVariant &item : rows) {
        const QVariantMap row = item.toMap();
        const bool isInvoice = row.value(u"ref"_s).toString().startsWith(u"INV"_s);
        QCOMPARE(row.value(u"debit"_s).toDouble(), isInvoice ? 1000.0 : 0.0);
        QCOMPARE(row.value(u"credit"_s).toDouble() > 0, !isInvoice);
    }
}

void TestStatements::chequeReport()
{
    TestFixture f;
    const QDate today = TestFixture::today();
    f.addCheque(u"C-PEND"_s, 100, today);
    f.addCheque(u"C-LATE"_s, 100, today.addDays(100));
    f.addCheque(u"C-PAID"_s, 100, today.addDays(-10), u"paid"_s);
    f.addCheque(u"C-BOUNCED"_s, 100, today.addDays(10), u"bounced"_s, u"issued"_s);
    f.addCheque(u"C-OLD"_s, 100, today.addDays(-100));

    ReportController reports(f.db());
    const QString from = TF::iso(today.addDays(-10));
    const QString to = TF::iso(today.addDays(10));
    // Both ends of the range are inclusive.
    QCOMPARE(column(reports.getChequeReport(QString(), from, to), u"cheque_number"_s),
        (QStringList { u"C-PAID"_s, u"C-PEND"_s, u"C-BOUNCED"_s }));
    QCOMPARE(column(reports.getChequeReport(u"pending"_s, from, to), u"cheque_number"_s),
        QStringList { u"C-PEND"_s });
}

void TestStatements::totals()
{
    TestFixture f;
    const QDate today = TestFixture::today();
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
    ReportController reports(f.db());
    // A loss in the period; open amounts and all cash in the balance sheet.
    QCOMPARE(figures(reports.getProfitLoss(TF::iso(today.addDays(-30)), TF::iso(today)),
                 { u"revenue"_s, u"expenses"_s, u"net_profit"_s }),
        (QList<double> { 5000, 7000, -2000 }));
    QCOMPARE(figures(reports.getBalanceSheet(),
                 { u"receivables"_s, u"installment_receivables"_s, u"cash"_s, u"total_assets"_s }),
        (QList<double> { 1300, 1500, 5800, 8600 }));
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

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
