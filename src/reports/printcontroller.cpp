#include "printcontroller.h"

#include "documentlayout.h"
#include "money.h"
#include "settingsmanager.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

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

// Amounts to the cent with thousands separators, the way the screens show them.
QString amount(const QVariant &value)
{
    return QLocale(QLocale::English).toString(value.toDouble(), 'f', 2);
}

// A cell that is a number, a date or empty: such a column is laid out as figures.
bool looksLikeFigure(const QString &text)
{
    static const QRegularExpression figure(
        u"^[\\s+\\-]*[0-9][0-9.,:/\\- %]*(\\s*[^\\s0-9]{1,3})?$"_s);
    return text.isEmpty() || figure.match(text).hasMatch();
}

// Pictographs have no glyph in the document fonts; they would print as empty boxes.
QString withoutPictographs(const QString &text)
{
    static const QRegularExpression pictograph(
        u"[\\x{2600}-\\x{27BF}\\x{1F000}-\\x{1FAFF}\\x{FE0F}\\x{200D}]"_s);
    QString plain = text;
    plain.remove(pictograph);
    return plain.simplified();
}

// "**" toggles bold inside a line.
QList<DocumentLayout::Span> spansOf(const QString &line)
{
    QList<DocumentLayout::Span> spans;
    const QStringList parts = line.split(u"**"_s);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!parts.at(i).isEmpty())
            spans.append({ parts.at(i), i % 2 == 1 });
    }
    return spans;
}

// Formatted text ("### " headings, "- " bullets, **bold**) as blocks of the document.
void addFormattedText(DocumentLayout &layout, const QString &text)
{
    for (const QString &raw : text.split(u'\n')) {
        QString line = withoutPictographs(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'#')) {
            line.remove(QRegularExpression(u"^#+\\s*"_s));
            layout.addHeading(line.remove(u"**"_s));
        } else if (line.startsWith(u"- "_s) || line.startsWith(u"• "_s)) {
            layout.addParagraph(spansOf(line.mid(2)), true);
        } else {
            layout.addParagraph(spansOf(line));
        }
    }
}

QString statusLabel(const QString &status)
{
    static const QHash<QString, QString> labels { { u"paid"_s, u"مسدد"_s },
        { u"partial"_s, u"مسدد جزئياً"_s }, { u"overdue"_s, u"متأخر"_s }, { u"due"_s, u"مستحق"_s },
        { u"pending"_s, u"مستحق"_s } };
    return labels.value(status, status);
}

} // namespace

PrintController::PrintController(SettingsManager *settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

PrintController::~PrintController() = default;

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
        { u"name"_s, u"الاسم"_s },
        { u"phone"_s, u"الهاتف"_s },
        { u"email"_s, u"البريد"_s },
        { u"id_number"_s, u"رقم الهوية"_s },
        { u"address"_s, u"العنوان"_s },
        { u"city"_s, u"المدينة"_s },
        { u"notes"_s, u"ملاحظات"_s },
        { u"trade"_s, u"التخصص"_s },
        { u"rent_monthly"_s, u"الإيجار الشهري"_s },
        { u"sale_price"_s, u"سعر البيع"_s },
    };
    return labels.value(key, key);
}

QString PrintController::documentsFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

namespace {

QString freeName(const QString &stem)
{
    QString path = stem + u".pdf"_s;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + u"_"_s + QString::number(n) + u".pdf"_s;
    return path;
}

QString stamp() { return QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s); }

} // namespace

QString PrintController::reportFileName(const QString &title) const
{
    return freeName(documentsFolder() + u"/"_s + fileNamePart(title) + u"_"_s + stamp());
}

QString PrintController::statementFileName(const QString &entityName) const
{
    return freeName(
        documentsFolder() + u"/Statement_"_s + fileNamePart(entityName) + u"_"_s + stamp());
}

std::unique_ptr<DocumentLayout> PrintController::newLayout() const
{
    auto layout = std::make_unique<DocumentLayout>();
    brand(*layout);
    return layout;
}

void PrintController::brand(DocumentLayout &layout) const
{
    DocumentLayout::Company company;
    company.name = m_settings->companyName().trimmed();
    company.address = m_settings->companyAddress().trimmed();
    company.phone = m_settings->companyPhone().trimmed();
    company.email = m_settings->companyEmail().trimmed();
    company.logo = QImage(u":/assets/logo.ico"_s);
    layout.setCompany(company);
    layout.setFooter(company.name.isEmpty() ? u"طبع بواسطة نظام بلفاردينو"_s
                                            : u"طبع بواسطة نظام بلفاردينو - "_s + company.name);
}

