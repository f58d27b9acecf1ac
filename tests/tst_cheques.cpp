#include "chequemodel.h"
#include "testfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QList<int> ids(const QVariantList &rows)
{
    QList<int> result;
    for (const QVariant &row : rows)
        result.append(row.toMap().value(u"id"_s).toInt());
    return result;
}

} // namespace

class TestCheques : public QObject
{
    Q_OBJECT

private slots:
    void payerPayeeAndLinks_data();
    void payerPayeeAndLinks();
    void refused_data();
    void refused();
    void listsAndDueBoundaries();
};

void TestCheques::payerPayeeAndLinks_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("payer");
    QTest::addColumn<QString>("payee");
    QTest::addColumn<bool>("withBuyer");
    QTest::addColumn<bool>("withTenant");
    QTest::newRow("received names the payer")
        << u"received"_s << u"سامر"_s << u""_s << true << false;
    QTest::newRow("issued names the payee") << u"issued"_s << u""_s << u"سامر"_s << false << true;
    QTest::newRow("type compared case-sensitively")
        << u"Received"_s << u""_s << u""_s << false << false;
}

void TestCheques::payerPayeeAndLinks()
{
    QFETCH(QString, type);
    QFETCH(QString, payer);
    QFETCH(QString, payee);
    QFETCH(bool, withBuyer);
    QFETCH(bool, withTenant);
    TestFixture f;
    const int buyer = f.addBuyer(u"سامر"_s, u"1"_s);
    const int tenant = f.addTenant(u"ليلى"_s, u"2"_s);
    ChequeModel model(f.db());
    const QString due = TestFixture::iso(QDate::currentDate().addMonths(1));
    const int id = model.add(u"5521"_s, type, 2500, u"بنك القدس"_s, due, u"سامر"_s, 2, 3.75,
        withBuyer ? buyer : 0, withTenant ? tenant : 0);
    QVERIFY(id > 0);
    const QVariantMap row = f.db()->getById(u"cheques"_s, id);
    // Names are empty text, never NULL; a missing link is NULL, never 0.
    QCOMPARE(row.value(u"payer_name"_s).toString(), payer);
    QCOMPARE(row.value(u"payee_name"_s).toString(), payee);
    QVERIFY(!row.value(u"payer_name"_s).isNull() && !row.value(u"payee_name"_s).isNull());
    QCOMPARE(row.value(u"buyer_id"_s).isNull(), !withBuyer);
    QCOMPARE(row.value(u"tenant_id"_s).isNull(), !withTenant);
    // There is no rate column; losing the note loses the rate.
    QCOMPARE(row.value(u"notes"_s).toString(), u"exchange_rate=3.75"_s);
}

void TestCheques::refused_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<double>("amount");
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("buyerId");
    QTest::addColumn<int>("errors");
    QTest::newRow("amount not a number") << nan << 1.0 << 0 << 0;
    QTest::newRow("infinite rate") << 100.0 << -inf << 0 << 0;
    QTest::newRow("buyer that does not exist") << 100.0 << 1.0 << 99 << 1;
}

void TestCheques::refused()
{
    QFETCH(double, amount);
    QFETCH(double, rate);
    QFETCH(int, buyerId);
    QFETCH(int, errors);
    TestFixture f;
    ChequeModel model(f.db());
    QSignalSpy changed(&model, &ChequeModel::dataChanged);
    QSignalSpy errorSpy(f.db(), &Database::databaseError);
    QCOMPARE(model.add(u"9"_s, u"received"_s, amount, u""_s, TestFixture::iso(QDate::currentDate()),
                 u"x"_s, 1, rate, buyerId),
        -1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(errorSpy.count(), errors);
    QCOMPARE(f.count(u"cheques"_s), 0);
}

void TestCheques::listsAndDueBoundaries()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int yesterday = f.addCheque(u"1"_s, 100, today.addDays(-1));
    const int dueToday = f.addCheque(u"2"_s, 100, today);
    const int tomorrow = f.addCheque(u"3"_s, 100, today.addDays(1));
    const int nextMonth = f.addCheque(u"4"_s, 100, today.addMonths(1), u"pending"_s, u"issued"_s);
    const int bounced = f.addCheque(u"5"_s, 100, today.addMonths(2));
    const int paid = f.addCheque(u"6"_s, 100, today.addMonths(3), u"paid"_s);
    ChequeModel model(f.db());
    QVERIFY(model.updateStatus(bounced, u"bounced"_s));

    QCOMPARE(ids(model.getPostDated()), (QList<int> { tomorrow, nextMonth }));
    QCOMPARE(ids(model.getPending()), (QList<int> { yesterday, dueToday, tomorrow, nextMonth }));
    QCOMPARE(ids(model.getAll()),
        (QList<int> { paid, bounced, nextMonth, tomorrow, dueToday, yesterday }));
    QCOMPARE(ids(model.getByType(u"issued"_s)), QList<int> { nextMonth });
    QCOMPARE(ids(model.getByStatus(u"bounced"_s)), QList<int> { bounced });
}

QTEST_GUILESS_MAIN(TestCheques)
#include "tst_cheques.moc"
