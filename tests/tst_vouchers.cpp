#include "documentlayout.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "settingsmanager.h"
#include "testfixture.h"
#include "transactionguard.h"
#include "voucherbook.h"
#include "vouchermodel.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString year(int offset = 0) { return QString::number(TestFixture::today().year() + offset); }

QString today() { return TestFixture::iso(TestFixture::today()); }

// Issues one voucher of the kind ('R' or 'P') dated `date` in a transaction of its own.
QString issue(Database *db, QChar kind, const QString &date)
{
    TransactionGuard guard(db);
    VoucherBook::Entry entry;
    entry.kind = kind == u'R' ? VoucherBook::Kind::Receipt : VoucherBook::Kind::Payment;
    entry.date = date;
    entry.amount = 10;
    entry.source = u"test"_s;
    const int id = VoucherBook(db).issue(entry);
    if (id < 1 || !guard.commit())
        return QString();
    return Database::firstRow(db->execQuery(u"SELECT number FROM vouchers WHERE id=?"_s, { id }))
        .value(u"number"_s)
        .toString();
}

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, { u"-layout"_s, pdf, u"-"_s });
    process.waitForFinished();
    QString text = QString::fromUtf8(process.readAllStandardOutput())
                       .normalized(QString::NormalizationForm_KC);
    text.remove(
        QRegularExpression(u"[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"_s));
    return text;
}

} // namespace

class TestVouchers : public QObject
{
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void numbersNeverSkippedOrReused();
    void onePerOperation_data();
    void onePerOperation();
    void listAndSearch();
    void printedVoucher();
};

// Steps are kind and date ("R:2026-03-01"); each gives the expected number.
void TestVouchers::numbering_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("numbers");
    const QString jan = year() + u"-01-02"_s;
    const QString lastDec = year(-1) + u"-12-31"_s;
    QTest::newRow("receipts follow each other")
        << QStringList { u"R:"_s + jan, u"R:"_s + jan, u"R:"_s + jan }
        << QStringList { u"RCV-%1-00001"_s.arg(year()), u"RCV-%1-00002"_s.arg(year()),
               u"RCV-%1-00003"_s.arg(year()) };
    QTest::newRow("each kind counts on its own")
        << QStringList { u"R:"_s + jan, u"P:"_s + jan, u"R:"_s + jan, u"P:"_s + jan }
        << QStringList { u"RCV-%1-00001"_s.arg(year()), u"PAY-%1-00001"_s.arg(year()),
               u"RCV-%1-00002"_s.arg(year()), u"PAY-%1-00002"_s.arg(year()) };
    QTest::newRow("each calendar year counts on its own")
        << QStringList { u"R:"_s + lastDec, u"R:"_s + jan, u"R:"_s + lastDec }
        << QStringList { u"RCV-%1-00001"_s.arg(year(-1)), u"RCV-%1-00001"_s.arg(year()),
               u"RCV-%1-00002"_s.arg(year(-1)) };
}

void TestVouchers::numbering()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, numbers);
    TestFixture f;
    for (qsizetype i = 0; i < steps.size(); ++i)
        QCOMPARE(issue(f.db(), steps.at(i).at(0), steps.at(i).mid(2)), numbers.at(i));
}

// A payment whose write fails takes no number. Voiding a payment keeps its receipt, marked void
// with the reason, and the invoice owes again; a void number is never reused.
void TestVouchers::numbersNeverSkippedOrReused()
{
    TestFixture f;
    PaymentModel payments(f.db());
    VoucherModel vouchers(f.db());
    const int tenant = f.addTenant(u"سالم"_s);
    const int invoice = f.addInvoice(tenant, 0, today().left(7), 900);
    const double owed = f.tenantBalance(tenant);
    f.failWrites(u"tenants"_s, u"UPDATE"_s);
    QCOMPARE(payments.add(invoice, tenant, 100, u"cash"_s, today(), {}, 1), -1);
    QCOMPARE(f.count(u"vouchers"_s), 0);
    f.allowWrites();

    const int payment = payments.add(invoice, tenant, 900, u"cash"_s, today(), {}, 1);
    QVERIFY(payment > 0);
    QVERIFY(payments.reverse(payment, u"شيك مرتجع"_s) > 0);
    QCOMPARE(f.count(u"vouchers"_s), 1);
    const QVariantMap voucher = vouchers.getById(
        f.scalar(u"SELECT voucher_id FROM payments WHERE id=?"_s, { payment }).toInt());
    QCOMPARE(voucher.value(u"status"_s).toString(), u"void"_s);
    QCOMPARE(voucher.value(u"void_reason"_s).toString(), u"شيك مرتجع"_s);
    QCOMPARE(voucher.value(u"number"_s).toString(), u"RCV-%1-00001"_s.arg(year()));
    QCOMPARE(f.scalar(u"SELECT balance FROM invoices WHERE id=?"_s, { invoice }).toDouble(), 900.0);
    QCOMPARE(Money::cents(f.tenantBalance(tenant)), Money::cents(owed));

    QVERIFY(payments.add(invoice, tenant, 100, u"cash"_s, today(), {}, 1) > 0);
    QCOMPARE(f.joined(u"SELECT number FROM vouchers ORDER BY id"_s, {}, u" "_s),
        u"RCV-%1-00001 RCV-%1-00002"_s.arg(year()));
}

