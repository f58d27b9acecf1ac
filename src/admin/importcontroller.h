#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantList>

class Database;

// Bulk entry of tenants, buyers or units from rows pasted as text: one row per line, fields
// separated by tabs (copied from a spreadsheet) or by commas, a field in double quotes may hold
// either. A full first row without a digit anywhere is taken for the column titles and skipped.
class ImportController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int lastImported READ lastImported NOTIFY importFinished)
    Q_PROPERTY(int lastSkipped READ lastSkipped NOTIFY importFinished)
    // Each skipped row: line (1-based), text and reason (Arabic, for the operator).
    Q_PROPERTY(QVariantList lastSkippedRows READ lastSkippedRows NOTIFY importFinished)
    Q_PROPERTY(bool lastHeaderSkipped READ lastHeaderSkipped NOTIFY importFinished)
public:
    explicit ImportController(Database *db, QObject *parent = nullptr);

    int lastImported() const { return m_lastImported; }
    int lastSkipped() const { return m_lastSkipped; }
    QVariantList lastSkippedRows() const { return m_skippedRows; }
    bool lastHeaderSkipped() const { return m_headerSkipped; }

    // One line's fields; quotes around a field are removed and doubled quotes inside kept once.
    static QStringList splitFields(const QString &line, QChar separator);

    // True when at least one row was stored.
    Q_INVOKABLE bool importRawCSV(const QString &rawText, const QString &targetTable);

signals:
    void importFinished();

private:
    // Stores one line's row; returns why not (empty when stored): too few fields, no name, a bad
    // number, a duplicate ID number, an unknown target, or the database refusing the row.
    QString importLine(const QStringList &fields, const QString &targetTable);
    bool finish(int imported, int skipped);

    Database *m_db;
    int m_lastImported = 0;
    int m_lastSkipped = 0;
    QVariantList m_skippedRows;
    bool m_headerSkipped = false;
};
