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
    void listingIsNewestFirst();
    void searchPatterns_data();
    void searchPatterns();
    void addCreatesCostCentre();
    void addIsAllOrNothing_data();
    void addIsAllOrNothing();
    void guardedRemove_data();
    void guardedRemove();
    void updateKeepsCreationTime();
    void statsFigures();
};

void TestProperties::listingFigures_data()
{
    QTest::addColumn<QStringList>("unitStatuses");
    QTest::addColumn<int>("activeLeases");
    QTest::addColumn<int>("terminatedLeases");
    QTest::addColumn<int>("totalUnits");
    QTest::addColumn<int>("rentedUnits");
    QTest::addColumn<int>("soldUnits");
    QTest::addColumn<double>("revenue");
    QTest::newRow("no units") << QStringList {} << 0 << 0 << 0 << 0 << 0 << 0.0;
    QTest::newRow("live count wins over stored column")
        << QStringList { u"available"_s, u"rented"_s, u"sold"_s } << 1 << 0 << 3 << 1 << 1
        << 1500.0;
    QTest::newRow("unit counted once per active contract")
        << QStringList { u"rented"_s } << 2 << 0 << 1 << 1 << 0 << 3000.0;
    QTest::newRow("terminated contract earns nothing")
        << QStringList { u"available"_s, u"available"_s } << 0 << 2 << 2 << 0 << 0 << 0.0;
}

void TestProperties::listingFigures()
{
    QFETCH(QStringList, unitStatuses);
    QFETCH(int, activeLeases);
    QFETCH(int, terminatedLeases);
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
    for (int i = 0; i < activeLeases; ++i)
        f.addLease(units.first(), tenant, today, today.addYears(1), 1200);
    for (int i = 0; i < terminatedLeases; ++i)
        f.addLease(units.first(), tenant, today, today.addYears(1), 1200, u"terminated"_s);

    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 1);
    const QVariantMap row = rows.first().toMap();
    QTEST(row.value(u"total_units"_s).toInt(), "totalUnits");
    QTEST(row.value(u"rented_units"_s).toInt(), "rentedUnits");
    QTEST(row.value(u"sold_units"_s).toInt(), "soldUnits");
    QTEST(row.value(u"monthly_revenue"_s).toDouble(), "revenue");
    QCOMPARE(row.value(u"name"_s).toString(), u"برج النخيل"_s);
}

void TestProperties::listingIsNewestFirst()
{
    TestFixture f;
    PropertyModel model(f.db());
    const int older = f.addProperty(u"قديم"_s);
    const int newer = f.addProperty(u"جديد"_s);
    f.db()->execNonQuery(
        u"UPDATE properties SET created_at='2020-01-01 00:00:00' WHERE id=?"_s, { older });
    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toMap().value(u"id"_s).toInt(), newer);
    QCOMPARE(rows.at(1).toMap().value(u"id"_s).toInt(), older);
}

void TestProperties::searchPatterns_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("name") << u"Palm"_s << QStringList { u"Palm Tower"_s };
    QTest::newRow("city") << u"نابلس"_s << QStringList { u"Olive Court"_s };
    QTest::newRow("address") << u"Main St"_s << QStringList { u"Palm Tower"_s };
    QTest::newRow("ascii letters ignore case") << u"palm"_s << QStringList { u"Palm Tower"_s };
    QTest::newRow("description is not searched") << u"sea view"_s << QStringList {};
    QTest::newRow("type is not searched") << u"commercial"_s << QStringList {};
    QTest::newRow("empty text matches all")
        << QString() << QStringList { u"Palm Tower"_s, u"Olive Court"_s, u"100% Plaza"_s };
    QTest::newRow("percent is a wildcard") << u"lm%Tow"_s << QStringList { u"Palm Tower"_s };
    QTest::newRow("underscore is a wildcard") << u"Ol_ve"_s << QStringList { u"Olive Court"_s };
}

void TestProperties::searchPatterns()
{
    QFETCH(QString, query);
    QFETCH(QStringList, names);
    TestFixture f;
    PropertyModel model(f.db());
    const QString sql = u"INSERT INTO properties (name,type,address,city,description) "
                        "VALUES (?,?,?,?,?)"_s;
    f.insert(
        sql, { u"Palm Tower"_s, u"residential"_s, u"12 Main St"_s, u"رام الله"_s, u"sea view"_s });
    f.insert(sql, { u"Olive Court"_s, u"commercial"_s, u"حي الجبل"_s, u"نابلس"_s, QVariant() });
    f.insert(sql, { u"100% Plaza"_s, u"mixed"_s, QVariant(), QVariant(), QVariant() });

    QStringList found;
    for (const QVariant &row : model.search(query))
        found << row.toMap().value(u"name"_s).toString();
    found.sort();
    names.sort();
    QCOMPARE(found, names);
}

void TestProperties::addCreatesCostCentre()
{
    TestFixture f;
    PropertyModel model(f.db());
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    const int id = model.add(u"برج الريحان"_s, u"mixed"_s, u"شارع القدس"_s, u"البيرة"_s, u"وصف"_s);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    const QVariantMap row = model.getById(id);
    QCOMPARE(row.value(u"city"_s).toString(), u"البيرة"_s);
    QCOMPARE(row.value(u"status"_s).toString(), u"active"_s);
    const QVariantMap centre = Database::firstRow(f.db()->execQuery(
        u"SELECT name, type, unit_id FROM cost_centers WHERE property_id=?"_s, { id }));
    QCOMPARE(centre.value(u"name"_s).toString(), u"برج الريحان"_s);
    QCOMPARE(centre.value(u"type"_s).toString(), u"project"_s);
    QVERIFY(centre.value(u"unit_id"_s).isNull());
    QVERIFY(model.getById(id + 100).isEmpty());
}

