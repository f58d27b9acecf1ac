#include "chequemodel.h"
#include "contractmodel.h"
#include "installmentmodel.h"
#include "notificationcontroller.h"
#include "settingsmanager.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QList<int> ids(const QVariantList &rows)
{
    QList<int> result;
    for (const QVariant &row : rows)
        result.append(row.toMap().value(u"id"_s).toInt());
    return result;
}

// Every row of the tables a cheque's life touches, to tell "nothing changed" exactly.
QVariantList snapshot(TestFixture &f)
{
    QVariantList all;
    for (const QString &table : { u"cheques"_s, u"cheque_events"_s, u"cheque_invoices"_s,
             u"payments"_s, u"invoices"_s, u"invoice_items"_s, u"tenants"_s, u"installments"_s })
        all.append(f.db()->execQuery(u"SELECT * FROM "_s + table + u" ORDER BY "_s
            + (table == u"cheque_invoices"_s ? u"cheque_id, invoice_id"_s : u"id"_s)));
    return all;
}

QStringList alertTypes(TestFixture &f)
{
    NotificationController alerts(f.db());
    QStringList types;
    for (const QVariant &alert : alerts.getActiveAlerts())
        types.append(alert.toMap().value(u"type"_s).toString());
    return types;
}

// A tenant owing one invoice of 1000.10 and a buyer owing one installment of 750.35, each with a
// received cheque for it: linked to the invoice, to the lease, or to the installment.
struct Debts
{
    explicit Debts(TestFixture &f)
    {
        const QDate today = TestFixture::today();
        const int property = f.addProperty();
        unit = f.addUnit(property, u"A1"_s);
        const int sold = f.addUnit(property, u"B1"_s, 0, u"sold"_s);
        tenant = f.addTenant(u"سامي"_s, u"1"_s);
        lease = f.addLease(unit, tenant, today.addMonths(-1), today.addMonths(11), 1000.10);
        invoice = f.addInvoice(tenant, unit, today.toString(u"yyyy-MM"_s), 1000.10);
        f.db()->execNonQuery(u"UPDATE invoices SET contract_id=? WHERE id=?"_s, { lease, invoice });
        f.db()->execNonQuery(u"UPDATE tenants SET balance=1000.10 WHERE id=?"_s, { tenant });
        buyer = f.addBuyer(u"هالة"_s, u"2"_s);
        installment = f.addInstallment(buyer, sold, 750.35, today);
    }

    int unit = 0, tenant = 0, lease = 0, invoice = 0, buyer = 0, installment = 0;
};

// A pending received cheque for `target`: "invoice", "lease" or "installment".
int linkedCheque(ChequeModel &model, const Debts &d, const QString &target)
{
    const bool sale = target == u"installment"_s;
    const int id = model.add(u"77"_s, u"received"_s, sale ? 750.35 : 1000.10, u"بنك فلسطين"_s,
        TestFixture::iso(TestFixture::today()), u"x"_s, 1, 1.0, sale ? d.buyer : 0,
        sale ? 0 : d.tenant);
    const bool linked = target == u"invoice"_s ? model.linkInvoices(id, { d.invoice })
        : target == u"lease"_s                 ? model.linkLease(id, d.lease)
                                               : model.linkInstallment(id, d.installment);
    return linked ? id : -1;
}

} // namespace

class TestCheques : public QObject
{
    Q_OBJECT

private slots:
    void payerPayeeAndLinks();
    void refused();
    void listsAndDueBoundaries();
    void lifecycle_data();
    void lifecycle();
    void bounceAfterClearingRestoresBalances_data();
    void bounceAfterClearingRestoresBalances();
    void bounceFee_data();
    void bounceFee();
    void failureMidBounceChangesNothing_data();
    void failureMidBounceChangesNothing();
    void clearingRefusedBeyondWhatIsOwed();
    void leaseSignedWithCheques_data();
    void leaseSignedWithCheques();
    void saleRecordsInstallmentCheques();
    void calendarByDayAndBank();
};

