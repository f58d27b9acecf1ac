#include "buyermodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestBuyers : public QObject
{
    Q_OBJECT

private slots:
    void update_data();
    void update();
    void listCountsInstallmentsInNameOrder();
    void statementOrderAndJoins();
};

void TestBuyers::update_data()
{
    QTest::addColumn<QString>("idNumber");
    QTest::addColumn<bool>("byAdd");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("result");
    QTest::newRow("fields replaced") << u"777"_s << false << true << true;
    QTest::newRow("id that matches no row still succeeds") << u"777"_s << false << false << true;
    QTest::newRow("identity number of another buyer refused") << u"111"_s << false << true << false;
    QTest::newRow("new buyer with a taken identity number") << u"111"_s << true << true << false;
}

void TestBuyers::update()
{
    QFETCH(QString, idNumber);
    QFETCH(bool, byAdd);
    QFETCH(bool, existing);
    QFETCH(bool, result);
    TestFixture f;
    f.addBuyer(u"آخر"_s, u"111"_s);
    const int id = f.addBuyer(u"سامر"_s, u"222"_s);
    BuyerModel model(f.db());
    QSignalSpy changed(&model, &BuyerModel::dataChanged);
    QSignalSpy errors(f.db(), &Database::databaseError);
    const bool ok = byAdd ? model.add(u"ليلى"_s, idNumber, u""_s, u""_s, u""_s) > 0
                          : model.update(existing ? id : id + 50, u"سامر عودة"_s, idNumber,
                              u"0598"_s, u"s@example.com"_s, u"نابلس"_s);
    QCOMPARE(ok, result);
    QCOMPARE(changed.count(), result ? 1 : 0);
    QCOMPARE(errors.count(), result ? 0 : 1);
    QCOMPARE(f.count(u"buyers"_s), 2);
    const bool changedRow = result && existing;
    QCOMPARE(f.scalar(u"SELECT full_name || '/' || id_number FROM buyers WHERE id=?"_s, { id })
                 .toString(),
        changedRow ? u"سامر عودة/"_s + idNumber : u"سامر/222"_s);
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
    QCOMPARE(rows.at(1).toMap().value(u"property_name"_s).toString(), u"برج الياسمين"_s);
}

QTEST_GUILESS_MAIN(TestBuyers)
#include "tst_buyers.moc"
