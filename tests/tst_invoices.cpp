#include "invoicemodel.h"
#include "money.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString prefixOf(const QDate &date) { return u"INV-"_s + date.toString(u"yyyyMM"_s) + u"-"_s; }

QString thisPeriod() { return QDate::currentDate().toString(u"yyyy-MM"_s); }

QVariantMap item(const QVariant &total, const QString &key = QString(), const QVariant &value = {})
{
    QVariantMap map { { u"description"_s, u"إيجار"_s } };
    if (total.isValid())
        map.insert(u"total"_s, total);
    if (!key.isEmpty())
        map.insert(key, value);
    return map;
}

int issue(InvoiceModel &model, int tenant, const QString &period = thisPeriod(),
    const QVariantList &items = { item(500) })
{
    return model.createInvoice(tenant, 0, period, items, 1);
}

QString numberOf(InvoiceModel &model, int id)
{
    return model.getById(id).value(u"invoice_number"_s).toString();
}

} // namespace

class TestInvoices : public QObject
{
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void createInvoiceOutcomes_data();
    void createInvoiceOutcomes();
    void voidInvoice_data();
    void voidInvoice();
    void updatePaidAmount();
};

void TestInvoices::numbering_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("voided");
    QTest::addColumn<QString>("expected");
    const QDate today = QDate::currentDate();
    const QString p = prefixOf(today);
    QTest::newRow("other months ignored")
        << QStringList { prefixOf(today.addMonths(-1)) + u"0042"_s,
               prefixOf(today.addMonths(1)) + u"0042"_s, prefixOf(today.addYears(-1)) + u"0042"_s }
        << QString() << u"0001"_s;
    QTest::newRow("voided number is never reused")
        << QStringList { p + u"0006"_s, p + u"0007"_s } << p + u"0007"_s << u"0008"_s;
    QTest::newRow("five digits compare as numbers")
        << QStringList { p + u"10000"_s, p + u"9999"_s } << QString() << u"10001"_s;
}

void TestInvoices::numbering()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, voided);
    QFETCH(QString, expected);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    for (const QString &number : existing)
        f.insert(u"INSERT INTO invoices (invoice_number, tenant_id, period, status) "
                 "VALUES (?,?,'2020-01',?)"_s,
            { number, tenant, number == voided ? u"void"_s : u"pending"_s });

    QCOMPARE(numberOf(model, issue(model, tenant)), prefixOf(QDate::currentDate()) + expected);
}

void TestInvoices::createInvoiceOutcomes_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QVariantList>("items");
    QTest::addColumn<QString>("existing"); // status of an invoice already issued this month
    QTest::addColumn<QString>("failing"); // a table whose updates fail
    QTest::addColumn<int>("errors"); // -1: accepted
    QTest::addColumn<double>("total");
    const QString p = thisPeriod();
    const QString none;
    const QVariantList rent { item(500) };
    QVariantMap overPriced = item(100, u"quantity"_s, 2);
    overPriced.insert(u"unit_price"_s, 6e8);
    QTest::newRow("period with a trailing newline")
        << u"2024-05\n"_s << rent << none << none << 0 << 0.0;
    // A custom invoice never waits on the tenant's other invoices of the month.
    QTest::newRow("paid invoice of the period") << p << rent << u"paid"_s << none << -1 << 500.0;
    QTest::newRow("pending invoice of the period")
        << p << rent << u"pending"_s << none << -1 << 500.0;
    QTest::newRow("total overflowing the sum")
        << p << QVariantList { item(1.7e308), item(1.7e308) } << none << none << 0 << 0.0;
    QTest::newRow("amount of twenty digits")
        << p << QVariantList { item(99999999999999999999.0) } << none << none << 0 << 0.0;
    QTest::newRow("amount at the ceiling")
        << p << QVariantList { item(1e9) } << none << none << -1 << 1e9;
    QTest::newRow("a cent over the ceiling")
        << p << QVariantList { item(1e9 + 0.01) } << none << none << 0 << 0.0;
    QTest::newRow("quantity times price over the ceiling")
        << p << QVariantList { overPriced } << none << none << 0 << 0.0;
    QTest::newRow("lines summing over the ceiling")
        << p << QVariantList { item(6e8), item(6e8) } << none << none << 0 << 0.0;
    QTest::newRow("cents summed exactly")
        << p << QVariantList { item(0.1), item(0.2) } << none << none << -1 << 0.3;
    QTest::newRow("balance update fails") << p << rent << none << u"tenants"_s << 1 << 0.0;
}

