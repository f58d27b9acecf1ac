#include "printcontroller.h"

#include "settingsmanager.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QHash>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QString esc(const QString &text) { return text.toHtmlEscaped(); }

QString esc(const QVariant &value) { return value.toString().toHtmlEscaped(); }

// Blanks become underscores; path separators too, so a name never leaves the documents folder.
QString fileNamePart(const QString &text)
{
    QString part = text.simplified();
    part.replace(u' ', u'_');
    part.replace(u'/', u'_');
    part.replace(u'\\', u'_');
    return part;
}

bool isHiddenColumn(const QString &column)
{
    static const QStringList hidden { u"id"_s, u"property_id"_s, u"tenant_id"_s, u"unit_id"_s,
        u"currency_id"_s, u"buyer_id"_s, u"active"_s };
    return hidden.contains(column);
}

const QString reportHead
    = u"<html><head><style>body { font-family: 'Arial'; direction: rtl; margin: 20px; color: #1e293b; }header { text-align: center; border-bottom: 3px solid #C5A059; padding-bottom: 10px; margin-bottom: 20px; }h1 { color: #C5A059; margin: 0; font-size: 24pt; }h2 { color: #334155; margin: 10px 0; font-size: 18pt; border-bottom: 1px solid #e2e8f0; display: inline-block; padding: 0 20px; }.summary-box { background: #f8fafc; border: 1px solid #cbd5e1; padding: 15px; border-radius: 8px; margin-bottom: 20px; }table { width: 100%; border-collapse: collapse; margin-top: 10px; table-layout: fixed; }th { background-color: #f1f5f9; color: #475569; border: 1px solid #cbd5e1; padding: 10px; font-size: 11pt; text-align: center; }td { border: 1px solid #cbd5e1; padding: 8px; font-size: 10pt; text-align: center; word-wrap: break-word; }tr:nth-child(even) { background-color: #fcfcfc; }footer { margin-top: 40px; text-align: center; font-size: 9pt; color: #94a3b8; border-top: 1px solid #e2e8f0; padding-top: 10px; }</style></head><body>"_s;

const QString statementHead
    = u"<html><head><style>body { font-family: 'Arial'; direction: rtl; margin: 20px; color: #1e293b; }.header-table { width: 100%; border-bottom: 3px solid #C5A059; margin-bottom: 20px; }h1 { color: #C5A059; margin: 0; font-size: 22pt; }.info-box { background: #f8fafc; border: 1px solid #e2e8f0; padding: 15px; border-radius: 8px; margin-bottom: 20px; width: 100%; }.totals-grid { display: table; width: 100%; margin-bottom: 20px; }.total-item { display: table-cell; background: #fff; border: 1px solid #C5A059; padding: 10px; text-align: center; border-radius: 6px; }table.data { width: 100%; border-collapse: collapse; }table.data th { background: #1e293b; color: #fff; padding: 10px; border: 1px solid #1e293b; }table.data td { padding: 10px; border: 1px solid #e2e8f0; text-align: center; }.footer-sig { margin-top: 50px; width: 100%; }</style></head><body>"_s;

// Qt's rich-text engine ignores the style sheet's "direction: rtl" and lays tables out left to
// right only. The cells of every row are therefore given in reverse order, so a row's first cell
// stands on the right as the documents intend. Inserted texts are escaped, so every "<" here
// belongs to the templates, and they nest no table inside a cell.
QString mirroredTableRows(const QString &html)
{
    static const QRegularExpression row(
        u"<tr>(.*?)</tr>"_s, QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(
        u"<(t[dh])\\b[^>]*>.*?</\\1>"_s, QRegularExpression::DotMatchesEverythingOption);
    QString mirrored;
    qsizetype last = 0;
    auto rows = row.globalMatch(html);
    while (rows.hasNext()) {
        const QRegularExpressionMatch match = rows.next();
        QStringList cells;
        auto found = cell.globalMatch(match.captured(1));
        while (found.hasNext())
            cells.prepend(found.next().captured(0));
        mirrored += html.mid(last, match.capturedStart() - last);
        mirrored += u"<tr>"_s + cells.join(QString()) + u"</tr>"_s;
        last = match.capturedEnd();
    }
    return mirrored + html.mid(last);
}

// Paragraphs run right to left, and tables take the full width the style sheet gives them
// (the engine reads a table's width only from its attribute).
void setRightToLeft(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setLayoutDirection(Qt::RightToLeft);
        // A style's "left" or "right" is meant literally, not mirrored with the direction.
        const Qt::Alignment side = format.alignment() & (Qt::AlignLeft | Qt::AlignRight);
        if (format.hasProperty(QTextFormat::BlockAlignment) && side)
            format.setAlignment(format.alignment() | Qt::AlignAbsolute);
        QTextCursor(block).setBlockFormat(format);
    }
    QList<QTextFrame *> frames { document.rootFrame() };
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeFirst();
        frames.append(frame->childFrames());
        if (auto *table = qobject_cast<QTextTable *>(frame)) {
            QTextTableFormat format = table->format();
            if (format.width().type() == QTextLength::VariableLength) {
                format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
                table->setFormat(format);
            }
        }
    }
}

} // namespace

