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
    void itemDefaults();
    void createInvoiceOutcomes_data();
    void createInvoiceOutcomes();
    void voidInvoice_data();
    void voidInvoice();
    void updatePaidAmount_data();
    void updatePaidAmount();
    void latestPageOfTheList();
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
    QTest::newRow("gap is not filled")
        << QStringList { p + u"0001"_s, p + u"0005"_s } << QString() << u"0006"_s;
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

void TestInvoices::itemDefaults()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    QVariantMap kept = item(40, u"type"_s, u"rent"_s);
    kept.insert(u"quantity"_s, 2.5);
    const int id = issue(model, tenant, thisPeriod(),
        { item(40, u"quantity"_s, u"كثير"_s), item(40, u"quantity"_s, 0), kept, item({}) });

    QStringList stored;
    for (const QVariant &row : model.getItems(id)) {
        const QVariantMap line = row.toMap();
        stored << u"%1/%2/%3"_s.arg(line.value(u"type"_s).toString())
                      .arg(line.value(u"quantity"_s).toDouble())
                      .arg(line.value(u"total"_s).isNull() ? u"NULL"_s : u"set"_s);
    }
    QCOMPARE(stored,
        (QStringList {
            u"service/1/set"_s, u"service/1/set"_s, u"rent/2.5/set"_s, u"service/1/NULL"_s }));
    // A line without a total adds nothing.
    QCOMPARE(model.getById(id).value(u"balance"_s).toDouble(), 120.0);
    QCOMPARE(f.tenantBalance(tenant), 120.0);
}

void TestInvoices::createInvoiceOutcomes_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QVariantList>("items");
    QTest::addColumn<QString>("existing"); // status of an invoice already issued this month
    QTest::addColumn<QString>("failing"); // a table whose updates fail
    QTest::addColumn<int>("errors"); // -1: accepted
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QString p = thisPeriod();
    const QString none;
    const QVariantList rent { item(500) };
    // Two copies of the line: the last row only overflows once summed.
    const auto twice = [](const QVariantMap &line) { return QVariantList { line, line }; };
    QTest::newRow("valid December") << u"2024-12"_s << rent << none << none << -1;
    const std::pair<const char *, QString> badPeriods[] { { "month 13", u"2024-13"_s },
        { "month 00", u"2024-00"_s }, { "single digit month", u"2024-5"_s },
        { "trailing newline", u"2024-05\n"_s }, { "Arabic-Indic digits", u"٢٠٢٤-٠٥"_s },
        { "empty", QString() } };
    for (const auto &[name, period] : badPeriods)
        QTest::newRow(name) << period << rent << none << none << 0;
    QTest::newRow("pending invoice of the period blocks") << p << rent << u"pending"_s << none << 0;
    QTest::newRow("paid invoice of the period blocks") << p << rent << u"paid"_s << none << 0;
    QTest::newRow("void invoice does not count") << p << rent << u"void"_s << none << -1;
    QTest::newRow("other period does not count")
        << QDate::currentDate().addMonths(1).toString(u"yyyy-MM"_s) << rent << u"pending"_s << none
        << -1;
    QTest::newRow("NaN total") << p << twice(item(nan)) << none << none << 0;
    QTest::newRow("negative infinite total") << p << twice(item(-inf)) << none << none << 0;
    QTest::newRow("infinite unit price")
        << p << twice(item(10, u"unit_price"_s, inf)) << none << none << 0;
    QTest::newRow("total overflowing the sum") << p << twice(item(1.7e308)) << none << none << 0;
    QTest::newRow("second item refused")
        << p << QVariantList { item(500), item(40, u"description"_s, QVariant()) } << none << none
        << 1;
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

void TestInvoices::updatePaidAmount_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("after"); // empty when refused
    QTest::newRow("nothing paid") << u"pending"_s << 0.0 << u"partial"_s;
    QTest::newRow("exactly paid") << u"pending"_s << 100.0 << u"paid"_s;
    QTest::newRow("overpaid") << u"pending"_s << 150.0 << u"paid"_s;
    QTest::newRow("void invoice") << u"void"_s << 50.0 << QString();
    QTest::newRow("NaN amount") << u"pending"_s << std::numeric_limits<double>::quiet_NaN()
                                << QString();
}

void TestInvoices::updatePaidAmount()
{
    QFETCH(QString, status);
    QFETCH(double, amount);
    QFETCH(QString, after);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = f.addInvoice(tenant, 0, thisPeriod(), 100, status);
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE invoices SET balance=0 WHERE id=? AND status='void'"_s, { id }));

    const bool accepted = !after.isEmpty();
    QCOMPARE(model.updatePaidAmount(id, amount), accepted);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), accepted ? after : status);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), accepted ? amount : 0.0);
    if (accepted)
        QCOMPARE(invoice.value(u"balance"_s).toDouble(), 100 - amount);
}

void TestInvoices::latestPageOfTheList()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QList<int> ids;
    for (int month = 1; month <= 3; ++month)
        ids << issue(model, f.addTenant(u"مستأجر"_s + QString::number(month)));
    // Issued in the same second, the newest invoice still comes first.
    const QVariantList latest = model.getLatest(2);
    QCOMPARE(latest.size(), 2);
    QCOMPARE(latest.at(0).toMap().value(u"id"_s).toInt(), ids.at(2));
    QCOMPARE(latest.at(1).toMap().value(u"id"_s).toInt(), ids.at(1));
}

QTEST_GUILESS_MAIN(TestInvoices)
#include "tst_invoices.moc"
