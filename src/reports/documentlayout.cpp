#include "documentlayout.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString fontFamily = u"Noto Sans Arabic"_s;
const QColor ink(0x1e, 0x29, 0x3b);
const QColor muted(0x64, 0x74, 0x8b);
const QColor gold(0xC5, 0xA0, 0x59);
const QColor rule(0xcb, 0xd5, 0xe1);
const QColor headerFill(0xf1, 0xf5, 0xf9);
const QColor stripeFill(0xf8, 0xfa, 0xfc);
const QColor totalsFill(0xfd, 0xfa, 0xf3);

const QChar lri(0x2066);
const QChar pdi(0x2069);

// Aligned as seen on the page, whatever the text's direction.
constexpr Qt::Alignment right = Qt::AlignRight | Qt::AlignAbsolute;

QFont documentFont(qreal points, bool bold = false)
{
    QFont font(fontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

using Layout = std::shared_ptr<QTextLayout>;

// Lines of `text` in `width`, right to left. Wrapping happens only between words: a word wider
// than the box overflows rather than being cut.
Layout layoutText(const QString &text, const QFont &font, const QPaintDevice *device, qreal width,
    Qt::Alignment alignment, bool wrap, const QList<QTextLayout::FormatRange> &formats = {})
{
    auto layout = std::make_shared<QTextLayout>(text, font, device);
    QTextOption option(alignment);
    option.setTextDirection(Qt::RightToLeft);
    option.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setFormats(formats);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

qreal heightOf(const Layout &layout) { return layout->boundingRect().height(); }

qreal naturalWidth(const QString &text, const QFont &font, const QPaintDevice *device)
{
    qreal widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, QFontMetricsF(font, device).horizontalAdvance(line));
    return widest;
}

qreal longestWord(const QString &text, const QFont &font, const QPaintDevice *device)
{
    const QFontMetricsF metrics(font, device);
    qreal widest = 0;
    for (const QString &word : text.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

struct DocumentLayout::Context
{
    const QPaintDevice *device = nullptr;
    qreal width = 0;
    qreal dpi = 72;

    qreal mm(qreal millimetres) const { return millimetres * dpi / 25.4; }
};

struct DocumentLayout::Piece
{
    qreal height = 0;
    std::function<void(QPainter &, qreal y)> draw;
    // Drawn again at the top of a page that this piece starts (a table's header row).
    std::shared_ptr<Piece> header;
    // Moved to the next page together with the piece after it (titles, headings).
    bool keepWithNext = false;
    // Starts a new page unless the page is still empty.
    bool pageBreak = false;
};

DocumentLayout::DocumentLayout(PageFormat format)
    : m_format(format)
{
}

DocumentLayout::~DocumentLayout() = default;

QString DocumentLayout::isolateNumbers(const QString &input)
{
    // Embedding marks meant for plain-text messages (LRE … PDF) would enclose the isolates below
    // and turn a phone number's groups around; the page sets directions itself.
    static const QRegularExpression embeddings(u"[\\x{202A}-\\x{202E}]"_s);
    const QString text = QString(input).remove(embeddings);
    // Latin words and references ("Belvardino AI", "INV-2024-0001", an e-mail) as one run; then
    // numbers, with the blanks and separators between their digit groups and a sign that starts
    // them.
    static const QRegularExpression number(
        u"[A-Za-z](?:[A-Za-z0-9._@/\\-]*[A-Za-z0-9])?"
        "(?: [A-Za-z0-9](?:[A-Za-z0-9._@/\\-]*[A-Za-z0-9])?)*"
        "|(?<![A-Za-z0-9\\x{0660}-\\x{0669}])"
        "[+\\-]?[0-9\\x{0660}-\\x{0669}]+(?:[ .,:/\\-\\x{066B}\\x{066C}]"
        "[0-9\\x{0660}-\\x{0669}]+)*%?"_s);
    QString result;
    qsizetype last = 0;
    auto matches = number.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        result += text.mid(last, match.capturedStart() - last);
        result += lri + match.captured(0) + pdi;
        last = match.capturedEnd();
    }
    return result + text.mid(last);
}

QString DocumentLayout::leftToRight(const QString &text)
{
    return text.isEmpty() ? text : lri + text + pdi;
}

void DocumentLayout::setCompany(const Company &company) { m_company = company; }

void DocumentLayout::setWatermark(const QString &text) { m_watermark = text; }

void DocumentLayout::setFooter(const QString &text) { m_footer = text; }

void DocumentLayout::addTitle(const QString &title, const QString &subtitle)
{
    m_blocks.append([title, subtitle](Context &context, QList<Piece> &pieces) {
        const Layout heading = layoutText(isolateNumbers(title), documentFont(16, true),
            context.device, context.width, right, true);
        Layout under;
        if (!subtitle.isEmpty())
            under = layoutText(isolateNumbers(subtitle), documentFont(10), context.device,
                context.width, right, true);
        const qreal gap = context.mm(1.5);
        Piece piece;
        piece.height = heightOf(heading) + (under ? gap + heightOf(under) : 0) + context.mm(4);
        piece.keepWithNext = true;
        piece.draw = [heading, under, gap](QPainter &painter, qreal y) {
            painter.setPen(ink);
            heading->draw(&painter, QPointF(0, y));
            if (under) {
                painter.setPen(muted);
                under->draw(&painter, QPointF(0, y + heightOf(heading) + gap));
            }
        };
        pieces.append(piece);
    });
}

void DocumentLayout::addHeading(const QString &text)
{
    m_blocks.append([text](Context &context, QList<Piece> &pieces) {
        const Layout heading = layoutText(isolateNumbers(text), documentFont(12.5, true),
            context.device, context.width, right, true);
        const qreal above = context.mm(3);
        const qreal below = context.mm(1.5);
        Piece piece;
        piece.height = above + heightOf(heading) + below;
        piece.keepWithNext = true;
        piece.draw = [heading, above](QPainter &painter, qreal y) {
            painter.setPen(gold.darker(130));
            heading->draw(&painter, QPointF(0, y + above));
        };
        pieces.append(piece);
    });
}

void DocumentLayout::addParagraph(const QString &text, bool bullet)
{
    addParagraph(QList<Span> { Span { text, false } }, bullet);
}

void DocumentLayout::addParagraph(const QList<Span> &spans, bool bullet)
{
    m_blocks.append([spans, bullet](Context &context, QList<Piece> &pieces) {
        QString text;
        QList<QTextLayout::FormatRange> formats;
        for (const Span &span : spans) {
            const QString part = isolateNumbers(span.text);
            if (span.bold) {
                QTextLayout::FormatRange range;
                range.start = int(text.size());
                range.length = int(part.size());
                range.format.setFontWeight(QFont::Bold);
                formats.append(range);
            }
            text += part;
        }
        const qreal indent = bullet ? context.mm(6) : 0;
        const Layout body = layoutText(
            text, documentFont(10.5), context.device, context.width - indent, right, true, formats);
        const qreal below = context.mm(1.8);
        Piece piece;
        piece.height = heightOf(body) + below;
        piece.draw = [body, bullet, indent, &context](QPainter &painter, qreal y) {
            painter.setPen(ink);
            body->draw(&painter, QPointF(0, y));
            if (bullet && body->lineCount() > 0) {
                const QTextLine first = body->lineAt(0);
                const qreal radius = first.height() / 9;
                painter.setBrush(gold);
                painter.setPen(Qt::NoPen);
                painter.drawEllipse(
                    QPointF(context.width - indent / 2, y + first.height() / 2), radius, radius);
                painter.setBrush(Qt::NoBrush);
            }
        };
        pieces.append(piece);
    });
}

void DocumentLayout::addKeyValues(const QList<QPair<QString, QString>> &rows)
{
    m_blocks.append([rows](Context &context, QList<Piece> &pieces) {
        const QFont labelFont = documentFont(10.5, true);
        const QFont valueFont = documentFont(10.5);
        const qreal pad = context.mm(2);
        qreal labelWidth = 0;
        for (const auto &row : rows)
            labelWidth = std::max(
                labelWidth, naturalWidth(isolateNumbers(row.first), labelFont, context.device));
        // A millimetre of slack: the measured width is exact, and a label must not wrap.
        labelWidth = std::min(labelWidth + 2 * pad + context.mm(1), context.width * 0.45);
        const qreal valueWidth = context.width - labelWidth - 2 * pad;
        for (int i = 0; i < rows.size(); ++i) {
            const Layout label = layoutText(isolateNumbers(rows.at(i).first), labelFont,
                context.device, labelWidth - 2 * pad, right, true);
            const Layout value = layoutText(isolateNumbers(rows.at(i).second), valueFont,
                context.device, valueWidth, right, true);
            Piece piece;
            const qreal height = std::max(heightOf(label), heightOf(value)) + 2 * pad;
            piece.height = height;
            const bool stripe = i % 2 == 0;
            const qreal width = context.width;
            piece.draw = [=](QPainter &painter, qreal y) {
                if (stripe)
                    painter.fillRect(QRectF(0, y, width, height), stripeFill);
                painter.setPen(QPen(rule, 0));
                painter.drawLine(QPointF(0, y + height), QPointF(width, y + height));
                painter.setPen(muted);
                label->draw(&painter, QPointF(width - labelWidth + pad, y + pad));
                painter.setPen(ink);
                value->draw(&painter, QPointF(pad, y + pad));
            };
            pieces.append(piece);
        }
        Piece space;
        space.height = context.mm(3);
        space.draw = [](QPainter &, qreal) {};
        pieces.append(space);
    });
}

void DocumentLayout::addTable(
    const QList<Column> &columns, const QList<QStringList> &rows, const QStringList &totals)
{
    if (columns.isEmpty())
        return;
    m_blocks.append([columns, rows, totals](Context &context, QList<Piece> &pieces) {
        const QFont headFont = documentFont(9.5, true);
        const QFont cellFont = documentFont(9.5);
        const QFont totalFont = documentFont(9.5, true);
        const qreal pad = context.mm(1.6);
        const qsizetype count = columns.size();

        QList<QStringList> cells;
        for (const QStringList &row : rows) {
            QStringList isolated;
            for (qsizetype c = 0; c < count; ++c)
                isolated.append(isolateNumbers(row.value(c)));
            cells.append(isolated);
        }
        QStringList totalCells;
        for (qsizetype c = 0; !totals.isEmpty() && c < count; ++c)
            totalCells.append(isolateNumbers(totals.value(c)));

        // Minimum: a figure's full width, or a text's longest word; then what is left goes to
        // the columns that would wrap, by weight.
        QList<qreal> minimum(count, 0);
        QList<qreal> natural(count, 0);
        for (qsizetype c = 0; c < count; ++c) {
            const QString head = isolateNumbers(columns.at(c).title);
            minimum[c] = longestWord(head, headFont, context.device);
            natural[c] = naturalWidth(head, headFont, context.device);
            const auto measure = [&](const QString &text, const QFont &font) {
                const qreal whole = naturalWidth(text, font, context.device);
                natural[c] = std::max(natural[c], whole);
                minimum[c] = std::max(minimum[c],
                    columns.at(c).figure ? whole : longestWord(text, font, context.device));
            };
            for (const QStringList &row : cells)
                measure(row.at(c), cellFont);
            if (!totalCells.isEmpty())
                measure(totalCells.at(c), totalFont);
            minimum[c] += 2 * pad + context.mm(0.5);
            natural[c] += 2 * pad + context.mm(0.5);
        }
        QList<qreal> widths = minimum;
        qreal spare = context.width;
        for (qreal w : minimum)
            spare -= w;
        if (spare > 0) {
            // First towards each column's natural width, then evenly by weight.
            qreal wanted = 0;
            for (qsizetype c = 0; c < count; ++c)
                wanted += natural[c] - minimum[c];
            const qreal share = wanted > 0 ? std::min(1.0, spare / wanted) : 0;
            for (qsizetype c = 0; c < count; ++c) {
                widths[c] += (natural[c] - minimum[c]) * share;
                spare -= (natural[c] - minimum[c]) * share;
            }
            int weights = 0;
            for (const Column &column : columns)
                weights += std::max(column.weight, 0);
            for (qsizetype c = 0; c < count && weights > 0 && spare > 0; ++c)
                widths[c] += spare * std::max(columns.at(c).weight, 0) / weights;
        }
        // Right edge of each column: the first column stands on the right.
        QList<qreal> rightEdge(count, 0);
        qreal edge = context.width;
        for (qsizetype c = 0; c < count; ++c) {
            rightEdge[c] = edge;
            edge -= widths[c];
        }
        const qreal tableWidth = context.width - edge;

        const auto rowPiece = [&](const QStringList &texts, const QFont &font, bool figureAware) {
            QList<Layout> layouts;
            qreal height = 0;
            for (qsizetype c = 0; c < count; ++c) {
                const bool wrap = !(figureAware && columns.at(c).figure);
                layouts.append(layoutText(
                    texts.value(c), font, context.device, widths[c] - 2 * pad, right, wrap));
                height = std::max(height, heightOf(layouts.last()));
            }
            Piece piece;
            piece.height = height + 2 * pad;
            piece.draw = [layouts, rightEdge, widths, pad](QPainter &painter, qreal y) {
                for (qsizetype c = 0; c < layouts.size(); ++c)
                    layouts.at(c)->draw(&painter, QPointF(rightEdge[c] - widths[c] + pad, y + pad));
            };
            return piece;
        };

        QStringList titles;
        for (const Column &column : columns)
            titles.append(isolateNumbers(column.title));
        Piece headRow = rowPiece(titles, headFont, false);
        const auto drawHeadCells = headRow.draw;
        const qreal headHeight = headRow.height;
        headRow.draw = [=](QPainter &painter, qreal y) {
            painter.fillRect(QRectF(edge, y, tableWidth, headHeight), headerFill);
            painter.setPen(QPen(rule, 0));
            painter.drawRect(QRectF(edge, y, tableWidth, headHeight));
            painter.setPen(ink);
            drawHeadCells(painter, y);
        };
        auto header = std::make_shared<Piece>(headRow);
        headRow.keepWithNext = true;
        pieces.append(headRow);

        for (qsizetype r = 0; r < cells.size(); ++r) {
            Piece row = rowPiece(cells.at(r), cellFont, true);
            const auto drawCells = row.draw;
            const qreal height = row.height;
            const bool stripe = r % 2 == 1;
            row.draw = [=](QPainter &painter, qreal y) {
                if (stripe)
                    painter.fillRect(QRectF(edge, y, tableWidth, height), stripeFill);
                painter.setPen(QPen(rule, 0));
                painter.drawLine(QPointF(edge, y + height), QPointF(edge + tableWidth, y + height));
                painter.drawLine(QPointF(edge, y), QPointF(edge, y + height));
                painter.drawLine(
                    QPointF(edge + tableWidth, y), QPointF(edge + tableWidth, y + height));
                painter.setPen(ink);
                drawCells(painter, y);
            };
            row.header = header;
            pieces.append(row);
        }
        if (!totalCells.isEmpty()) {
            Piece row = rowPiece(totalCells, totalFont, true);
            const auto drawCells = row.draw;
            const qreal height = row.height;
            row.draw = [=](QPainter &painter, qreal y) {
                painter.fillRect(QRectF(edge, y, tableWidth, height), totalsFill);
                painter.setPen(QPen(gold, 0));
                painter.drawRect(QRectF(edge, y, tableWidth, height));
                painter.setPen(ink);
                drawCells(painter, y);
            };
            row.header = header;
            pieces.append(row);
        }
        Piece space;
        space.height = context.mm(4);
        space.draw = [](QPainter &, qreal) {};
        pieces.append(space);
    });
}

void DocumentLayout::addSignatures(const QStringList &labels, qreal room)
{
    if (labels.isEmpty())
        return;
    m_blocks.append([labels, room](Context &context, QList<Piece> &pieces) {
        const qreal slot = context.width / labels.size();
        const qreal lineWidth = std::min(slot * 0.75, context.mm(60));
        QList<Layout> layouts;
        qreal height = 0;
        for (const QString &label : labels) {
            layouts.append(layoutText(isolateNumbers(label), documentFont(10), context.device, slot,
                Qt::AlignHCenter, true));
            height = std::max(height, heightOf(layouts.last()));
        }
        const qreal above = context.mm(room);
        Piece piece;
        piece.height = above + context.mm(1.5) + height + context.mm(2);
        piece.draw = [=, &context](QPainter &painter, qreal y) {
            for (qsizetype i = 0; i < layouts.size(); ++i) {
                const qreal centre = context.width - slot * (i + 0.5);
                painter.setPen(QPen(muted, context.mm(0.2)));
                painter.drawLine(QPointF(centre - lineWidth / 2, y + above),
                    QPointF(centre + lineWidth / 2, y + above));
                painter.setPen(ink);
                layouts.at(i)->draw(
                    &painter, QPointF(centre - slot / 2, y + above + context.mm(1.5)));
            }
        };
        pieces.append(piece);
    });
}

void DocumentLayout::addSpacing(qreal millimetres)
{
    m_blocks.append([millimetres](Context &context, QList<Piece> &pieces) {
        Piece piece;
        piece.height = context.mm(millimetres);
        piece.draw = [](QPainter &, qreal) {};
        pieces.append(piece);
    });
}

void DocumentLayout::addPageBreak(bool withCompany)
{
    m_blocks.append([this, withCompany](Context &context, QList<Piece> &pieces) {
        Piece piece;
        piece.pageBreak = true;
        piece.draw = [](QPainter &, qreal) {};
        pieces.append(piece);
        if (withCompany)
            companyPieces(context, pieces);
    });
}

void DocumentLayout::companyPieces(Context &context, QList<Piece> &pieces) const
{
    const Company company = m_company;
    if (company.name.isEmpty() && company.address.isEmpty() && company.phone.isEmpty()
        && company.email.isEmpty() && company.logo.isNull())
        return;
    // A half sheet (a voucher) keeps its header small so the signatures stay on its one page.
    const qreal logoSize
        = company.logo.isNull() ? 0 : context.mm(m_format == PageFormat::A4 ? 18 : 12);
    const qreal gap = logoSize > 0 ? context.mm(4) : 0;
    const qreal textWidth = context.width - logoSize - gap;

    QList<Layout> lines;
    QList<QColor> colours;
    if (!company.name.isEmpty()) {
        lines.append(layoutText(isolateNumbers(company.name), documentFont(15, true),
            context.device, textWidth, right, true));
        colours.append(gold.darker(115));
    }
    QStringList details;
    if (!company.address.isEmpty())
        details.append(isolateNumbers(company.address));
    if (!company.phone.isEmpty())
        details.append(u"هاتف: "_s + leftToRight(company.phone));
    if (!company.email.isEmpty())
        details.append(u"البريد: "_s + leftToRight(company.email));
    if (!details.isEmpty()) {
        lines.append(layoutText(
            details.join(u"   |   "_s), documentFont(9.5), context.device, textWidth, right, true));
        colours.append(muted);
    }
    qreal textHeight = 0;
    for (const Layout &line : lines)
        textHeight += heightOf(line);
    const qreal body = std::max(textHeight, logoSize);
    const qreal ruleGap = context.mm(2.5);

    Piece piece;
    piece.height = body + ruleGap + context.mm(5);
    const qreal width = context.width;
    const QImage logo = company.logo;
    piece.draw = [=, &context](QPainter &painter, qreal y) {
        if (!logo.isNull()) {
            painter.drawImage(QRectF(width - logoSize, y, logoSize, logoSize), logo);
        }
        qreal lineY = y + (body - textHeight) / 2;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            painter.setPen(colours.at(i));
            lines.at(i)->draw(&painter, QPointF(0, lineY));
            lineY += heightOf(lines.at(i));
        }
        painter.setPen(QPen(gold, context.mm(0.7)));
        painter.drawLine(QPointF(0, y + body + ruleGap), QPointF(width, y + body + ruleGap));
    };
    pieces.append(piece);
}

bool DocumentLayout::print(QPagedPaintDevice *device) const
{
    QPainter painter;
    if (!device || !painter.begin(device))
        return false;

    Context context;
    context.device = device;
    context.width = device->width();
    context.dpi = device->logicalDpiY();

    QList<Piece> pieces;
    companyPieces(context, pieces);
    for (const Builder &block : m_blocks)
        block(context, pieces);

    const Layout footerText = m_footer.isEmpty()
        ? Layout()
        : layoutText(
            isolateNumbers(m_footer), documentFont(8), device, context.width * 0.7, right, false);
    const qreal footerHeight = context.mm(8);
    const bool twice = m_format == PageFormat::A5LandscapeTwiceOnA4;
    const qreal cutGap = twice ? context.mm(20) : 0;
    const qreal pageHeight = twice ? (device->height() - cutGap) / 2 : device->height();
    const qreal bottom = pageHeight - footerHeight;

    // Pagination: each piece goes where it fits; a piece that starts a page inside a table
    // brings the table's header; a title or heading is not left alone at a page's foot.
    QList<QList<QPair<const Piece *, qreal>>> pages(1);
    qreal y = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const Piece &piece = pieces.at(i);
        qreal needed = piece.height;
        for (qsizetype j = i; j < pieces.size() && pieces.at(j).keepWithNext; ++j)
            needed += j + 1 < pieces.size() ? pieces.at(j + 1).height : 0;
        if (y > 0 && (piece.pageBreak || y + std::min(needed, bottom) > bottom)) {
            pages.append(QList<QPair<const Piece *, qreal>>());
            y = 0;
            if (piece.header) {
                pages.last().append({ piece.header.get(), y });
                y += piece.header->height;
            }
        }
        pages.last().append({ &piece, y });
        y += piece.height;
    }
    m_pageCount = int(pages.size());

    const auto drawPage = [&](qsizetype p, const QString &watermark) {
        if (!watermark.isEmpty()) {
            painter.save();
            QFont mark = documentFont(72, true);
            painter.setFont(mark);
            painter.setPen(QColor(0xc5, 0xa0, 0x59, 40));
            painter.translate(context.width / 2, pageHeight / 2);
            painter.rotate(-30);
            const Layout word
                = layoutText(watermark, mark, device, context.width, Qt::AlignHCenter, false);
            word->draw(&painter, QPointF(-context.width / 2, -heightOf(word) / 2));
            painter.restore();
        }
        for (const auto &[piece, top] : pages.at(p))
            piece->draw(painter, top);

        painter.setPen(QPen(rule, 0));
        painter.drawLine(
            QPointF(0, bottom + context.mm(2)), QPointF(context.width, bottom + context.mm(2)));
        painter.setPen(muted);
        if (footerText)
            footerText->draw(&painter, QPointF(0, bottom + context.mm(3)));
        const Layout number = layoutText(
            isolateNumbers(u"صفحة %1 من %2"_s.arg(p + 1).arg(pages.size())), documentFont(8),
            device, context.width * 0.3, Qt::AlignLeft | Qt::AlignAbsolute, false);
        number->draw(&painter, QPointF(0, bottom + context.mm(3)));
    };

    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0)
            device->newPage();
        drawPage(p, m_watermark);
        if (twice) {
            const qreal cut = pageHeight + cutGap / 2;
            painter.setPen(QPen(muted, context.mm(0.2), Qt::DashLine));
            painter.drawLine(QPointF(0, cut), QPointF(context.width, cut));
            painter.save();
            painter.translate(0, pageHeight + cutGap);
            drawPage(p, u"نسخة"_s);
            painter.restore();
        }
    }
    return painter.end();
}

bool DocumentLayout::writePdf(QIODevice *device, const QString &title) const
{
    QPdfWriter writer(device);
    writer.setTitle(title);
    writer.setCreator(u"Belvardino"_s);
    if (m_format == PageFormat::A5Landscape) {
        writer.setPageSize(QPageSize(QPageSize::A5));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(10, 8, 10, 6), QPageLayout::Millimeter);
    } else if (m_format == PageFormat::A5LandscapeTwiceOnA4) {
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(10, 8, 10, 6), QPageLayout::Millimeter);
    } else {
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    }
    return print(&writer);
}