void TestCheques::payerPayeeAndLinks()
{
    TestFixture f;
    const int buyer = f.addBuyer(u"سامر"_s, u"1"_s);
    ChequeModel model(f.db());
    const QString due = TestFixture::iso(QDate::currentDate().addMonths(1));
    const int id = model.add(
        u"5521"_s, u"received"_s, 2500, u"بنك القدس"_s, due, u"سامر"_s, 2, 3.75, buyer, 0);
    QVERIFY(id > 0);
    const QVariantMap row = f.db()->getById(u"cheques"_s, id);
    // A received cheque names the payer; the other name is empty text, never NULL, and a
    // missing link is NULL, never 0.
    QCOMPARE(row.value(u"payer_name"_s).toString(), u"سامر"_s);
    QVERIFY(!row.value(u"payee_name"_s).isNull());
    QVERIFY(row.value(u"payee_name"_s).toString().isEmpty());
    QCOMPARE(row.value(u"buyer_id"_s).toInt(), buyer);
    QVERIFY(row.value(u"tenant_id"_s).isNull());
    // There is no rate column; losing the note loses the rate.
    QCOMPARE(row.value(u"notes"_s).toString(), u"exchange_rate=3.75"_s);
}

void TestCheques::refused()
{
    TestFixture f;
    ChequeModel model(f.db());
    QSignalSpy changed(&model, &ChequeModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const QString today = TestFixture::iso(QDate::currentDate());
    QCOMPARE(model.add(u"9"_s, u"received"_s, std::numeric_limits<double>::quiet_NaN(), u""_s,
                 today, u"x"_s, 1, 1.0),
        -1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(model.add(u"9"_s, u"received"_s, 100, u""_s, today, u"x"_s, 1, 1.0, 99), -1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"cheques"_s), 0);
}

void TestCheques::listsAndDueBoundaries()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int yesterday = f.addCheque(u"1"_s, 100, today.addDays(-1));
    const int dueToday = f.addCheque(u"2"_s, 100, today);
    const int tomorrow = f.addCheque(u"3"_s, 100, today.addDays(1));
    const int nextMonth = f.addCheque(u"4"_s, 100, today.addMonths(1), u"pending"_s, u"issued"_s);
    const int bounced = f.addCheque(u"5"_s, 100, today.addMonths(2));
    const int paid = f.addCheque(u"6"_s, 100, today.addMonths(3), u"paid"_s);
    ChequeModel model(f.db());
    QVERIFY(model.updateStatus(bounced, u"bounced"_s));

    QCOMPARE(ids(model.getPostDated()), (QList<int> { tomorrow, nextMonth }));
    QCOMPARE(ids(model.getPending()), (QList<int> { yesterday, dueToday, tomorrow, nextMonth }));
    QCOMPARE(ids(model.getAll()),
        (QList<int> { paid, bounced, nextMonth, tomorrow, dueToday, yesterday }));
    QCOMPARE(ids(model.getByType(u"issued"_s)), QList<int> { nextMonth });
    QCOMPARE(ids(model.getByStatus(u"bounced"_s)), QList<int> { bounced });
}

void TestCheques::lifecycle_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("allowed");
    const QString r = u"received"_s;
    const QString i = u"issued"_s;
    const QList<std::tuple<QString, QString, QString, bool>> rows {
        { r, u"pending"_s, u"deposited"_s, true },
        { r, u"pending"_s, u"paid"_s, true },
        { r, u"pending"_s, u"bounced"_s, true },
        { r, u"pending"_s, u"returned"_s, true },
        { r, u"pending"_s, u"cancelled"_s, false },
        { r, u"deposited"_s, u"paid"_s, true },
        { r, u"deposited"_s, u"bounced"_s, true },
        { r, u"deposited"_s, u"returned"_s, false },
        { r, u"deposited"_s, u"deposited"_s, false },
        { r, u"paid"_s, u"bounced"_s, true },
        { r, u"paid"_s, u"deposited"_s, false },
        { r, u"paid"_s, u"returned"_s, false },
        { r, u"bounced"_s, u"paid"_s, false },
        { r, u"bounced"_s, u"deposited"_s, false },
        { r, u"returned"_s, u"deposited"_s, false },
        { r, u"returned"_s, u"paid"_s, false },
        { i, u"pending"_s, u"paid"_s, true },
        { i, u"pending"_s, u"cancelled"_s, true },
        { i, u"pending"_s, u"bounced"_s, true },
        { i, u"pending"_s, u"deposited"_s, false },
        { i, u"pending"_s, u"returned"_s, false },
        { i, u"paid"_s, u"bounced"_s, false },
        { i, u"cancelled"_s, u"paid"_s, false },
    };
    for (const auto &[type, from, to, allowed] : rows)
        QTest::newRow(qPrintable(type + u" "_s + from + u" → "_s + to))
            << type << from << to << allowed;
}

