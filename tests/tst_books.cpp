#include "accountmodel.h"
#include "demodata.h"
#include "depositmodel.h"
#include "expensemodel.h"
#include "figures.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "journalexport.h"
#include "maintenancemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "posting.h"
#include "testfixture.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace {

QString iso(const QDate &date) { return TestFixture::iso(date); }

// The models one posting case needs, over the fixture's database, with a leased unit.
struct World
{
    explicit World(TestFixture &f)
        : fixture(f)
        , invoices(f.db())
        , payments(f.db())
        , installments(f.db())
        , expenses(f.db())
        , maintenance(f.db())
    {
        propertyId = f.addProperty();
        unitId = f.addUnit(propertyId, u"101"_s, 1000, u"rented"_s);
        saleUnit = f.addUnit(propertyId, u"102"_s, 0, u"available"_s, 120, 100000);
        tenantId = f.addTenant(u"سالم"_s);
        buyerId = f.addBuyer(u"هالة"_s);
        contractorId = expenses.addContractor(u"أبو خالد"_s, {}, u"سباكة"_s);
    }

    // A deposit of 600 received in cash on a lease of the rented unit.
    int deposit(DepositModel &deposits)
    {
        const int lease = fixture.addLease(unitId, tenantId, TestFixture::today().addMonths(-11),
            TestFixture::today().addMonths(1), 1000);
        fixture.db()->execNonQuery(u"UPDATE contracts SET deposit=600 WHERE id=?"_s, { lease });
        return deposits.receive(lease, iso(TestFixture::today()), u"cash"_s, {});
    }

    // The month's rent run over one lease; the invoice it issued, -1 when none.
    int rentRun()
    {
        fixture.addLease(unitId, tenantId, TestFixture::today().addMonths(-3),
            TestFixture::today().addMonths(6), 1000);
        if (invoices.generateAllRent(TestFixture::today().toString(u"yyyy-MM"_s)) != 1)
            return -1;
        return fixture.scalar(u"SELECT MAX(id) FROM invoices"_s).toInt();
    }

    int invoice(const QString &type, double amount, int currency = 1)
    {
        const QVariantMap item { { u"description"_s, u"بند"_s }, { u"type"_s, type },
            { u"unit_price"_s, amount }, { u"total"_s, amount } };
        return invoices.createInvoice(
            tenantId, unitId, TestFixture::today().toString(u"yyyy-MM"_s), { item }, currency);
    }

    TestFixture &fixture;
    InvoiceModel invoices;
    PaymentModel payments;
    InstallmentModel installments;
    ExpenseModel expenses;
    MaintenanceModel maintenance;
    int propertyId = 0, unitId = 0, saleUnit = 0, tenantId = 0, buyerId = 0, contractorId = 0;
};

// Runs the operation and returns the row its entry references.
using Run = std::function<int(World &)>;

