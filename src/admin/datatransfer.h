#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

class Database;

// Copies every table of one open database into another that holds no data yet: a file's data
// to a shared server, or a server's to a new file for an offline copy. The target takes it all
// in one transaction, ids kept, and commits only once every table's row count matches the
// source's and the command line's check finds nothing there that it does not find in the
// source; the source is only read.
class DataTransfer : public QObject
{
    Q_OBJECT
public:
    explicit DataTransfer(QObject *parent = nullptr);

    bool copy(Database *source, Database *target);

    // Why the last copy failed, in Arabic, with the database's own words after a colon.
    QString error() const { return m_error; }
    // Rows copied per table by the last copy that succeeded.
    QMap<QString, qint64> counts() const { return m_counts; }

    static QString targetNotEmptyText();
    static QString layoutsDifferText();
    static QString copyFailedText();
    static QString checkFailedText();

signals:
    // Rows copied so far of all the source's rows.
    void progress(qint64 done, qint64 total, const QString &table);

private:
    bool fail(const QString &text, const QString &detail = QString());
    // Every table of the database but the layout's version, in an order where a table comes
    // after the tables its rows refer to.
    QStringList tablesInOrder(Database *db);
    QStringList columnsOf(Database *db, const QString &table);
    bool holdsData(Database *db);
    bool copyTable(Database *source, Database *target, const QString &table,
        const QStringList &columns, qint64 total);
    bool triggersOff(Database *target, const QStringList &tables);
    bool triggersOn(Database *target, const QStringList &tables);
    bool restartIds(Database *target, const QStringList &tables);
    bool verify(Database *source, Database *target, const QStringList &tables);

    QString m_error;
    QMap<QString, qint64> m_counts;
    QStringList m_fileTriggers;
    qint64 m_done = 0;
};
