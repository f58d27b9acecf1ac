#include "invoicemodel.h"
#include "paymentmodel.h"
#include "testfixture.h"

#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Invoices and payments spread over the last weeks, named so a row can say what it expects.
struct World
{
    TestFixture f;
    QMap<int, QString> invoices;
    QMap<int, QString> payments;

    World()
    {
        const int property = f.addProperty(u"برج النخيل"_s);
        const int unitA = f.addUnit(property, u"A-101"_s);
        const int unitB = f.addUnit(property, u"B-7"_s);
        const int sara = f.addTenant(u"سارة خليل"_s);
        const int mahmoud = f.addTenant(u"محمود علي"_s);
        const int buyer = f.addBuyer(u"ليلى حداد"_s);

        // Issued late in the day: a range ending that day must still take them.
        invoice(u"sara old"_s, u"INV-202601-0007"_s, sara, unitA, -20);
        invoice(u"mahmoud yesterday"_s, u"INV-202601-0042"_s, mahmoud, unitB, -1);
        invoice(u"sara today"_s, u"INV-202601-0043"_s, sara, unitA, 0);

        const int saraOld = invoices.key(u"sara old"_s);
        const int mahmoudInvoice = invoices.key(u"mahmoud yesterday"_s);
        payments.insert(f.addPayment(saraOld, sara, 100, day(-15)), u"sara paid"_s);
        payments.insert(f.addPayment(mahmoudInvoice, mahmoud, 50, day(-1)), u"mahmoud paid"_s);
        // An installment payment has neither tenant nor invoice, only its buyer and unit.
        payments.insert(f.insert(u"INSERT INTO payments (buyer_id, unit_id, amount, payment_date, "
                                 "reference, currency_id) VALUES (?,?,?,?,?,1)"_s,
                            { buyer, unitB, 900, TestFixture::iso(day(-5)), u"CHQ-5521"_s }),
            u"buyer paid"_s);
    }

    static QDate day(int offset) { return TestFixture::today().addDays(offset); }

    void invoice(const QString &label, const QString &number, int tenant, int unit, int offset)
    {
        const int id = f.addInvoice(tenant, unit, u"2026-01"_s, 500);
        QVERIFY(
            f.db()->execNonQuery(u"UPDATE invoices SET invoice_number=?, created_at=? WHERE id=?"_s,
                { number, TestFixture::iso(day(offset)) + u" 23:30:00"_s, id }));
        invoices.insert(id, label);
    }
};

QString bound(int offset) { return TestFixture::iso(World::day(offset)); }

QString arabicDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.isDigit())
            c = QChar(0x0660 + c.digitValue());
    return out;
}

QStringList labels(const QVariantList &rows, const QMap<int, QString> &names)
{
    QStringList out;
    for (const QVariant &row : rows)
        out << names.value(row.toMap().value(u"id"_s).toInt(), u"?"_s);
    return out;
}

} // namespace

class TestListSearch : public QObject
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void limitKeepsTheNewest();
};

void TestListSearch::search_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("expected");

    const QString inv = u"invoices"_s;
    const QString pay = u"payments"_s;
    QTest::newRow("invoices, nothing typed: all, newest first")
        << inv << QString() << QString() << QString()
        << QStringList { u"sara today"_s, u"mahmoud yesterday"_s, u"sara old"_s };
    QTest::newRow("invoices by number")
        << inv << u"0042"_s << QString() << QString() << QStringList { u"mahmoud yesterday"_s };
    QTest::newRow("invoices by number in Arabic-Indic digits")
        << inv << u"٠٠٤٣"_s << QString() << QString() << QStringList { u"sara today"_s };
    QTest::newRow("invoices by part of the tenant name")
        << inv << u"سارة"_s << QString() << QString()
        << QStringList { u"sara today"_s, u"sara old"_s };
    QTest::newRow("invoices by unit number")
        << inv << u"b-7"_s << QString() << QString() << QStringList { u"mahmoud yesterday"_s };
    QTest::newRow("invoices, range takes the whole last day")
        << inv << QString() << bound(-30) << bound(-1)
        << QStringList { u"mahmoud yesterday"_s, u"sara old"_s };
    QTest::newRow("invoices, range takes the whole first day")
        << inv << QString() << bound(-1) << QString()
        << QStringList { u"sara today"_s, u"mahmoud yesterday"_s };
    QTest::newRow("invoices, name and range together")
        << inv << u"سارة"_s << bound(-30) << bound(-1) << QStringList { u"sara old"_s };
    QTest::newRow("invoices, a day that does not exist leaves the end open")
        << inv << u"سارة"_s << bound(-30) << u"2026-02-30"_s
        << QStringList { u"sara today"_s, u"sara old"_s };
    QTest::newRow("invoices, range typed in Arabic-Indic digits")
        << inv << QString() << arabicDigits(bound(-1)) << arabicDigits(bound(-1))
        << QStringList { u"mahmoud yesterday"_s };
    QTest::newRow("invoices, nothing matches")
        << inv << u"zzz"_s << QString() << QString() << QStringList {};

    QTest::newRow("payments, nothing typed: all, newest first")
        << pay << QString() << QString() << QString()
        << QStringList { u"mahmoud paid"_s, u"buyer paid"_s, u"sara paid"_s };
    QTest::newRow("payments by tenant name")
        << pay << u"محمود"_s << QString() << QString() << QStringList { u"mahmoud paid"_s };
    QTest::newRow("payments by buyer name")
        << pay << u"ليلى"_s << QString() << QString() << QStringList { u"buyer paid"_s };
    QTest::newRow("payments by invoice number")
        << pay << u"0007"_s << QString() << QString() << QStringList { u"sara paid"_s };
    QTest::newRow("payments by reference")
        << pay << u"chq-55"_s << QString() << QString() << QStringList { u"buyer paid"_s };
    QTest::newRow("payments, range ending on a payment day")
        << pay << QString() << bound(-15) << bound(-5)
        << QStringList { u"buyer paid"_s, u"sara paid"_s };
}

void TestListSearch::search()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, expected);
    World w;
    if (list == u"invoices"_s) {
        InvoiceModel model(w.f.db());
        QCOMPARE(labels(model.search(text, from, to, 500), w.invoices), expected);
    } else {
        PaymentModel model(w.f.db());
        QCOMPARE(labels(model.search(text, from, to, 500), w.payments), expected);
    }
}

// The "more" button raises the limit: the first rows are always the newest.
void TestListSearch::limitKeepsTheNewest()
{
    World w;
    InvoiceModel invoices(w.f.db());
    QCOMPARE(labels(invoices.search(QString(), QString(), QString(), 2), w.invoices),
        (QStringList { u"sara today"_s, u"mahmoud yesterday"_s }));
    PaymentModel payments(w.f.db());
    QCOMPARE(labels(payments.search(QString(), QString(), QString(), 1), w.payments),
        QStringList { u"mahmoud paid"_s });
}

QTEST_GUILESS_MAIN(TestListSearch)
#include "tst_listsearch.moc"
