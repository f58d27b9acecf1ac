#pragma once

#include <QString>
#include <QStringList>

class Database;
class PrintController;

// The printed reports of the reports page and the account statements, assembled from the report
// queries as the interface assembles them, and written as PDF files through PrintController.
class ReportPrinter
{
public:
    ReportPrinter(Database *db, PrintController *print);

    static QStringList names();
    // Statements are of one tenant, buyer or contractor, named by --id.
    static bool needsId(const QString &name);

    // Empty dates: the page's range (start of the year to today) for the summaries, the whole
    // history for statements. False with a message in *error.
    bool print(const QString &name, int id, const QString &from, const QString &to,
        const QString &path, QString *error);

private:
    bool financialSummary(const QString &from, const QString &to, const QString &path);
    bool arrears(const QString &path);
    bool cheques(const QString &from, const QString &to, const QString &path);
    bool tenantStatement(
        int id, const QString &from, const QString &to, const QString &path, QString *error);
    bool buyerStatement(
        int id, const QString &from, const QString &to, const QString &path, QString *error);
    bool contractorStatement(
        int id, const QString &from, const QString &to, const QString &path, QString *error);

    Database *m_db;
    PrintController *m_print;
};