const std::map<QString, Run> &operations()
{
    static const std::map<QString, Run> all {
        { u"rent invoice"_s, [](World &w) { return w.invoice(u"rent"_s, 1000); } },
        { u"rent run"_s, [](World &w) { return w.rentRun(); } },
        { u"service invoice"_s, [](World &w) { return w.invoice(u"service"_s, 150); } },
        { u"late fee invoice"_s, [](World &w) { return w.invoice(u"late_fee"_s, 25); } },
        { u"dollar invoice"_s,
            [](World &w) {
                w.fixture.addRate(2, 1, 3.5, TestFixture::today().addDays(-3));
                return w.invoice(u"rent"_s, 1000.01, 2);
            } },
        { u"void"_s,
            [](World &w) {
                const int id = w.invoice(u"rent"_s, 1000);
                return w.invoices.voidInvoice(id, u"خطأ"_s) ? id : -1;
            } },
        { u"deposit received"_s,
            [](World &w) {
                DepositModel deposits(w.fixture.db());
                return w.deposit(deposits);
            } },
        { u"deposit settled"_s,
            [](World &w) {
                DepositModel deposits(w.fixture.db());
                const int id = w.deposit(deposits);
                const QVariantList damage { QVariantMap {
                    { u"description"_s, u"كسر نافذة"_s }, { u"amount"_s, 150 } } };
                return deposits.settle(
                           id, damage, false, false, iso(TestFixture::today()), u"bank"_s, {})
                    ? id
                    : -1;
            } },
        { u"cash payment"_s,
            [](World &w) {
                return w.payments.add(w.invoice(u"rent"_s, 1000), w.tenantId, 400, u"cash"_s,
                    iso(TestFixture::today()), {}, 1);
            } },
        { u"bank payment"_s,
            [](World &w) {
                return w.payments.add(w.invoice(u"rent"_s, 1000), w.tenantId, 400, u"bank"_s,
                    iso(TestFixture::today()), {}, 1);
            } },
        { u"payment reversed"_s,
            [](World &w) {
                const int paid = w.payments.add(w.invoice(u"rent"_s, 1000), w.tenantId, 400,
                    u"cash"_s, iso(TestFixture::today()), {}, 1);
                return w.payments.reverse(paid, u"شيك مرتجع"_s);
            } },
        { u"sale"_s,
            [](World &w) {
                return w.installments.sellUnit(
                           w.buyerId, w.saleUnit, 100000, 20000, 10, iso(TestFixture::today()), 1)
                        > 0
                    ? w.saleUnit
                    : -1;
            } },
        { u"installment collected"_s,
            [](World &w) {
                w.installments.sellUnit(
                    w.buyerId, w.saleUnit, 100000, 20000, 10, iso(TestFixture::today()), 1);
                const int first = w.fixture
                                      .scalar(u"SELECT MIN(id) FROM installments WHERE unit_id=?"_s,
                                          { w.saleUnit })
                                      .toInt();
                if (!w.installments.payInstallment(first, 8000))
                    return -1;
                return w.fixture.scalar(u"SELECT MAX(id) FROM payments"_s).toInt();
            } },
        { u"expense in cash"_s,
            [](World &w) {
                return w.expenses.add(w.propertyId, 0, 0, u"كهرباء"_s, {}, u"فاتورة"_s, 300,
                    iso(TestFixture::today()), 1);
            } },
        { u"expense of a contractor"_s,
            [](World &w) {
                return w.expenses.add(w.propertyId, 0, w.contractorId, u"صيانة"_s, {}, u"دهان"_s,
                    300, iso(TestFixture::today()), 1);
            } },
        { u"expense of another category"_s,
            [](World &w) {
                return w.expenses.add(w.propertyId, 0, 0, u"تشغيل"_s, {}, u"أعمال"_s, 80,
                    iso(TestFixture::today()), 1, u"bank"_s);
            } },
        { u"maintenance completed"_s,
            [](World &w) {
                const int request
                    = w.maintenance.add(w.unitId, w.propertyId, u"تسريب"_s, {}, u"high"_s);
                if (!w.maintenance.complete(request, 150))
                    return -1;
                return w.fixture.scalar(u"SELECT MAX(id) FROM expenses"_s).toInt();
            } },
        { u"contractor paid"_s,
            [](World &w) {
                w.expenses.add(w.propertyId, 0, w.contractorId, u"صيانة"_s, {}, u"دهان"_s, 300,
                    iso(TestFixture::today()), 1);
                return w.expenses.payContractor(
                    w.contractorId, 200, iso(TestFixture::today()), u"bank"_s, {});
            } },
    };
    return all;
}

// Debit minus credit per account code of the row's entries.
QVariantMap postedLines(TestFixture &f, const QString &refType, int refId)
{
    QVariantMap lines;
    const QVariantList rows = f.db()->execQuery(
        u"SELECT a.code, SUM(jl.debit) - SUM(jl.credit) as net FROM journal_lines jl JOIN "
        "journal_entries je ON je.id=jl.entry_id JOIN accounts a ON a.id=jl.account_id WHERE "
        "je.reference_type=? AND je.reference_id=? GROUP BY a.code"_s,
        { refType, refId });
    for (const QVariant &row : rows)
        lines.insert(row.toMap().value(u"code"_s).toString(),
            Money::round(row.toMap().value(u"net"_s).toDouble()));
    return lines;
}

QStringList unbalancedEntries(Database *db)
{
    QStringList out;
    for (const QVariant &row :
        db->execQuery(u"SELECT entry_id, SUM(debit) as d, SUM(credit) as c FROM journal_lines "
                      "GROUP BY entry_id"_s)) {
        const QVariantMap entry = row.toMap();
        if (!Money::equal(entry.value(u"d"_s).toDouble(), entry.value(u"c"_s).toDouble()))
            out << entry.value(u"entry_id"_s).toString();
    }
    return out;
}

