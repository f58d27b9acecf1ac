#include "invoicemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString prefixOf(const QDate &date) { return u"INV-"_s + date.toString(u"yyyyMM"_s) + u"-"_s; }

QString thisPeriod() { return QDate::currentDate().toString(u"yyyy-MM"_s); }

QVariantMap item(const QVariant &description, const QVariant &total)
{
    QVariantMap map;
    if (description.isValid())
        map.insert(u"description"_s, description);
    if (total.isValid())
        map.insert(u"total"_s, total);
    return map;
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
    void numbersFollowEachOtherInTheMonth();
    void numberingIgnoresOtherMonths();
    void numberingAfterExistingNumbers_data();
    void numberingAfterExistingNumbers();
    void duplicateTenantAndPeriod_data();
    void duplicateTenantAndPeriod();
    void customInvoiceTotalsAndDefaults();
    void itemDefaults_data();
    void itemDefaults();
    void unitZeroIsStoredAsNull();
    void refusedItemFailsItsInvoice();
    void failedBalanceUpdateFailsItsInvoice();
    void nonFiniteAmountsRefused_data();
    void nonFiniteAmountsRefused();
    void malformedPeriodRefused_data();
    void malformedPeriodRefused();
    void voidLowersTenantByWhatWasOpen();
    void voidIsAllOrNothing();
    void updatePaidAmount_data();
    void updatePaidAmount();
    void updatePaidAmountRefusals_data();
    void updatePaidAmountRefusals();
};

void TestInvoices::numbersFollowEachOtherInTheMonth()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int first = f.addTenant(u"سامي"_s);
    const int second = f.addTenant(u"ليلى"_s);
    const QString prefix = prefixOf(QDate::currentDate());

    const int a = model.createInvoice(first, 0, thisPeriod(), { item(u"إيجار"_s, 100) }, 1);
    const int b = model.createInvoice(second, 0, thisPeriod(), { item(u"إيجار"_s, 100) }, 1);
    QVERIFY(a > 0);
    QVERIFY(b > 0);
    QCOMPARE(numberOf(model, a), prefix + u"0001"_s);
    QCOMPARE(numberOf(model, b), prefix + u"0002"_s);
}

void TestInvoices::numberingIgnoresOtherMonths()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const QDate today = QDate::currentDate();
    for (const QDate &other : { today.addMonths(-1), today.addMonths(1), today.addYears(-1) })
        f.insert(
            u"INSERT INTO invoices (invoice_number, tenant_id, period) VALUES (?,?,'2020-01')"_s,
            { prefixOf(other) + u"0042"_s, tenant });

    const int id = model.createInvoice(tenant, 0, thisPeriod(), { item(u"إيجار"_s, 10) }, 1);
    QCOMPARE(numberOf(model, id), prefixOf(today) + u"0001"_s);
}

void TestInvoices::numberingAfterExistingNumbers_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("voided");
    QTest::addColumn<QString>("expected");
    QTest::newRow("voided number is never reused")
        << QStringList { u"0006"_s, u"0007"_s } << u"0007"_s << u"0008"_s;
    QTest::newRow("gap is not filled")
        << QStringList { u"0001"_s, u"0005"_s } << QString() << u"0006"_s;
    QTest::newRow("grows past four digits") << QStringList { u"9999"_s } << QString() << u"10000"_s;
    QTest::newRow("five digits compare as numbers")
        << QStringList { u"10000"_s, u"9999"_s } << QString() << u"10001"_s;
}

void TestInvoices::numberingAfterExistingNumbers()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, voided);
    QFETCH(QString, expected);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const QString prefix = prefixOf(QDate::currentDate());
    for (const QString &sequence : existing)
        f.insert(u"INSERT INTO invoices (invoice_number, tenant_id, period, status) "
                 "VALUES (?,?,'2020-01',?)"_s,
            { prefix + sequence, tenant, sequence == voided ? u"void"_s : u"pending"_s });

    const int id = model.createInvoice(tenant, 0, thisPeriod(), { item(u"إيجار"_s, 10) }, 1);
    QCOMPARE(numberOf(model, id), prefix + expected);
}

void TestInvoices::duplicateTenantAndPeriod_data()
{
    QTest::addColumn<QString>("existingStatus");
    QTest::addColumn<bool>("samePeriod");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("pending blocks") << u"pending"_s << true << false;
    QTest::newRow("partial blocks") << u"partial"_s << true << false;
    QTest::newRow("paid blocks") << u"paid"_s << true << false;
    QTest::newRow("void does not count") << u"void"_s << true << true;
    QTest::newRow("other period does not count") << u"pending"_s << false << true;
}