// Each move through the operation that makes it: done and in the history when allowed, refused
// with a reason and nothing written when not.
void TestCheques::lifecycle()
{
    QFETCH(QString, type);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, allowed);
    TestFixture f;
    const int id = f.addCheque(u"1"_s, 100, TestFixture::today(), from, type);
    ChequeModel model(f.db());
    QSignalSpy changed(&model, &ChequeModel::dataChanged);
    const QVariantList before = snapshot(f);

    const bool done = to == u"deposited"_s ? model.deposit(id)
        : to == u"paid"_s                  ? model.clear(id)
        : to == u"bounced"_s               ? model.bounce(id, u"signature"_s)
        : to == u"returned"_s              ? model.returnToDrawer(id)
                                           : model.cancel(id);

    QCOMPARE(done, allowed);
    QCOMPARE(model.canMove(type, from, to), allowed);
    QCOMPARE(changed.count(), allowed ? 1 : 0);
    if (!allowed) {
        QVERIFY(!model.lastRefusal().isEmpty());
        QCOMPARE(snapshot(f), before);
        return;
    }
    QCOMPARE(f.scalar(u"SELECT status FROM cheques WHERE id=?"_s, { id }).toString(), to);
    QCOMPARE(f.scalar(u"SELECT status_date FROM cheques WHERE id=?"_s, { id }).toString(),
        TestFixture::iso(TestFixture::today()));
    const QVariantList history = model.history(id);
    QCOMPARE(history.size(), 2);
    QCOMPARE(history.last().toMap().value(u"status"_s).toString(), to);
    QCOMPARE(history.last().toMap().value(u"event_date"_s).toString(),
        TestFixture::iso(TestFixture::today()));
}

void TestCheques::bounceAfterClearingRestoresBalances_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("deposited");
    QTest::newRow("tenant invoice") << u"invoice"_s << false;
    QTest::newRow("lease rent, deposited first") << u"lease"_s << true;
    QTest::newRow("buyer installment") << u"installment"_s << false;
    QTest::newRow("buyer installment, deposited first") << u"installment"_s << true;
}

