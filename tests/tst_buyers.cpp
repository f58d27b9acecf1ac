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
    void statementInDueOrder();
};

void TestBuyers::update_data()
{
    QTest::addColumn<QString>("idNumber");
    QTest::addColumn<bool>("byAdd");
    QTest::addColumn<bool>("result");
    QTest::newRow("fields replaced") << u"777"_s << false << true;
    QTest::newRow("identity number of another buyer refused") << u"111"_s << false << false;
    QTest::newRow("new buyer with a taken identity number") << u"111"_s << true << false;
}

void TestBuyers::update()
{
    QFETCH(QString, idNumber);
    QFETCH(bool, byAdd);
    QFETCH(bool, result);
    TestFixture f;
    f.addBuyer(u"آخر"_s, u"111"_s);
    const int id = f.addBuyer(u"سامر"_s, u"222"_s);
    BuyerModel model(f.db());
    QSignalSpy changed(&model, &BuyerModel::dataChanged);
    const bool ok = byAdd ? model.add(u"ليلى"_s, idNumber, u""_s, u""_s, u""_s) > 0
                          : model.update(id, u"سامر عودة"_s, idNumber, u"0598"_s, u""_s, u""_s);
    QCOMPARE(ok, result);
    QCOMPARE(changed.count(), result ? 1 : 0);
    QCOMPARE(f.count(u"buyers"_s), 2);
    QCOMPARE(f.scalar(u"SELECT full_name || '/' || id_number FROM buyers WHERE id=?"_s, { id })
                 .toString(),
        result ? u"سامر عودة/"_s + idNumber : u"سامر/222"_s);
}

void TestBuyers::listCountsInstallmentsInNameOrder()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(), u"A1"_s);
    const int zaid = f.addBuyer(u"Zaid"_s, u"1"_s);
    const int adam = f.addBuyer(u"Adam"_s, u"2"_s);
    const int basel = f.addBuyer(u"basel"_s, u"3"_s);
    f.addInstallment(adam, unit, 100, QDate::currentDate(), 100, u"paid"_s);
    f.addInstallment(adam, unit, 100, QDate::currentDate().addMonths(1));
    f.addInstallment(zaid, unit, 100, QDate::currentDate());

    // Binary collation: upper-case letters sort before lower-case ones.
    QStringList listed;
    for (const QVariant &row : BuyerModel(f.db()).getAll())
        listed << u"%1:%2"_s.arg(row.toMap().value(u"id"_s).toInt())
                      .arg(row.toMap().value(u"installment_count"_s).toInt());
    QCOMPARE(
        listed, (QStringList { u"%1:2"_s.arg(adam), u"%1:1"_s.arg(zaid), u"%1:0"_s.arg(basel) }));
}

void TestBuyers::statementInDueOrder()
{
    TestFixture f;
    const int unit = f.addUnit(f.addProperty(u"برج الياسمين"_s), u"B2"_s);
    const int buyer = f.addBuyer(u"سامر"_s, u"1"_s);
    const QDate today = QDate::currentDate();
    const int late = f.addInstallment(buyer, unit, 100, today.addMonths(2));
    const int paid = f.addInstallment(buyer, unit, 100, today.addMonths(-1), 100, u"paid"_s);
    const int partial = f.addInstallment(buyer, unit, 100, today, 40, u"partial"_s);
    f.addInstallment(f.addBuyer(u"ليلى"_s, u"2"_s), unit, 100, today);

    QList<int> ids;
    for (const QVariant &row : BuyerModel(f.db()).getStatement(buyer))
        ids << row.toMap().value(u"id"_s).toInt();
    QCOMPARE(ids, (QList<int> { paid, partial, late }));
}

QTEST_GUILESS_MAIN(TestBuyers)
#include "tst_buyers.moc"