std::unique_ptr<DocumentLayout> PrintController::voucherLayout(
    const QVariantMap &voucher, bool twoOnA4) const
{
    auto layout = std::make_unique<DocumentLayout>(twoOnA4
            ? DocumentLayout::PageFormat::A5LandscapeTwiceOnA4
            : DocumentLayout::PageFormat::A5Landscape);
    brand(*layout);
    const bool receipt = voucher.value(u"kind"_s).toString() == u"receipt"_s;
    const bool voided = voucher.value(u"status"_s).toString() == u"void"_s;
    if (voided)
        layout->setWatermark(u"ملغى"_s);
    else if (voucher.value(u"copy"_s).toBool())
        layout->setWatermark(u"نسخة"_s);
    // A reprint and a void voucher say so in the title too, where a reader cannot miss it; the
    // whole voucher stays on one A5 page.
    QString title = receipt ? u"سند قبض"_s : u"سند صرف"_s;
    if (voided)
        title += u" - ملغى"_s;
    else if (voucher.value(u"copy"_s).toBool())
        title += u" - نسخة"_s;
    QString subtitle = u"رقم السند: "_s + voucher.value(u"number"_s).toString()
        + u"   |   التاريخ: "_s + voucher.value(u"voucher_date"_s).toString();
    if (voided)
        subtitle += u"   |   سبب الإلغاء: "_s + voucher.value(u"void_reason"_s).toString();
    layout->addTitle(title, subtitle);
    const QString party = voucher.value(u"party_name"_s).toString();
    const QString symbol = voucher.value(u"currency_symbol"_s).toString();
    layout->addKeyValues({
        { receipt ? u"استلمنا من"_s : u"صرفنا إلى"_s, party.isEmpty() ? u"—"_s : party },
        { u"مبلغ وقدره"_s,
            amount(voucher.value(u"amount"_s)) + u" "_s + symbol + u" - "_s
                + voucher.value(u"amount_words"_s).toString() },
        { u"وذلك عن"_s, voucher.value(u"purpose"_s).toString() },
        { u"طريقة الدفع"_s, voucher.value(u"method_text"_s).toString() },
    });
    // The operator who received or paid the sum signs above their name.
    const QString operatorName = voucher.value(u"operator"_s).toString();
    const QString cashier
        = operatorName.isEmpty() ? u"توقيع المحاسب"_s : u"توقيع المحاسب: "_s + operatorName;
    layout->addSignatures(
        receipt ? QStringList { cashier, u"الختم"_s } : QStringList { u"توقيع المستلم"_s, cashier },
        10);
    return layout;
}

std::unique_ptr<DocumentLayout> PrintController::depositStatementLayout(
    const QVariantMap &statement) const
{
    auto layout = newLayout();
    const QString symbol = u" "_s + statement.value(u"currency_symbol"_s).toString();
    layout->addTitle(u"تسوية تأمين عقد إيجار"_s,
        u"تاريخ التسوية: "_s + statement.value(u"settled_date"_s).toString());
    layout->addKeyValues({ { u"المستأجر"_s, statement.value(u"tenant_name"_s).toString() },
        { u"الوحدة"_s,
            statement.value(u"unit_number"_s).toString() + u" - "_s
                + statement.value(u"property_name"_s).toString() },
        { u"مدة العقد"_s,
            u"من "_s + statement.value(u"start_date"_s).toString() + u" إلى "_s
                + statement.value(u"end_date"_s).toString() },
        { u"مبلغ التأمين"_s, amount(statement.value(u"amount"_s)) + symbol },
        { u"تاريخ الاستلام"_s,
            statement.value(u"received_date"_s).toString() + u" - سند "_s
                + statement.value(u"receipt_number"_s).toString() } });
    static const QHash<QString, QString> kinds { { u"invoice"_s, u"فاتورة غير مسددة"_s },
        { u"damage"_s, u"ضرر"_s } };
    QList<QStringList> rows;
    for (const QVariant &item : statement.value(u"deductions"_s).toList()) {
        const QVariantMap row = item.toMap();
        rows.append({ kinds.value(row.value(u"kind"_s).toString()),
            row.value(u"description"_s).toString(), amount(row.value(u"amount"_s)) });
    }
    const double damagesBeyond = statement.value(u"invoiced_rest"_s).toDouble();
    layout->addHeading(u"الخصومات"_s);
    layout->addTable(
        { { u"النوع"_s, 1, false }, { u"البيان"_s, 4, false }, { u"المبلغ"_s, 1, true } }, rows,
        { QString(), u"مجموع المخصوم من التأمين"_s, amount(statement.value(u"deducted"_s)) });
    QList<QPair<QString, QString>> result;
    QString refund = amount(statement.value(u"refunded"_s)) + symbol;
    if (!statement.value(u"refund_number"_s).toString().isEmpty())
        refund += u" - سند صرف "_s + statement.value(u"refund_number"_s).toString();
    result.append({ u"المردود للمستأجر"_s, refund });
    if (!Money::isZero(statement.value(u"kept"_s).toDouble()))
        result.append({ u"المحتجز"_s, amount(statement.value(u"kept"_s)) + symbol });
    if (!Money::isZero(damagesBeyond))
        result.append(
            { u"أضرار تزيد على التأمين (فوترت للمستأجر)"_s, amount(damagesBeyond) + symbol });
    layout->addKeyValues(result);
    layout->addSignatures({ u"توقيع المستأجر"_s, u"توقيع المحاسب"_s, u"الختم الرسمي"_s });
    return layout;
}

