#include "installmentmodel.h"
#include "invoicemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTest>
#include <functional>
#include <limits>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QString periodOf(int monthsAhead)
{
    return QDate::currentDate().addMonths(monthsAhead).toString(u"yyyy-MM"_s);
}

int issue(InvoiceModel &invoices, int tenant, double total, int monthsAhead = 0)
{
    const QVariantMap line { { u"description"_s, u"إيجار"_s }, { u"total"_s, total } };
    return invoices.createInvoice(tenant, 0, periodOf(monthsAhead), { line }, 1);
}

int pay(PaymentModel &payments, int invoice, int tenant, double amount)
{
    return payments.add(
        invoice, tenant, amount, u"cash"_s, TestFixture::iso(QDate::currentDate()), QString(), 1);
}

QVariantMap invoiceRow(TestFixture &f, int id)
{
    return Database::firstRow(f.db()->execQuery(
        u"SELECT paid_amount, balance, status FROM invoices WHERE id=?"_s, { id }));
}

// The open balance as the page shows it, read back as the operator would type it.
double shown(double balance) { return QString::number(balance, 'f', 2).toDouble(); }

// Runs `rival` once, just before the program's connection starts the first statement whose text
// begins with one of `prefixes`: another copy of the program acting at that moment.
class Interleave
{
public:
    Interleave(const QStringList &prefixes, std::function<void()> rival)
        : m_prefixes(prefixes)
        , m_rival(std::move(rival))
    {
        const QVariant handle = QSqlDatabase::database().driver()->handle();
        m_connection = *static_cast<sqlite3 *const *>(handle.constData());
        sqlite3_trace_v2(m_connection, SQLITE_TRACE_STMT, &Interleave::traced, this);
    }
    ~Interleave() { sqlite3_trace_v2(m_connection, 0, nullptr, nullptr); }

    bool fired() const { return m_fired; }

private:
    static int traced(unsigned, void *context, void *, void *text)
    {
        auto *self = static_cast<Interleave *>(context);
        const QString sql = QString::fromUtf8(static_cast<const char *>(text));
        if (self->m_fired)
            return 0;
        for (const QString &prefix : self->m_prefixes) {
            if (sql.startsWith(prefix)) {
                self->m_fired = true;
                self->m_rival();
                break;
            }
        }
        return 0;
    }

    QStringList m_prefixes;
    std::function<void()> m_rival;
    sqlite3 *m_connection = nullptr;
    bool m_fired = false;
};

} // namespace

class TestPayments : public QObject
{
    Q_OBJECT

private slots:
    void balanceInvariantAcrossTheInvoiceLife();
    void paymentOutcomes_data();
    void paymentOutcomes();
    void shownRemainderSettles_data();
    void shownRemainderSettles();
    void twoPartPaymentsSweep();
    void rivalConnectionCannotOverpay_data();
    void rivalConnectionCannotOverpay();
    void reversal_data();
    void reversal();
};

void TestPayments::balanceInvariantAcrossTheInvoiceLife()
{
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);

    const int first = issue(invoices, tenant, 540);
    QCOMPARE(f.tenantBalance(tenant), 540.0);
    QVERIFY(pay(payments, first, tenant, 200) > 0);
    QCOMPARE(f.tenantBalance(tenant), 340.0);
    QVERIFY(pay(payments, first, tenant, 340) > 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(invoiceRow(f, first).value(u"status"_s).toString(), u"paid"_s);

    // A second invoice, partly paid, is voided once its payment is reversed; nothing is owed.
    const int second = issue(invoices, tenant, 90, 1);
    const int partial = pay(payments, second, tenant, 30);
    QVERIFY(partial > 0);
    QCOMPARE(f.tenantBalance(tenant), 60.0);
    QVERIFY(!invoices.voidInvoice(second, u"خطأ"_s));
    QVERIFY(payments.reverse(partial, u"دفعة على الفاتورة الخطأ"_s) > 0);
    QCOMPARE(f.tenantBalance(tenant), 90.0);
    QVERIFY(invoices.voidInvoice(second, u"خطأ"_s));
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    QCOMPARE(pay(payments, second, tenant, 1), -1);
    QCOMPARE(f.count(u"payments"_s), 4);
    // Net of the reversal, the money received is what the paid invoice shows.
    QCOMPARE(Money::cents(f.scalar(u"SELECT SUM(amount) FROM payments"_s).toDouble()),
        Money::cents(540));
}