void TestInvoices::duplicateTenantAndPeriod()
{
    QFETCH(QString, existingStatus);
    QFETCH(bool, samePeriod);
    QFETCH(bool, accepted);
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int tenant = f.addTenant(u"سامي"_s);
    const QString period = thisPeriod();
    const QString existingPeriod
        = samePeriod ? period : QDate::currentDate().addMonths(-1).toString(u"yyyy-MM"_s);
    f.addInvoice(tenant, 0, existingPeriod, 300, existingStatus);

    const int id = model.createInvoice(tenant, 0, period, { item(u"إيجار"_s, 500) }, 1);
    QCOMPARE(id > 0, accepted);
    QCOMPARE(f.count(u"invoices"_s), accepted ? 2 : 1);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(f.tenantBalance(tenant), accepted ? 500.0 : 0.0);
}

void TestInvoices::customInvoiceTotalsAndDefaults()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"A1"_s);
    const int tenant = f.addTenant(u"سامي"_s);
    const QString period = thisPeriod();
    const QVariantMap rent { { u"description"_s, u"إيجار"_s }, { u"type"_s, u"service"_s },
        { u"quantity"_s, 1 }, { u"unit_price"_s, 500 }, { u"total"_s, 500 } };

    const int id = model.createInvoice(tenant, unit, period, { rent, item(u"مياه"_s, 40) }, 1);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), 540.0);
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), 540.0);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), 0.0);
    QCOMPARE(invoice.value(u"status"_s).toString(), u"pending"_s);
    QCOMPARE(invoice.value(u"due_date"_s).toString(), period + u"-28"_s);
    QCOMPARE(invoice.value(u"unit_id"_s).toInt(), unit);
    QVERIFY(invoice.value(u"contract_id"_s).isNull());
    QCOMPARE(invoice.value(u"tenant_name"_s).toString(), u"سامي"_s);
    QCOMPARE(model.getItems(id).size(), 2);
    QCOMPARE(f.tenantBalance(tenant), 540.0);
    QCOMPARE(model.getByTenant(tenant).size(), 1);
}

void TestInvoices::itemDefaults_data()
{
    QTest::addColumn<QVariantMap>("given");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("quantity");
    QTest::addColumn<QVariant>("unitPrice");
    QTest::addColumn<QVariant>("total");
    const QVariantMap bare = item(u"مياه"_s, 40);
    QTest::newRow("type service, quantity 1, no unit price")
        << bare << u"service"_s << 1.0 << QVariant() << QVariant(40.0);
    QVariantMap negative = bare;
    negative.insert(u"quantity"_s, -2);
    QTest::newRow("negative quantity becomes 1")
        << negative << u"service"_s << 1.0 << QVariant() << QVariant(40.0);
    QVariantMap zero = bare;
    zero.insert(u"quantity"_s, 0);
    QTest::newRow("zero quantity becomes 1")
        << zero << u"service"_s << 1.0 << QVariant() << QVariant(40.0);
    QVariantMap text = bare;
    text.insert(u"quantity"_s, u"كثير"_s);
    QTest::newRow("text quantity becomes 1")
        << text << u"service"_s << 1.0 << QVariant() << QVariant(40.0);
    QVariantMap kept = bare;
    kept.insert(u"type"_s, u"rent"_s);
    kept.insert(u"quantity"_s, 2.5);
    kept.insert(u"unit_price"_s, 16);
    QTest::newRow("given values kept")
        << kept << u"rent"_s << 2.5 << QVariant(16.0) << QVariant(40.0);
    QVariantMap emptyType = bare;
    emptyType.insert(u"type"_s, QString());
    QTest::newRow("empty type becomes service")
        << emptyType << u"service"_s << 1.0 << QVariant() << QVariant(40.0);
    QTest::newRow("missing total stored as NULL")
        << item(u"مياه"_s, QVariant()) << u"service"_s << 1.0 << QVariant() << QVariant();
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

    const int id = model.createInvoice(tenant, 0, thisPeriod(), { given }, 1);
    QVERIFY(id > 0);
    const QVariantList items = model.getItems(id);
    QCOMPARE(items.size(), 1);
    const QVariantMap stored = items.first().toMap();
    QCOMPARE(stored.value(u"type"_s).toString(), type);
    QCOMPARE(stored.value(u"quantity"_s).toDouble(), quantity);
    QCOMPARE(stored.value(u"unit_price"_s).isNull(), unitPrice.isNull());
    QCOMPARE(stored.value(u"unit_price"_s).toDouble(), unitPrice.toDouble());
    QCOMPARE(stored.value(u"total"_s).isNull(), total.isNull());
    QCOMPARE(model.getById(id).value(u"total_amount"_s).toDouble(), total.toDouble());
}