std::unique_ptr<DocumentLayout> PrintController::reportLayout(
    const QString &title, const QVariantList &data, const QVariantMap &summary) const
{
    auto layout = newLayout();
    layout->addTitle(
        title, u"تاريخ التقرير: "_s + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s));
    if (!summary.isEmpty()) {
        QList<QPair<QString, QString>> pairs;
        for (auto it = summary.constBegin(); it != summary.constEnd(); ++it)
            pairs.append({ it.key(), it.value().toString() });
        layout->addKeyValues(pairs);
    }
    if (!data.isEmpty()) {
        QStringList keys;
        for (const QString &key : data.constFirst().toMap().keys()) {
            if (!isHiddenColumn(key))
                keys.append(key);
        }
        QList<QStringList> rows;
        for (const QVariant &item : data) {
            const QVariantMap row = item.toMap();
            QStringList cells;
            for (const QString &key : keys) {
                const QString cell = row.value(key).toString();
                cells.append(key == u"status"_s ? translateLabel(cell) : cell);
            }
            rows.append(cells);
        }
        QList<DocumentLayout::Column> columns;
        for (qsizetype c = 0; c < keys.size(); ++c) {
            bool figure = true;
            for (const QStringList &row : rows)
                figure = figure && looksLikeFigure(row.at(c));
            columns.append({ translateLabel(keys.at(c)), figure ? 1 : 3, figure });
        }
        layout->addTable(columns, rows);
    }
    return layout;
}

std::unique_ptr<DocumentLayout> PrintController::statementLayout(const QString &entityName,
    const QString &entityType, const QVariantList &transactions, const QVariantMap &totals) const
{
    auto layout = newLayout();
    layout->addTitle(u"كشف حساب "_s + entityType,
        u"تاريخ الطباعة: "_s + QDate::currentDate().toString(u"yyyy-MM-dd"_s));
    QList<QPair<QString, QString>> pairs { { u"اسم الحساب"_s, entityName } };
    for (auto it = totals.constBegin(); it != totals.constEnd(); ++it)
        pairs.append({ it.key(), it.value().toString() });
    layout->addKeyValues(pairs);

    QList<QStringList> rows;
    for (const QVariant &item : transactions) {
        const QVariantMap row = item.toMap();
        rows.append({ row.value(u"date"_s).toString(), row.value(u"description"_s).toString(),
            row.value(u"reference"_s).toString(), row.value(u"debit"_s).toString(),
            row.value(u"credit"_s).toString(), row.value(u"balance"_s).toString() });
    }
    layout->addTable(
        { { u"التاريخ"_s, 1, true }, { u"البيان"_s, 4, false }, { u"المرجع"_s, 2, false },
            { u"مدين"_s, 1, true }, { u"دائن"_s, 1, true }, { u"الرصيد"_s, 1, true } },
        rows);
    layout->addSignatures({ u"توقيع المحاسب"_s, u"الختم الرسمي"_s });
    return layout;
}

