#include "money.h"
#include "printcontroller.h"
#include "remindermodel.h"
#include "session.h"
#include "settingsmanager.h"
#include "testfixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int addDueInvoice(
    TestFixture &f, int tenant, int unit, const QString &number, double amount, int daysLate)
{
    const QDate due = TestFixture::today().addDays(-daysLate);
    return f.insert(u"INSERT INTO invoices (invoice_number, tenant_id, unit_id, period, "
                    "total_amount, balance, status, currency_id, due_date, created_at) "
                    "VALUES (?,?,?,?,?,?,'pending',1,?,?)"_s,
        { number, tenant, unit, due.toString(u"yyyy-MM"_s), amount, amount, TestFixture::iso(due),
            TestFixture::iso(due) });
}

struct World
{
    TestFixture f;
    SettingsManager settings { f.db() };
    ReminderModel reminders { f.db(), &settings };
    int unit = f.addUnit(f.addProperty(), u"101"_s);
    int tenant = f.addTenant(u"سامي الخطيب"_s, u"1"_s);
};

// Text of a PDF, shaped letters folded back and direction marks removed.
QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, { u"-layout"_s, pdf, u"-"_s });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    QString text = QString::fromUtf8(process.readAllStandardOutput())
                       .normalized(QString::NormalizationForm_KC);
    text.remove(
        QRegularExpression(u"[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"_s));
    return text;
}

} // namespace

class TestReminders : public QObject
{
    Q_OBJECT

private slots:
    void letterListsWhatIsPastDue_data();
    void letterListsWhatIsPastDue();
    void sendRecordsWhoWhenAndWhat();
    void sendAllIsAllOrNothing();
    void lettersPrintAPageEach();
};

void TestReminders::letterListsWhatIsPastDue_data()
{
    QTest::addColumn<QList<int>>("daysLate"); // one 1,000 invoice per entry, numbered …
    QTest::addColumn<double>("onAccount");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<double>("total");
    QTest::newRow("nothing past due") << QList<int> { 0, -20 } << 0.0 << QStringList() << 0.0;
    QTest::newRow("one late, one not yet due")
        << QList<int> { 45, -3 } << 0.0 << QStringList { u"R-1"_s } << 1000.0;
    QTest::newRow("two late, oldest first")
        << QList<int> { 5, 95 } << 0.0 << QStringList { u"R-2"_s, u"R-1"_s } << 2000.0;
    QTest::newRow("a payment on account lowers the total")
        << QList<int> { 5, 95 } << 300.0 << QStringList { u"R-2"_s, u"R-1"_s } << 1700.0;
    QTest::newRow("paid on account in full")
        << QList<int> { 5, 95 } << 2000.0 << QStringList() << 0.0;
}

void TestReminders::letterListsWhatIsPastDue()
{
    QFETCH(QList<int>, daysLate);
    QFETCH(double, onAccount);
    QFETCH(QStringList, listed);
    QFETCH(double, total);
    World w;
    for (qsizetype i = 0; i < daysLate.size(); ++i)
        addDueInvoice(w.f, w.tenant, w.unit, u"R-%1"_s.arg(i + 1), 1000, daysLate.at(i));
    if (onAccount > 0)
        w.f.addPayment(0, w.tenant, onAccount, TestFixture::today());

    const QVariantMap letter = w.reminders.compose(u"tenant"_s, w.tenant);
    QCOMPARE(letter.value(u"overdue"_s).toBool(), !listed.isEmpty());
    QStringList refs;
    for (const QVariant &item : letter.value(u"items"_s).toList()) {
        refs.append(item.toMap().value(u"ref"_s).toString());
        QVERIFY(letter.value(u"text"_s).toString().contains(refs.last()));
    }
    QCOMPARE(refs, listed);
    qint64 owed = 0;
    for (const QVariant &item : letter.value(u"totals"_s).toList())
        owed += Money::cents(item.toMap().value(u"amount"_s).toDouble());
    QCOMPARE(owed, Money::cents(total));
    if (!listed.isEmpty())
        QVERIFY(letter.value(u"text"_s).toString().contains(
            u"الإجمالي المستحق: "_s + QLocale(QLocale::English).toString(total, 'f', 2)));
}