PrintController::PrintController(SettingsManager *settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

QString PrintController::translateLabel(const QString &key)
{
    static const QHash<QString, QString> labels {
        { u"id"_s, u"م"_s },
        { u"unit_number"_s, u"رقم الوحدة"_s },
        { u"property_name"_s, u"اسم العقار"_s },
        { u"status"_s, u"الحالة"_s },
        { u"amount"_s, u"المبلغ"_s },
        { u"full_name"_s, u"الاسم الكامل"_s },
        { u"buyer_name"_s, u"اسم المشتري"_s },
        { u"tenant_name"_s, u"اسم المستأجر"_s },
        { u"due_date"_s, u"تاريخ الاستحقاق"_s },
        { u"payment_date"_s, u"تاريخ الدفع"_s },
        { u"area"_s, u"المساحة"_s },
        { u"rooms"_s, u"الغرف"_s },
        { u"floor"_s, u"الطابق"_s },
        { u"price"_s, u"السعر"_s },
        { u"balance"_s, u"الرصيد"_s },
        { u"description"_s, u"الوصف"_s },
        { u"cheque_number"_s, u"رقم الشيك"_s },
        { u"bank"_s, u"البنك"_s },
        { u"created_at"_s, u"تاريخ الإضافة"_s },
        { u"available"_s, u"متاح"_s },
        { u"sold"_s, u"مباع"_s },
        { u"rented"_s, u"مؤجر"_s },
        { u"installment_amount"_s, u"قيمة القسط"_s },
        { u"paid_amount"_s, u"المبلغ المدفوع"_s },
    };
    return labels.value(key, key);
}

QString PrintController::documentsFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString PrintController::reportFileName(const QString &title) const
{
    return documentsFolder() + u"/"_s + fileNamePart(title) + u"_"_s
        + QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s) + u".pdf"_s;
}

QString PrintController::statementFileName(const QString &entityName) const
{
    return documentsFolder() + u"/Statement_"_s + fileNamePart(entityName) + u"_"_s
        + QDate::currentDate().toString(u"yyyyMMdd"_s) + u".pdf"_s;
}

QString PrintController::reportHtml(
    const QString &title, const QVariantList &data, const QVariantMap &summary) const
{
    const QString companyName = esc(m_settings->companyName());
    QString html = reportHead;
    html += u"<header><h1>"_s + companyName + u"</h1><p>"_s + esc(m_settings->companyAddress())
        + u" | "_s + esc(m_settings->companyPhone()) + u"</p><h2>"_s + esc(title)
        + u"</h2><p>تاريخ التقرير: "_s
        + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s) + u"</p></header>"_s;

    if (!summary.isEmpty()) {
        html += u"<div class='summary-box'><table style='border:none; margin:0;'><tr>"_s;
        for (auto it = summary.constBegin(); it != summary.constEnd(); ++it) {
            html += u"<td style='border:none; text-align:right;'><b>"_s + esc(it.key())
                + u":</b> <span style='color:#C5A059; font-weight:bold;'>"_s + esc(it.value())
                + u"</span></td>"_s;
        }
        html += u"</tr></table></div>"_s;
    }

    if (!data.isEmpty()) {
        QStringList columns;
        for (const QString &key : data.constFirst().toMap().keys()) {
            if (!isHiddenColumn(key))
                columns.append(key);
        }
        html += u"<table><thead><tr>"_s;
        for (const QString &column : columns)
            html += u"<th>"_s + esc(translateLabel(column)) + u"</th>"_s;
        html += u"</tr></thead><tbody>"_s;
        for (const QVariant &item : data) {
            const QVariantMap row = item.toMap();
            html += u"<tr>"_s;
            for (const QString &column : columns) {
                QString cell = row.value(column).toString();
                if (column == u"status"_s)
                    cell = translateLabel(cell);
                html += u"<td>"_s + esc(cell) + u"</td>"_s;
            }
            html += u"</tr>"_s;
        }
        html += u"</tbody></table>"_s;
    }

    html += u"<footer>طبع بواسطة نظام بلفاردينو - شركة "_s + companyName
        + u"</footer></body></html>"_s;
    return html;
}