std::unique_ptr<DocumentLayout> PrintController::accountStatementLayout(
    const QString &entityName, const QString &entityType, const QVariantMap &account) const
{
    auto layout = newLayout();
    const QString from = account.value(u"from"_s).toString();
    const QString to = account.value(u"to"_s).toString();
    const QString period = from.isEmpty()
        ? u"كل الحركات حتى "_s + QDate::currentDate().toString(u"yyyy-MM-dd"_s)
        : u"من "_s + from + u" إلى "_s + to;
    layout->addTitle(u"كشف حساب "_s + entityType,
        u"تاريخ الطباعة: "_s + QDate::currentDate().toString(u"yyyy-MM-dd"_s));

    const QVariantList currencies = account.value(u"currencies"_s).toList();
    const bool severalCurrencies = currencies.size() > 1;
    QList<QPair<QString, QString>> pairs { { u"اسم الحساب"_s, entityName },
        { u"الفترة"_s, period } };
    if (!severalCurrencies)
        pairs.append({ u"العملة"_s, account.value(u"currency_symbol"_s).toString() });
    layout->addKeyValues(pairs);

    const QVariantList lines = account.value(u"lines"_s).toList();
    bool withStatus = false;
    for (const QVariant &item : lines)
        withStatus = withStatus || !item.toMap().value(u"status"_s).toString().isEmpty();
    const QString debitTitle = account.value(u"debit_label"_s, u"مدين"_s).toString();
    const QString creditTitle = account.value(u"credit_label"_s, u"دائن"_s).toString();

    const auto money = [severalCurrencies](const QVariant &value, const QString &symbol) {
        return severalCurrencies ? amount(value) + u" "_s + symbol : amount(value);
    };
    QList<QStringList> rows;
    if (!from.isEmpty()) {
        for (const QVariant &item : currencies) {
            const QVariantMap sum = item.toMap();
            QStringList row { from, u"رصيد افتتاحي"_s, QString() };
            if (withStatus)
                row.append(QString());
            row << QString() << QString()
                << money(
                       sum.value(u"opening_balance"_s), sum.value(u"currency_symbol"_s).toString());
            rows.append(row);
        }
    }
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        const QString symbol = line.value(u"currency_symbol"_s).toString();
        const double debit = line.value(u"debit"_s).toDouble();
        const double credit = line.value(u"credit"_s).toDouble();
        QStringList row { line.value(u"date"_s).toString(), line.value(u"description"_s).toString(),
            line.value(u"ref"_s).toString() };
        if (withStatus)
            row.append(statusLabel(line.value(u"status"_s).toString()));
        row << (debit != 0 ? money(debit, symbol) : QString())
            << (credit != 0 ? money(credit, symbol) : QString())
            << money(line.value(u"balance"_s), symbol);
        rows.append(row);
    }
    QList<DocumentLayout::Column> columns { { u"التاريخ"_s, 1, true }, { u"البيان"_s, 5, false },
        { u"المرجع"_s, 2, false } };
    if (withStatus)
        columns.append({ u"الحالة"_s, 1, false });
    columns << DocumentLayout::Column { debitTitle, 1, true }
            << DocumentLayout::Column { creditTitle, 1, true }
            << DocumentLayout::Column { u"الرصيد"_s, 1, true };
    QStringList totalsRow;
    if (!severalCurrencies) {
        totalsRow << QString() << u"الإجمالي"_s << QString();
        if (withStatus)
            totalsRow.append(QString());
        totalsRow << amount(account.value(u"total_debit"_s))
                  << amount(account.value(u"total_credit"_s))
                  << amount(account.value(u"closing_balance"_s));
    }
    layout->addTable(columns, rows, totalsRow);

    for (const QVariant &item : currencies) {
        const QVariantMap sum = item.toMap();
        const QString symbol = u" "_s + sum.value(u"currency_symbol"_s).toString();
        QList<QPair<QString, QString>> figures;
        if (!from.isEmpty())
            figures.append(
                { u"الرصيد الافتتاحي"_s, amount(sum.value(u"opening_balance"_s)) + symbol });
        figures << QPair<QString, QString> { u"إجمالي "_s + debitTitle,
            amount(sum.value(u"total_debit"_s)) + symbol }
                << QPair<QString, QString> { u"إجمالي "_s + creditTitle,
                       amount(sum.value(u"total_credit"_s)) + symbol }
                << QPair<QString, QString> { u"الرصيد المستحق"_s,
                       amount(sum.value(u"closing_balance"_s)) + symbol };
        layout->addKeyValues(figures);
    }
    // The person the statement is about signs it: the tenant, the buyer or the contractor.
    const QString signer = entityType.isEmpty() ? u"العميل"_s : u"ال"_s + entityType;
    layout->addSignatures({ u"توقيع المحاسب"_s, u"الختم الرسمي"_s, u"توقيع "_s + signer });
    return layout;
}