void TestPayments::paymentOutcomes_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("after"); // empty when the payment is refused
    QTest::addColumn<double>("paid"); // what the payment records
    QTest::addColumn<QString>("failing"); // a table whose updates fail
    QTest::newRow("a cent short") << 99.99 << u"partial"_s << 99.99 << QString();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << QString() << 0.0
                         << QString();
    // Amounts count in whole cents: a fraction of a cent over is the balance itself.
    QTest::newRow("over by far less than a cent") << 100.000001 << u"paid"_s << 100.0 << QString();
    QTest::newRow("a cent over") << 100.01 << QString() << 0.0 << QString();
    QTest::newRow("half a cent rounds away") << 0.005 << u"partial"_s << 0.01 << QString();
    QTest::newRow("under half a cent is nothing") << 0.004 << QString() << 0.0 << QString();
    QTest::newRow("tenant update fails") << 40.0 << QString() << 0.0 << u"tenants"_s;
}

void TestPayments::paymentOutcomes()
{
    QFETCH(double, amount);
    QFETCH(QString, after);
    QFETCH(double, paid);
    QFETCH(QString, failing);
    TestFixture f;
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, 0, periodOf(0), 100, u"pending"_s, 0);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=100 WHERE id=?"_s, { tenant }));
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);
    QSignalSpy errorSpy(f.db(), &Database::databaseError);

    const bool accepted = !after.isEmpty();
    QCOMPARE(pay(payments, invoice, tenant, amount) > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    // Business refusals are silent; only a failed statement reports an error.
    QCOMPARE(errorSpy.count(), failing.isEmpty() ? 0 : 1);
    QCOMPARE(f.count(u"payments"_s), accepted ? 1 : 0);
    QCOMPARE(f.scalar(u"SELECT COALESCE(SUM(amount),0) FROM payments"_s).toDouble(), paid);
    const QVariantMap row = invoiceRow(f, invoice);
    QCOMPARE(row.value(u"status"_s).toString(), accepted ? after : u"pending"_s);
    QCOMPARE(row.value(u"balance"_s).toDouble(), 100 - paid);
    QCOMPARE(row.value(u"paid_amount"_s).toDouble(), paid);
    QCOMPARE(f.tenantBalance(tenant), 100 - paid);
}

void TestPayments::shownRemainderSettles_data()
{
    QTest::addColumn<QVariantList>("lines"); // line totals of the invoice
    QTest::addColumn<double>("first");
    QTest::newRow("100.30 after 50.10") << QVariantList { 100.30 } << 50.10;
    QTest::newRow("0.3 after 0.1") << QVariantList { 0.3 } << 0.1;
    QTest::newRow("lines of 0.1 and 0.2 after 0.1") << QVariantList { 0.1, 0.2 } << 0.1;
    QTest::newRow("lines of 1.1 and 2.2 after 1.15") << QVariantList { 1.1, 2.2 } << 1.15;
    QTest::newRow("large amount") << QVariantList { 987654321.07 } << 123456789.03;
    QTest::newRow("large amount, many lines")
        << QVariantList { 4999999.99, 0.07, 1234.56 } << 4321.09;
}

// Paying the remainder the page shows always settles the invoice exactly.
void TestPayments::shownRemainderSettles()
{
    QFETCH(QVariantList, lines);
    QFETCH(double, first);
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    QVariantList items;
    for (const QVariant &total : lines)
        items << QVariantMap { { u"description"_s, u"بند"_s }, { u"total"_s, total } };
    const int invoice = invoices.createInvoice(tenant, 0, periodOf(0), items, 1);
    QVERIFY(invoice > 0);

    QVERIFY(pay(payments, invoice, tenant, first) > 0);
    QCOMPARE(invoiceRow(f, invoice).value(u"status"_s).toString(), u"partial"_s);
    const double remainder = shown(invoiceRow(f, invoice).value(u"balance"_s).toDouble());
    QVERIFY(pay(payments, invoice, tenant, remainder) > 0);
    const QVariantMap row = invoiceRow(f, invoice);
    QCOMPARE(row.value(u"status"_s).toString(), u"paid"_s);
    QCOMPARE(row.value(u"balance"_s).toDouble(), 0.0);
    QCOMPARE(Money::cents(row.value(u"paid_amount"_s).toDouble()),
        Money::cents(first) + Money::cents(remainder));
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    // Nothing is left to pay, not even a cent.
    QCOMPARE(pay(payments, invoice, tenant, 0.01), -1);
}