// Each way money comes in or goes out leaves one voucher of its kind, naming who paid or was
// paid, the sum, and what it was for.
void TestVouchers::onePerOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("party");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("purposeHas");
    QTest::addColumn<QString>("method");
    QTest::newRow("tenant payment") << u"payment"_s << u"receipt"_s << u"payment"_s << u"سالم"_s
                                    << 250.5 << u"FIX-"_s << u"bank"_s;
    QTest::newRow("one payment over two invoices") << u"settle"_s << u"receipt"_s << u"payment"_s
                                                   << u"سالم"_s << 1500.0 << u"، "_s << u"cash"_s;
    QTest::newRow("down payment of a sale") << u"sale"_s << u"receipt"_s << u"down_payment"_s
                                            << u"هالة"_s << 2000.0 << u"101"_s << u"cash"_s;
    QTest::newRow("installment by its cheque")
        << u"installment"_s << u"receipt"_s << u"installment"_s << u"هالة"_s << 300.0
        << u"القسط رقم 1 من 1"_s << u"cheque"_s;
    QTest::newRow("expense paid") << u"expense"_s << u"payment"_s << u"expense"_s << QString()
                                  << 75.25 << u"صيانة"_s << u"cash"_s;
    QTest::newRow("expense owed to a contractor: no voucher yet")
        << u"contractorExpense"_s << QString() << QString() << QString() << 0.0 << QString()
        << QString();
    QTest::newRow("contractor paid") << u"contractor"_s << u"payment"_s << u"contractor"_s
                                     << u"ورشة"_s << 400.0 << u"المقاول"_s << u"bank"_s;
}

void TestVouchers::onePerOperation()
{
    QFETCH(QString, operation);
    QFETCH(QString, kind);
    QFETCH(QString, source);
    QFETCH(QString, party);
    QFETCH(double, amount);
    QFETCH(QString, purposeHas);
    QFETCH(QString, method);
    TestFixture f;
    PaymentModel payments(f.db());
    InstallmentModel installments(f.db());
    ExpenseModel expenses(f.db());
    const int property = f.addProperty();
    const int unit = f.addUnit(property, u"101"_s);
    const int tenant = f.addTenant(u"سالم"_s);
    const int buyer = f.addBuyer(u"هالة"_s);
    const int contractor
        = f.insert(u"INSERT INTO contractors (name, balance) VALUES ('ورشة', 1000)"_s, {});
    const int first = f.addInvoice(tenant, unit, year() + u"-01"_s, 1000);
    f.addInvoice(tenant, unit, year() + u"-02"_s, 1000);

    bool done = false;
    if (operation == u"payment"_s)
        done = payments.add(first, tenant, 250.5, u"bank"_s, today(), u"TR-7"_s, 1) > 0;
    else if (operation == u"settle"_s)
        done = payments.settle(tenant, {}, 1500, u"cash"_s, today(), {}) == 2;
    else if (operation == u"sale"_s)
        done = installments.sellUnit(buyer, unit, 5000, 2000, 10, today(), 1) > 0;
    else if (operation == u"installment"_s) {
        f.insert(u"INSERT INTO installments (buyer_id, unit_id, total_price, installment_amount, "
                 "due_date, cheque_number, bank_name, currency_id) VALUES "
                 "(?, ?, 300, 300, ?, '5001', 'بنك فلسطين', 1)"_s,
            { buyer, unit, today() });
        done = installments.payInstallment(
            f.scalar(u"SELECT MAX(id) FROM installments"_s).toInt(), 300);
    } else if (operation == u"expense"_s)
        done = expenses.add(property, unit, 0, u"صيانة"_s, {}, u"دهان"_s, 75.25, today(), 1) > 0;
    else if (operation == u"contractorExpense"_s)
        done = expenses.add(property, unit, contractor, u"صيانة"_s, {}, u"دهان"_s, 80, today(), 1)
            > 0;
    else if (operation == u"contractor"_s)
        done = expenses.payContractor(contractor, 400, today(), u"bank"_s, u"دفعة"_s) > 0;
    QVERIFY(done);

    if (kind.isEmpty()) {
        QCOMPARE(f.count(u"vouchers"_s), 0);
        return;
    }
    QCOMPARE(f.count(u"vouchers"_s), 1);
    const QVariantMap voucher = Database::firstRow(f.db()->execQuery(u"SELECT * FROM vouchers"_s));
    QCOMPARE(voucher.value(u"kind"_s).toString(), kind);
    QCOMPARE(voucher.value(u"source"_s).toString(), source);
    QCOMPARE(voucher.value(u"party_name"_s).toString(), party);
    QCOMPARE(Money::cents(voucher.value(u"amount"_s).toDouble()), Money::cents(amount));
    QVERIFY2(voucher.value(u"purpose"_s).toString().contains(purposeHas),
        qPrintable(voucher.value(u"purpose"_s).toString()));
    QCOMPARE(voucher.value(u"method"_s).toString(), method);
    // Every payment row of the operation points at the voucher.
    QCOMPARE(f.scalar(u"SELECT COUNT(*) FROM payments WHERE voucher_id IS NULL"_s).toInt(), 0);
}

