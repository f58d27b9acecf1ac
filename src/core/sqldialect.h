#pragma once

#include <QString>
#include <QStringList>

// The few places where SQLite and PostgreSQL want different words for the same operation. The
// program's statements are written for SQLite in forms both accept; a server rewrites the rest
// here, and gains functions under SQLite's names for dates, rounding and scalar MIN/MAX.
class SqlDialect
{
public:
    enum class Kind
    {
        SQLite,
        PostgreSQL
    };

    explicit SqlDialect(Kind kind = Kind::SQLite)
        : m_kind(kind)
    {
    }

    Kind kind() const { return m_kind; }
    bool isServer() const { return m_kind == Kind::PostgreSQL; }

    // A statement of the program in this dialect: on a server, INSERT OR IGNORE and INSERT OR
    // REPLACE become ON CONFLICT clauses. SQLite's text is returned unchanged.
    QString statement(const QString &sql) const;
    // Whether the statement can be prepared: a server prepares only queries and row changes.
    bool canPrepare(const QString &sql) const;
    // An insert whose result is the new row's id (SQLite reports it beside the result instead).
    QString insertReturningId(const QString &sql) const;
    // A layout statement written for SQLite in this dialect: identity keys, double precision
    // for reals, columns added only when missing, expression indexes the server can keep.
    QString layout(const QString &sql) const;
    // Starts the outermost transaction; SQLite takes its write lock at once so that two
    // connections never both read and then fail to write.
    QString beginTransaction() const;
    // Functions a server needs before the layout: SQLite's date(), datetime(), julianday(),
    // strftime(), round(x, n), scalar min/max, printf for the two forms used, group_concat.
    static QStringList serverFunctions();

private:
    Kind m_kind;
};
