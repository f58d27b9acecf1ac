#include "invoicemodel.h"
#include "money.h"
#include "settingsmanager.h"
#include "testfixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kShekel = 1;
constexpr int kDollar = 2;

// An open invoice of 1000 due three months ago on the 28th.
struct Debt
{
    explicit Debt(TestFixture &f, int currencyId = kShekel)
    {
        tenant = f.addTenant(u"سامي"_s, u"900"_s);
        invoice = f.addInvoice(
            tenant, 0, TestFixture::today().addMonths(-3).toString(u"yyyy-MM"_s), 1000);
        f.db()->execNonQuery(
            u"UPDATE invoices SET currency_id=? WHERE id=?"_s, { currencyId, invoice });
        due = QDate::fromString(
            f.scalar(u"SELECT due_date FROM invoices WHERE id=?"_s, { invoice }).toString(),
            Qt::ISODate);
    }
    int tenant = 0;
    int invoice = 0;
    QDate due;
};

} // namespace

class TestLateFees : public QObject
{
    Q_OBJECT

private slots:
    void gracePeriod_data();
    void gracePeriod();
    void chargedOnce();
    void currencies_data();
    void currencies();
    void offByDefault();
};

void TestLateFees::gracePeriod_data()
{
    QTest::addColumn<int>("grace");
    QTest::addColumn<int>("daysLate");
    QTest::addColumn<int>("charged");
    QTest::newRow("on the due day") << 0 << 0 << 0;
    QTest::newRow("a day late without grace") << 0 << 1 << 1;
    QTest::newRow("last day of grace") << 5 << 5 << 0;
    QTest::newRow("first day after grace") << 5 << 6 << 1;
}

void TestLateFees::gracePeriod()
{
    QFETCH(int, grace);
    QFETCH(int, daysLate);
    QFETCH(int, charged);
    TestFixture f;
    SettingsManager settings(f.db());
    InvoiceModel invoices(f.db());
    QVERIFY(settings.setLateFeePolicy(true, grace, u"fixed"_s, 25));
    const Debt debt(f);

    QCOMPARE(invoices.applyLateFees(TestFixture::iso(debt.due.addDays(daysLate))), charged);
    QCOMPARE(f.count(u"late_fees"_s), charged);
    QCOMPARE(Money::cents(f.tenantBalance(debt.tenant)), qint64(2500) * charged);
}

// A second run, later, charges nothing again: not the invoice, not its fee, not the installment.
void TestLateFees::chargedOnce()
{
    TestFixture f;
    SettingsManager settings(f.db());
    InvoiceModel invoices(f.db());
    QVERIFY(settings.setLateFeePolicy(true, 0, u"percent"_s, 2));
    const Debt debt(f);
    const int buyer = f.addBuyer(u"هالة"_s, u"902"_s);
    const int unit = f.addUnit(f.addProperty(), u"5"_s);
    const int installment = f.addInstallment(buyer, unit, 750, debt.due);
    const QString first = TestFixture::iso(debt.due.addDays(3));

    QCOMPARE(invoices.applyLateFees(first), 2);
    QCOMPARE(invoices.lastRunReport().value(u"issued"_s).toList().size(), 2);
    QCOMPARE(Money::cents(f.tenantBalance(debt.tenant)), 2000);
    QCOMPARE(
        Money::cents(f.scalar(u"SELECT balance FROM buyers WHERE id=?"_s, { buyer }).toDouble()),
        1500);
    QVERIFY(f.scalar(u"SELECT notes FROM installments WHERE id=?"_s, { installment })
                .toString()
                .contains(u"غرامة تأخير"_s));
    QCOMPARE(f.count(u"installments"_s), 1);

    QCOMPARE(invoices.applyLateFees(first), 0);
    QCOMPARE(invoices.applyLateFees(TestFixture::iso(debt.due.addMonths(3))), 0);
    QCOMPARE(invoices.lastRunReport().value(u"alreadyBilled"_s).toInt(), 2);
    QCOMPARE(f.count(u"late_fees"_s), 2);
    QCOMPARE(f.count(u"invoices"_s), 2);
}

void TestLateFees::currencies_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("currency");
    // A rate entered dollar → shekel (4), or shekel → dollar (0.25), or none (0).
    QTest::addColumn<int>("rateWay");
    QTest::addColumn<qint64>("feeCents");
    QTest::newRow("percentage stays in the invoice's currency")
        << u"percent"_s << 10.0 << kDollar << 0 << qint64(10000);
    QTest::newRow("fixed fee in shekels on a shekel invoice")
        << u"fixed"_s << 20.0 << kShekel << 0 << qint64(2000);
    QTest::newRow("fixed fee converted at a dollar rate")
        << u"fixed"_s << 20.0 << kDollar << 1 << qint64(500);
    QTest::newRow("fixed fee converted at a shekel rate")
        << u"fixed"_s << 20.0 << kDollar << 2 << qint64(500);
    QTest::newRow("no rate, no fee") << u"fixed"_s << 20.0 << kDollar << 0 << qint64(0);
}

void TestLateFees::currencies()
{
    QFETCH(QString, mode);
    QFETCH(double, value);
    QFETCH(int, currency);
    QFETCH(int, rateWay);
    QFETCH(qint64, feeCents);
    TestFixture f;
    SettingsManager settings(f.db());
    InvoiceModel invoices(f.db());
    QVERIFY(settings.setLateFeePolicy(true, 0, mode, value));
    const Debt debt(f, currency);
    const QDate day = debt.due.addDays(10);
    if (rateWay == 1)
        f.addRate(kDollar, kShekel, 4, debt.due);
    if (rateWay == 2)
        f.addRate(kShekel, kDollar, 0.25, debt.due);
    // A rate set after the day of the run is not used.
    f.addRate(kDollar, kShekel, 3, day.addDays(1));

    QCOMPARE(invoices.applyLateFees(TestFixture::iso(day)), feeCents > 0 ? 1 : 0);
    const QVariantMap fee
        = f.db()->execQuery(u"SELECT amount, currency_id FROM late_fees"_s).value(0).toMap();
    QCOMPARE(Money::cents(fee.value(u"amount"_s).toDouble()), feeCents);
    if (feeCents > 0) {
        QCOMPARE(fee.value(u"currency_id"_s).toInt(), currency);
        QCOMPARE(f.scalar(u"SELECT currency_id FROM invoices WHERE id=(SELECT fee_invoice_id "
                          "FROM late_fees)"_s)
                     .toInt(),
            currency);
    } else {
        QCOMPARE(invoices.lastRunReport().value(u"skipped"_s).toList().size(), 1);
    }
}

void TestLateFees::offByDefault()
{
    TestFixture f;
    SettingsManager settings(f.db());
    InvoiceModel invoices(f.db());
    const Debt debt(f);
    QVERIFY(!settings.lateFeePolicy().value(u"enabled"_s).toBool());
    QCOMPARE(invoices.applyLateFees(TestFixture::iso(debt.due.addMonths(1))), 0);
    QVERIFY(!invoices.lastRefusal().isEmpty());
    QVERIFY(!settings.setLateFeePolicy(true, 0, u"percent"_s, 120));
    QVERIFY(!settings.setLateFeePolicy(true, -1, u"fixed"_s, 10));
    QCOMPARE(f.count(u"late_fees"_s), 0);
}

QTEST_GUILESS_MAIN(TestLateFees)
#include "tst_latefees.moc"
