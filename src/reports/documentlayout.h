#pragma once

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QIODevice;
class QPagedPaintDevice;
class QPainter;

// A printed document drawn as pages: blocks, rows and cells placed with QPainter, every text laid
// out right to left by QTextLayout and measured on the target device. Numbers inside text are
// isolated as left-to-right runs, cells wrap only between words, figures never wrap, and a table
// that runs over a page repeats its header. One instance describes one document; it can be
// printed on any paged device (a PDF writer, a printer) as often as needed.
class DocumentLayout
{
public:
    enum class PageFormat
    {
        A4,
        A5Landscape,
        // Two A5 landscape halves on an A4 portrait sheet, cut apart: the document above, the
        // same marked "نسخة" below (a voucher and the copy kept on file).
        A5LandscapeTwiceOnA4
    };

    struct Company
    {
        QString name;
        QString address;
        QString phone;
        QString email;
        QImage logo;
    };

    struct Column
    {
        QString title;
        // Share of the width left once every column has its minimum.
        int weight = 1;
        // Amounts, dates and counts: never wrapped, the column is at least as wide as its widest.
        bool figure = false;
    };

    // A piece of a paragraph; bold pieces are how formatted text (headings inside a line,
    // emphasised figures) reaches the page.
    struct Span
    {
        QString text;
        bool bold = false;
    };

    explicit DocumentLayout(PageFormat format = PageFormat::A4);
    ~DocumentLayout();
    DocumentLayout(const DocumentLayout &) = delete;
    DocumentLayout &operator=(const DocumentLayout &) = delete;

    PageFormat pageFormat() const { return m_format; }

    // Printed at the top of the first page; empty parts are left out.
    void setCompany(const Company &company);
    // A large faint word across every page, such as "نسخة" on a reprint.
    void setWatermark(const QString &text);
    // A small line at the foot of every page, beside the page number.
    void setFooter(const QString &text);

    void addTitle(const QString &title, const QString &subtitle = QString());
    void addHeading(const QString &text);
    void addParagraph(const QList<Span> &spans, bool bullet = false);
    void addParagraph(const QString &text, bool bullet = false);
    // One row per pair: label on the right, value beside it.
    void addKeyValues(const QList<QPair<QString, QString>> &rows);
    // The first column stands on the right. `totals`, when given, is a bold last row.
    void addTable(const QList<Column> &columns, const QList<QStringList> &rows,
        const QStringList &totals = QStringList());
    // One signature line per label, spread across the width, `room` millimetres below what
    // comes before (less on a half sheet).
    void addSignatures(const QStringList &labels, qreal room = 16);
    void addSpacing(qreal millimetres);
    // What follows starts a new page, under the company's header again when `withCompany` is
    // set (one letter per page of a batch).
    void addPageBreak(bool withCompany = false);

    // Draws every page on the device (page size and margins as set on it). False when the
    // device cannot be painted on.
    bool print(QPagedPaintDevice *device) const;
    // A PDF of the document's page format, 15 mm margins (10 mm at the sides on A5), into an
    // open device.
    bool writePdf(QIODevice *device, const QString &title) const;
    // Pages of the last print.
    int pageCount() const { return m_pageCount; }

    // Every run of digits (with the separators inside it and a leading sign or plus) wrapped
    // in a left-to-right isolate, so "‎+970 59 123" or "-2,500.00" read in their own order inside
    // right-to-left text.
    static QString isolateNumbers(const QString &text);
    // The whole text as one left-to-right isolate (e-mail addresses, Latin references).
    static QString leftToRight(const QString &text);

private:
    struct Piece;
    struct Context;
    using Builder = std::function<void(Context &, QList<Piece> &)>;

    void companyPieces(Context &context, QList<Piece> &pieces) const;

    PageFormat m_format;
    Company m_company;
    QString m_watermark;
    QString m_footer;
    QList<Builder> m_blocks;
    mutable int m_pageCount = 0;
};