void TestInvoices::createInvoiceOutcomes()
{
    QFETCH(QString, period);
    QFETCH(QVariantList, items);
    QFETCH(QString, existing);
    QFETCH(QString, failing);
    QFETCH(int, errors);
    QFETCH(double, total);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    if (!existing.isEmpty())
        f.addInvoice(tenant, 0, thisPeriod(), 300, existing);
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    QSignalSpy errorSpy(f.db(), &Database::databaseError);

    const int id = issue(model, tenant, period, items);
    const bool accepted = errors < 0;
    QCOMPARE(id > 0, accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(errorSpy.count(), accepted ? 0 : errors);
    // A refusal is explained.
    QCOMPARE(model.lastRefusal().isEmpty(), accepted);
    QCOMPARE(f.count(u"invoices"_s), (accepted ? 1 : 0) + (existing.isEmpty() ? 0 : 1));
    QCOMPARE(f.count(u"invoice_items"_s), accepted ? items.size() : 0);
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(total));
    // A refused invoice neither blocks the period nor uses up a number.
    if (!accepted && failing.isEmpty() && existing.isEmpty())
        QCOMPARE(numberOf(model, issue(model, tenant)), prefixOf(QDate::currentDate()) + u"0001"_s);
}

void TestInvoices::voidInvoice_data()
{
    QTest::addColumn<double>("paid");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<bool>("voided");
    QTest::newRow("open invoice") << 0.0 << u"فاتورة مكررة"_s << QString() << true;
    QTest::newRow("partly paid invoice") << 200.0 << u"فاتورة مكررة"_s << QString() << false;
    QTest::newRow("a cent paid") << 0.01 << u"فاتورة مكررة"_s << QString() << false;
    QTest::newRow("blank reason") << 0.0 << u"  "_s << QString() << false;
    QTest::newRow("tenant update fails") << 0.0 << u"فاتورة مكررة"_s << u"tenants"_s << false;
}

void TestInvoices::voidInvoice()
{
    QFETCH(double, paid);
    QFETCH(QString, reason);
    QFETCH(QString, failing);
    QFETCH(bool, voided);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id
        = f.addInvoice(tenant, 0, thisPeriod(), 540, paid > 0 ? u"partial"_s : u"pending"_s, paid);
    const int other = f.addInvoice(tenant, 0, thisPeriod(), 60.25);
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE tenants SET balance=? WHERE id=?"_s, { 600.25 - paid, tenant }));
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    const QVariantMap preview = model.voidPreview(id);
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QCOMPARE(model.voidInvoice(id, reason), voided);
    QCOMPARE(changed.count(), voided ? 1 : 0);
    QCOMPARE(model.lastRefusal().isEmpty(), voided);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString() == u"void"_s, voided);
    // The tenant owes exactly the other invoice, as the confirmation said beforehand.
    const double after = voided ? 60.25 : 600.25 - paid;
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(after));
    QCOMPARE(Money::cents(preview.value(u"tenant_balance_after"_s).toDouble()),
        Money::cents(Money::isZero(paid) ? 60.25 : 600.25 - paid));
    QCOMPARE(preview.value(u"refusal"_s).toString().isEmpty(), Money::isZero(paid));
    if (voided) {
        QVERIFY(invoice.value(u"notes"_s).toString().contains(reason));
        QVERIFY(!model.voidInvoice(other, QString()));
        QVERIFY(!model.voidInvoice(id, reason));
        QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(after));
    }
}

void TestInvoices::updatePaidAmount()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = f.addInvoice(tenant, 0, thisPeriod(), 100, u"pending"_s);
    const int voided = f.addInvoice(tenant, 0, u"2020-01"_s, 100, u"void"_s);

    QVERIFY(!model.updatePaidAmount(voided, 50));
    QVERIFY(!model.updatePaidAmount(id, std::numeric_limits<double>::quiet_NaN()));
    QCOMPARE(model.getById(id).value(u"paid_amount"_s).toDouble(), 0.0);
    QVERIFY(model.updatePaidAmount(id, 100));
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), u"paid"_s);
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), 0.0);
    QCOMPARE(model.getById(voided).value(u"status"_s).toString(), u"void"_s);
    QCOMPARE(model.getById(voided).value(u"paid_amount"_s).toDouble(), 0.0);
}

QTEST_GUILESS_MAIN(TestInvoices)
#include "tst_invoices.moc"