// Clearing records the payment; the bounce undoes it to the cent, raises the alert, and a
// replacement settles the alert.
void TestCheques::bounceAfterClearingRestoresBalances()
{
    QFETCH(QString, target);
    QFETCH(bool, deposited);
    TestFixture f;
    Debts d(f);
    ChequeModel model(f.db());
    const int id = linkedCheque(model, d, target);
    QVERIFY(id > 0);
    const QString owed = target == u"installment"_s
        ? u"SELECT paid_amount, status FROM installments WHERE id=%1"_s.arg(d.installment)
        : u"SELECT (SELECT balance FROM tenants WHERE id=%1), paid_amount, balance, status "
          "FROM invoices WHERE id=%2"_s.arg(d.tenant)
              .arg(d.invoice);
    const QString before = f.joined(owed);

    if (deposited) {
        QVERIFY(model.deposit(id));
        QCOMPARE(f.joined(owed), before);
    }
    QVERIFY2(model.clear(id), qPrintable(model.lastRefusal()));
    const QString cleared
        = target == u"installment"_s ? u"750.35/paid"_s : u"0.0/1000.1/0.0/paid"_s;
    QCOMPARE(f.joined(owed), cleared);
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM payments WHERE cheque_id=? AND payment_method="
                      "'cheque' AND reference='77'"_s,
                  { id })
                 .toInt(),
        1);
    QVERIFY(!alertTypes(f).contains(u"cheque_bounced"_s));

    QVERIFY2(model.bounce(id, u"insufficient_funds"_s), qPrintable(model.lastRefusal()));
    QCOMPARE(f.joined(owed), before);
    QCOMPARE(f.scalar(u"SELECT SUM(amount) FROM payments"_s).toDouble(), 0.0);
    QCOMPARE(f.scalar(u"SELECT bounce_reason FROM cheques WHERE id=?"_s, { id }).toString(),
        u"insufficient_funds"_s);
    QVERIFY(alertTypes(f).contains(u"cheque_bounced"_s));
    QCOMPARE(model.getUnsettledBounces().size(), 1);

    const int replacement = model.replace(
        id, u"78"_s, 500, u"بنك"_s, TestFixture::iso(TestFixture::today().addDays(7)));
    QVERIFY(replacement > 0);
    QVERIFY(!alertTypes(f).contains(u"cheque_bounced"_s));
    QCOMPARE(model.replace(id, u"79"_s, 500, u"بنك"_s, TestFixture::iso(TestFixture::today())), -1);
    const QVariantMap row = f.db()->getById(u"cheques"_s, replacement);
    QCOMPARE(row.value(u"replaces_cheque_id"_s).toInt(), id);
    QCOMPARE(
        row.value(u"installment_id"_s).toInt(), target == u"installment"_s ? d.installment : 0);
}

void TestCheques::bounceFee_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<double>("fee");
    QTest::newRow("tenant, no fee set") << u"invoice"_s << 0.0;
    QTest::newRow("tenant charged 25.50") << u"lease"_s << 25.5;
    QTest::newRow("buyer charged 40") << u"installment"_s << 40.0;
}

// The fee is owed by the drawer: a service invoice for a tenant, a note on the installment.
void TestCheques::bounceFee()
{
    QFETCH(QString, target);
    QFETCH(double, fee);
    TestFixture f;
    Debts d(f);
    SettingsManager settings(f.db());
    if (fee > 0)
        QVERIFY(settings.setBounceFee(fee));
    QCOMPARE(settings.bounceFee(), fee);
    ChequeModel model(f.db());
    const int id = linkedCheque(model, d, target);
    const int invoicesBefore = f.count(u"invoices"_s);
    QVERIFY(model.bounce(id, u"stopped"_s, u"اتصل البنك"_s));

    QCOMPARE(model.history(id).last().toMap().value(u"note"_s).toString(),
        u"أوقف الساحب صرفه - اتصل البنك"_s);
    if (target == u"installment"_s) {
        QVERIFY(f.scalar(u"SELECT notes FROM installments WHERE id=?"_s, { d.installment })
                    .toString()
                    .contains(u"رسوم شيك مرتجع رقم 77: 40.00"_s));
        QCOMPARE(f.count(u"invoices"_s), invoicesBefore);
        return;
    }
    QCOMPARE(f.count(u"invoices"_s), invoicesBefore + (fee > 0 ? 1 : 0));
    QCOMPARE(f.tenantBalance(d.tenant), 1000.10 + fee);
    if (fee > 0) {
        QCOMPARE(
            f.scalar(u"SELECT unit_price FROM invoice_items ORDER BY id DESC"_s).toDouble(), fee);
        QCOMPARE(f.scalar(u"SELECT unit_id FROM invoices ORDER BY id DESC"_s).toInt(), d.unit);
    }
}

void TestCheques::failureMidBounceChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("event");
    QTest::newRow("tenant: reversal payment") << u"invoice"_s << u"payments"_s << u"INSERT"_s;
    QTest::newRow("tenant: invoice reopened") << u"invoice"_s << u"invoices"_s << u"UPDATE"_s;
    QTest::newRow("tenant: fee invoice") << u"lease"_s << u"invoice_items"_s << u"INSERT"_s;
    QTest::newRow("tenant: history") << u"invoice"_s << u"cheque_events"_s << u"INSERT"_s;
    QTest::newRow("buyer: installment reopened")
        << u"installment"_s << u"installments"_s << u"UPDATE"_s;
    QTest::newRow("buyer: status") << u"installment"_s << u"cheques"_s << u"UPDATE"_s;
}

