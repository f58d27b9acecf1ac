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

QStringList captures(const QString &text, const QString &pattern)
{
    QStringList found;
    auto it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured(1));
    return found;
}

// Header texts and cell texts of the report's data table.
QStringList headersOf(const QString &html)
{
    const qsizetype start = html.indexOf(u"<table><thead>"_s);
    return start < 0 ? QStringList() : captures(html.mid(start), u"<th>(.*?)</th>"_s);
}

QList<QStringList> cellsOf(const QString &html)
{
    QList<QStringList> rows;
    const qsizetype start = html.indexOf(u"<tbody>"_s);
    if (start < 0)
        return rows;
    for (const QString &row : captures(html.mid(start), u"<tr>(.*?)</tr>"_s))
        rows.append(captures(row, u"<td>(.*?)</td>"_s));
    return rows;
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
    void reportTable_data();
    void reportTable();
    void summaryInKeyOrder();
    void documentText_data();
    void documentText();
    void fileNames_data();
    void fileNames();
    void pdfOutput_data();
    void pdfOutput();
    void writeFailures_data();
    void writeFailures();
};

void TestPrint::reportTable_data()
{
    QTest::addColumn<QVariantList>("data");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QList<QStringList>>("cells");

    QTest::newRow("units list: hidden ids, labels, status words")
        << QVariantList { unitRow(1, u"A1"_s, u"sold"_s, 1500),
               unitRow(2, u"A2"_s, u"pending"_s, 900.5) }
        << QStringList { u"اسم العقار"_s, u"rent_monthly"_s, u"الحالة"_s, u"رقم الوحدة"_s }
        << QList<QStringList> { { u"برج النخيل"_s, u"1500"_s, u"مباع"_s, u"A1"_s },
               { u"برج النخيل"_s, u"900.5"_s, u"pending"_s, u"A2"_s } };
    QTest::newRow("every hidden column, unknown column keeps its name")
        << QVariantList { QVariantMap { { u"income"_s, u"₪ 500"_s }, { u"tenant_id"_s, 3 },
               { u"buyer_id"_s, 4 }, { u"unit_id"_s, 5 }, { u"active"_s, 1 } } }
        << QStringList { u"income"_s } << QList<QStringList> { { u"₪ 500"_s } };
    QTest::newRow("columns from the first row only")
        << QVariantList { QVariantMap { { u"amount"_s, 10 } },
               QVariantMap { { u"amount"_s, 20 }, { u"extra"_s, u"x"_s } }, QVariantMap() }
        << QStringList { u"المبلغ"_s }
        << QList<QStringList> { { u"10"_s }, { u"20"_s }, { QString() } };
    QTest::newRow("status words match exactly")
        << QVariantList { QVariantMap { { u"status"_s, u"available"_s } },
               QVariantMap { { u"status"_s, u"rented"_s } },
               QVariantMap { { u"status"_s, u"Sold"_s } } }
        << QStringList { u"الحالة"_s }
        << QList<QStringList> { { u"متاح"_s }, { u"مؤجر"_s }, { u"Sold"_s } };
}

void TestPrint::reportTable()
{
    QFETCH(QVariantList, data);
    QFETCH(QStringList, headers);
    QFETCH(QList<QStringList>, cells);
    Printer p;
    PrintController &printer = p.printer;
    const QString html = printer.reportHtml(u"تقرير الوحدات"_s, data, {});
    QCOMPARE(headersOf(html), headers);
    QCOMPARE(cellsOf(html), cells);
}

void TestPrint::summaryInKeyOrder()
{
    Printer p;
    PrintController &printer = p.printer;
    const QVariantMap summary { { u"ب"_s, 2 }, { u"أ"_s, u"₪ 1,000"_s }, { u"b"_s, 3.5 } };
    const QString html = printer.reportHtml(u"ملخص"_s, {}, summary);
    QCOMPARE(captures(html, u"<b>(.*?):</b>"_s), QStringList({ u"b"_s, u"أ"_s, u"ب"_s }));
    QCOMPARE(captures(html, u"font-weight:bold;'>(.*?)</span>"_s),
        QStringList({ u"3.5"_s, u"₪ 1,000"_s, u"2"_s }));
    QCOMPARE(html.count(u"<tr>"_s), 1);
}

