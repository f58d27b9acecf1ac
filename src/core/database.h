#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>
#include <QVariantMap>

class Session;
// Owner of the program's single SQLite connection (Qt's default connection name).
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    bool initialize(const QString &path);

    Q_INVOKABLE QVariantList execQuery(const QString &sql, const QVariantList &params = {});
    // Like execQuery, but each row holds only the named columns: for callers that read a few
    // fields of wide rows, which then need not be copied.
    QVariantList execQueryColumns(
        const QString &sql, const QVariantList &params, const QStringList &columns);
    Q_INVOKABLE bool execNonQuery(const QString &sql, const QVariantList &params = {});
    Q_INVOKABLE int execInsert(const QString &sql, const QVariantList &params = {});
    Q_INVOKABLE QVariantMap getById(const QString &table, int id);

    Q_INVOKABLE bool beginTransaction();
    Q_INVOKABLE bool commitTransaction();
    Q_INVOKABLE bool rollbackTransaction();

    // The operator's session that write operations ask, or nullptr for unrestricted internal use.
    Session *session() const { return m_session; }
    void setSession(Session *session) { m_session = session; }

    // The first row of a row list, or an empty map.
    static QVariantMap firstRow(const QVariantList &rows);

signals:
    void databaseError(const QString &error);

private:
    void configureConnection();
    void createTables();
    void createIndexes();
    void seedDefaults();
    void upgradePlainPasswords();
    // The executed statement (cached and prepared once per SQL text), or nullptr with the
    // driver's error text. Callers hold the lock and finish() the statement when done.
    QSqlQuery *run(const QString &sql, const QVariantList &params, QString *error);
    // Rows of a query, all columns or only `columns`; errors are reported.
    QVariantList select(const QString &sql, const QVariantList &params, const QStringList *columns);

    QSqlDatabase m_db;
    QMutex m_lock;
    QHash<QString, QSqlQuery> m_statements;
    Session *m_session = nullptr;
};
