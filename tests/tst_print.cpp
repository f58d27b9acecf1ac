#include "printcontroller.h"
#include "settingsmanager.h"
#include "testfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QString documents(const FakeDesktop &desktop) { return desktop.home() + u"/Documents"_s; }

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Left edge of a word on the first page, or -1.
double wordLeft(const QString &pdf, const QString &word)
{
    const QString boxes = run(u"pdftotext"_s, { u"-bbox"_s, pdf, u"-"_s });
    static const QRegularExpression box(u"<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"_s);
    auto it = box.globalMatch(boxes);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(2).normalized(QString::NormalizationForm_KC) == word)
            return match.captured(1).toDouble();
    }
    return -1;
}

struct Printer
{
    TestFixture f;
    SettingsManager settings { f.db() };
    PrintController printer { &settings };
};

// Text of a PDF as pdftotext gives it, shaped letters folded back and direction marks removed.
QString pdfText(const QString &pdf, const QStringList &options = {})
{
    QString text = run(u"pdftotext"_s, options + QStringList { pdf, u"-"_s })
                       .normalized(QString::NormalizationForm_KC);
    text.remove(
        QRegularExpression(u"[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"_s));
    return text;
}

QVariantMap line(
    const QString &date, const QString &ref, double debit, double credit, double balance)
{
    return { { u"date"_s, date }, { u"ref"_s, ref }, { u"description"_s, u"حركة"_s },
        { u"debit"_s, debit }, { u"credit"_s, credit }, { u"balance"_s, balance },
        { u"currency_symbol"_s, u"₪"_s } };
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void statementFiles();
    void statementPdf();
    void formattedTextPrintsWithoutMarkers();
    void listHeadersReadInArabic_data();
    void listHeadersReadInArabic();
    void unwritableTargetReportsAnError();
};

// A statement's file stays in Documents whatever the name holds; a reprint keeps the earlier file.
void TestPrint::statementFiles()
{
    FakeDesktop desktop;
    Printer p;
    const QString path = p.printer.statementFileName(u"../أحمد/علي"_s);
    QCOMPARE(QFileInfo(path).absolutePath(), documents(desktop));
    const QString rest = path.mid(documents(desktop).size());
    QVERIFY2(QRegularExpression(u"^/Statement_.._أحمد_علي_[0-9]{8}_[0-9]{6}\\.pdf$"_s)
                 .match(rest)
                 .hasMatch(),
        qPrintable(rest));

    QSignalSpy finished(&p.printer, &PrintController::printFinished);
    for (int i = 0; i < 2; ++i)
        p.printer.printAccountStatement(u"سالم"_s, u"مستأجر"_s, {});
    QCOMPARE(finished.count(), 2);
    const QString first = finished.at(0).at(1).toString();
    const QString second = finished.at(1).at(1).toString();
    QVERIFY2(first != second, qPrintable(first));
    QVERIFY(QFileInfo::exists(first));
    QVERIFY(QFileInfo::exists(second));
}