void TestProperties::addIsAllOrNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("costCentreRefused");
    QTest::newRow("property refused") << QString() << false;
    QTest::newRow("cost centre refused") << u"برج"_s << true;
}

void TestProperties::addIsAllOrNothing()
{
    QFETCH(QString, name);
    QFETCH(bool, costCentreRefused);
    TestFixture f;
    PropertyModel model(f.db());
    if (costCentreRefused)
        f.failWrites(u"cost_centers"_s);
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.add(name, u"residential"_s, u"a"_s, u"c"_s, u"d"_s), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.count(u"properties"_s), 0);
    QCOMPARE(f.count(u"cost_centers"_s), 0);
}

enum class History
{
    None,
    RentedUnit,
    SoldUnit,
    AvailableUnit,
    Expense,
    Maintenance,
    Missing
};
Q_DECLARE_METATYPE(History)

void TestProperties::guardedRemove_data()
{
    QTest::addColumn<History>("history");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("errorCount");
    QTest::newRow("no history, cost centre goes too") << History::None << true << 0;
    QTest::newRow("rented unit refused silently") << History::RentedUnit << false << 0;
    QTest::newRow("sold unit refused silently") << History::SoldUnit << false << 0;
    QTest::newRow("available unit kept by its key") << History::AvailableUnit << false << 1;
    QTest::newRow("expense kept by its key") << History::Expense << false << 1;
    QTest::newRow("maintenance request kept by its key") << History::Maintenance << false << 1;
    QTest::newRow("unknown id") << History::Missing << true << 0;
}

void TestProperties::guardedRemove()
{
    QFETCH(History, history);
    QFETCH(bool, removed);
    QFETCH(int, errorCount);
    TestFixture f;
    PropertyModel model(f.db());
    const int property = model.add(u"برج"_s, u"residential"_s, {}, {}, {});
    QVERIFY(property > 0);
    switch (history) {
    case History::RentedUnit:
        f.addUnit(property, u"1"_s, 900, u"rented"_s);
        break;
    case History::SoldUnit:
        f.addUnit(property, u"1"_s, 900, u"sold"_s);
        break;
    case History::AvailableUnit:
        f.addUnit(property, u"1"_s);
        break;
    case History::Expense:
        f.addExpense(property, 0, 50, TestFixture::today());
        break;
    case History::Maintenance: {
        // The request's unit belongs to another property, so only the request links here.
        const int unit = f.addUnit(f.addProperty(u"آخر"_s), u"9"_s);
        f.insert(u"INSERT INTO maintenance_requests (unit_id, property_id, title) VALUES (?,?,?)"_s,
            { unit, property, u"تسريب"_s });
        break;
    }
    case History::None:
    case History::Missing:
        break;
    }
    const int propertiesBefore = f.count(u"properties"_s);
    const int centresBefore = f.count(u"cost_centers"_s);
    const int target = history == History::Missing ? property + 100 : property;
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QCOMPARE(model.remove(target), removed);
    QCOMPARE(changed.count(), removed ? 1 : 0);
    QCOMPARE(errors.count(), errorCount);
    const int gone = removed && history != History::Missing ? 1 : 0;
    QCOMPARE(f.count(u"properties"_s), propertiesBefore - gone);
    QCOMPARE(f.count(u"cost_centers"_s), centresBefore - gone);
}

void TestProperties::updateKeepsCreationTime()
{
    TestFixture f;
    PropertyModel model(f.db());
    const int id = f.addProperty();
    f.db()->execNonQuery(u"UPDATE properties SET created_at='2020-01-01 00:00:00', "
                         "updated_at='2020-01-01 00:00:00'"_s);
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QVERIFY(model.update(id, u"برج جديد"_s, u"commercial"_s, u"ع"_s, u"جنين"_s, u"و"_s));
    QCOMPARE(changed.count(), 1);
    const QVariantMap row = model.getById(id);
    QCOMPARE(row.value(u"name"_s).toString(), u"برج جديد"_s);
    QCOMPARE(row.value(u"type"_s).toString(), u"commercial"_s);
    QCOMPARE(row.value(u"created_at"_s).toString(), u"2020-01-01 00:00:00"_s);
    QVERIFY(row.value(u"updated_at"_s).toString() > u"2020-01-01 00:00:00"_s);
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
    const int elsewhere = f.addUnit(other, u"1"_s);
    const int tenant = f.addTenant(u"ليلى"_s);
    const QDate today = TestFixture::today();
    const int invoice = f.addInvoice(tenant, rented, today.toString(u"yyyy-MM"_s), 900);
    f.addPayment(invoice, tenant, 400, today);
    f.addPayment(invoice, tenant, 100.5, today);
    f.addPayment(f.addInvoice(tenant, elsewhere, u"2024-01"_s, 70), tenant, 70, today);
    f.addExpense(property, 0, 250, today);
    f.addExpense(other, 0, 999, today);

    const QVariantMap stats = model.getStats(property);
    QCOMPARE(stats.size(), 6);
    QCOMPARE(stats.value(u"total_units"_s).toInt(), 3);
    QCOMPARE(stats.value(u"rented"_s).toInt(), 1);
    QCOMPARE(stats.value(u"available"_s).toInt(), 1);
    QCOMPARE(stats.value(u"sold"_s).toInt(), 1);
    QCOMPARE(stats.value(u"total_income"_s).toDouble(), 500.5);
    QCOMPARE(stats.value(u"total_expenses"_s).toDouble(), 250.0);
}

QTEST_GUILESS_MAIN(TestProperties)
#include "tst_properties.moc"
