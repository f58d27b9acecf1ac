#pragma once

#include <QObject>

class Database;

// Bulk entry of tenants, buyers or units from rows pasted as text: one row per line, fields
// separated by tabs (copied from a spreadsheet) or by commas.
class ImportController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int lastImported READ lastImported NOTIFY importFinished)
    Q_PROPERTY(int lastSkipped READ lastSkipped NOTIFY importFinished)
public:
    explicit ImportController(Database *db, QObject *parent = nullptr);

    int lastImported() const { return m_lastImported; }
    int lastSkipped() const { return m_lastSkipped; }

    // True when at least one row was stored.
    Q_INVOKABLE bool importRawCSV(const QString &rawText, const QString &targetTable);

signals:
    void importFinished();

private:
    // Stores one line's row; false when the line is too short, the target unknown, a number not
    // finite, or the database refuses the row.
    bool importLine(const QStringList &fields, const QString &targetTable);
    bool finish(int imported, int skipped);

    Database *m_db;
    int m_lastImported = 0;
    int m_lastSkipped = 0;
};
