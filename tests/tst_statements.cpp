#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
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

static QList<double> amounts(const QVariantList &rows, const QString &key)
{
    QList<double> values;
    for (const QVariant &row : rows)
        values << row.toMap().value(key).toDouble();
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
    void tenantAccount_data();
    void tenantAccount();
    void buyerAccount();
    void chequeReport();
    void totals();
    void overdueInstallments();
};

void TestStatements::tenantAccount_data()
{
    QTest::addColumn<int>("fromDay");
    QTest::addColumn<int>("toDay");
    QTest::addColumn<QStringList>("refs");
    QTest::addColumn<QList<double>>("debits");
    QTest::addColumn<QList<double>>("credits");
    QTest::addColumn<QList<double>>("balances");
    QTest::addColumn<double>("opening");
    // Days from the first of the first billing month; -1 for no range. The second month's
    // invoice and a payment of the first invoice fall on the same day: the invoice comes first.
    QTest::newRow("whole history")
        << -1 << -1 << QStringList { u"INV-1"_s, u"PAY-1"_s, u"INV-2"_s, u"PAY-2"_s }
        << QList<double> { 1000, 0, 1000, 0 } << QList<double> { 0, 400, 0, 600 }
        << QList<double> { 1000, 600, 1600, 1000 } << 0.0;
    QTest::newRow("range opens on the first invoice's balance")
        << 5 << 31 << QStringList { u"PAY-1"_s, u"INV-2"_s, u"PAY-2"_s }
        << QList<double> { 0, 1000, 0 } << QList<double> { 400, 0, 600 }
        << QList<double> { 600, 1600, 1000 } << 1000.0;
    QTest::newRow("quiet range carries the balance")
        << 11 << 20 << QStringList {} << QList<double> {} << QList<double> {} << QList<double> {}
        << 600.0;
}

// Invoice, partial payment, second invoice, payment and a voided invoice with a payment, through
// the models that keep the tenant's balance.
void TestStatements::tenantAccount()
{
    QFETCH(int, fromDay);
    QFETCH(int, toDay);
    QFETCH(QStringList, refs);
    QFETCH(QList<double>, debits);
    QFETCH(QList<double>, credits);
    QFETCH(QList<double>, balances);
    QFETCH(double, opening);
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"A"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const QDate today = TF::today();
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(-3);
    const QDate second = first.addMonths(1);
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const auto invoice = [&](const QString &number, const QDate &month, double total,
                             const QDate &entered) {
        const int id = invoices.createInvoice(tenant, unit, month.toString(u"yyyy-MM"_s),
            { QVariantMap { { u"description"_s, u"إيجار"_s }, { u"unit_price"_s, total },
                { u"total"_s, total } } },
            1);
        f.db()->execNonQuery(u"UPDATE invoices SET invoice_number=?, created_at=? WHERE id=?"_s,
            { number, TF::iso(entered) + u" 09:00:00"_s, id });
        return id;
    };
    const int one = invoice(u"INV-1"_s, first, 1000, first);
    QVERIFY(
        payments.add(one, tenant, 400, u"cash"_s, TF::iso(first.addDays(10)), u"PAY-1"_s, 1) > 0);
    QVERIFY(payments.add(one, tenant, 600, u"cash"_s, TF::iso(second), u"PAY-2"_s, 1) > 0);
    const int voided = invoice(u"INV-VOID"_s, first.addMonths(2), 900, first.addDays(12));
    const int paidOnVoided = payments.add(
        voided, tenant, 200, u"cash"_s, TF::iso(first.addDays(13)), u"PAY-VOID"_s, 1);
    QVERIFY(paidOnVoided > 0);
    QVERIFY(payments.reverse(paidOnVoided, u"فاتورة خاطئة"_s) > 0);
    QVERIFY(invoices.voidInvoice(voided, u"فاتورة خاطئة"_s));
    // Entered a week late: still dated by its billing month.
    invoice(u"INV-2"_s, second, 1000, second.addDays(7));

    const QString from = fromDay < 0 ? QString() : TF::iso(first.addDays(fromDay));
    const QString to = toDay < 0 ? QString() : TF::iso(first.addDays(toDay));
    ReportController reports(f.db());
    const QVariantMap account = reports.getTenantAccount(tenant, from, to);
    const QVariantList lines = account.value(u"lines"_s).toList();
    QCOMPARE(column(lines, u"ref"_s), refs);
    QCOMPARE(amounts(lines, u"debit"_s), debits);
    QCOMPARE(amounts(lines, u"credit"_s), credits);
    QCOMPARE(amounts(lines, u"balance"_s), balances);
    QCOMPARE(account.value(u"opening_balance"_s).toDouble(), opening);
    QCOMPARE(reports.getTenantStatement(tenant, from, to), lines);
    const QString lastDay = to.isEmpty() ? u"9999-12-31"_s : to;
    for (const QVariant &line : lines)
        QVERIFY(line.toMap().value(u"date"_s).toString() <= lastDay);
    // The whole history closes on the balance the models keep.
    if (from.isEmpty())
        QCOMPARE(account.value(u"closing_balance"_s).toDouble(), f.tenantBalance(tenant));
}

