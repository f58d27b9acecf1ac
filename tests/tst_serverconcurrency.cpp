#include "consistencycheck.h"
#include "contractmodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QTest>
#include <QThread>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

// Two operators on one server database doing the same thing at the same moment, each through a
// connection of its own in a thread of its own.
class TestServerConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void sameWorkAtOnce_data();
    void sameWorkAtOnce();
    void conflictedStatementRunsAgain_data();
    void conflictedStatementRunsAgain();
};

void TestServerConcurrency::sameWorkAtOnce_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("check"); // what must hold once both are done
    QTest::addColumn<double>("expected");
    QTest::newRow("one invoice paid in full twice")
        << u"invoice"_s << u"SELECT SUM(amount) FROM payments WHERE invoice_id IS NOT NULL"_s
        << 100.0;
    QTest::newRow("one installment paid in full twice")
        << u"installment"_s << u"SELECT SUM(amount) FROM payments WHERE buyer_id IS NOT NULL"_s
        << 100.0;
    QTest::newRow("the same month's rent run twice")
        << u"rent"_s << u"SELECT COUNT(*) FROM invoices WHERE contract_id IS NOT NULL"_s << 3.0;
    QTest::newRow("one unit sold to two buyers")
        << u"sale"_s
        << u"SELECT COUNT(DISTINCT buyer_id) FROM installments WHERE unit_id=(SELECT id FROM units "
           "WHERE unit_number='B1')"_s
        << 1.0;
    QTest::newRow("one unit leased to two tenants")
        << u"lease"_s
        << u"SELECT COUNT(*) FROM contracts WHERE tenant_id IN (SELECT id FROM "
           "tenants WHERE full_name LIKE 'طالب%')"_s
        << 1.0;
    QTest::newRow("one lease renewed twice")
        << u"renew"_s << u"SELECT COUNT(*) FROM contracts WHERE renewed_from IS NOT NULL"_s << 1.0;
    QTest::newRow("two invoices paid at once number their receipts apart")
        << u"receipts"_s
        << u"SELECT COUNT(DISTINCT serial) * 10 + MAX(serial) - MIN(serial) FROM vouchers "
           "WHERE kind='receipt'"_s
        << 21.0;
}