double accountBalance(Database *db, const QString &code)
{
    return Database::firstRow(
        db->execQuery(u"SELECT balance FROM accounts WHERE code=?"_s, { code }))
        .value(u"balance"_s)
        .toDouble();
}

QVariantList trialRows(AccountModel &accounts)
{
    return accounts.getTrialBalance().value(u"rows"_s).toList();
}

} // namespace

class TestBooks : public QObject
{
    Q_OBJECT

private slots:
    void postingTable_data();
    void postingTable();
    void missingAccountFailsTheOperation_data();
    void missingAccountFailsTheOperation();
    void demoBooksMatchOperations();
    void historyPostsOnce();
    void lockDate_data();
    void lockDate();
    void balanceIsItsLinesToTheCent_data();
    void balanceIsItsLinesToTheCent();
    void ledgerRunsFromOpeningToClosing();
    void hledgerReadsTheExport_data();
    void hledgerReadsTheExport();
};

void TestBooks::postingTable_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("refType");
    QTest::addColumn<QVariantMap>("lines"); // account code → debit minus credit

    QTest::newRow("rent invoice") << u"rent invoice"_s << u"invoice"_s
                                  << QVariantMap { { u"1200"_s, 1000.0 }, { u"4100"_s, -1000.0 } };
    QTest::newRow("rent run, posted with the run's others")
        << u"rent run"_s << u"invoice"_s
        << QVariantMap { { u"1200"_s, 1000.0 }, { u"4100"_s, -1000.0 } };
    QTest::newRow("service invoice") << u"service invoice"_s << u"invoice"_s
                                     << QVariantMap { { u"1200"_s, 150.0 }, { u"4200"_s, -150.0 } };
    QTest::newRow("late fee invoice") << u"late fee invoice"_s << u"invoice"_s
                                      << QVariantMap { { u"1200"_s, 25.0 }, { u"4400"_s, -25.0 } };
    QTest::newRow("dollars at the dated rate")
        << u"dollar invoice"_s << u"invoice"_s
        << QVariantMap { { u"1200"_s, 3500.04 }, { u"4100"_s, -3500.04 } };
    QTest::newRow("void: the issue and its reversal")
        << u"void"_s << u"invoice_void"_s
        << QVariantMap { { u"1200"_s, -1000.0 }, { u"4100"_s, 1000.0 } };
    QTest::newRow("payment in cash") << u"cash payment"_s << u"payment"_s
                                     << QVariantMap { { u"1100"_s, 400.0 }, { u"1200"_s, -400.0 } };
    QTest::newRow("payment by bank") << u"bank payment"_s << u"payment"_s
                                     << QVariantMap { { u"1110"_s, 400.0 }, { u"1200"_s, -400.0 } };
    QTest::newRow("reversal posts the other way")
        << u"payment reversed"_s << u"payment"_s
        << QVariantMap { { u"1100"_s, -400.0 }, { u"1200"_s, 400.0 } };
    QTest::newRow("sale: down payment and financed part")
        << u"sale"_s << u"sale"_s
        << QVariantMap { { u"1100"_s, 20000.0 }, { u"1210"_s, 80000.0 }, { u"4300"_s, -100000.0 } };
    QTest::newRow("installment collected")
        << u"installment collected"_s << u"installment_payment"_s
        << QVariantMap { { u"1100"_s, 8000.0 }, { u"1210"_s, -8000.0 } };
    QTest::newRow("expense by its category")
        << u"expense in cash"_s << u"expense"_s
        << QVariantMap { { u"5310"_s, 300.0 }, { u"1100"_s, -300.0 } };
    QTest::newRow("expense owed to its contractor")
        << u"expense of a contractor"_s << u"expense"_s
        << QVariantMap { { u"5100"_s, 300.0 }, { u"2100"_s, -300.0 } };
    QTest::newRow("unmapped category to other expenses")
        << u"expense of another category"_s << u"expense"_s
        << QVariantMap { { u"5200"_s, 80.0 }, { u"1110"_s, -80.0 } };
    QTest::newRow("completed maintenance")
        << u"maintenance completed"_s << u"expense"_s
        << QVariantMap { { u"5100"_s, 150.0 }, { u"1100"_s, -150.0 } };
    QTest::newRow("deposit held, not income")
        << u"deposit received"_s << u"deposit"_s
        << QVariantMap { { u"1100"_s, 600.0 }, { u"2200"_s, -600.0 } };
    QTest::newRow("deposit settled: damage kept, rest refunded")
        << u"deposit settled"_s << u"deposit_settlement"_s
        << QVariantMap { { u"2200"_s, 600.0 }, { u"1110"_s, -450.0 }, { u"4500"_s, -150.0 } };
    QTest::newRow("contractor paid") << u"contractor paid"_s << u"contractor_payment"_s
                                     << QVariantMap { { u"2100"_s, 200.0 }, { u"1110"_s, -200.0 } };
}