QString PrintController::statementHtml(const QString &entityName, const QString &entityType,
    const QVariantList &transactions, const QVariantMap &totals) const
{
    const QString companyName = esc(m_settings->companyName());
    QString html = statementHead;
    html += u"<table class='header-table'><tr><td style='text-align:right;'><h1>"_s + companyName
        + u"</h1><p>"_s + esc(m_settings->companyAddress()) + u"<br>"_s
        + esc(m_settings->companyPhone())
        + u"</p></td><td style='text-align:left; vertical-align:top;'><h2 style='margin:0;'>كشف حساب "_s
        + esc(entityType) + u"</h2><p>تاريخ: "_s + QDate::currentDate().toString(u"yyyy-MM-dd"_s)
        + u"</p></td></tr></table>"_s;

    html += u"<div class='info-box'>اسم الحساب: <b>"_s + esc(entityName) + u"</b></div>"_s;

    html += u"<table width='100%' cellspacing='10'><tr>"_s;
    for (auto it = totals.constBegin(); it != totals.constEnd(); ++it) {
        html
            += u"<td style='background:#fdfaf3; border:1px solid #C5A059; padding:15px; text-align:center; border-radius:10px;'><div style='font-size:10pt; color:#64748b;'>"_s
            + esc(it.key())
            + u"</div><div style='font-size:16pt; font-weight:bold; color:#1e293b;'>"_s
            + esc(it.value()) + u"</div></td>"_s;
    }
    html += u"</tr></table>"_s;

    html
        += u"<table class='data'><thead><tr><th>التاريخ</th><th>البيان / الوصف</th><th>رقم المرجع</th><th>المدفوع</th><th>المتبقي</th></tr></thead><tbody>"_s;
    for (const QVariant &item : transactions) {
        const QVariantMap row = item.toMap();
        html += u"<tr><td>"_s + esc(row.value(u"date"_s)) + u"</td><td style='text-align:right;'>"_s
            + esc(row.value(u"description"_s)) + u"</td><td>"_s + esc(row.value(u"reference"_s))
            + u"</td><td style='color:#22c55e; font-weight:bold;'>"_s + esc(row.value(u"amount"_s))
            + u"</td><td>"_s + esc(row.value(u"balance"_s)) + u"</td></tr>"_s;
    }
    html += u"</tbody></table>"_s;

    html
        += u"<table class='footer-sig'><tr><td style='text-align:center;'>توقيع المحاسب<br><br>_________________</td><td style='text-align:center;'>الختم الرسمي<br><br><div style='width:100px; height:100px; border:2px dashed #cbd5e1; margin:auto; border-radius:50%;'></div></td></tr></table>"_s;
    html
        += u"<p style='text-align:center; margin-top:30px; font-size:9pt; color:#94a3b8;'>طبع بواسطة نظام بلفاردينو - شركة "_s
        + companyName + u"</p></body></html>"_s;
    return html;
}

void PrintController::printReport(
    const QString &title, const QString &type, const QVariantList &data, const QVariantMap &summary)
{
    Q_UNUSED(type)
    emit printStarted();
    writePdf(reportHtml(title, data, summary), reportFileName(title));
}

void PrintController::printStatement(const QString &entityName, const QString &entityType,
    const QVariantList &transactions, const QVariantMap &totals)
{
    emit printStarted();
    writePdf(
        statementHtml(entityName, entityType, transactions, totals), statementFileName(entityName));
}

bool PrintController::saveReport(
    const QString &title, const QVariantList &data, const QVariantMap &summary, const QString &path)
{
    return writeFile(reportHtml(title, data, summary), path);
}

bool PrintController::saveStatement(const QString &entityName, const QString &entityType,
    const QVariantList &transactions, const QVariantMap &totals, const QString &path)
{
    return writeFile(statementHtml(entityName, entityType, transactions, totals), path);
}

void PrintController::writePdf(const QString &html, const QString &path)
{
    if (!QDir().mkpath(documentsFolder())) {
        emit printError(u"Failed to create the documents folder: "_s + documentsFolder());
        return;
    }
    if (!writeFile(html, path))
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    emit printFinished(true, path);
}

bool PrintController::writeFile(const QString &html, const QString &path)
{
    // Written under a temporary name and renamed when complete, so a failed write neither
    // reports success nor leaves half a document in place of an earlier one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        emit printError(u"Failed to write the PDF file: "_s + path);
        return false;
    }

    QTextDocument document;
    document.setHtml(mirroredTableRows(html));
    setRightToLeft(document);
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        document.print(&writer);
    }
    if (file.size() == 0 || !file.commit()) {
        emit printError(u"Failed to write the PDF file: "_s + path);
        return false;
    }
    return true;
}