void TestServerConcurrency::sameWorkAtOnce()
{
    if (TestFixture::serverUrl().isEmpty())
        QSKIP("needs a server: set BELVARDINO_TEST_PG");
    QFETCH(QString, work);
    QFETCH(QString, check);
    QFETCH(double, expected);
    TestFixture f;
    const int property = f.addProperty();
    const int tenant = f.addTenant(u"سامي"_s);
    const int invoice = f.addInvoice(tenant, 0, QDate::currentDate().toString(u"yyyy-MM"_s), 100);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=100 WHERE id=?"_s, { tenant }));
    const int due = f.addInstallment(f.addBuyer(u"مشتري"_s),
        f.addUnit(property, u"S"_s, 0, u"sold"_s), 100, QDate::currentDate());
    const QDate start(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    for (const QString &unit : { u"A1"_s, u"A2"_s, u"A3"_s })
        f.addLease(f.addUnit(property, unit), f.addTenant(u"مستأجر "_s + unit), start,
            start.addYears(1).addDays(-1), 500);
    const int forSale = f.addUnit(property, u"B1"_s);
    const int toLet = f.addUnit(property, u"B2"_s);
    const int renewing = f.addLease(f.addUnit(property, u"B3"_s), f.addTenant(u"مجدد"_s),
        start.addYears(-1), start.addDays(-1), 400);
    const int otherTenant = f.addTenant(u"رامي"_s);
    const int otherInvoice = f.addInvoice(otherTenant, 0, start.toString(u"yyyy-MM"_s), 100);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=100 WHERE id=?"_s, { otherTenant }));
    const QString url = f.target();
    const QString period = start.toString(u"yyyy-MM"_s);
    const QString today = TestFixture::iso(QDate::currentDate());

    // Each operator's own party, so that a doubled write would show.
    const int buyers[] = { f.addBuyer(u"مشتري أول"_s), f.addBuyer(u"مشتري ثان"_s) };
    const int tenants[] = { f.addTenant(u"طالب أول"_s), f.addTenant(u"طالب ثان"_s) };
    const int invoices[] = { invoice, otherInvoice };

    const auto operatorRun = [&](const QString &connection, int who) {
        return QThread::create([=] {
            Database db;
            if (!db.initialize(url, connection))
                return;
            if (work == u"invoice"_s) {
                PaymentModel(&db).add(invoice, tenant, 100, u"cash"_s, today, QString(), 1);
            } else if (work == u"receipts"_s) {
                PaymentModel(&db).add(invoices[who],
                    db.getById(u"invoices"_s, invoices[who]).value(u"tenant_id"_s).toInt(), 100,
                    u"cash"_s, today, QString(), 1);
            } else if (work == u"installment"_s) {
                InstallmentModel(&db).payInstallment(due, 100);
            } else if (work == u"sale"_s) {
                InstallmentModel(&db).sellUnit(
                    buyers[who], forSale, 1200, 300, 3, today, 1, QString(), QString());
            } else if (work == u"lease"_s) {
                ContractModel(&db).add(toLet, tenants[who], TestFixture::iso(start),
                    TestFixture::iso(start.addYears(1).addDays(-1)), 450, u"monthly"_s, 0, 1);
            } else if (work == u"renew"_s) {
                ContractModel(&db).renew(
                    renewing, TestFixture::iso(start.addYears(1).addDays(-1)), 420, 0);
            } else {
                InvoiceModel(&db).generateAllRent(period);
            }
        });
    };
    // Four operators rather than two, so that a check made outside the write loses the race
    // on most runs.
    std::vector<std::unique_ptr<QThread>> operators;
    for (int who = 0; who < 4; ++who)
        operators.emplace_back(operatorRun(u"operator%1"_s.arg(who), who % 2));
    for (const auto &run : operators)
        run->start();
    for (const auto &run : operators)
        QVERIFY(run->wait(60000));
    QCOMPARE(f.scalar(check).toDouble(), expected);
    if (work == u"invoice"_s)
        QCOMPARE(f.tenantBalance(tenant), 0.0);
    if (work == u"sale"_s)
        QCOMPARE(
            f.scalar(u"SELECT COUNT(*) FROM payments WHERE unit_id=?"_s, { forSale }).toInt(), 1);
    const QStringList findings = ConsistencyCheck(f.db()).run();
    QVERIFY2(findings.isEmpty(), qPrintable(findings.join(u"; "_s)));
}

void TestServerConcurrency::conflictedStatementRunsAgain_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("conflicts"); // how many runs the server gives up before one succeeds
    QTest::addColumn<bool>("stored");
    QTest::newRow("a serialization failure once") << u"40001"_s << 1 << true;
    QTest::newRow("a deadlock three times") << u"40P01"_s << 3 << true;
    QTest::newRow("a deadlock every time") << u"40P01"_s << 100 << false;
    QTest::newRow("a constraint is no conflict") << u"23505"_s << 1 << false;
}

void TestServerConcurrency::conflictedStatementRunsAgain()
{
    if (TestFixture::serverUrl().isEmpty())
        QSKIP("needs a server: set BELVARDINO_TEST_PG");
    QFETCH(QString, state);
    QFETCH(int, conflicts);
    QFETCH(bool, stored);
    TestFixture f;
    const int tenant = f.addTenant(u"سامي"_s);
    const QString phone = u"SELECT phone FROM tenants WHERE id=?"_s;
    const QString before = f.scalar(phone, { tenant }).toString();
    // The server's answer to a conflict, given as often as the row asks: a sequence counts the
    // runs, since whatever the failing statement wrote is undone.
    QVERIFY(f.db()->execNonQuery(u"CREATE SEQUENCE bv_runs"_s));
    QVERIFY(f.db()->execNonQuery(uR"(CREATE FUNCTION bv_conflict() RETURNS trigger
LANGUAGE plpgsql AS $f$ BEGIN
  IF nextval('bv_runs') <= %1 THEN RAISE EXCEPTION 'conflict' USING ERRCODE = '%2'; END IF;
  RETURN NEW;
END $f$)"_s.arg(conflicts)
                                     .arg(state)));
    QVERIFY(f.db()->execNonQuery(u"CREATE TRIGGER bv_conflict BEFORE UPDATE ON tenants FOR EACH "
                                 "ROW EXECUTE FUNCTION bv_conflict()"_s));

    QCOMPARE(f.db()->execNonQuery(
                 u"UPDATE tenants SET phone=? WHERE id=?"_s, { u"0599123456"_s, tenant }),
        stored);
    QCOMPARE(f.scalar(phone, { tenant }).toString(), stored ? u"0599123456"_s : before);
    // Three more runs at most, and a refusal of another kind is not repeated.
    const bool conflict = state.startsWith(u"40"_s);
    QCOMPARE(f.scalar(u"SELECT last_value FROM bv_runs"_s).toInt(),
        conflict ? qMin(conflicts + 1, 4) : 1);
}

QTEST_GUILESS_MAIN(TestServerConcurrency)
#include "tst_serverconcurrency.moc"