void TestBooks::postingTable()
{
    QFETCH(QString, operation);
    QFETCH(QString, refType);
    QFETCH(QVariantMap, lines);
    TestFixture f;
    QVERIFY(Posting::isOn(f.db()));
    World world(f);
    const int refId = operations().at(operation)(world);
    QVERIFY(refId > 0);
    QCOMPARE(postedLines(f, refType, refId), lines);
    QCOMPARE(unbalancedEntries(f.db()), QStringList());
}

void TestBooks::missingAccountFailsTheOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("one invoice") << u"rent invoice"_s;
    QTest::newRow("the rent run, whole") << u"rent run"_s;
}

void TestBooks::missingAccountFailsTheOperation()
{
    QFETCH(QString, operation);
    TestFixture f;
    World world(f);
    QVERIFY(f.db()->execNonQuery(u"INSERT INTO settings (key, value) VALUES "
                                 "('posting_account:rent_revenue', '9999')"_s));
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(operations().at(operation)(world), -1);
    QCOMPARE(f.count(u"invoices"_s), 0);
    QCOMPARE(f.count(u"journal_entries"_s), 0);
    QCOMPARE(f.tenantBalance(world.tenantId), 0.0);
    QVERIFY(!errors.isEmpty());
    QVERIFY(Posting::refusalText(f.db(), errors.constLast().constFirst().toString())
                .contains(u"إيرادات الإيجار"_s));
}

void TestBooks::demoBooksMatchOperations()
{
    TestFixture f;
    DemoData::fill(f.db());
    AccountModel accounts(f.db());
    QCOMPARE(unbalancedEntries(f.db()), QStringList());
    QCOMPARE(Posting::unposted(f.db()), 0);

    // What tenants owe, each invoice at its issue date, is the receivable.
    const double owed = Database::firstRow(
        f.db()->execQuery(u"SELECT COALESCE(SUM("_s
            + Figures::inPrimary(u"balance"_s, u"currency_id"_s, u"created_at"_s)
            + u"),0) as t FROM invoices WHERE status!='void'"_s))
                            .value(u"t"_s)
                            .toDouble();
    const double tenants = f.scalar(u"SELECT SUM(balance) FROM tenants"_s).toDouble();
    QCOMPARE(Money::cents(accountBalance(f.db(), u"1200"_s)), Money::cents(owed));
    QCOMPARE(Money::cents(accountBalance(f.db(), u"1200"_s)), Money::cents(tenants));

    // Revenue is what was billed and sold; expenses are what was spent.
    const QString from = u"2000-01-01"_s;
    const QString to = u"2100-12-31"_s;
    const double billed = Database::firstRow(
        f.db()->execQuery(u"SELECT COALESCE(SUM("_s
            + Figures::inPrimary(u"total_amount"_s, u"currency_id"_s, u"created_at"_s)
            + u"),0) as t FROM invoices WHERE status!='void'"_s))
                              .value(u"t"_s)
                              .toDouble();
    const QVariantMap pl = accounts.getProfitLoss(from, to);
    QCOMPARE(Money::cents(pl.value(u"revenue"_s).toDouble()),
        Money::cents(billed) + Money::cents(Figures::salesValue(f.db())));
    QCOMPARE(Money::cents(pl.value(u"expenses"_s).toDouble()),
        Money::cents(Figures::expensesPaid(f.db(), from, to)));

    const QVariantMap trial = accounts.getTrialBalance();
    QCOMPARE(Money::cents(trial.value(u"debit"_s).toDouble()),
        Money::cents(trial.value(u"credit"_s).toDouble()));
    for (const QVariant &row : trial.value(u"rows"_s).toList()) {
        const QVariantMap account = row.toMap();
        QCOMPARE(Money::cents(account.value(u"balance"_s).toDouble()),
            Money::cents(accountBalance(f.db(), account.value(u"code"_s).toString())));
    }
}

