#include "printcontroller.h"
#include "settingsmanager.h"
#include "testfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
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

QVariantMap unitRow(int id, const QString &number, const QString &status, double rent)
{
    return { { u"id"_s, id }, { u"property_id"_s, 2 }, { u"currency_id"_s, 1 },
        { u"unit_number"_s, number }, { u"property_name"_s, u"برج النخيل"_s },
        { u"status"_s, status }, { u"rent_monthly"_s, rent } };
}

struct Printer
{
    TestFixture f;
    SettingsManager settings { f.db() };
    PrintController printer { &settings };
};

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void userTextIsEscaped_data();
    void userTextIsEscaped();
    void fileNames_data();
    void fileNames();
    void pdfOutput_data();
    void pdfOutput();
    void writeFailures_data();
    void writeFailures();
};

void TestPrint::userTextIsEscaped_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("statement name")
        << u"name"_s << u"<b>أحمد</b>"_s << u"&lt;b&gt;أحمد&lt;/b&gt;"_s;
    QTest::newRow("statement row")
        << u"row"_s << u"<img src=x> & co"_s << u"&lt;img src=x&gt; &amp; co"_s;
    QTest::newRow("statement total")
        << u"figure"_s << u"<i>الرصيد</i>"_s << u"&lt;i&gt;الرصيد&lt;/i&gt;"_s;
    QTest::newRow("report title") << u"title"_s << u"<i>تقرير</i> & ملخص"_s
                                  << u"&lt;i&gt;تقرير&lt;/i&gt; &amp; ملخص"_s;
    QTest::newRow("report cell") << u"cell"_s << u"<script>x</script>"_s
                                 << u"&lt;script&gt;x&lt;/script&gt;"_s;
    QTest::newRow("report summary") << u"summary"_s << u"<u>k</u>"_s << u"&lt;u&gt;k&lt;/u&gt;"_s;
}

void TestPrint::userTextIsEscaped()
{
    QFETCH(QString, where);
    QFETCH(QString, raw);
    QFETCH(QString, escaped);
    Printer p;
    const QVariantList rows { QVariantMap { { u"description"_s, raw } } };
    const QVariantMap figures { { raw, raw } };
    QString html;
    if (where == u"name"_s)
        html = p.printer.statementHtml(raw, u"مستأجر"_s, {}, {});
    else if (where == u"row"_s)
        html = p.printer.statementHtml(u"سالم"_s, u"مستأجر"_s, rows, {});
    else if (where == u"figure"_s)
        html = p.printer.statementHtml(u"سالم"_s, u"مستأجر"_s, {}, figures);
    else if (where == u"title"_s)
        html = p.printer.reportHtml(raw, {}, {});
    else if (where == u"cell"_s)
        html = p.printer.reportHtml(u"تقرير"_s, rows, {});
    else
        html = p.printer.reportHtml(u"تقرير"_s, {}, figures);
    QVERIFY2(html.contains(escaped), qPrintable(html));
    QVERIFY2(!html.contains(raw), qPrintable(html));
}

void TestPrint::fileNames_data()
{
    const QString today = QDate::currentDate().toString(u"yyyyMMdd"_s);
    QTest::addColumn<bool>("statement");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("report: blanks simplified") << false << u"  تقرير   الوحدات\tالشهري "_s
                                               << u"^/تقرير_الوحدات_الشهري_\\d{8}_\\d{6}\\.pdf$"_s;
    QTest::newRow("statement: separators stay in the folder")
        << true << u"../أحمد/علي"_s << u"^/Statement_.._أحمد_علي_"_s + today + u"\\.pdf$"_s;
}

void TestPrint::fileNames()
{
    QFETCH(bool, statement);
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    FakeDesktop desktop;
    Printer p;
    const QString path
        = statement ? p.printer.statementFileName(name) : p.printer.reportFileName(name);
    QCOMPARE(QFileInfo(path).absolutePath(), documents(desktop));
    const QString rest = path.mid(documents(desktop).size());
    QVERIFY2(QRegularExpression(pattern).match(rest).hasMatch(), qPrintable(rest));
}