void TestInvoices::unitZeroIsStoredAsNull()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);

    const int id = model.createInvoice(tenant, 0, thisPeriod(), { item(u"رسوم"_s, 20) }, 1);
    QVERIFY(id > 0);
    const QVariantList all = model.getAll();
    QCOMPARE(all.size(), 1);
    const QVariantMap row = all.first().toMap();
    QVERIFY(row.value(u"unit_id"_s).isNull());
    QVERIFY(row.contains(u"unit_number"_s));
    QVERIFY(row.value(u"unit_number"_s).isNull());
    QVERIFY(row.value(u"property_name"_s).isNull());
}

void TestInvoices::refusedItemFailsItsInvoice()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int tenant = f.addTenant(u"سامي"_s);

    const int id = model.createInvoice(
        tenant, 0, thisPeriod(), { item(u"إيجار"_s, 500), item(QVariant(), 40) }, 1);
    QCOMPARE(id, -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.count(u"invoices"_s), 0);
    QCOMPARE(f.count(u"invoice_items"_s), 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
    // The refused invoice neither blocks the period nor uses up a number.
    const int next = model.createInvoice(tenant, 0, thisPeriod(), { item(u"إيجار"_s, 500) }, 1);
    QCOMPARE(numberOf(model, next), prefixOf(QDate::currentDate()) + u"0001"_s);
}

void TestInvoices::failedBalanceUpdateFailsItsInvoice()
{
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int tenant = f.addTenant(u"سامي"_s);
    f.failWrites(u"tenants"_s, u"UPDATE"_s);

    QCOMPARE(model.createInvoice(tenant, 0, thisPeriod(), { item(u"إيجار"_s, 500) }, 1), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"invoices"_s), 0);
    QCOMPARE(f.count(u"invoice_items"_s), 0);
}

void TestInvoices::nonFiniteAmountsRefused_data()
{
    QTest::addColumn<QVariantMap>("given");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("NaN total") << item(u"إيجار"_s, nan);
    QTest::newRow("infinite total") << item(u"إيجار"_s, inf);
    QTest::newRow("negative infinite total") << item(u"إيجار"_s, -inf);
    QVariantMap price = item(u"إيجار"_s, 10);
    price.insert(u"unit_price"_s, inf);
    QTest::newRow("infinite unit price") << price;
    QTest::newRow("total overflowing the sum") << item(u"إيجار"_s, 1.7e308);
}

void TestInvoices::nonFiniteAmountsRefused()
{
    QFETCH(QVariantMap, given);
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int tenant = f.addTenant(u"سامي"_s);

    // Two copies: the last row only overflows once summed.
    QCOMPARE(model.createInvoice(tenant, 0, thisPeriod(), { given, given }, 1), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.count(u"invoices"_s), 0);
    QCOMPARE(f.count(u"invoice_items"_s), 0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

void TestInvoices::malformedPeriodRefused_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("valid month") << u"2024-05"_s << true;
    QTest::newRow("valid December") << u"2024-12"_s << true;
    QTest::newRow("month 13") << u"2024-13"_s << false;
    QTest::newRow("month 00") << u"2024-00"_s << false;
    QTest::newRow("single digit month") << u"2024-5"_s << false;
    QTest::newRow("full date") << u"2024-05-01"_s << false;
    QTest::newRow("slash") << u"2024/05"_s << false;
    QTest::newRow("two digit year") << u"24-05"_s << false;
    QTest::newRow("leading blank") << u" 2024-05"_s << false;
    QTest::newRow("trailing newline") << u"2024-05\n"_s << false;
    QTest::newRow("Arabic-Indic digits") << u"٢٠٢٤-٠٥"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("text") << u"مايو"_s << false;
}

void TestInvoices::malformedPeriodRefused()
{
    QFETCH(QString, period);
    QFETCH(bool, accepted);
    TestFixture f;
    InvoiceModel model(f.db());
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);
    const int tenant = f.addTenant(u"سامي"_s);

    const int id = model.createInvoice(tenant, 0, period, { item(u"إيجار"_s, 500) }, 1);
    QCOMPARE(id > 0, accepted);
    QCOMPARE(f.count(u"invoices"_s), accepted ? 1 : 0);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    if (accepted)
        QCOMPARE(model.getById(id).value(u"due_date"_s).toString(), period + u"-28"_s);
}