void TestBooks::historyPostsOnce()
{
    TestFixture f;
    QVERIFY(Posting::setOn(f.db(), false));
    DemoData::fill(f.db());
    AccountModel accounts(f.db());
    const int typed = f.count(u"journal_entries"_s);
    const int due = Posting::unposted(f.db());
    QVERIFY(due > 100);

    QVERIFY(accounts.setAutoPosting(true));
    QSignalSpy progress(&accounts, &AccountModel::historyProgress);
    QCOMPARE(accounts.postHistory(), due);
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.constLast().at(0).toInt(), due);
    QCOMPARE(f.count(u"journal_entries"_s), typed + due);
    QCOMPARE(unbalancedEntries(f.db()), QStringList());
    // Dated entries in date order: each operation's entry carries its day.
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM journal_entries je JOIN payments p ON "
                      "p.id=je.reference_id WHERE je.reference_type='payment' AND "
                      "je.entry_date != date(p.payment_date)"_s)
                 .toInt(),
        0);
    QCOMPARE(Money::cents(accountBalance(f.db(), u"1200"_s)),
        Money::cents(f.scalar(u"SELECT SUM(balance) FROM tenants"_s).toDouble()));

    const QVariantList before = trialRows(accounts);
    QCOMPARE(accounts.postHistory(), 0);
    QCOMPARE(trialRows(accounts), before);
    QCOMPARE(f.count(u"journal_entries"_s), typed + due);
}

void TestBooks::lockDate_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("refused");
    QTest::newRow("payment on the lock date") << u"payment on"_s << u"payments"_s << true;
    QTest::newRow("payment the day after") << u"payment after"_s << u"payments"_s << false;
    QTest::newRow("expense before it") << u"expense before"_s << u"expenses"_s << true;
    QTest::newRow("expense moved into it") << u"expense moved"_s << u"expenses"_s << true;
    QTest::newRow("void of an invoice issued before") << u"void"_s << u"invoices"_s << true;
    QTest::newRow("manual entry before it") << u"manual entry"_s << u"journal_entries"_s << true;
    QTest::newRow("contractor paid on it") << u"contractor"_s << u"contractor_payments"_s << true;
    QTest::newRow("lines added to an entry before it")
        << u"closed entry's lines"_s << u"journal_lines"_s << true;
}

