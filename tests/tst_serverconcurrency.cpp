#include "installmentmodel.h"
#include "invoicemodel.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <functional>

using namespace Qt::StringLiterals;

// Two operators on one server database doing the same thing at the same moment, each through a
// connection of its own in a thread of its own.
class TestServerConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void sameWorkAtOnce_data();
    void sameWorkAtOnce();
};

namespace {

// The URL of the fixture's own server database.
QString urlOf(TestFixture &f)
{
    static const QRegularExpression path(u"^(postgres(?:ql)?://[^/?]*)(/[^?]*)?(\\?.*)?$"_s);
    const QString name = f.scalar(u"SELECT current_database()"_s).toString();
    return TestFixture::serverUrl().replace(path, u"\\1/"_s + name + u"\\3"_s);
}

} // namespace

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
    const QString url = urlOf(f);
    const QString period = start.toString(u"yyyy-MM"_s);

    const auto operatorRun = [&](const QString &connection) {
        return QThread::create([=] {
            Database db;
            if (!db.initialize(url, connection))
                return;
            if (work == u"invoice"_s) {
                PaymentModel(&db).add(invoice, tenant, 100, u"cash"_s,
                    TestFixture::iso(QDate::currentDate()), QString(), 1);
            } else if (work == u"installment"_s) {
                InstallmentModel(&db).payInstallment(due, 100);
            } else {
                InvoiceModel(&db).generateAllRent(period);
            }
        });
    };
    std::unique_ptr<QThread> first(operatorRun(u"first"_s));
    std::unique_ptr<QThread> second(operatorRun(u"second"_s));
    first->start();
    second->start();
    QVERIFY(first->wait(60000));
    QVERIFY(second->wait(60000));
    QCOMPARE(f.scalar(check).toDouble(), expected);
    if (work == u"invoice"_s)
        QCOMPARE(f.tenantBalance(tenant), 0.0);
}

QTEST_GUILESS_MAIN(TestServerConcurrency)
#include "tst_serverconcurrency.moc"
