#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class SettingsManager;

// Lays out reports and account statements as A4 PDF files in the documents folder.
class PrintController : public QObject
{
    Q_OBJECT
public:
    explicit PrintController(SettingsManager *settings, QObject *parent = nullptr);

    Q_INVOKABLE void printReport(const QString &title, const QString &type,
        const QVariantList &data, const QVariantMap &summary);
    Q_INVOKABLE void printStatement(const QString &entityName, const QString &entityType,
        const QVariantList &transactions, const QVariantMap &totals);

    // The same documents written to `path` and left unopened, for unattended callers; false
    // (after printError) when the file cannot be written.
    bool saveReport(const QString &title, const QVariantList &data, const QVariantMap &summary,
        const QString &path);
    bool saveStatement(const QString &entityName, const QString &entityType,
        const QVariantList &transactions, const QVariantMap &totals, const QString &path);

    // The documents as laid out, for the pages' callers and for checking their content.
    QString reportHtml(
        const QString &title, const QVariantList &data, const QVariantMap &summary) const;
    QString statementHtml(const QString &entityName, const QString &entityType,
        const QVariantList &transactions, const QVariantMap &totals) const;
    QString reportFileName(const QString &title) const;
    QString statementFileName(const QString &entityName) const;

signals:
    void printStarted();
    void printFinished(bool success, const QString &filePath);
    void printError(const QString &message);

private:
    static QString translateLabel(const QString &key);
    QString documentsFolder() const;
    void writePdf(const QString &html, const QString &path);
    bool writeFile(const QString &html, const QString &path);

    SettingsManager *m_settings;
};