void TestVouchers::listAndSearch()
{
    TestFixture f;
    PaymentModel payments(f.db());
    ExpenseModel expenses(f.db());
    VoucherModel vouchers(f.db());
    const int salem = f.addTenant(u"سالم"_s);
    const int mazen = f.addTenant(u"مازن"_s);
    const int a = f.addInvoice(salem, 0, today().left(7), 900);
    const int b = f.addInvoice(mazen, 0, today().left(7), 900);
    const QString yesterday = TestFixture::iso(TestFixture::today().addDays(-1));
    QVERIFY(payments.add(a, salem, 120.5, u"cash"_s, yesterday, {}, 1) > 0);
    QVERIFY(payments.add(b, mazen, 300, u"cash"_s, today(), {}, 1) > 0);
    QVERIFY(expenses.add(0, 0, 0, u"إدارية"_s, {}, u"قرطاسية"_s, 40, today(), 1) > 0);

    const auto numbers = [&](const QString &text, int limit, int offset) {
        QStringList found;
        for (const QVariant &row : vouchers.search(text, limit, offset))
            found.append(row.toMap().value(u"number"_s).toString());
        return found.join(u' ');
    };
    const QString y = year();
    QCOMPARE(numbers(QString(), 10, 0), u"PAY-%1-00001 RCV-%1-00002 RCV-%1-00001"_s.arg(y));
    QCOMPARE(numbers(QString(), 2, 2), u"RCV-%1-00001"_s.arg(y));
    QCOMPARE(numbers(u"مازن"_s, 10, 0), u"RCV-%1-00002"_s.arg(y));
    QCOMPARE(numbers(u"120.50"_s, 10, 0), u"RCV-%1-00001"_s.arg(y));
    QCOMPARE(numbers(u"PAY-"_s, 10, 0), u"PAY-%1-00001"_s.arg(y));
    QCOMPARE(vouchers.count(u"RCV"_s), 2);
}

// The printed voucher: amount in words with its currency, and "نسخة" from the second print on.
void TestVouchers::printedVoucher()
{
    TestFixture f;
    SettingsManager settings(f.db());
    PrintController printer(&settings);
    PaymentModel payments(f.db());
    VoucherModel vouchers(f.db());
    settings.updateCompanyProfile(u"شركة بلفاردينو العقارية"_s, u"+970 59 123 4567"_s,
        u"رام الله - شارع الإرسال، عمارة النخيل"_s, u"info@belvardino.ps"_s);
    const int tenant = f.addTenant(u"سالم"_s);
    const int invoice = f.addInvoice(tenant, 0, today().left(7), 5000);
    const int payment = payments.add(invoice, tenant, 2500, u"cash"_s, today(), {}, 1);
    const int id = f.scalar(u"SELECT voucher_id FROM payments WHERE id=?"_s, { payment }).toInt();

    const QVariantMap first = vouchers.forPrint(id);
    QCOMPARE(first.value(u"copy"_s).toBool(), false);
    QVERIFY(first.value(u"amount_words"_s).toString().startsWith(u"فقط ألفان وخمسمائة"_s));
    const QString path = f.dataDir() + u"/v.pdf"_s;
    // The whole voucher, signatures included, on one A5 page.
    const auto layout = printer.voucherLayout(first, false);
    QVERIFY(printer.savePdf(*layout, path, u"v"_s));
    QCOMPARE(layout->pageCount(), 1);
    const QString text = pdfText(path);
    QVERIFY2(text.contains(u"RCV-%1-00001"_s.arg(year())), qPrintable(text));
    QVERIFY(text.contains(u"2,500.00"_s));
    QVERIFY(!text.contains(u"نسخة"_s));

    const QVariantMap again = vouchers.forPrint(id);
    QCOMPARE(again.value(u"copy"_s).toBool(), true);
    QVERIFY(printer.saveVoucher(again, true, path));
    QVERIFY(pdfText(path).contains(u"نسخة"_s));
}

QTEST_MAIN(TestVouchers)
#include "tst_vouchers.moc"