void TestCheques::failureMidBounceChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(QString, table);
    QFETCH(QString, event);
    TestFixture f;
    Debts d(f);
    SettingsManager settings(f.db());
    QVERIFY(settings.setBounceFee(15));
    ChequeModel model(f.db());
    const int id = linkedCheque(model, d, target);
    QVERIFY(model.clear(id));
    const QVariantList before = snapshot(f);
    const QStringList alerts = alertTypes(f);
    f.failWrites(table, event);
    QSignalSpy changed(&model, &ChequeModel::dataChanged);

    QVERIFY(!model.bounce(id, u"insufficient_funds"_s));

    QVERIFY(!model.lastRefusal().isEmpty());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(snapshot(f), before);
    QCOMPARE(alertTypes(f), alerts);
}

void TestCheques::clearingRefusedBeyondWhatIsOwed()
{
    TestFixture f;
    Debts d(f);
    ChequeModel model(f.db());
    const int tooMuch = model.add(u"9"_s, u"received"_s, 1000.11, {},
        TestFixture::iso(TestFixture::today()), {}, 1, 1.0, 0, d.tenant);
    QVERIFY(model.linkInvoices(tooMuch, { d.invoice }));
    const QVariantList before = snapshot(f);
    QVERIFY(!model.clear(tooMuch));
    QCOMPARE(model.lastRefusal(), u"مبلغ الشيك أكبر مما تبقى على الفواتير المرتبطة به"_s);
    QCOMPARE(snapshot(f), before);
    // Another tenant's cheque never pays this one's invoice.
    const int other = f.addTenant(u"رامي"_s, u"3"_s);
    const int foreign = model.add(u"10"_s, u"received"_s, 10, {},
        TestFixture::iso(TestFixture::today()), {}, 1, 1.0, 0, other);
    QVERIFY(!model.linkInvoices(foreign, { d.invoice }));
    QVERIFY(!model.linkLease(foreign, d.lease));
}

void TestCheques::leaseSignedWithCheques_data()
{
    QTest::addColumn<QString>("firstNumber");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<bool>("failing");
    QTest::newRow("numbered") << u"009901"_s << QStringList { u"9901"_s, u"9902"_s, u"9903"_s }
                              << false;
    QTest::newRow("not a number: the first only")
        << u"A-1"_s << QStringList { u"A-1"_s, u""_s, u""_s } << false;
    QTest::newRow("a cheque fails: no lease either") << u"1"_s << QStringList {} << true;
}

void TestCheques::leaseSignedWithCheques()
{
    QFETCH(QString, firstNumber);
    QFETCH(QStringList, numbers);
    QFETCH(bool, failing);
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"C3"_s);
    const int tenant = f.addTenant(u"سامي"_s, u"1"_s);
    if (failing)
        f.failWrites(u"cheques"_s);
    ContractModel contracts(f.db());
    const QDate start = TestFixture::today();
    const int lease = contracts.addWithCheques(unit, tenant, TestFixture::iso(start),
        TestFixture::iso(start.addYears(1)), 1200, u"monthly"_s, 0, 1, 3,
        TestFixture::iso(start.addDays(5)), 1200, u"بنك القدس"_s, firstNumber);
    if (failing) {
        QCOMPARE(lease, -1);
        QCOMPARE(f.count(u"contracts"_s), 0);
        QCOMPARE(f.scalar(u"SELECT status FROM units WHERE id=?"_s, { unit }).toString(),
            u"available"_s);
        return;
    }
    QVERIFY(lease > 0);
    const QVariantList rows = f.db()->execQuery(u"SELECT * FROM cheques ORDER BY due_date"_s);
    QCOMPARE(rows.size(), numbers.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QVariantMap row = rows.at(i).toMap();
        QCOMPARE(row.value(u"cheque_number"_s).toString(), numbers.at(i));
        QCOMPARE(
            row.value(u"due_date"_s).toString(), TestFixture::iso(start.addDays(5).addMonths(i)));
        QCOMPARE(row.value(u"contract_id"_s).toInt(), lease);
        QCOMPARE(row.value(u"tenant_id"_s).toInt(), tenant);
        QCOMPARE(row.value(u"payer_name"_s).toString(), u"سامي"_s);
        QCOMPARE(row.value(u"status"_s).toString(), u"pending"_s);
    }
}

