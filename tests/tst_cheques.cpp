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
    void payerPayee_data();
    void payerPayee();
    void links_data();
    void links();
    void exchangeRateNote_data();
    void exchangeRateNote();
    void refused_data();
    void refused();
    void postDatedAndPendingBoundaries();
    void statusesAndOrdering();
};

void TestCheques::payerPayee_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("payer");
    QTest::addColumn<QString>("payee");
    QTest::newRow("received names the payer") << u"received"_s << u"سامر"_s << u""_s;
    QTest::newRow("issued names the payee") << u"issued"_s << u""_s << u"سامر"_s;
    QTest::newRow("type compared case-sensitively") << u"Received"_s << u""_s << u""_s;
    QTest::newRow("other type names nobody") << u"deposit"_s << u""_s << u""_s;
}

void TestCheques::payerPayee()
{
    QFETCH(QString, type);
    QFETCH(QString, payer);
    QFETCH(QString, payee);
    TestFixture f;
    ChequeModel model(f.db());
    QSignalSpy changed(&model, &ChequeModel::dataChanged);
    const QString due = TestFixture::iso(QDate::currentDate().addMonths(1));
    const int id = model.add(u"5521"_s, type, 2500, u"بنك القدس"_s, due, u"سامر"_s, 2, 3.75);
    QVERIFY(id > 0);
    QCOMPARE(changed.count(), 1);
    const QVariantMap row = f.db()->getById(u"cheques"_s, id);
    // Names are empty text, never NULL.
    QCOMPARE(row.value(u"payer_name"_s).toString(), payer);
    QCOMPARE(row.value(u"payee_name"_s).toString(), payee);
    QVERIFY(!row.value(u"payer_name"_s).isNull() && !row.value(u"payee_name"_s).isNull());
    QCOMPARE(row.value(u"issue_date"_s).toDate(), f.sqliteToday());
    QCOMPARE(row.value(u"status"_s).toString(), u"pending"_s);
}

void TestCheques::links_data()
{
    QTest::addColumn<bool>("withBuyer");
    QTest::addColumn<bool>("withTenant");
    QTest::newRow("buyer only") << true << false;
    QTest::newRow("tenant only") << false << true;
    QTest::newRow("neither: both NULL") << false << false;
    QTest::newRow("both") << true << true;
}

void TestCheques::links()
{
    QFETCH(bool, withBuyer);
    QFETCH(bool, withTenant);
    TestFixture f;
    const int buyer = f.addBuyer(u"سامر"_s, u"1"_s);
    const int tenant = f.addTenant(u"ليلى"_s, u"2"_s);
    ChequeModel model(f.db());
    const QString due = TestFixture::iso(QDate::currentDate());
    // Without both links, the optional arguments are left out altogether.
    const int id = withBuyer || withTenant
        ? model.add(u"1"_s, u"received"_s, 100, u""_s, due, u"x"_s, 1, 1, withBuyer ? buyer : 0,
            withTenant ? tenant : 0)
        : model.add(u"1"_s, u"received"_s, 100, u""_s, due, u"x"_s, 1, 1);
    QVERIFY(id > 0);
    const QVariantMap row = f.db()->getById(u"cheques"_s, id);
    QCOMPARE(row.value(u"buyer_id"_s).isNull(), !withBuyer);
    QCOMPARE(row.value(u"tenant_id"_s).isNull(), !withTenant);
    QCOMPARE(row.value(u"buyer_id"_s).toInt() + row.value(u"tenant_id"_s).toInt(),
        (withBuyer ? buyer : 0) + (withTenant ? tenant : 0));
}

void TestCheques::exchangeRateNote_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("notes");
    QTest::newRow("one") << 1.0 << u"exchange_rate=1"_s;
    QTest::newRow("fraction") << 3.75 << u"exchange_rate=3.75"_s;
    QTest::newRow("six significant digits") << 0.2812345 << u"exchange_rate=0.281234"_s;
    QTest::newRow("large") << 1234567.0 << u"exchange_rate=1.23457e+06"_s;
}

void TestCheques::exchangeRateNote()
{
    QFETCH(double, rate);
    QFETCH(QString, notes);
    TestFixture f;
    ChequeModel model(f.db());
    const int id = model.add(u"77"_s, u"received"_s, 100, u""_s,
        TestFixture::iso(QDate::currentDate()), u"x"_s, 1, rate);
    QCOMPARE(f.db()->getById(u"cheques"_s, id).value(u"notes"_s).toString(), notes);
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
    QTest::newRow("infinite amount") << inf << 1.0 << 0 << 0;
    QTest::newRow("rate not a number") << 100.0 << nan << 0 << 0;
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

void TestCheques::postDatedAndPendingBoundaries()
{
    TestFixture f;
    const QDate today = f.sqliteToday();
    const int yesterday = f.addCheque(u"1"_s, 100, today.addDays(-1));
    const int dueToday = f.addCheque(u"2"_s, 100, today);
    const int tomorrow = f.addCheque(u"3"_s, 100, today.addDays(1));
    const int nextMonth = f.addCheque(u"4"_s, 100, today.addMonths(1));
    f.addCheque(u"5"_s, 100, today.addMonths(2), u"paid"_s);
    f.addCheque(u"6"_s, 100, today.addMonths(3), u"bounced"_s);
    ChequeModel model(f.db());

    QCOMPARE(ids(model.getPostDated()), (QList<int> { tomorrow, nextMonth }));
    QCOMPARE(ids(model.getPending()), (QList<int> { yesterday, dueToday, tomorrow, nextMonth }));
    QCOMPARE(model.getPending().first().toMap().value(u"currency_symbol"_s).toString(), u"₪"_s);
}

void TestCheques::statusesAndOrdering()
{
    TestFixture f;
    const QDate today = QDate::currentDate();
    const int early = f.addCheque(u"1"_s, 100, today.addDays(3));
    const int late = f.addCheque(u"2"_s, 100, today.addDays(30), u"pending"_s, u"issued"_s);
    const int middle = f.addCheque(u"3"_s, 100, today.addDays(10));
    ChequeModel model(f.db());
    QSignalSpy changed(&model, &ChequeModel::dataChanged);

    QVERIFY(model.updateStatus(middle, u"bounced"_s));
    QVERIFY(model.updateStatus(late, u"paid"_s));
    QVERIFY(model.updateStatus(late + 100, u"paid"_s));
    QCOMPARE(changed.count(), 3);

    QCOMPARE(ids(model.getPending()), QList<int> { early });
    QCOMPARE(ids(model.getPostDated()), QList<int> { early });
    const QVariantList all = model.getAll();
    QCOMPARE(ids(all), (QList<int> { late, middle, early }));
    QCOMPARE(all.first().toMap().value(u"currency_code"_s).toString(), u"ILS"_s);
    QCOMPARE(ids(model.getByType(u"received"_s)), (QList<int> { middle, early }));
    QCOMPARE(ids(model.getByType(u"issued"_s)), QList<int> { late });
    QCOMPARE(ids(model.getByStatus(u"bounced"_s)), QList<int> { middle });
    QVERIFY(!model.getByType(u"issued"_s).first().toMap().contains(u"currency_code"_s));
}

QTEST_GUILESS_MAIN(TestCheques)
#include "tst_cheques.moc"
