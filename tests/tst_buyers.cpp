#include "buyermodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestBuyers : public QObject
{
    Q_OBJECT

private slots:
    void update();
    void statementInDueOrder();
};

void TestBuyers::update()
{
    TestFixture f;
    f.addBuyer(u"آخر"_s, u"111"_s);
    const int id = f.addBuyer(u"سامر"_s, u"222"_s);
    BuyerModel model(f.db());
    QSignalSpy changed(&model, &BuyerModel::dataChanged);
    const auto stored = [&f, id] {
        return f.scalar(u"SELECT full_name || '/' || id_number FROM buyers WHERE id=?"_s, { id })
            .toString();
    };
    // The identity number of another buyer is refused.
    QVERIFY(!model.update(id, u"سامر عودة"_s, u"111"_s, u"0598"_s, u""_s, u""_s));
    QCOMPARE(stored(), u"سامر/222"_s);
    QCOMPARE(changed.count(), 0);
    QVERIFY(model.update(id, u"سامر عودة"_s, u"777"_s, u"0598"_s, u""_s, u""_s));
    QCOMPARE(stored(), u"سامر عودة/777"_s);
    QCOMPARE(changed.count(), 1);
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