std::unique_ptr<DocumentLayout> PrintController::documentLayout(const QVariantMap &document) const
{
    auto layout = newLayout();
    QString subtitle
        = u"تاريخ الطباعة: "_s + QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s);
    const QString period = document.value(u"period"_s).toString();
    if (!period.isEmpty())
        subtitle = u"الفترة: "_s + period + u"   |   "_s + subtitle;
    layout->addTitle(document.value(u"title"_s).toString(), subtitle);

    for (const QVariant &item : document.value(u"blocks"_s).toList()) {
        const QVariantMap block = item.toMap();
        if (block.contains(u"heading"_s))
            layout->addHeading(block.value(u"heading"_s).toString());
        if (block.contains(u"text"_s))
            addFormattedText(*layout, block.value(u"text"_s).toString());
        if (block.contains(u"pairs"_s)) {
            QList<QPair<QString, QString>> pairs;
            for (const QVariant &pair : block.value(u"pairs"_s).toList())
                pairs.append({ pair.toMap().value(u"label"_s).toString(),
                    pair.toMap().value(u"value"_s).toString() });
            layout->addKeyValues(pairs);
        }
        if (block.contains(u"columns"_s)) {
            QStringList keys;
            QList<DocumentLayout::Column> columns;
            for (const QVariant &column : block.value(u"columns"_s).toList()) {
                const QVariantMap map = column.toMap();
                keys.append(map.value(u"key"_s).toString());
                const bool figure = map.value(u"figure"_s).toBool();
                columns.append({ map.value(u"title"_s).toString(),
                    map.value(u"weight"_s, figure ? 1 : 3).toInt(), figure });
            }
            QList<QStringList> rows;
            for (const QVariant &row : block.value(u"rows"_s).toList()) {
                QStringList cells;
                for (const QString &key : keys)
                    cells.append(withoutPictographs(row.toMap().value(key).toString()));
                rows.append(cells);
            }
            QStringList totals;
            const QVariantMap totalsMap = block.value(u"totals"_s).toMap();
            for (qsizetype c = 0; !totalsMap.isEmpty() && c < keys.size(); ++c)
                totals.append(totalsMap.value(keys.at(c)).toString());
            layout->addTable(columns, rows, totals);
        }
    }
    const QStringList signatures = document.value(u"signatures"_s).toStringList();
    if (!signatures.isEmpty())
        layout->addSignatures(signatures);
    return layout;
}

std::unique_ptr<DocumentLayout> PrintController::remindersLayout(const QVariantList &letters) const
{
    auto layout = newLayout();
    const QList<DocumentLayout::Column> columns { { u"البيان"_s, 4, false },
        { u"الرقم"_s, 2, false }, { u"الفترة"_s, 1, true }, { u"تاريخ الاستحقاق"_s, 1, true },
        { u"أيام التأخير"_s, 1, true }, { u"المبلغ"_s, 1, true } };
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const QVariantMap letter = letters.at(i).toMap();
        if (i > 0)
            layout->addPageBreak(true);
        layout->addTitle(u"تذكير بمستحقات"_s, u"التاريخ: "_s + letter.value(u"date"_s).toString());
        layout->addParagraph({ { letter.value(u"greeting"_s).toString(), true } });
        layout->addParagraph(letter.value(u"intro"_s).toString());
        QList<QStringList> rows;
        for (const QVariant &item : letter.value(u"items"_s).toList()) {
            const QVariantMap row = item.toMap();
            rows.append({ row.value(u"description"_s).toString(), row.value(u"ref"_s).toString(),
                row.value(u"period"_s).toString(), row.value(u"due_date"_s).toString(),
                QString::number(row.value(u"days_late"_s).toInt()),
                amount(row.value(u"amount"_s)) + u" "_s
                    + row.value(u"currency_symbol"_s).toString() });
        }
        for (const QVariant &item : letter.value(u"adjustments"_s).toList()) {
            const QVariantMap row = item.toMap();
            rows.append({ row.value(u"description"_s).toString(), QString(), QString(), QString(),
                QString(),
                amount(row.value(u"amount"_s)) + u" "_s
                    + row.value(u"currency_symbol"_s).toString() });
        }
        layout->addTable(columns, rows,
            { u"الإجمالي المستحق"_s, QString(), QString(), QString(), QString(),
                letter.value(u"total_text"_s).toString() });
        layout->addSpacing(3);
        layout->addParagraph(letter.value(u"how_to_pay"_s).toString());
        layout->addParagraph(letter.value(u"closing"_s).toString());
        layout->addSpacing(4);
        layout->addParagraph(u"مع خالص التحية،"_s);
        layout->addParagraph({ { letter.value(u"signer"_s).toString(), true } });
    }
    return layout;
}

