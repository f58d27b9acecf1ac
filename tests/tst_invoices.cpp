#include "invoicemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString prefixOf(const QDate &date) { return u"INV-"_s + date.toString(u"yyyyMM"_s) + u"-"_s; }

QString thisPeriod() { return QDate::currentDate().toString(u"yyyy-MM"_s); }

QVariantMap item(const QVariant &description, const QVariant &total, const QString &key = QString(),
    const QVariant &value = QVariant())
{
    QVariantMap map;
    if (description.isValid())
        map.insert(u"description"_s, description);
    if (total.isValid())
        map.insert(u"total"_s, total);
    if (!key.isEmpty())
        map.insert(key, value);
    return map;
}

int issue(InvoiceModel &model, int tenant, const QString &period = thisPeriod(),
    const QVariantList &items = { item(u"إيجار"_s, 500) })
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
    void itemDefaults_data();
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
    QTest::newRow("first of the month") << QStringList() << QString() << u"0001"_s;
    QTest::newRow("follows the last") << QStringList { p + u"0001"_s } << QString() << u"0002"_s;
    QTest::newRow("other months ignored")
        << QStringList { prefixOf(today.addMonths(-1)) + u"0042"_s,
               prefixOf(today.addMonths(1)) + u"0042"_s, prefixOf(today.addYears(-1)) + u"0042"_s }
        << QString() << u"0001"_s;
    QTest::newRow("voided number is never reused")
        << QStringList { p + u"0006"_s, p + u"0007"_s } << p + u"0007"_s << u"0008"_s;
    QTest::newRow("gap is not filled")
        << QStringList { p + u"0001"_s, p + u"0005"_s } << QString() << u"0006"_s;
    QTest::newRow("grows past four digits")
        << QStringList { p + u"9999"_s } << QString() << u"10000"_s;
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

void TestInvoices::itemDefaults_data()
{
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QVariant>("unitPrice");
    QTest::addColumn<QVariant>("total");
    const QString water = u"مياه"_s;
    const QString service = u"service"_s;
    const QVariant none;
    QTest::newRow("type service, quantity 1, no unit price")
        << item(water, 40) << service << 1.0 << none << QVariant(40.0);
    QTest::newRow("negative quantity becomes 1")
        << item(water, 40, u"quantity"_s, -2) << service << 1.0 << none << QVariant(40.0);
    QTest::newRow("zero quantity becomes 1")
        << item(water, 40, u"quantity"_s, 0) << service << 1.0 << none << QVariant(40.0);
    QTest::newRow("text quantity becomes 1")
        << item(water, 40, u"quantity"_s, u"كثير"_s) << service << 1.0 << none << QVariant(40.0);
    QVariantMap kept = item(water, 40, u"type"_s, u"rent"_s);
    kept.insert(u"quantity"_s, 2.5);
    kept.insert(u"unit_price"_s, 16);
    QTest::newRow("given values kept")
        << kept << u"rent"_s << 2.5 << QVariant(16.0) << QVariant(40.0);
    QTest::newRow("empty type becomes service")
        << item(water, 40, u"type"_s, QString()) << service << 1.0 << none << QVariant(40.0);
    QTest::newRow("missing total stored as NULL")
        << item(water, none) << service << 1.0 << none << none;
}