void TestPayments::twoPartPaymentsSweep()
{
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    QRandomGenerator random(20261207);
    QStringList unsettled;
    for (int i = 0; i < 200; ++i) {
        const int tenant = f.addTenant(u"مستأجر %1"_s.arg(i));
        const qint64 total = 2 + random.bounded(10'000'000);
        const qint64 first = 1 + random.bounded(total - 1);
        const double amount = total / 100.0;
        const int invoice = issue(invoices, tenant, amount);
        QVERIFY(invoice > 0);
        QVERIFY(pay(payments, invoice, tenant, first / 100.0) > 0);
        const double remainder = shown(invoiceRow(f, invoice).value(u"balance"_s).toDouble());
        const bool accepted = pay(payments, invoice, tenant, remainder) > 0;
        const QVariantMap row = invoiceRow(f, invoice);
        if (!accepted || row.value(u"status"_s).toString() != u"paid"_s
            || Money::cents(row.value(u"balance"_s).toDouble()) != 0)
            unsettled << u"%1 after %2"_s.arg(amount, 0, 'f', 2).arg(first / 100.0, 0, 'f', 2);
    }
    QCOMPARE(unsettled, QStringList());
}

void TestPayments::rivalConnectionCannotOverpay_data()
{
    QTest::addColumn<bool>("installment");
    QTest::addColumn<QStringList>("moment"); // statements the rival acts just before
    const QStringList opening { u"BEGIN"_s, u"SAVEPOINT"_s };
    const QStringList writing { u"INSERT"_s, u"UPDATE"_s };
    QTest::newRow("invoice, rival pays as the write opens") << false << opening;
    QTest::newRow("invoice, rival pays during the write") << false << writing;
    QTest::newRow("installment, rival pays as the write opens") << true << opening;
    QTest::newRow("installment, rival pays during the write") << true << writing;
}

// Two copies of the program on one file, both paying the whole of the same balance.
void TestPayments::rivalConnectionCannotOverpay()
{
    QFETCH(bool, installment);
    QFETCH(QStringList, moment);
    TestFixture f;
    if (f.db()->isServer())
        QSKIP("runs the rival inside SQLite's statement trace; tst_serverconcurrency pays one "
              "invoice from rival connections on a server");
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, 0, periodOf(0), 100, u"pending"_s, 0);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=100 WHERE id=?"_s, { tenant }));
    const int buyer = f.addBuyer(u"مشتري"_s);
    const int due = f.addInstallment(
        buyer, f.addUnit(f.addProperty(), u"A"_s, 0, u"sold"_s), 100, QDate::currentDate());

    Database other;
    QVERIFY(other.initialize(f.dbPath(), u"rival"_s));
    // The rival gives up at once on a locked file instead of waiting.
    other.execQuery(u"PRAGMA busy_timeout=50"_s);
    PaymentModel payments(f.db());
    PaymentModel rivalPayments(&other);
    InstallmentModel installments(f.db());
    InstallmentModel rivalInstallments(&other);
    bool ours = false;
    {
        Interleave interleave(moment, [&] {
            if (installment)
                rivalInstallments.payInstallment(due, 100);
            else
                pay(rivalPayments, invoice, tenant, 100);
        });
        ours = installment ? installments.payInstallment(due, 100)
                           : pay(payments, invoice, tenant, 100) > 0;
        QVERIFY(interleave.fired());
    }

    const QString paidSql = installment ? u"SELECT SUM(amount) FROM payments WHERE buyer_id=?"_s
                                        : u"SELECT SUM(amount) FROM payments WHERE invoice_id=?"_s;
    QCOMPARE(f.scalar(paidSql, { installment ? buyer : invoice }).toDouble(), 100.0);
    if (installment) {
        const QVariantMap row = f.db()->getById(u"installments"_s, due);
        QCOMPARE(row.value(u"paid_amount"_s).toDouble(), 100.0);
        QCOMPARE(row.value(u"status"_s).toString(), u"paid"_s);
    } else {
        QCOMPARE(invoiceRow(f, invoice).value(u"balance"_s).toDouble(), 0.0);
        QCOMPARE(f.tenantBalance(tenant), 0.0);
    }
    // Whichever copy was first, the other one was refused.
    const int rivalRows = f.scalar(u"SELECT COUNT(*) FROM payments"_s).toInt() - (ours ? 1 : 0);
    QCOMPARE(rivalRows, ours ? 0 : 1);
}

