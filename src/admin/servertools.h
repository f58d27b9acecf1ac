#pragma once

#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// PostgreSQL's own client programs (pg_dump, pg_restore, psql) run against the server of an
// open connection. The password reaches them through their environment, never their arguments.
class ServerTools
{
public:
    enum class Outcome
    {
        Done,
        Missing,
        Failed
    };

    explicit ServerTools(const QSqlDatabase &connection);

    // The program's path: from $BELVARDINO_PG_BIN alone when set, else the newest
    // /usr/lib/postgresql/*/bin, else PATH; empty when none has it.
    static QString find(const QString &program);
    // A postgresql:// URL that Database::initialize opens on the same server and database.
    static QString urlOf(const QSqlDatabase &connection);

    // A consistent snapshot (pg_dump runs in one repeatable-read transaction) in custom format.
    Outcome dump(const QString &target);
    // The SQL script that rebuilds a dump's tables, functions and rows; no server is involved.
    Outcome script(const QString &dumpFile, const QString &target);
    // Runs `before`, the script file, then `after` on the server in one transaction that the
    // first error rolls back whole.
    Outcome apply(const QString &before, const QString &file, const QString &after);

    // What the program said when it failed, or why it could not run.
    QString error() const { return m_error; }

private:
    Outcome run(const QString &program, const QStringList &arguments);

    QProcessEnvironment m_environment;
    QString m_error;
};