void PrintController::printReminders(const QVariantList &letters)
{
    emit printStarted();
    write(*remindersLayout(letters), reportFileName(u"تذكير"_s), u"تذكير بمستحقات"_s);
}

bool PrintController::saveReminders(const QVariantList &letters, const QString &path)
{
    return saveOrSay(*remindersLayout(letters), path, u"تذكير بمستحقات"_s);
}

void PrintController::printReport(
    const QString &title, const QString &type, const QVariantList &data, const QVariantMap &summary)
{
    Q_UNUSED(type)
    emit printStarted();
    write(*reportLayout(title, data, summary), reportFileName(title), title);
}

void PrintController::printStatement(const QString &entityName, const QString &entityType,
    const QVariantList &transactions, const QVariantMap &totals)
{
    emit printStarted();
    write(*statementLayout(entityName, entityType, transactions, totals),
        statementFileName(entityName), u"كشف حساب "_s + entityName);
}

void PrintController::printAccountStatement(
    const QString &entityName, const QString &entityType, const QVariantMap &account)
{
    emit printStarted();
    write(*accountStatementLayout(entityName, entityType, account), statementFileName(entityName),
        u"كشف حساب "_s + entityName);
}

void PrintController::printDocument(const QVariantMap &document)
{
    emit printStarted();
    const QString title = document.value(u"title"_s).toString();
    write(*documentLayout(document), reportFileName(title), title);
}

void PrintController::printVoucher(const QVariantMap &voucher, bool twoOnA4)
{
    emit printStarted();
    const QString number = voucher.value(u"number"_s).toString();
    write(*voucherLayout(voucher, twoOnA4), reportFileName(number), number);
}

void PrintController::printDepositStatement(const QVariantMap &statement)
{
    emit printStarted();
    const QString title = u"تسوية تأمين "_s + statement.value(u"tenant_name"_s).toString();
    write(*depositStatementLayout(statement), reportFileName(title), title);
}

bool PrintController::saveVoucher(const QVariantMap &voucher, bool twoOnA4, const QString &path)
{
    return saveOrSay(*voucherLayout(voucher, twoOnA4), path, voucher.value(u"number"_s).toString());
}

bool PrintController::saveDepositStatement(const QVariantMap &statement, const QString &path)
{
    return saveOrSay(*depositStatementLayout(statement), path, u"تسوية تأمين"_s);
}

bool PrintController::saveReport(
    const QString &title, const QVariantList &data, const QVariantMap &summary, const QString &path)
{
    return saveOrSay(*reportLayout(title, data, summary), path, title);
}

bool PrintController::saveDocument(const QVariantMap &document, const QString &path)
{
    return saveOrSay(*documentLayout(document), path, document.value(u"title"_s).toString());
}

bool PrintController::saveAccountStatement(const QString &entityName, const QString &entityType,
    const QVariantMap &account, const QString &path)
{
    return saveOrSay(*accountStatementLayout(entityName, entityType, account), path,
        u"كشف حساب "_s + entityName);
}

bool PrintController::saveOrSay(
    const DocumentLayout &layout, const QString &path, const QString &title)
{
    if (savePdf(layout, path, title))
        return true;
    emit printError(u"تعذرت كتابة ملف PDF: "_s + path);
    return false;
}

bool PrintController::savePdf(
    const DocumentLayout &layout, const QString &path, const QString &title)
{
    // Written under a temporary name and renamed when complete, so a failed write neither
    // reports success nor leaves half a document behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!layout.writePdf(&file, title) || file.size() == 0)
        return false;
    return file.commit();
}

void PrintController::write(const DocumentLayout &layout, const QString &path, const QString &title)
{
    if (!QDir().mkpath(documentsFolder())) {
        emit printError(u"تعذر إنشاء مجلد المستندات: "_s + documentsFolder());
        return;
    }
    if (!savePdf(layout, path, title)) {
        emit printError(u"تعذرت كتابة ملف PDF: "_s + path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    emit printFinished(true, path);
}
