#include "documentlayout.h"

#include <QBuffer>
#include <QMap>
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
    void numbersReadInTheirOwnOrder();
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
    // A reminder's text embeds the phone for message applications; on the page the embedding
    // would turn the isolated groups around.
    QTest::newRow("embedding marks of a plain-text message dropped")
        << u"الرقم "_s + QChar(0x202A) + u"+970 59 123 4567"_s + QChar(0x202C) + u"."_s
        << u"الرقم "_s + lri + u"+970 59 123 4567"_s + pdi + u"."_s;
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

// A phone number and a negative amount inside Arabic text, in a paragraph and in a table cell.
void TestDocumentLayout::numbersReadInTheirOwnOrder()
{
    const QString text = u"اتصلوا على +970 59 123 4567 والرصيد -2,500.00 شيكل"_s;
    DocumentLayout layout;
    layout.addParagraph(text);
    layout.addTable({ { u"البيان"_s, 1, false } }, { { text } });
    QTemporaryDir dir;
    QFile file(dir.filePath(u"doc.pdf"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(layout.writePdf(&file, u"test"_s));
    file.close();
    QProcess process;
    process.start(u"pdftotext"_s, { u"-bbox"_s, file.fileName(), u"-"_s });
    QVERIFY(process.waitForFinished(60000));
    const QString boxes = QString::fromUtf8(process.readAllStandardOutput());
    // Left edges of each word, per line (tops within a band: fallback fonts sit a little lower).
    QMap<int, QMap<QString, double>> lines;
    static const QRegularExpression box(
        u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"_s);
    auto it = box.globalMatch(boxes);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        lines[int(match.captured(2).toDouble() / 20)][match.captured(3)]
            = match.captured(1).toDouble();
    }
    int checked = 0;
    for (const auto &words : lines) {
        if (!words.contains(u"+970"_s))
            continue;
        ++checked;
        QVERIFY2(words.value(u"+970"_s) < words.value(u"59"_s), qPrintable(boxes));
        QVERIFY2(words.value(u"123"_s) < words.value(u"4567"_s), qPrintable(boxes));
        QVERIFY2(words.contains(u"-2,500.00"_s), qPrintable(boxes));
    }
    QCOMPARE(checked, 2);
}

QTEST_MAIN(TestDocumentLayout)
#include "tst_documentlayout.moc"