void TestBooks::lockDate()
{
    QFETCH(QString, operation);
    QFETCH(QString, table);
    QFETCH(bool, refused);
    TestFixture f;
    World w(f);
    AccountModel accounts(f.db());
    const QDate lock = TestFixture::today().addDays(-10);
    const int invoice = w.invoice(u"rent"_s, 1000);
    const int expense = w.expenses.add(
        w.propertyId, 0, w.contractorId, u"صيانة"_s, {}, u"دهان"_s, 300, iso(lock.addDays(2)), 1);
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE invoices SET created_at=? WHERE id=?"_s, { iso(lock.addDays(-1)), invoice }));
    const int closedEntry
        = f.insert(u"INSERT INTO journal_entries (entry_date, description) VALUES (?, 'قيد')"_s,
            { iso(lock.addDays(-2)) });
    QVERIFY(accounts.setLockDate(iso(lock)));
    QCOMPARE(accounts.lockDate(), iso(lock));

    const QString snapshot = u"SELECT COUNT(*), COALESCE(SUM(length(COALESCE(CAST(%1 AS TEXT), "
                             "'NULL'))), 0) FROM %2"_s;
    const QString column = table == u"invoices"_s ? u"status"_s : u"id"_s;
    const QString before = f.joined(snapshot.arg(column, table));
    const int entries = f.count(u"journal_entries"_s);
    const QString balances = f.joined(u"SELECT code, balance FROM accounts ORDER BY code"_s);
    QSignalSpy errors(f.db(), &Database::databaseError);
    bool done = false;
    if (operation == u"payment on"_s || operation == u"payment after"_s)
        done = w.payments.add(invoice, w.tenantId, 100, u"cash"_s,
                   iso(operation == u"payment on"_s ? lock : lock.addDays(1)), {}, 1)
            > 0;
    else if (operation == u"expense before"_s)
        done = w.expenses.add(
                   w.propertyId, 0, 0, u"مياه"_s, {}, u"عداد"_s, 50, iso(lock.addDays(-5)), 1)
            > 0;
    else if (operation == u"expense moved"_s)
        done = w.expenses.update(expense, w.propertyId, 0, w.contractorId, u"صيانة"_s, {},
            u"دهان"_s, 300, iso(lock.addDays(-1)), 1, u"cash"_s);
    else if (operation == u"void"_s)
        done = w.invoices.voidInvoice(invoice, u"خطأ"_s);
    else if (operation == u"manual entry"_s)
        done = accounts.createJournalEntry(iso(lock.addDays(-3)), u"قيد"_s, u"manual"_s, 0,
                   { QVariantMap { { u"account_id"_s, 2 }, { u"debit"_s, 10 }, { u"credit"_s, 0 } },
                       QVariantMap {
                           { u"account_id"_s, 8 }, { u"debit"_s, 0 }, { u"credit"_s, 10 } } })
            > 0;
    else if (operation == u"contractor"_s)
        done = w.expenses.payContractor(w.contractorId, 100, iso(lock), u"cash"_s, {}) > 0;
    else if (operation == u"closed entry's lines"_s)
        done = f.db()->execNonQuery(u"INSERT INTO journal_lines (entry_id, account_id, debit, "
                                    "credit) VALUES (?, 2, 10, 0), (?, 8, 0, 10)"_s,
            { closedEntry, closedEntry });

    QCOMPARE(done, !refused);
    if (!refused)
        return;
    QCOMPARE(f.joined(snapshot.arg(column, table)), before);
    QCOMPARE(f.count(u"journal_entries"_s), entries);
    QCOMPARE(f.joined(u"SELECT code, balance FROM accounts ORDER BY code"_s), balances);
    QVERIFY(!errors.isEmpty());
    QCOMPARE(Posting::refusalText(f.db(), errors.constLast().constFirst().toString()),
        u"الفترة مقفلة حتى %1: لا تُسجَّل عملية ولا تُعدَّل ولا تُلغى بتاريخ الإقفال أو قبله"_s.arg(
            iso(lock)));
}

void TestBooks::balanceIsItsLinesToTheCent_data()
{
    QTest::addColumn<bool>("rentRun");
    // Debits on one account, balanced by one credit on another, all in one insert of lines; or
    // the rents of a run's leases.
    QTest::addColumn<QList<double>>("amounts");
    QTest::addColumn<qint64>("cents");

    QList<double> tenths;
    for (int i = 0; i < 200; ++i)
        tenths << 0.1 << 0.2 << 0.7;
    QTest::newRow("a thousand dimes") << false << QList<double>(1000, 0.1) << qint64(10000);
    QTest::newRow("tenths that gather binary error") << false << tenths << qint64(20000);
    QTest::newRow("large amounts with a cent")
        << false << (QList<double>(40, 9999999.99) << 0.01) << qint64(39999999961);
    QTest::newRow("sub-cent amounts stored to the cent")
        << false << (QList<double>(8, 0.125) << 0.005 << 0.005 << 0.005) << qint64(107);
    QTest::newRow("a rent run's entries")
        << true << QList<double> { 100.1, 200.2, 300.7, 0.1, 0.2, 999999.99 } << qint64(100060129);
}

