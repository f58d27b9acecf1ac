#include "backgroundreader.h"
#include "dashboardcontroller.h"
#include "notificationcontroller.h"
#include "reportcontroller.h"
#include "rowlistmodel.h"
#include "testfixture.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// Holds the second connection's thread until the test lets it go, so that calls queue up.
class Gate : public QObject
{
    Q_OBJECT
public:
    static QSemaphore open;
    Q_INVOKABLE int wait()
    {
        open.acquire();
        return 1;
    }
};
QSemaphore Gate::open;

class TestBackgroundReader : public QObject
{
    Q_OBJECT

private slots:
    void sameResultAsTheWindowsConnection_data();
    void sameResultAsTheWindowsConnection();
    void seesWhatWasCommittedBefore();
    void waitingCallsAreNotQueuedTwice();
    void resultGoesOnlyToTheCallThatAsked();

private:
    static void addObjects(BackgroundReader &reader)
    {
        reader.registerObject(
            u"dashboard"_s, [](Database *db) { return new DashboardController(db); });
        reader.registerObject(u"reports"_s, [](Database *db) { return new ReportController(db); });
        reader.registerObject(u"gate"_s, [](Database *) { return new Gate; });
    }
    // A small portfolio with a late invoice, a payment, an expense and a sale.
    static void seed(TestFixture &f)
    {
        const QDate today = TestFixture::today();
        const int property = f.addProperty();
        const int unit = f.addUnit(property, u"A1"_s, 1000, u"rented"_s);
        const int tenant = f.addTenant(u"سامي"_s);
        f.addLease(unit, tenant, today.addMonths(-4), today.addMonths(8), 1000);
        const int late
            = f.addInvoice(tenant, unit, TestFixture::iso(today.addMonths(-3)).left(7), 1000);
        f.scalar(u"UPDATE invoices SET due_date=? WHERE id=?"_s,
            { TestFixture::iso(today.addDays(-75)), late });
        const int paid
            = f.addInvoice(tenant, unit, TestFixture::iso(today).left(7), 1000, u"paid"_s, 1000);
        f.addPayment(paid, tenant, 1000, today);
        f.addExpense(property, unit, 250.5, today.addDays(-3));
        const int sold = f.addUnit(property, u"A2"_s, 0, u"sold"_s, 100, 90000);
        f.addInstallment(f.addBuyer(u"ليلى"_s), sold, 1500, today.addDays(-40));
    }
    // The result of one call, waited for.
    static QVariant result(BackgroundReader &reader, const QString &object, const QString &method,
        const QVariantList &arguments = {})
    {
        QSignalSpy done(&reader, &BackgroundReader::finished);
        const int ticket = reader.call(object, method, arguments);
        while (done.isEmpty() || done.last().at(0).toInt() != ticket)
            if (!done.wait(20000))
                return u"no answer"_s;
        return done.last().at(1);
    }
};

void TestBackgroundReader::sameResultAsTheWindowsConnection_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<bool>("answers");

    const QString yearStart = TestFixture::iso(QDate(TestFixture::today().year(), 1, 1));
    QTest::newRow("no arguments, a map")
        << u"dashboard"_s << u"getStats"_s << QVariantList() << true;
    QTest::newRow("aging summary")
        << u"dashboard"_s << u"getArrearsSummary"_s << QVariantList() << true;
    QTest::newRow("text arguments")
        << u"reports"_s << u"getProfitLoss"_s
        << QVariantList { yearStart, TestFixture::iso(TestFixture::today()) } << true;
    // A number given as text is converted to the parameter's type, as QML would.
    QTest::newRow("converted arguments")
        << u"reports"_s << u"getArrears"_s << QVariantList { u"0"_s, u"overdue"_s } << true;
    QTest::newRow("a list") << u"reports"_s << u"getProjectsFinancials"_s << QVariantList() << true;
    QTest::newRow("unknown object") << u"nobody"_s << u"getStats"_s << QVariantList() << false;
    QTest::newRow("unknown method")
        << u"dashboard"_s << u"dropEverything"_s << QVariantList() << false;
    QTest::newRow("wrong argument count")
        << u"reports"_s << u"getProfitLoss"_s << QVariantList { yearStart } << false;
}