void TestPrint::statementPdf()
{
    FakeDesktop desktop;
    Printer p;
    p.settings.updateCompanyProfile(
        u"شركة النخيل"_s, u"+970 59 123 4567"_s, u"رام الله"_s, u"info@example.ps"_s);
    PrintController &printer = p.printer;
    QSignalSpy finished(&printer, &PrintController::printFinished);
    QVERIFY(!QFileInfo::exists(documents(desktop)));
    const QString date = TestFixture::iso(TestFixture::today());
    const QVariantMap account { { u"currency_symbol"_s, u"₪"_s },
        { u"lines"_s,
            QVariantList { line(date, u"INV-1"_s, 1234567.89, 0, 1234567.89),
                line(date, u"PAY-1"_s, 0, 400, 1234167.89) } },
        { u"currencies"_s, QVariantList { QVariantMap { { u"currency_symbol"_s, u"₪"_s } } } } };
    printer.printAccountStatement(u"<b>أحمد</b>"_s, u"مستأجر"_s, account);

    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), true);
    const QString path = finished.first().at(1).toString();
    QCOMPARE(QFileInfo(path).absolutePath(), documents(desktop));
    QCOMPARE(desktop.opened, QList<QUrl>({ QUrl::fromLocalFile(path) }));

    const QString info = run(u"pdfinfo"_s, { path });
    QVERIFY2(info.contains(QRegularExpression(
                 u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"_s)),
        qPrintable(info));
    const QString text = pdfText(path);
    // The markup is shown, not obeyed (its brackets mirror in right-to-left text).
    QVERIFY2(text.contains(u"b/"_s) || text.contains(u"/b"_s), qPrintable(text));
    // The company's name as given, never prefixed with the word again.
    QVERIFY2(text.contains(u"شركة النخيل"_s) && !text.contains(u"شركة شركة"_s), qPrintable(text));
    QVERIFY2(text.contains(u"info@example.ps"_s), qPrintable(text));
    // A figure is never wrapped: the whole amount is one word.
    QVERIFY2(wordLeft(path, u"1,234,567.89"_s) >= 0, qPrintable(text));
    // Charges and payments in their order, each line one row.
    const QString layout = pdfText(path, { u"-layout"_s });
    const qsizetype charge = layout.indexOf(u"INV-1"_s);
    QVERIFY2(charge >= 0 && charge < layout.indexOf(u"PAY-1"_s), qPrintable(layout));
    // Tables read right to left: an earlier column stands to the right of a later one.
    const double right = wordLeft(path, date);
    const double left = wordLeft(path, u"INV-1"_s);
    QVERIFY2(left >= 0 && right > left, qPrintable(u"%1 vs %2"_s.arg(right).arg(left)));
    // The phone number reads in its own order inside right-to-left text.
    const double country = wordLeft(path, u"+970"_s);
    const double last = wordLeft(path, u"4567"_s);
    QVERIFY2(country >= 0 && country < last, qPrintable(u"%1 vs %2"_s.arg(country).arg(last)));
}

void TestPrint::formattedTextPrintsWithoutMarkers()
{
    FakeDesktop desktop;
    Printer p;
    QSignalSpy finished(&p.printer, &PrintController::printFinished);
    p.printer.printDocument({ { u"title"_s, u"التحليل"_s }, { u"period"_s, u"2024"_s },
        { u"blocks"_s,
            QVariantList { QVariantMap {
                { u"text"_s, u"### الأداء المالي\n**مهم:** نص عادي\n- بند أول"_s } } } } });
    QCOMPARE(finished.count(), 1);
    const QString text = pdfText(finished.first().at(1).toString());
    QVERIFY2(text.contains(u"الأداء"_s) && text.contains(u"بند"_s), qPrintable(text));
    QVERIFY2(!text.contains(u'#') && !text.contains(u'*'), qPrintable(text));
}

void TestPrint::listHeadersReadInArabic_data()
{
    QTest::addColumn<QVariantMap>("row");
    QTest::newRow("tenants") << QVariantMap { { u"full_name"_s, u"سالم"_s },
        { u"phone"_s, u"0599123456"_s }, { u"email"_s, QString() },
        { u"id_number"_s, u"401234567"_s }, { u"balance"_s, 120 } };
    QTest::newRow("contractors") << QVariantMap { { u"name"_s, u"ورشة النجار"_s },
        { u"phone"_s, u"022912882"_s }, { u"trade"_s, u"سباكة"_s }, { u"notes"_s, QString() } };
    QTest::newRow("units") << QVariantMap { { u"unit_number"_s, u"12"_s },
        { u"rent_monthly"_s, 900 }, { u"sale_price"_s, 90000 }, { u"address"_s, u"رام الله"_s },
        { u"city"_s, u"رام الله"_s } };
}

// A column's key must never reach the page as its header.
void TestPrint::listHeadersReadInArabic()
{
    QFETCH(QVariantMap, row);
    Printer p;
    const QString path = p.f.dataDir() + u"/list.pdf"_s;
    QVERIFY(p.printer.saveReport(u"قائمة"_s, { row }, {}, path));
    const QString text = pdfText(path);
    const QRegularExpressionMatch latin = QRegularExpression(u"[A-Za-z_]{3,}"_s).match(text);
    QVERIFY2(!latin.hasMatch(), qPrintable(latin.captured()));
}

void TestPrint::unwritableTargetReportsAnError()
{
    FakeDesktop desktop;
    Printer p;
    PrintController &printer = p.printer;
    // A file where the documents folder should be.
    QFile blocker(documents(desktop));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSignalSpy finished(&printer, &PrintController::printFinished);
    QSignalSpy errors(&printer, &PrintController::printError);
    printer.printStatement(u"سالم"_s, u"مستأجر"_s, {}, {});
    QCOMPARE(finished.count(), 0);
    QCOMPARE(errors.count(), 1);
    QVERIFY(!errors.first().first().toString().isEmpty());
    QCOMPARE(desktop.opened.size(), 0);
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
