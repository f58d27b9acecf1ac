#include "buyermodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestBuyers : public QObject
{
    Q_OBJECT

private slots:
    void addStoresFields();
    void duplicateIdNumberRefused();
    void update_data();
    void update();
    void listCountsInstallmentsInNameOrder();
    void statementOrderAndJoins();
};

void TestBuyers::addStoresFields()
{
    TestFixture f;
    BuyerModel model(f.db());
    QSignalSpy changed(&model, &BuyerModel::dataChanged);
    const int id = model.add(u"  ليلى حداد "_s, u"900"_s, u"0599"_s, u""_s, u"رام الله"_s);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    const QVariantMap row = f.db()->getById(u"buyers"_s, id);
    QCOMPARE(row.value(u"full_name"_s).toString(), u"  ليلى حداد "_s);
    QCOMPARE(row.value(u"id_number"_s).toString(), u"900"_s);
    QCOMPARE(row.value(u"phone"_s).toString(), u"0599"_s);
    QCOMPARE(row.value(u"address"_s).toString(), u"رام الله"_s);
    QCOMPARE(row.value(u"balance"_s).toDouble(), 0.0);
}

void TestBuyers::duplicateIdNumberRefused()
{
    TestFixture f;
    f.addBuyer(u"سامر"_s, u"900"_s);
    BuyerModel model(f.db());
    QSignalSpy changed(&model, &BuyerModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    QCOMPARE(model.add(u"ليلى"_s, u"900"_s, u""_s, u""_s, u""_s), -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(f.count(u"buyers"_s), 1);
}

void TestBuyers::update_data()
{
    QTest::addColumn<QString>("idNumber");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("result");
    QTest::newRow("fields replaced") << u"777"_s << true << true;
    QTest::newRow("id that matches no row still succeeds") << u"777"_s << false << true;
    QTest::newRow("identity number of another buyer refused") << u"111"_s << true << false;
}

void TestBuyers::update()
{
    QFETCH(QString, idNumber);
    QFETCH(bool, existing);
    QFETCH(bool, result);
    TestFixture f;
    f.addBuyer(u"آخر"_s, u"111"_s);
    const int id = f.addBuyer(u"سامر"_s, u"222"_s);
    BuyerModel model(f.db());
    QSignalSpy changed(&model, &BuyerModel::dataChanged);
    QCOMPARE(model.update(existing ? id : id + 50, u"سامر عودة"_s, idNumber, u"0598"_s,
                 u"s@example.com"_s, u"نابلس"_s),
        result);
    QCOMPARE(changed.count(), result ? 1 : 0);
    const QVariantMap row = f.db()->getById(u"buyers"_s, id);
    const bool changedRow = result && existing;
    QCOMPARE(row.value(u"full_name"_s).toString(), changedRow ? u"سامر عودة"_s : u"سامر"_s);
    QCOMPARE(row.value(u"id_number"_s).toString(), changedRow ? idNumber : u"222"_s);
    QCOMPARE(row.value(u"email"_s).toString(), changedRow ? u"s@example.com"_s : QString());
}

void TestBuyers::listCountsInstallmentsInNameOrder()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"A1"_s);
    const int zaid = f.addBuyer(u"Zaid"_s, u"1"_s);
    const int adam = f.addBuyer(u"Adam"_s, u"2"_s);
    const int basel = f.addBuyer(u"basel"_s, u"3"_s);
    const QDate today = QDate::currentDate();
    f.addInstallment(adam, unit, 100, today, 100, u"paid"_s);
    f.addInstallment(adam, unit, 100, today.addMonths(1), 100, u"paid"_s);
    f.addInstallment(zaid, unit, 100, today);
    BuyerModel model(f.db());

    const QVariantList rows = model.getAll();
    QCOMPARE(rows.size(), 3);
    // Binary collation: upper-case letters sort before lower-case ones.
    const QList<int> order { adam, zaid, basel };
    const QList<int> counts { 2, 1, 0 };
    for (int i = 0; i < rows.size(); ++i) {
        const QVariantMap row = rows.at(i).toMap();
        QCOMPARE(row.value(u"id"_s).toInt(), order.at(i));
        QCOMPARE(row.value(u"installment_count"_s).toInt(), counts.at(i));
        QVERIFY(row.contains(u"balance"_s));
    }
}

void TestBuyers::statementOrderAndJoins()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(u"برج الياسمين"_s), u"B2"_s);
    const int buyer = f.addBuyer(u"سامر"_s, u"1"_s);
    const int other = f.addBuyer(u"ليلى"_s, u"2"_s);
    const QDate today = QDate::currentDate();
    const int late = f.addInstallment(buyer, unit, 100, today.addMonths(2));
    const int paid = f.addInstallment(buyer, unit, 100, today.addMonths(-1), 100, u"paid"_s);
    const int partial = f.addInstallment(buyer, unit, 100, today, 40, u"partial"_s);
    f.addInstallment(other, unit, 100, today);
    // An installment whose unit row is gone drops out of the joined statement.
    QVERIFY(f.db()->execNonQuery(u"PRAGMA foreign_keys=OFF"_s));
    f.insert(u"INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, "
             "due_date) VALUES (?, 999, 100, 100, ?)"_s,
        { buyer, TestFixture::iso(today) });
    BuyerModel model(f.db());

    const QVariantList rows = model.getStatement(buyer);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).toMap().value(u"id"_s).toInt(), paid);
    QCOMPARE(rows.at(1).toMap().value(u"id"_s).toInt(), partial);
    QCOMPARE(rows.at(2).toMap().value(u"id"_s).toInt(), late);
    QCOMPARE(rows.at(1).toMap().value(u"unit_number"_s).toString(), u"B2"_s);
    QCOMPARE(rows.at(1).toMap().value(u"property_name"_s).toString(), u"برج الياسمين"_s);
    QCOMPARE(rows.at(1).toMap().value(u"paid_amount"_s).toDouble(), 40.0);
}

QTEST_GUILESS_MAIN(TestBuyers)
#include "tst_buyers.moc"