// Reversing a payment gives back to the invoice and the tenant exactly what it took.
void TestPayments::reversal_data()
{
    QTest::addColumn<QList<double>>("paid"); // payments on an invoice of 100.5
    QTest::addColumn<int>("reversed"); // index of the payment reversed
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("status"); // the invoice's after; empty: refused
    QTest::newRow("the only payment")
        << QList<double> { 40.25 } << 0 << u"شيك مرتجع"_s << QString() << u"pending"_s;
    QTest::newRow("one of two payments")
        << QList<double> { 40.25, 60.25 } << 0 << u"شيك مرتجع"_s << QString() << u"partial"_s;
    QTest::newRow("the payment that settled it")
        << QList<double> { 40.25, 60.25 } << 1 << u"شيك مرتجع"_s << QString() << u"partial"_s;
    QTest::newRow("the full payment")
        << QList<double> { 100.5 } << 0 << u"شيك مرتجع"_s << QString() << u"pending"_s;
    QTest::newRow("a reversal is not reversed")
        << QList<double> { 40.25 } << -1 << u"شيك مرتجع"_s << QString() << QString();
    QTest::newRow("blank reason") << QList<double> { 40.25 } << 0 << u" "_s << QString()
                                  << QString();
    QTest::newRow("tenant update fails")
        << QList<double> { 40.25 } << 0 << u"شيك مرتجع"_s << u"tenants"_s << QString();
}

void TestPayments::reversal()
{
    QFETCH(QList<double>, paid);
    QFETCH(int, reversed);
    QFETCH(QString, reason);
    QFETCH(QString, failing);
    QFETCH(QString, status);
    TestFixture f;
    InvoiceModel invoices(f.db());
    PaymentModel payments(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = issue(invoices, tenant, 100.5);
    QList<int> ids;
    double total = 0;
    for (const double amount : paid) {
        ids << pay(payments, invoice, tenant, amount);
        total += amount;
    }
    int target = reversed >= 0 ? ids.at(reversed) : ids.first();
    if (reversed < 0) // reverse once, then try to reverse the reversal
        target = payments.reverse(ids.first(), u"خطأ"_s);
    QVERIFY(target > 0);
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    const double balanceBefore = f.tenantBalance(tenant);
    const int rowsBefore = f.count(u"payments"_s);
    QSignalSpy changed(&payments, &PaymentModel::dataChanged);

    const bool accepted = !status.isEmpty();
    QCOMPARE(payments.reverse(target, reason) > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(payments.lastRefusal().isEmpty(), accepted);
    QCOMPARE(f.count(u"payments"_s), rowsBefore + (accepted ? 1 : 0));
    const QVariantMap row = invoiceRow(f, invoice);
    if (!accepted) {
        QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(balanceBefore));
        return;
    }
    const double back = paid.at(reversed);
    QCOMPARE(row.value(u"status"_s).toString(), status);
    QCOMPARE(Money::cents(row.value(u"paid_amount"_s).toDouble()), Money::cents(total - back));
    QCOMPARE(Money::cents(row.value(u"balance"_s).toDouble()), Money::cents(100.5 - total + back));
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(100.5 - total + back));
    // A payment is reversed once; the page marks it.
    QCOMPARE(payments.reverse(target, reason), -1);
    bool marked = false;
    for (const QVariant &listed : payments.getAll())
        marked |= listed.toMap().value(u"id"_s).toInt() == target
            && !listed.toMap().value(u"reversed_by"_s).isNull();
    QVERIFY(marked);
}

QTEST_GUILESS_MAIN(TestPayments)
#include "tst_payments.moc"
