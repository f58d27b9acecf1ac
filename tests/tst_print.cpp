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

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void userTextIsEscaped();
    void statementFileNameStaysInDocuments();
    void statementPdf();
    void unwritableTargetReportsAnError();
};

void TestPrint::userTextIsEscaped()
{
    Printer p;
    const QString raw = u"<b>أحمد</b> & co"_s;
    const QString escaped = u"&lt;b&gt;أحمد&lt;/b&gt; &amp; co"_s;
    // A name, a statement figure and a report cell.
    for (const QString &html : { p.printer.statementHtml(raw, u"مستأجر"_s, {}, {}),
             p.printer.statementHtml(u"سالم"_s, u"مستأجر"_s, {}, { { raw, raw } }),
             p.printer.reportHtml(u"تقرير"_s, { QVariantMap { { u"description"_s, raw } } }, {}) })
        QVERIFY2(html.contains(escaped) && !html.contains(raw), qPrintable(html));
}

void TestPrint::statementFileNameStaysInDocuments()
{
    FakeDesktop desktop;
    Printer p;
    const QString path = p.printer.statementFileName(u"../أحمد/علي"_s);
    const QString today = QDate::currentDate().toString(u"yyyyMMdd"_s);
    QCOMPARE(QFileInfo(path).absolutePath(), documents(desktop));
    const QString rest = path.mid(documents(desktop).size());
    QVERIFY2(QRegularExpression(u"^/Statement_.._أحمد_علي_"_s + today + u"\\.pdf$"_s)
                 .match(rest)
                 .hasMatch(),
        qPrintable(rest));
}

void TestPrint::statementPdf()
{
    FakeDesktop desktop;
    Printer p;
    PrintController &printer = p.printer;
    QSignalSpy finished(&printer, &PrintController::printFinished);
    QVERIFY(!QFileInfo::exists(documents(desktop)));
    const QString date = TestFixture::iso(TestFixture::today());
    printer.printStatement(u"<b>أحمد</b>"_s, u"مستأجر"_s,
        { QVariantMap { { u"date"_s, date }, { u"reference"_s, u"INV-1"_s } } }, {});

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
    QVERIFY2(text.contains(u"<b>"_s), qPrintable(text)); // the markup is shown, not obeyed
    // Tables read right to left: an earlier column stands to the right of a later one.
    const double right = wordLeft(path, date);
    const double left = wordLeft(path, u"INV-1"_s);
    QVERIFY2(left >= 0 && right > left, qPrintable(u"%1 vs %2"_s.arg(right).arg(left)));
}

void TestPrint::unwritableTargetReportsAnError()
{
    FakeDesktop desktop;
    Printer p;
    PrintController &printer = p.printer;
    QVERIFY(QDir().mkpath(printer.statementFileName(u"سالم"_s)));
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