// A sale of 10,000 with 1,000 down and three installments of 3,000, the first one paid.
void TestStatements::buyerAccount()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"B7"_s);
    const int buyer = f.addBuyer(u"خالد"_s);
    const QDate start = TF::today().addMonths(-2);
    InstallmentModel installments(f.db());
    QCOMPARE(installments.sellUnit(buyer, unit, 10000, 1000, 3, TF::iso(start), 1), 1);
    const int firstInstallment
        = f.scalar(u"SELECT MIN(id) FROM installments WHERE buyer_id=?"_s, { buyer }).toInt();
    QVERIFY(installments.payInstallment(firstInstallment, 3000));
    // Another buyer's sale stays out.
    QCOMPARE(installments.sellUnit(f.addBuyer(u"سعاد"_s), f.addUnit(f.addProperty(u"ب"_s), u"C"_s),
                 5000, 500, 1, TF::iso(start), 1),
        1);

    ReportController reports(f.db());
    const QVariantMap account = reports.getBuyerAccount(buyer);
    const QVariantList lines = account.value(u"lines"_s).toList();
    QStringList kinds;
    for (const QVariant &line : lines)
        kinds << line.toMap().value(u"type"_s).toString();
    QCOMPARE(kinds,
        (QStringList { u"دفعة مقدمة"_s, u"قسط"_s, u"تحصيل"_s, u"قسط"_s, u"قسط"_s, u"تحصيل"_s }));
    QCOMPARE(amounts(lines, u"debit"_s), (QList<double> { 1000, 3000, 0, 3000, 3000, 0 }));
    QCOMPARE(amounts(lines, u"credit"_s), (QList<double> { 0, 0, 1000, 0, 0, 3000 }));
    QCOMPARE(amounts(lines, u"balance"_s), (QList<double> { 1000, 4000, 3000, 6000, 9000, 6000 }));
    QCOMPARE(column(lines, u"status"_s),
        (QStringList { QString(), u"paid"_s, QString(), u"overdue"_s, u"due"_s, QString() }));
    QCOMPARE(account.value(u"closing_balance"_s).toDouble(),
        f.scalar(u"SELECT SUM(installment_amount-paid_amount) FROM installments WHERE buyer_id=?"_s,
             { buyer })
            .toDouble());
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
    // A loss in the period; open amounts, and collections less expenses paid up to today.
    QCOMPARE(figures(reports.getProfitLoss(TF::iso(today.addDays(-30)), TF::iso(today)),
                 { u"revenue"_s, u"expenses"_s, u"net_profit"_s }),
        (QList<double> { 5000, 7000, -2000 }));
    QCOMPARE(figures(reports.getBalanceSheet(),
                 { u"receivables"_s, u"installment_receivables"_s, u"cash"_s, u"total_assets"_s }),
        (QList<double> { 1300, 1500, -1200, 1600 }));
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
