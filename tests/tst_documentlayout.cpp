#include "documentlayout.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString lri(QChar(0x2066));
const QString pdi(QChar(0x2069));

QString pdfText(const QByteArray &pdf, int page)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"doc.pdf"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return QString();
    file.close();
    QProcess process;
    process.start(u"pdftotext"_s,
        { u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), file.fileName(),
            u"-"_s });
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC);
}

} // namespace

class TestDocumentLayout : public QObject
{
    Q_OBJECT

private slots:
    void isolateNumbers_data();
    void isolateNumbers();
    void longTableRepeatsItsHeader();
};

void TestDocumentLayout::isolateNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("isolated");
    QTest::newRow("phone with blanks is one run")
        << u"هاتف: +970 59 123 4567"_s << u"هاتف: "_s + lri + u"+970 59 123 4567"_s + pdi;
    QTest::newRow("negative amount keeps its sign")
        << u"الرصيد -2,500.00"_s << u"الرصيد "_s + lri + u"-2,500.00"_s + pdi;
    QTest::newRow("reference with letters and digits")
        << u"فاتورة INV-2024-0001"_s << u"فاتورة "_s + lri + u"INV-2024-0001"_s + pdi;
    QTest::newRow("two dates of a range stay apart")
        << u"من 2024-01-01 إلى 2024-01-31"_s
        << u"من "_s + lri + u"2024-01-01"_s + pdi + u" إلى "_s + lri + u"2024-01-31"_s + pdi;
    QTest::newRow("Latin words keep their order")
        << u"تحليل (Belvardino AI)"_s << u"تحليل ("_s + lri + u"Belvardino AI"_s + pdi + u")"_s;
    QTest::newRow("percent") << u"الإشغال 57.1%"_s << u"الإشغال "_s + lri + u"57.1%"_s + pdi;
    QTest::newRow("a hyphen between words is not a sign")
        << u"رام الله - 12"_s << u"رام الله - "_s + lri + u"12"_s + pdi;
}

void TestDocumentLayout::isolateNumbers()
{
    QFETCH(QString, text);
    QFETCH(QString, isolated);
    QCOMPARE(DocumentLayout::isolateNumbers(text), isolated);
}

void TestDocumentLayout::longTableRepeatsItsHeader()
{
    DocumentLayout layout;
    layout.addTitle(u"قائمة طويلة"_s);
    QList<QStringList> rows;
    for (int i = 1; i <= 120; ++i)
        rows.append({ u"سطر"_s, QString::number(i) });
    layout.addTable({ { u"العمودالأول"_s, 3, false }, { u"الرقم"_s, 1, true } }, rows);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(layout.writePdf(&buffer, u"test"_s));
    QVERIFY(layout.pageCount() > 1);
    const QString second = pdfText(buffer.data(), 2);
    QVERIFY2(second.contains(u"الرقم"_s), qPrintable(second));
    QVERIFY2(!second.contains(u"طويلة"_s), qPrintable(second)); // the title stays on page one
    // Every row is printed once, across the pages.
    QString all;
    for (int page = 1; page <= layout.pageCount(); ++page)
        all += pdfText(buffer.data(), page);
    for (int i : { 1, 60, 120 })
        QVERIFY2(all.contains(QRegularExpression(u"\\b%1\\b"_s.arg(i))), qPrintable(all));
}

QTEST_MAIN(TestDocumentLayout)
#include "tst_documentlayout.moc"