void TestInvoices::voidLowersTenantByWhatWasOpen()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = model.createInvoice(tenant, 0, thisPeriod(), { item(u"إيجار"_s, 540) }, 1);
    f.addPayment(id, tenant, 200, QDate::currentDate());
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE invoices SET paid_amount=200, balance=340, status='partial' WHERE id=?"_s,
        { id }));
    QVERIFY(f.db()->execNonQuery(u"UPDATE tenants SET balance=340 WHERE id=?"_s, { tenant }));
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QVERIFY(model.voidInvoice(id));
    QCOMPARE(changed.count(), 1);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), u"void"_s);
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), 0.0);
    QCOMPARE(invoice.value(u"total_amount"_s).toDouble(), 540.0);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), 200.0);
    QCOMPARE(f.tenantBalance(tenant), 0.0);

    QVERIFY(!model.voidInvoice(id));
    QVERIFY(!model.voidInvoice(id + 100));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

void TestInvoices::voidIsAllOrNothing()
{
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = model.createInvoice(tenant, 0, thisPeriod(), { item(u"إيجار"_s, 540) }, 1);
    f.failWrites(u"tenants"_s, u"UPDATE"_s);
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QVERIFY(!model.voidInvoice(id));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model.getById(id).value(u"status"_s).toString(), u"pending"_s);
    QCOMPARE(model.getById(id).value(u"balance"_s).toDouble(), 540.0);
    QCOMPARE(f.tenantBalance(tenant), 540.0);
}

void TestInvoices::updatePaidAmount_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("balance");
    QTest::addColumn<QString>("status");
    QTest::newRow("nothing paid") << 0.0 << 100.0 << u"partial"_s;
    QTest::newRow("part paid") << 40.0 << 60.0 << u"partial"_s;
    QTest::newRow("exactly paid") << 100.0 << 0.0 << u"paid"_s;
    QTest::newRow("overpaid") << 150.0 << -50.0 << u"paid"_s;
}

void TestInvoices::updatePaidAmount()
{
    QFETCH(double, amount);
    QFETCH(double, balance);
    QFETCH(QString, status);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = f.addInvoice(tenant, 0, thisPeriod(), 100);
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QVERIFY(model.updatePaidAmount(id, amount));
    QCOMPARE(changed.count(), 1);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), amount);
    QCOMPARE(invoice.value(u"balance"_s).toDouble(), balance);
    QCOMPARE(invoice.value(u"status"_s).toString(), status);
    QCOMPARE(f.tenantBalance(tenant), 0.0);
}

void TestInvoices::updatePaidAmountRefusals_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<double>("amount");
    QTest::newRow("void invoice") << u"void"_s << 50.0;
    QTest::newRow("NaN amount") << u"pending"_s << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite amount") << u"pending"_s << std::numeric_limits<double>::infinity();
}

void TestInvoices::updatePaidAmountRefusals()
{
    QFETCH(QString, status);
    QFETCH(double, amount);
    TestFixture f;
    InvoiceModel model(f.db());
    const int tenant = f.addTenant(u"سامي"_s);
    const int id = f.addInvoice(tenant, 0, thisPeriod(), 100, status);
    QVERIFY(f.db()->execNonQuery(
        u"UPDATE invoices SET balance=0 WHERE id=? AND status='void'"_s, { id }));
    QSignalSpy changed(&model, &InvoiceModel::dataChanged);

    QVERIFY(!model.updatePaidAmount(id, amount));
    QCOMPARE(changed.count(), 0);
    const QVariantMap invoice = model.getById(id);
    QCOMPARE(invoice.value(u"status"_s).toString(), status);
    QCOMPARE(invoice.value(u"paid_amount"_s).toDouble(), 0.0);
}

QTEST_GUILESS_MAIN(TestInvoices)
#include "tst_invoices.moc"