void TestPrint::pdfOutput_data()
{
    QTest::addColumn<bool>("statement");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("rightWord");
    QTest::addColumn<QString>("leftWord");
    QTest::newRow("report") << false
                            << QStringList { u"تقرير الوحدات"_s, u"رقم الوحدة"_s, u"اسم العقار"_s,
                                   u"مباع"_s, u"تاريخ التقرير"_s, u"شركة النخيل العقارية"_s,
                                   u"0599123456"_s }
                            << u"1500"_s << u"A1"_s;
    QTest::newRow("statement") << true
                               << QStringList { u"كشف حساب مستأجر"_s, u"اسم الحساب"_s, u"التاريخ"_s,
                                      u"رقم المرجع"_s, u"توقيع المحاسب"_s,
                                      u"شركة النخيل العقارية"_s, u"<b>"_s }
                               << TestFixture::iso(TestFixture::today()) << u"INV-1"_s;
}

void TestPrint::pdfOutput()
{
    QFETCH(bool, statement);
    QFETCH(QStringList, texts);
    QFETCH(QString, rightWord);
    QFETCH(QString, leftWord);
    FakeDesktop desktop;
    Printer p;
    PrintController &printer = p.printer;
    QSignalSpy started(&printer, &PrintController::printStarted);
    QSignalSpy finished(&printer, &PrintController::printFinished);
    QSignalSpy errors(&printer, &PrintController::printError);
    QVERIFY(!QFileInfo::exists(documents(desktop)));
    p.settings.updateCompanyProfile(
        u"شركة النخيل العقارية"_s, u"0599123456"_s, u"رام الله"_s, QString());

    if (statement) {
        const QVariantList transactions { QVariantMap {
            { u"date"_s, TestFixture::iso(TestFixture::today()) },
            { u"description"_s, u"فاتورة إيجار"_s }, { u"reference"_s, u"INV-1"_s },
            { u"amount"_s, u"₪ 1,500.00"_s }, { u"balance"_s, u"₪ 0.00"_s } } };
        printer.printStatement(
            u"<b>أحمد</b>"_s, u"مستأجر"_s, transactions, { { u"الرصيد"_s, u"₪ 0.00"_s } });
    } else {
        printer.printReport(u"تقرير الوحدات"_s, u"تقرير"_s,
            { unitRow(1, u"A1"_s, u"sold"_s, 1500), unitRow(2, u"A2"_s, u"available"_s, 900) },
            { { u"عدد الوحدات"_s, 2 } });
    }

    QCOMPARE(started.count(), 1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), true);
    const QString path = finished.first().at(1).toString();
    QCOMPARE(QFileInfo(path).absolutePath(), documents(desktop));
    QCOMPARE(desktop.opened, QList<QUrl>({ QUrl::fromLocalFile(path) }));

    const QString info = run(u"pdfinfo"_s, { path });
    QVERIFY2(info.contains(QRegularExpression(
                 u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"_s)),
        qPrintable(info));
    // Shaped letters come back as presentation forms, and runs are wrapped in direction marks.
    QString text = run(u"pdftotext"_s, { path, u"-"_s }).normalized(QString::NormalizationForm_KC);
    text.remove(
        QRegularExpression(u"[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"_s));
    for (const QString &expected : texts)
        QVERIFY2(text.contains(expected), qPrintable(expected + u" in:\n"_s + text));
    // Tables read right to left: an earlier column stands to the right of a later one.
    const double right = wordLeft(path, rightWord);
    const double left = wordLeft(path, leftWord);
    QVERIFY2(left >= 0 && right > left,
        qPrintable(u"%1 at %2, %3 at %4"_s.arg(rightWord).arg(right).arg(leftWord).arg(left)));
}

void TestPrint::writeFailures_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("documents folder is a file") << u"folder"_s;
    QTest::newRow("target path is a folder") << u"target"_s;
}

void TestPrint::writeFailures()
{
    QFETCH(QString, obstacle);
    FakeDesktop desktop;
    Printer p;
    PrintController &printer = p.printer;
    if (obstacle == u"folder"_s) {
        QFile blocker(documents(desktop));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(printer.statementFileName(u"سالم"_s)));
    }
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
