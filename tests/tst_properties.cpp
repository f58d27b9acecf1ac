#include "propertymodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProperties : public QObject
{
    Q_OBJECT

private slots:
    void listingFigures_data();
    void listingFigures();
    void add_data();
    void add();
    void guardedRemove_data();
    void guardedRemove();
    void statsFigures();
};

void TestProperties::listingFigures_data()
{
    QTest::addColumn<QStringList>("unitStatuses");
    QTest::addColumn<int>("activeLeases");
    QTest::addColumn<int>("terminatedLeases");
    QTest::addColumn<QList<double>>("figures"); // total, rented, sold, monthly revenue
    QTest::newRow("live count wins over stored column") << QStringList { u"available"_s,
        u"rented"_s, u"sold"_s } << 1 << 0 << QList<double> { 3, 1, 1, 1500 };
    QTest::newRow("unit counted once per active contract")
        << QStringList { u"rented"_s } << 2 << 0 << QList<double> { 1, 1, 0, 3000 };
    QTest::newRow("terminated contract earns nothing")
        << QStringList { u"available"_s, u"available"_s } << 0 << 2 << QList<double> { 2, 0, 0, 0 };
}

void TestProperties::listingFigures()
{
    QFETCH(QStringList, unitStatuses);
    QFETCH(int, activeLeases);
    QFETCH(int, terminatedLeases);
    QFETCH(QList<double>, figures);
    TestFixture f;
    PropertyModel model(f.db());
    const int property = f.addProperty();
    // The stored column is never maintained; the listing must not trust it.
    f.db()->execNonQuery(u"UPDATE properties SET total_units=42"_s);
    QList<int> units;
    for (const QString &status : unitStatuses)
        units << f.addUnit(property, QString::number(units.size() + 1), 1500, status);
    const int tenant = f.addTenant(u"سامر"_s);
    const QDate today = TestFixture::today();
    for (int i = 0; i < activeLeases + terminatedLeases; ++i)
        f.addLease(units.first(), tenant, today, today.addYears(1), 1200,
            i < activeLeases ? u"active"_s : u"terminated"_s);

    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 1);
    const QVariantMap row = rows.first().toMap();
    const QStringList keys { u"total_units"_s, u"rented_units"_s, u"sold_units"_s,
        u"monthly_revenue"_s };
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(row.value(keys.at(i)).toDouble(), figures.at(i));
}

void TestProperties::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("costCentreRefused");
    QTest::newRow("stored with its cost centre") << u"برج"_s << false;
    QTest::newRow("property refused") << QString() << false;
    QTest::newRow("cost centre refused") << u"برج"_s << true;
}

void TestProperties::add()
{
    QFETCH(QString, name);
    QFETCH(bool, costCentreRefused);
    TestFixture f;
    PropertyModel model(f.db());
    if (costCentreRefused)
        f.failWrites(u"cost_centers"_s);
    const bool stored = !name.isNull() && !costCentreRefused;
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const int id = model.add(name, u"residential"_s, u"a"_s, u"c"_s, u"d"_s);
    QCOMPARE(id > 0, stored);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    QCOMPARE(errors.count(), stored ? 0 : 1);
    QCOMPARE(f.count(u"properties"_s), stored ? 1 : 0);
    QCOMPARE(f.count(u"cost_centers"_s), stored ? 1 : 0);
    if (stored)
        QCOMPARE(f.scalar(u"SELECT name || '/' || type || '/' || IFNULL(unit_id, 'none') "
                          "FROM cost_centers WHERE property_id=?"_s,
                      { id })
                     .toString(),
            u"برج/project/none"_s);
}

void TestProperties::guardedRemove_data()
{
    QTest::addColumn<QString>("history");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("no history, cost centre goes too") << QString() << true << 0;
    QTest::newRow("rented unit refused silently") << u"rented"_s << false << 0;
    QTest::newRow("available unit kept by its key") << u"available"_s << false << 1;
    QTest::newRow("expense kept by its key") << u"expense"_s << false << 1;
    QTest::newRow("unknown id") << u"missing"_s << true << 0;
}

void TestProperties::guardedRemove()
{
    QFETCH(QString, history);
    QFETCH(bool, removed);
    QFETCH(int, errorCount);
    TestFixture f;
    PropertyModel model(f.db());
    const int property = model.add(u"برج"_s, u"residential"_s, {}, {}, {});
    QVERIFY(property > 0);
    if (QStringList { u"rented"_s, u"sold"_s, u"available"_s }.contains(history))
        f.addUnit(property, u"1"_s, 900, history);
    else if (history == u"expense"_s)
        f.addExpense(property, 0, 50, TestFixture::today());
    const int propertiesBefore = f.count(u"properties"_s);
    const int centresBefore = f.count(u"cost_centers"_s);
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.remove(history == u"missing"_s ? property + 100 : property), removed);
    QCOMPARE(changed.count(), removed ? 1 : 0);
    QCOMPARE(errors.count(), errorCount);
    const int gone = removed && history != u"missing"_s ? 1 : 0;
    QCOMPARE(f.count(u"properties"_s), propertiesBefore - gone);
    QCOMPARE(f.count(u"cost_centers"_s), centresBefore - gone);
}

void TestProperties::statsFigures()
{
    TestFixture f;
    PropertyModel model(f.db());
    const int property = f.addProperty();
    const int other = f.addProperty(u"آخر"_s);
    const int rented = f.addUnit(property, u"1"_s, 900, u"rented"_s);
    f.addUnit(property, u"2"_s);
    f.addUnit(property, u"3"_s, 900, u"sold"_s);
    const int tenant = f.addTenant(u"ليلى"_s);
    const QDate today = TestFixture::today();
    const int invoice = f.addInvoice(tenant, rented, today.toString(u"yyyy-MM"_s), 900);
    f.addPayment(invoice, tenant, 400, today);
    f.addPayment(invoice, tenant, 100.5, today);
    f.addPayment(
        f.addInvoice(tenant, f.addUnit(other, u"1"_s), u"2024-01"_s, 70), tenant, 70, today);
    f.addExpense(property, 0, 250, today);
    f.addExpense(other, 0, 999, today);

    const QVariantMap stats = model.getStats(property);
    const QList<std::pair<QString, double>> expected { { u"total_units"_s, 3 }, { u"rented"_s, 1 },
        { u"available"_s, 1 }, { u"sold"_s, 1 }, { u"total_income"_s, 500.5 },
        { u"total_expenses"_s, 250 } };
    for (const auto &[key, value] : expected)
        QCOMPARE(stats.value(key).toDouble(), value);
}

QTEST_GUILESS_MAIN(TestProperties)
#include "tst_properties.moc"
