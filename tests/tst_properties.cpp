#include "propertymodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProperties : public QObject
{
    Q_OBJECT

private slots:
    void listingFigures();
    void addWithCostCentre();
    void guardedRemove();
    void statsFigures();
};

void TestProperties::listingFigures()
{
    TestFixture f;
    PropertyModel model(f.db());
    const int property = f.addProperty();
    // The stored column is never maintained; the listing must not trust it.
    f.db()->execNonQuery(u"UPDATE properties SET total_units=42"_s);
    const int unit = f.addUnit(property, u"1"_s, 1500);
    f.addUnit(property, u"2"_s, 1500, u"rented"_s);
    f.addUnit(property, u"3"_s, 1500, u"sold"_s);
    const int tenant = f.addTenant(u"سامر"_s);
    const QDate today = TestFixture::today();
    // Counted once per active contract; the terminated one earns nothing.
    for (const QString &status : { u"active"_s, u"active"_s, u"terminated"_s })
        f.addLease(unit, tenant, today, today.addYears(1), 1200, status);

    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 1);
    const QVariantMap row = rows.first().toMap();
    const QList<std::pair<QString, double>> expected { { u"total_units"_s, 3 },
        { u"rented_units"_s, 1 }, { u"sold_units"_s, 1 }, { u"monthly_revenue"_s, 3000 } };
    for (const auto &[key, value] : expected)
        QCOMPARE(row.value(key).toDouble(), value);
}

void TestProperties::addWithCostCentre()
{
    TestFixture f;
    PropertyModel model(f.db());
    const int id = model.add(u"برج"_s, u"residential"_s, u"a"_s, u"c"_s, u"d"_s);
    QVERIFY(id > 0);
    QCOMPARE(f.scalar(u"SELECT name || '/' || type || '/' || IFNULL(unit_id, 'none') "
                      "FROM cost_centers WHERE property_id=?"_s,
                  { id })
                 .toString(),
        u"برج/project/none"_s);

    // A refused cost centre takes its property back with it.
    f.failWrites(u"cost_centers"_s);
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QVERIFY(model.add(u"ثان"_s, u"residential"_s, {}, {}, {}) <= 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.count(u"properties"_s), 1);
    QCOMPARE(f.count(u"cost_centers"_s), 1);
}

void TestProperties::guardedRemove()
{
    TestFixture f;
    PropertyModel model(f.db());
    const int rented = model.add(u"برج"_s, u"residential"_s, {}, {}, {});
    const int spent = model.add(u"مصروف"_s, u"residential"_s, {}, {}, {});
    const int empty = model.add(u"فارغ"_s, u"residential"_s, {}, {}, {});
    f.addUnit(rented, u"1"_s, 900, u"rented"_s);
    f.addExpense(spent, 0, 50, TestFixture::today());
    QSignalSpy changed(&model, &PropertyModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);

    QVERIFY(!model.remove(rented)); // refused before the database is asked
    QCOMPARE(errors.count(), 0);
    QVERIFY(!model.remove(spent)); // kept by its key
    QCOMPARE(errors.count(), 1);
    QCOMPARE(changed.count(), 0);
    QVERIFY(model.remove(empty)); // its cost centre goes too
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.count(u"properties"_s), 2);
    QCOMPARE(f.count(u"cost_centers"_s), 2);
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