void TestInvoices::itemDefaults()
{
    QFETCH(QVariantMap, given);
    QFETCH(QString, type);
    QFETCH(double, quantity);
    QFETCH(QVariant, unitPrice);
    QFETCH(QVariant, total);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = issue(model, tenant, thisPeriod(), { given, item(u"إيجار"_s, 500) });

    const QVariantMap stored = model.getItems(id).first().toMap();
    QCOMPARE(stored.value(u"type"_s).toString(), type);
    QCOMPARE(stored.value(u"quantity"_s).toDouble(), quantity);
    QCOMPARE(stored.value(u"unit_price"_s).isNull(), unitPrice.isNull());
    QCOMPARE(stored.value(u"unit_price"_s).toDouble(), unitPrice.toDouble());
    QCOMPARE(stored.value(u"total"_s).isNull(), total.isNull());
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), 500 + total.toDouble());
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), 500 + total.toDouble());
    QCOMPARE(invoice.value(u"status"_s).toString(), u"pending"_s);
    QVERIFY(invoice.value(u"contract_id"_s).isNull());
    QCOMPARE(f.tenantBalance(tenant), 500 + total.toDouble());
    // Unit 0 is stored as NULL and the listing still joins it.
    const QVariantMap listed = model.getAll().first().toMap();
    QVERIFY(listed.value(u"unit_id"_s).isNull());
    QVERIFY(listed.contains(u"unit_number"_s));
    QCOMPARE(listed.value(u"tenant_name"_s).toString(), u"سامي"_s);
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
    const QVariantList rent { item(u"إيجار"_s, 500) };
    // Two copies of the line: the last row only overflows once summed.
    const auto twice = [](const QVariantMap &line) { return QVariantList { line, line }; };
    QTest::newRow("valid month") << u"2024-05"_s << rent << none << none << -1;
    QTest::newRow("valid December") << u"2024-12"_s << rent << none << none << -1;
    const std::pair<const char *, QString> badPeriods[] { { "month 13", u"2024-13"_s },
        { "month 00", u"2024-00"_s }, { "single digit month", u"2024-5"_s },
        { "full date", u"2024-05-01"_s }, { "slash", u"2024/05"_s },
        { "two digit year", u"24-05"_s }, { "leading blank", u" 2024-05"_s },
        { "trailing newline", u"2024-05\n"_s }, { "Arabic-Indic digits", u"٢٠٢٤-٠٥"_s },
        { "empty", QString() }, { "text", u"مايو"_s } };
    for (const auto &[name, period] : badPeriods)
        QTest::newRow(name) << period << rent << none << none << 0;
    QTest::newRow("pending invoice of the period blocks") << p << rent << u"pending"_s << none << 0;
    QTest::newRow("partial invoice of the period blocks") << p << rent << u"partial"_s << none << 0;
    QTest::newRow("paid invoice of the period blocks") << p << rent << u"paid"_s << none << 0;
    QTest::newRow("void invoice does not count") << p << rent << u"void"_s << none << -1;
    QTest::newRow("other period does not count")
        << QDate::currentDate().addMonths(1).toString(u"yyyy-MM"_s) << rent << u"pending"_s << none
        << -1;
    QTest::newRow("NaN total") << p << twice(item(u"إيجار"_s, nan)) << none << none << 0;
    QTest::newRow("infinite total") << p << twice(item(u"إيجار"_s, inf)) << none << none << 0;
    QTest::newRow("negative infinite total")
        << p << twice(item(u"إيجار"_s, -inf)) << none << none << 0;
    QTest::newRow("infinite unit price")
        << p << twice(item(u"إيجار"_s, 10, u"unit_price"_s, inf)) << none << none << 0;
    QTest::newRow("total overflowing the sum")
        << p << twice(item(u"إيجار"_s, 1.7e308)) << none << none << 0;
    QTest::newRow("second item refused")
        << p << QVariantList { item(u"إيجار"_s, 500), item(QVariant(), 40) } << none << none << 1;
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
    if (accepted)
        QCOMPARE(model.getById(id).value(u"due_date"_s).toString(), period + u"-28"_s);
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
    const int id = issue(model, tenant, thisPeriod(), { item(u"إيجار"_s, 540) });
    f.addPayment(id, tenant, 200, QDate::currentDate());
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE invoices SET paid_amount=200, balance=340, status='partial' WHERE id=?"_s,
        { id }));
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=340 WHERE id=?"_s, { tenant }));
    if (!failing.isEmpty())
        f.failWrites(failing, u"UPDATE"_s);
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    const bool ok = failing.isEmpty();
    QCOMPARE(model.voidInvoice(id), ok);
    QCOMPARE(changed.count(), ok ? 1 : 0);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), ok ? u"void"_s : u"partial"_s);
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), ok ? 0.0 : 340.0);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), 200.0);
    // The tenant's balance drops by what was still open, not by the total.
    QCOMPARE(f.tenantBalance(tenant), ok ? 0.0 : 340.0);
    if (ok) {
        QVERIFY(!model.voidInvoice(id));
        QVERIFY(!model.voidInvoice(id + 100));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(f.tenantBalance(tenant), 0.0);
    }
}

void TestInvoices::updatePaidAmount_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("after"); // empty when refused
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nothing paid") << u"pending"_s << 0.0 << u"partial"_s;
    QTest::newRow("part paid") << u"pending"_s << 40.0 << u"partial"_s;
    QTest::newRow("exactly paid") << u"pending"_s << 100.0 << u"paid"_s;
    QTest::newRow("overpaid") << u"pending"_s << 150.0 << u"paid"_s;
    QTest::newRow("void invoice") << u"void"_s << 50.0 << QString();
    QTest::newRow("NaN amount") << u"pending"_s << nan << QString();
    QTest::newRow("infinite amount") << u"pending"_s << inf << QString();
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
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    const bool accepted = !after.isEmpty();
    QCOMPARE(model.updatePaidAmount(id, amount), accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), accepted ? after : status);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), accepted ? amount : 0.0);
    if (accepted)
        QCOMPARE(invoice.value(u"balance"_s).toDouble(), 100 - amount);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

void TestInvoices::latestPageOfTheList()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int unit = f.addUnit(f.addProperty(), u"A1"_s);
    QList<int> ids;
    for (int month = 1; month <= 5; ++month)
        ids << model.createInvoice(f.addTenant(u"مستأجر"_s + QString::number(month)), unit,
            u"2024-0"_s + QString::number(month), { item(u"إيجار"_s, 500) }, 1);
    // Issued in the same second, the newest invoice still comes first.
    const QVariantList latest = model.getLatest(2);
    QCOMPARE(latest.size(), 2);
    QCOMPARE(latest.at(0).toMap().value(u"id"_s).toInt(), ids.at(4));
    QCOMPARE(latest.at(1).toMap().value(u"id"_s).toInt(), ids.at(3));
    QCOMPARE(latest.at(0).toMap().value(u"unit_number"_s).toString(), u"A1"_s);
    QCOMPARE(model.getLatest(50).size(), model.getAll().size());
}

QTEST_GUILESS_MAIN(TestInvoices)
#include "tst_invoices.moc"