// An account's stored balance is the sum of its lines counted in cents, as the consistency
// check counts them, and is exactly that many cents: lines summed in binary and not rounded
// would leave 99.9999999999986 for a thousand dimes. Written twice, so that the second writing
// starts from a balance.
void TestBooks::balanceIsItsLinesToTheCent()
{
    QFETCH(bool, rentRun);
    QFETCH(QList<double>, amounts);
    QFETCH(qint64, cents);
    TestFixture f;
    InvoiceModel invoices(f.db());
    const auto idOf = [&](const QString &code) {
        return f.scalar(u"SELECT id FROM accounts WHERE code=?"_s, { code }).toInt();
    };
    const QString debited = rentRun ? u"1200"_s : u"1110"_s;
    const QString credited = rentRun ? u"4100"_s : u"2300"_s;
    if (rentRun) {
        const int property = f.addProperty();
        for (int i = 0; i < amounts.size(); ++i) {
            const int unit
                = f.addUnit(property, QString::number(i + 1), amounts.at(i), u"rented"_s);
            f.addLease(unit, f.addTenant(u"مستأجر %1"_s.arg(i)), TestFixture::today().addMonths(-2),
                TestFixture::today().addMonths(3), amounts.at(i));
        }
    }
    for (int writing = 0; writing < 2; ++writing) {
        if (rentRun) {
            QCOMPARE(invoices.generateAllRent(
                         TestFixture::today().addMonths(writing).toString(u"yyyy-MM"_s)),
                int(amounts.size()));
            continue;
        }
        QVariantList lines;
        for (double amount : amounts)
            lines << QVariantMap { { u"account_id"_s, idOf(debited) }, { u"debit"_s, amount },
                { u"credit"_s, 0.0 } };
        lines << QVariantMap { { u"account_id"_s, idOf(credited) }, { u"debit"_s, 0.0 },
            { u"credit"_s, Money::fromCents(cents) } };
        QVERIFY(
            Posting::writeEntry(f.db(), iso(TestFixture::today()), u"قيد"_s, u"manual"_s, {}, lines)
            > 0);
    }
    for (const auto &[code, sign] : { std::pair { debited, 1 }, std::pair { credited, -1 } }) {
        qint64 sum = 0;
        for (const QVariant &row : f.db()->execQuery(
                 u"SELECT debit - credit AS moved FROM journal_lines WHERE account_id=?"_s,
                 { idOf(code) })) {
            // Whatever it was given, the program stores a line in whole cents.
            const double moved = row.toMap().value(u"moved"_s).toDouble();
            QCOMPARE(
                QString::number(moved, 'g', 17), QString::number(Money::round(moved), 'g', 17));
            sum += Money::cents(moved);
        }
        QCOMPARE(sum, sign * 2 * cents);
        QCOMPARE(QString::number(accountBalance(f.db(), code), 'g', 17),
            QString::number(Money::fromCents(sum), 'g', 17));
    }
}

void TestBooks::ledgerRunsFromOpeningToClosing()
{
    TestFixture f;
    World w(f);
    AccountModel accounts(f.db());
    const int invoice = w.invoice(u"rent"_s, 1000);
    const QDate today = TestFixture::today();
    QVERIFY(
        w.payments.add(invoice, w.tenantId, 300, u"cash"_s, iso(today.addDays(-20)), {}, 1) > 0);
    QVERIFY(w.payments.add(invoice, w.tenantId, 200, u"cash"_s, iso(today.addDays(-5)), {}, 1) > 0);
    QVERIFY(w.expenses.add(
                w.propertyId, 0, 0, u"مياه"_s, {}, u"عداد"_s, 50.5, iso(today.addDays(-3)), 1)
        > 0);
    const int cash = f.scalar(u"SELECT id FROM accounts WHERE code='1100'"_s).toInt();
    const QVariantMap ledger = accounts.getLedger(cash, iso(today.addDays(-10)), iso(today));
    QCOMPARE(ledger.value(u"opening"_s).toDouble(), 300.0);
    const QVariantList rows = ledger.value(u"rows"_s).toList();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toMap().value(u"balance"_s).toDouble(), 500.0);
    QCOMPARE(rows.at(1).toMap().value(u"balance"_s).toDouble(), 449.5);
    QCOMPARE(ledger.value(u"closing"_s).toDouble(), 449.5);

    // The trial balance on a past day leaves out what came later; its sides stay equal.
    const QVariantMap earlier = accounts.getTrialBalance(iso(today.addDays(-4)));
    QCOMPARE(earlier.value(u"debit"_s).toDouble(), earlier.value(u"credit"_s).toDouble());
    for (const QVariant &row : earlier.value(u"rows"_s).toList()) {
        if (row.toMap().value(u"code"_s).toString() == u"1100"_s)
            QCOMPARE(row.toMap().value(u"balance"_s).toDouble(), 500.0);
    }
    QCOMPARE(accounts.countJournal({}, {}, cash, {}), 3);
    QCOMPARE(accounts.getJournalPage({}, {}, 0, u"payment"_s, 0, 1).size(), 1);
    QCOMPARE(accounts.countJournal(iso(today.addDays(-4)), iso(today), 0, {}), 2);
}