void TestReminders::sendRecordsWhoWhenAndWhat()
{
    World w;
    const int user = w.f.insert(u"INSERT INTO users (username, password_hash, full_name, role) "
                                "VALUES ('huda', 'x', 'هدى', 'user')"_s,
        {});
    Session session(w.f.db());
    session.attach();
    session.begin(user, u"huda"_s, u"هدى"_s, u"user"_s);
    QSignalSpy changed(&w.reminders, &ReminderModel::dataChanged);

    QVERIFY(w.reminders.send(u"tenant"_s, w.tenant, u"text"_s).isEmpty());
    QCOMPARE(w.f.count(u"reminders"_s), 0);

    addDueInvoice(w.f, w.tenant, w.unit, u"INV-77"_s, 1250.5, 12);
    const QVariantMap letter = w.reminders.send(u"tenant"_s, w.tenant, u"pdf"_s);
    QCOMPARE(letter.value(u"name"_s).toString(), u"سامي الخطيب"_s);
    QCOMPARE(changed.count(), 1);

    const QVariantList history = w.reminders.history(u"tenant"_s, w.tenant);
    QCOMPARE(history.size(), 1);
    const QVariantMap sent = history.first().toMap();
    QCOMPARE(sent.value(u"operator"_s).toString(), u"هدى"_s);
    QCOMPARE(sent.value(u"channel"_s).toString(), u"pdf"_s);
    QVERIFY(sent.value(u"details"_s).toString().contains(u"INV-77"_s));
    QCOMPARE(sent.value(u"total"_s).toString(), u"1,250.50 ₪"_s);
    QCOMPARE(sent.value(u"sent_at"_s).toString().left(10), TestFixture::iso(TestFixture::today()));
    QCOMPARE(w.f.scalar(u"SELECT user_id FROM reminders"_s).toInt(), user);
    QVERIFY(w.reminders.history(u"buyer"_s, w.tenant).isEmpty());
    session.detach();
}

void TestReminders::sendAllIsAllOrNothing()
{
    World w;
    const int other = w.f.addTenant(u"باسل"_s, u"2"_s);
    const int paidUp = w.f.addTenant(u"جميل"_s, u"3"_s);
    addDueInvoice(w.f, w.tenant, w.unit, u"A-1"_s, 500, 40);
    addDueInvoice(w.f, other, w.unit, u"B-1"_s, 700, 3);
    addDueInvoice(w.f, paidUp, w.unit, u"C-1"_s, 900, -10);

    w.f.failWrites(u"reminders"_s, u"INSERT"_s, u"NEW.person_id="_s + QString::number(other));
    QVERIFY(w.reminders.sendAll(0, u"pdf"_s).isEmpty());
    QCOMPARE(w.f.count(u"reminders"_s), 0);

    w.f.allowWrites();
    const QVariantList letters = w.reminders.sendAll(0, u"pdf"_s);
    QCOMPARE(letters.size(), 2);
    QCOMPARE(w.f.count(u"reminders"_s), 2);
}

void TestReminders::lettersPrintAPageEach()
{
    World w;
    w.settings.updateCompanyProfile(u"شركة النخيل"_s, u"0599123456"_s, u"رام الله"_s, {});
    const int other = w.f.addTenant(u"باسل"_s, u"2"_s);
    addDueInvoice(w.f, w.tenant, w.unit, u"A-1"_s, 500, 40);
    addDueInvoice(w.f, other, w.unit, u"B-1"_s, 700, 3);
    const QVariantList letters
        = { w.reminders.compose(u"tenant"_s, w.tenant), w.reminders.compose(u"tenant"_s, other) };

    PrintController printer(&w.settings);
    const QString path = w.f.dataDir() + u"/reminders.pdf"_s;
    QVERIFY(printer.saveReminders(letters, path));
    const QStringList pages = pdfText(path).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    for (qsizetype i = 0; i < 2; ++i) {
        const QString page = pages.at(i);
        const QString ref = i == 0 ? u"A-1"_s : u"B-1"_s;
        QVERIFY2(page.contains(u"شركة النخيل"_s), qPrintable(page));
        // Reading order: greeting, the listed invoice, the total, how to pay.
        const qsizetype greeting = page.indexOf(i == 0 ? u"الخطيب"_s : u"باسل"_s);
        const qsizetype item = page.indexOf(ref);
        const qsizetype total = page.indexOf(u"الإجمالي المستحق"_s);
        const qsizetype pay = page.indexOf(u"يمكنكم السداد"_s);
        QVERIFY2(greeting >= 0 && greeting < item && item < total && total < pay, qPrintable(page));
    }
}

QTEST_MAIN(TestReminders)
#include "tst_reminders.moc"