void TestBackgroundReader::sameResultAsTheWindowsConnection()
{
    QFETCH(QString, object);
    QFETCH(QString, method);
    QFETCH(QVariantList, arguments);
    QFETCH(bool, answers);

    TestFixture f;
    seed(f);
    BackgroundReader reader(f.target(), f.db());
    addObjects(reader);
    if (!answers)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Background reads: no "_s));
    const QVariant got = result(reader, object, method, arguments);
    QCOMPARE(got.isValid(), answers);
    if (!answers)
        return;

    DashboardController dashboard(f.db());
    ReportController reports(f.db());
    QVariant expected;
    if (method == u"getStats"_s)
        expected = dashboard.getStats();
    else if (method == u"getArrearsSummary"_s)
        expected = dashboard.getArrearsSummary();
    else if (method == u"getProfitLoss"_s)
        expected = reports.getProfitLoss(arguments.at(0).toString(), arguments.at(1).toString());
    else if (method == u"getArrears"_s)
        expected = reports.getArrears(arguments.at(0).toInt(), arguments.at(1).toString());
    else
        expected = reports.getProjectsFinancials();
    QVERIFY(!expected.toMap().isEmpty() || !expected.toList().isEmpty());
    QCOMPARE(got, expected);
}

void TestBackgroundReader::seesWhatWasCommittedBefore()
{
    TestFixture f;
    seed(f);
    BackgroundReader reader(f.target(), f.db());
    addObjects(reader);
    const QString from = TestFixture::iso(TestFixture::today().addMonths(-1));
    const QString to = TestFixture::iso(TestFixture::today());
    const double before = result(reader, u"reports"_s, u"getProfitLoss"_s, { from, to })
                              .toMap()
                              .value(u"expenses"_s)
                              .toDouble();
    f.addExpense(f.addProperty(u"برج الزيتون"_s), 0, 99.25, TestFixture::today());
    const double after = result(reader, u"reports"_s, u"getProfitLoss"_s, { from, to })
                             .toMap()
                             .value(u"expenses"_s)
                             .toDouble();
    QCOMPARE(after - before, 99.25);
}

void TestBackgroundReader::waitingCallsAreNotQueuedTwice()
{
    TestFixture f;
    BackgroundReader reader(f.target(), f.db());
    addObjects(reader);
    QSignalSpy done(&reader, &BackgroundReader::finished);
    reader.call(u"gate"_s, u"wait"_s);
    const int first = reader.call(u"dashboard"_s, u"getStats"_s);
    QCOMPARE(reader.call(u"dashboard"_s, u"getStats"_s), first);
    const int other = reader.call(u"reports"_s, u"getArrears"_s, { 0, u"overdue"_s });
    QVERIFY(other != first);
    QCOMPARE(reader.pending(), 3);
    Gate::open.release();
    QTRY_COMPARE_WITH_TIMEOUT(reader.pending(), 0, 20000);
    QCOMPARE(done.count(), 3);
}

// Every page's calls hear each result; only the asking one may take it, and only while it is
// being handed over, so a long list is never kept or converted again for the others.
void TestBackgroundReader::resultGoesOnlyToTheCallThatAsked()
{
    TestFixture f;
    seed(f);
    BackgroundReader reader(f.target(), f.db());
    addObjects(reader);
    reader.registerObject(
        u"alerts"_s, [](Database *db) { return new NotificationController(db); });
    const int sold = f.addUnit(f.addProperty(u"برج الزيتون"_s), u"B1"_s, 0, u"sold"_s, 100, 5000);
    f.addInstallment(f.addBuyer(u"رامي"_s), sold, 700, TestFixture::today().addDays(-10));
    RowListModel model;
    model.setRows(QVariantList { QVariantMap { { u"stale"_s, 1 } } });
    QSignalSpy counted(&model, &RowListModel::countChanged);
    const int stats = reader.call(u"dashboard"_s, u"getStats"_s);
    const int list = reader.call(u"alerts"_s, u"getActiveAlerts"_s);
    QList<int> heard;
    QVariant statsDuringList;
    bool wrongTicketTaken = true;
    bool intoModel = false;
    connect(&reader, &BackgroundReader::ready, &model, [&](int ticket) {
        heard << ticket;
        if (ticket != list)
            return;
        wrongTicketTaken = reader.resultInto(stats, &model);
        intoModel = reader.resultInto(list, &model);
        statsDuringList = reader.result(stats);
    });
    QTRY_COMPARE_WITH_TIMEOUT(reader.pending(), 0, 20000);

    QCOMPARE(heard, (QList<int> { stats, list }));
    QVERIFY(!wrongTicketTaken);
    QVERIFY(intoModel);
    QVERIFY(!statsDuringList.isValid());
    QVERIFY(!reader.result(list).isValid());
    const QVariantList expected = NotificationController(f.db()).getActiveAlerts();
    QVERIFY(expected.size() > 1);
    QCOMPARE(model.count(), expected.size());
    QCOMPARE(counted.count(), 1);
    QCOMPARE(model.get(1), expected.at(1).toMap());
    QCOMPARE(model.data(model.index(0), RowListModel::RowRole), expected.at(0));
    QVERIFY(model.get(expected.size()).isEmpty());
    model.setRows(u"not a list"_s);
    QCOMPARE(model.count(), 0);
    QCOMPARE(counted.count(), 2);
}

QTEST_MAIN(TestBackgroundReader)
#include "tst_backgroundreader.moc"