// One register cheque per installment, for its amount and due date; numbered on from the first
// cheque, leading zeros not kept.
void TestCheques::saleRecordsInstallmentCheques()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"S1"_s);
    const int buyer = f.addBuyer(u"هالة"_s, u"2"_s);
    InstallmentModel installments(f.db());
    QVERIFY(installments.sellUnit(buyer, unit, 10000, 1000, 4,
                TestFixture::iso(TestFixture::today().addMonths(1)), 1, u"0099"_s, u"بنك"_s)
        > 0);
    QCOMPARE(f.joined(u"SELECT cheque_number FROM installments ORDER BY id"_s, {}, u" "_s),
        u"99 100 101 102"_s);
    const QVariantList pairs = f.db()->execQuery(
        u"SELECT c.cheque_number, c.amount, c.due_date, c.buyer_id, i.cheque_number as number, "
        "i.installment_amount, i.due_date as due FROM installments i JOIN cheques c ON "
        "c.installment_id=i.id ORDER BY i.due_date"_s);
    QCOMPARE(pairs.size(), 4);
    QCOMPARE(f.count(u"cheques"_s), 4);
    for (const QVariant &element : pairs) {
        const QVariantMap pair = element.toMap();
        QCOMPARE(pair.value(u"cheque_number"_s), pair.value(u"number"_s));
        QCOMPARE(pair.value(u"amount"_s), pair.value(u"installment_amount"_s));
        QCOMPARE(pair.value(u"due_date"_s), pair.value(u"due"_s));
        QCOMPARE(pair.value(u"buyer_id"_s).toInt(), buyer);
    }
}

void TestCheques::calendarByDayAndBank()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const auto add
        = [&f](const QString &bank, double amount, const QDate &due,
              const QString &status = u"pending"_s, const QString &type = u"received"_s) {
              const int id = f.addCheque(u"1"_s, amount, due, status, type);
              f.db()->execNonQuery(u"UPDATE cheques SET bank_name=? WHERE id=?"_s, { bank, id });
          };
    add(u"القدس"_s, 0.1, today);
    add(u"القدس"_s, 0.2, today);
    add(u"العربي"_s, 500, today.addDays(7));
    add(u"القدس"_s, 300, today.addDays(8));
    add(u"القدس"_s, 999, today.addDays(-1));
    add(u"القدس"_s, 999, today.addDays(2), u"deposited"_s);
    add(u"القدس"_s, 999, today.addDays(2), u"pending"_s, u"issued"_s);
    ChequeModel model(f.db());

    const QVariantMap week = model.calendar(7);
    const QVariantList days = week.value(u"days"_s).toList();
    QCOMPARE(days.size(), 2);
    QCOMPARE(days.at(0).toMap().value(u"due_date"_s).toString(), TestFixture::iso(today));
    QCOMPARE(days.at(0).toMap().value(u"count"_s).toInt(), 2);
    QCOMPARE(days.at(0).toMap().value(u"total"_s).toDouble(), 0.3);
    const QVariantList banks = week.value(u"banks"_s).toList();
    QCOMPARE(banks.size(), 2);
    QCOMPARE(banks.at(1).toMap().value(u"bank"_s).toString(), u"القدس"_s);
    QCOMPARE(banks.at(1).toMap().value(u"total"_s).toDouble(), 0.3);
    QCOMPARE(model.calendar(30).value(u"cheques"_s).toList().size(), 4);
}

QTEST_GUILESS_MAIN(TestCheques)
#include "tst_cheques.moc"