void TestPrint::documentText_data()
{
    QTest::addColumn<bool>("statement");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariantList>("rows");
    QTest::addColumn<QVariantMap>("figures");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("absent");

    QTest::newRow("empty report: no table, no summary")
        << false << u"تقرير"_s << QVariantList() << QVariantMap() << u"<h2>تقرير</h2>"_s
        << u"<table"_s;
    QTest::newRow("empty report: header")
        << false << u"تقرير"_s << QVariantList() << QVariantMap() << u"<header>"_s << QString();
    QTest::newRow("empty report: still closed")
        << false << u"تقرير"_s << QVariantList() << QVariantMap() << u"</footer></body></html>"_s
        << u"summary-box'"_s;
    QTest::newRow("empty statement: empty cards")
        << true << u"أحمد"_s << QVariantList() << QVariantMap()
        << u"<table width='100%' cellspacing='10'><tr></tr></table>"_s << QString();
    QTest::newRow("empty statement: headings and empty body")
        << true << u"أحمد"_s << QVariantList() << QVariantMap()
        << u"<th>التاريخ</th><th>البيان / الوصف</th><th>رقم المرجع</th><th>المدفوع</th><th>المتبقي</th></tr></thead><tbody></tbody>"_s
        << QString();
    QTest::newRow("tenant name with <b>")
        << true << u"<b>أحمد</b>"_s << QVariantList() << QVariantMap()
        << u"اسم الحساب: <b>&lt;b&gt;أحمد&lt;/b&gt;</b>"_s << u"<b>أحمد"_s;
    QTest::newRow("transaction description")
        << true << u"سالم"_s
        << QVariantList { QVariantMap { { u"description"_s, u"<img src=x> & co"_s } } }
        << QVariantMap() << u"<td style='text-align:right;'>&lt;img src=x&gt; &amp; co</td>"_s
        << u"<img"_s;
    QTest::newRow("total card key and value")
        << true << u"سالم"_s << QVariantList()
        << QVariantMap { { u"<i>الرصيد</i>"_s, u"<u>5</u>"_s } }
        << u"&lt;i&gt;الرصيد&lt;/i&gt;</div><div style='font-size:16pt; font-weight:bold; color:#1e293b;'>&lt;u&gt;5&lt;/u&gt;</div>"_s
        << u"<i>"_s;
    QTest::newRow("report title") << false << u"<i>تقرير</i> & ملخص"_s << QVariantList()
                                  << QVariantMap()
                                  << u"<h2>&lt;i&gt;تقرير&lt;/i&gt; &amp; ملخص</h2>"_s << u"<i>"_s;
    QTest::newRow("report cell") << false << u"تقرير"_s
                                 << QVariantList { QVariantMap {
                                        { u"description"_s, u"<script>x</script>"_s } } }
                                 << QVariantMap() << u"<td>&lt;script&gt;x&lt;/script&gt;</td>"_s
                                 << u"<script"_s;
    QTest::newRow("summary entry")
        << false << u"تقرير"_s << QVariantList() << QVariantMap { { u"<u>k</u>"_s, u"a<b"_s } }
        << u"<b>&lt;u&gt;k&lt;/u&gt;:</b> <span style='color:#C5A059; font-weight:bold;'>a&lt;b</span>"_s
        << u"<u>"_s;
}

void TestPrint::documentText()
{
    QFETCH(bool, statement);
    QFETCH(QString, name);
    QFETCH(QVariantList, rows);
    QFETCH(QVariantMap, figures);
    QFETCH(QString, expected);
    QFETCH(QString, absent);
    Printer p;
    PrintController &printer = p.printer;
    const QString html = statement ? printer.statementHtml(name, u"مستأجر"_s, rows, figures)
                                   : printer.reportHtml(name, rows, figures);
    QVERIFY2(html.contains(expected), qPrintable(html));
    QVERIFY2(absent.isEmpty() || !html.contains(absent), qPrintable(html));
}

void TestPrint::fileNames_data()
{
    const QString today = QDate::currentDate().toString(u"yyyyMMdd"_s);
    QTest::addColumn<bool>("statement");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("report: blanks simplified") << false << u"  تقرير   الوحدات\tالشهري "_s
                                               << u"^/تقرير_الوحدات_الشهري_\\d{8}_\\d{6}\\.pdf$"_s;
    QTest::newRow("report: empty title") << false << QString() << u"^/_\\d{8}_\\d{6}\\.pdf$"_s;
    QTest::newRow("statement: blanks simplified")
        << true << u" أحمد   علي "_s << u"^/Statement_أحمد_علي_"_s + today + u"\\.pdf$"_s;
    QTest::newRow("statement: empty name")
        << true << QString() << u"^/Statement__"_s + today + u"\\.pdf$"_s;
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
    PrintController &printer = p.printer;
    const QString path = statement ? printer.statementFileName(name) : printer.reportFileName(name);
    QVERIFY2(path.startsWith(documents(desktop)), qPrintable(path));
    const QString rest = path.mid(documents(desktop).size());
    QVERIFY2(QRegularExpression(pattern).match(rest).hasMatch(), qPrintable(rest));
    QCOMPARE(QFileInfo(path).absolutePath(), documents(desktop));
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
