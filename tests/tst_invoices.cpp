#include "invoicemodel.h"
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
    const QString p = thisPeriod();
    const QString none;
    const QVariantList rent { item(500) };
    QTest::newRow("period with a trailing newline") << u"2024-05\n"_s << rent << none << none << 0;
    QTest::newRow("paid invoice of the period blocks") << p << rent << u"paid"_s << none << 0;
    QTest::newRow("void invoice does not count") << p << rent << u"void"_s << none << -1;
    // Each total is finite; only their sum overflows.
    QTest::newRow("total overflowing the sum")
        << p << QVariantList { item(1.7e308), item(1.7e308) } << none << none << 0;
    QTest::newRow("balance update fails") << p << rent << none << u"tenants"_s << 1;
}

void TestInvoices::createInvoiceOutcomes()
{
    QFETCH(QString, period);
    QFETCH(QVariantList, items);
    QFETCH(QString, existing);
    QFETCH(QString, failing);
    QFETCH(int, errors);
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
    QCOMPARE(f.count(u"invoices"_s), (accepted ? 1 : 0) + (existing.isEmpty() ? 0 : 1));
    QCOMPARE(f.count(u"invoice_items"_s), accepted ? 1 : 0);
    QCOMPARE(f.tenantBalance(tenant), accepted ? 500.0 : 0.0);
    // A refused invoice neither blocks the period nor uses up a number.
    if (!accepted && failing.isEmpty() && existing.isEmpty())
        QCOMPARE(numberOf(model, issue(model, tenant)), prefixOf(QDate::currentDate()) + u"0001"_s);
}

void TestInvoices::voidInvoice_data()
{
    QTest::addColumn<QString>("failing");
    QTest::newRow("partly paid invoice") << QString();
    QTest::newRow("tenant update fails") << u"tenants"_s;
}

void TestInvoices::voidInvoice()
{
    QFETCH(QString, failing);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = f.addInvoice(tenant, 0, thisPeriod(), 540, u"partial"_s, 200);
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=340 WHERE id=?"_s, { tenant }));
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);

    const bool ok = failing.isEmpty();
    QCOMPARE(model.voidInvoice(id), ok);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), ok ? u"void"_s : u"partial"_s);
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), ok ? 0.0 : 340.0);
    // The tenant's balance drops by what was still open, not by the total.
    QCOMPARE(f.tenantBalance(tenant), ok ? 0.0 : 340.0);
    if (ok) {
        QVERIFY(!model.voidInvoice(id));
        QCOMPARE(f.tenantBalance(tenant), 0.0);
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
