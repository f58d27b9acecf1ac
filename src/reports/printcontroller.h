#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <memory>

class DocumentLayout;
class SettingsManager;

// Draws reports and account statements as PDF files in the documents folder, through the page
// layout unit (no rich text, so no markup from the data can reach the page).
class PrintController : public QObject
{
    Q_OBJECT
public:
    explicit PrintController(SettingsManager *settings, QObject *parent = nullptr);
    ~PrintController() override;

    // A title, the summary as one figure per row and a table whose columns come from the first
    // row.
    Q_INVOKABLE void printReport(const QString &title, const QString &type,
        const QVariantList &data, const QVariantMap &summary);
    // A statement from rows with date, description, reference, debit, credit and balance.
    Q_INVOKABLE void printStatement(const QString &entityName, const QString &entityType,
        const QVariantList &transactions, const QVariantMap &totals);
    // A statement from an account of ReportController (getTenantAccount and its siblings).
    Q_INVOKABLE void printAccountStatement(
        const QString &entityName, const QString &entityType, const QVariantMap &account);
    // A general document: {title, period, blocks: [{heading}, {text}, {pairs: [{label, value}]},
    // {columns: [{key, title, figure}], rows, totals}], signatures}. `text` may use "### "
    // headings, "- " bullets and **bold**, which print as formatting.
    Q_INVOKABLE void printDocument(const QVariantMap &document);
    // Reminder letters of ReminderModel, one page each under the company's header, in one PDF.
    Q_INVOKABLE void printReminders(const QVariantList &letters);
    // A receipt or payment voucher from VoucherModel::forPrint, on an A5 landscape page, or
    // with its file copy on one A4 sheet.
    Q_INVOKABLE void printVoucher(const QVariantMap &voucher, bool twoOnA4 = false);
    // A deposit's settlement from DepositModel::statement.
    Q_INVOKABLE void printDepositStatement(const QVariantMap &statement);

    // The same documents written to `path` and left unopened, for unattended callers; false
    // (after printError) when the file cannot be written.
    bool saveReport(const QString &title, const QVariantList &data, const QVariantMap &summary,
        const QString &path);
    bool saveDocument(const QVariantMap &document, const QString &path);
    bool saveAccountStatement(const QString &entityName, const QString &entityType,
        const QVariantMap &account, const QString &path);
    bool saveReminders(const QVariantList &letters, const QString &path);
    bool saveVoucher(const QVariantMap &voucher, bool twoOnA4, const QString &path);
    bool saveDepositStatement(const QVariantMap &statement, const QString &path);

    // The documents as laid out, for the tools and for checking their content.
    std::unique_ptr<DocumentLayout> reportLayout(
        const QString &title, const QVariantList &data, const QVariantMap &summary) const;
    std::unique_ptr<DocumentLayout> statementLayout(const QString &entityName,
        const QString &entityType, const QVariantList &transactions,
        const QVariantMap &totals) const;
    std::unique_ptr<DocumentLayout> accountStatementLayout(
        const QString &entityName, const QString &entityType, const QVariantMap &account) const;
    std::unique_ptr<DocumentLayout> documentLayout(const QVariantMap &document) const;
    std::unique_ptr<DocumentLayout> remindersLayout(const QVariantList &letters) const;
    std::unique_ptr<DocumentLayout> voucherLayout(const QVariantMap &voucher, bool twoOnA4) const;
    std::unique_ptr<DocumentLayout> depositStatementLayout(const QVariantMap &statement) const;

    // A free name in the documents folder, with the time to the second: a reprint never
    // replaces an earlier file.
    QString reportFileName(const QString &title) const;
    QString statementFileName(const QString &entityName) const;
    // Writes the layout as a PDF at `path` (under a temporary name, renamed when complete).
    bool savePdf(const DocumentLayout &layout, const QString &path, const QString &title);

signals:
    void printStarted();
    void printFinished(bool success, const QString &filePath);
    void printError(const QString &message);

private:
    bool saveOrSay(const DocumentLayout &layout, const QString &path, const QString &title);
    static QString translateLabel(const QString &key);
    QString documentsFolder() const;
    std::unique_ptr<DocumentLayout> newLayout() const;
    // The company's name, logo and footer on a layout.
    void brand(DocumentLayout &layout) const;
    void write(const DocumentLayout &layout, const QString &path, const QString &title);

    SettingsManager *m_settings;
};