void TestBooks::hledgerReadsTheExport_data()
{
    QTest::addColumn<int>("daysBack");
    QTest::newRow("the whole journal") << -1;
    // Starts from the balances held the day before, earlier profit in equity.
    QTest::newRow("the last quarter") << 90;
}

void TestBooks::hledgerReadsTheExport()
{
    QFETCH(int, daysBack);
    const QString hledger = QStandardPaths::findExecutable(u"hledger"_s);
    if (hledger.isEmpty())
        QSKIP("hledger is not installed (scripts/setup.sh installs it)");
    TestFixture f;
    DemoData::fill(f.db());
    AccountModel accounts(f.db());
    const QString path = f.dataDir() + u"/books.journal"_s;
    const QString from = daysBack < 0 ? QString() : iso(TestFixture::today().addDays(-daysBack));
    QVERIFY(accounts.exportJournal(path, from, {}));

    const auto run = [&](const QStringList &arguments) {
        QProcess process;
        process.start(hledger, QStringList { u"-f"_s, path } + arguments);
        process.waitForFinished(60000);
        return std::make_pair(process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput())
                + QString::fromUtf8(process.readAllStandardError()));
    };
    const auto [checked, checkOutput] = run({ u"check"_s });
    QVERIFY2(checked == 0, qPrintable(checkOutput));

    // Every account's balance at cost, one "name","amount" row each.
    const auto [balanced, csv]
        = run({ u"balance"_s, u"--flat"_s, u"-B"_s, u"--no-total"_s, u"-O"_s, u"csv"_s, u"-E"_s });
    QCOMPARE(balanced, 0);
    std::map<QString, qint64> hledgerCents;
    for (const QString &line : csv.split(u'\n', Qt::SkipEmptyParts).mid(1)) {
        const QStringList fields = line.split(u"\",\""_s);
        if (fields.size() != 2)
            continue;
        QString amount = fields.at(1);
        amount.remove(u'"').remove(u"ILS"_s).remove(u',');
        hledgerCents[fields.at(0).mid(1)] = Money::cents(amount.trimmed().toDouble());
    }
    const QVariantMap sheet = accounts.getBalanceSheet();
    const QVariantMap pl
        = accounts.getProfitLoss(from.isEmpty() ? u"2000-01-01"_s : from, u"2100-12-31"_s);
    qint64 assets = 0;
    qint64 liabilities = 0;
    qint64 revenue = 0;
    qint64 expenses = 0;
    for (const QVariant &row : trialRows(accounts)) {
        const QVariantMap account = row.toMap();
        const QString type = account.value(u"type"_s).toString();
        const qint64 balance = Money::cents(account.value(u"balance"_s).toDouble());
        const QString name = JournalExport::accountName(
            type, account.value(u"code"_s).toString(), account.value(u"name_ar"_s).toString());
        const qint64 exported = hledgerCents.count(name) ? hledgerCents.at(name) : 0;
        // Over the whole journal every account matches; from a date on, what the balance sheet
        // holds still does, and revenue and expenses are the range's.
        if (from.isEmpty() || type == u"asset"_s || type == u"liability"_s)
            QCOMPARE(exported, balance);
        if (type == u"asset"_s)
            assets += balance;
        if (type == u"liability"_s)
            liabilities += qAbs(balance);
        if (type == u"revenue"_s)
            revenue -= exported;
        if (type == u"expense"_s)
            expenses += exported;
    }
    QCOMPARE(assets, Money::cents(sheet.value(u"assets"_s).toDouble()));
    QCOMPARE(liabilities, Money::cents(sheet.value(u"liabilities"_s).toDouble()));
    QCOMPARE(revenue, Money::cents(pl.value(u"revenue"_s).toDouble()));
    QCOMPARE(expenses, Money::cents(pl.value(u"expenses"_s).toDouble()));
}

QTEST_GUILESS_MAIN(TestBooks)
#include "tst_books.moc"
