#include "servertools.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// A dump of a large portfolio takes seconds; a server that stops answering must not hang the
// program for ever.
constexpr int kTimeoutMs = 30 * 60 * 1000;

QString encoded(const QString &text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); }

} // namespace

ServerTools::ServerTools(const QSqlDatabase &connection)
    : m_environment(QProcessEnvironment::systemEnvironment())
{
    m_environment.insert(u"PGHOST"_s, connection.hostName());
    if (connection.port() > 0)
        m_environment.insert(u"PGPORT"_s, QString::number(connection.port()));
    m_environment.insert(u"PGUSER"_s, connection.userName());
    m_environment.insert(u"PGDATABASE"_s, connection.databaseName());
    // Without one of its own, the connection used the environment's or ~/.pgpass, as will they.
    if (!connection.password().isEmpty())
        m_environment.insert(u"PGPASSWORD"_s, connection.password());
    m_environment.insert(u"PGAPPNAME"_s, u"belvardino"_s);
}

QString ServerTools::find(const QString &program)
{
    const QString chosen = qEnvironmentVariable("BELVARDINO_PG_BIN");
    if (!chosen.isEmpty())
        return QStandardPaths::findExecutable(program, { chosen });
    // The newest version's tools read every older server; Debian keeps each under its number.
    QStringList versions
        = QDir(u"/usr/lib/postgresql"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(),
        [&numeric](const QString &a, const QString &b) { return numeric.compare(a, b) > 0; });
    for (const QString &version : versions) {
        const QString path = u"/usr/lib/postgresql/%1/bin/%2"_s.arg(version, program);
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return QStandardPaths::findExecutable(program);
}

QString ServerTools::urlOf(const QSqlDatabase &connection)
{
    QString url = u"postgresql://"_s + encoded(connection.userName());
    if (!connection.password().isEmpty())
        url += u":"_s + encoded(connection.password());
    url += u"@"_s;
    const bool socket = connection.hostName().startsWith(u'/');
    if (!socket)
        url += connection.hostName();
    if (connection.port() > 0)
        url += u":"_s + QString::number(connection.port());
    url += u"/"_s + encoded(connection.databaseName());
    if (socket)
        url += u"?host="_s + encoded(connection.hostName());
    return url;
}

ServerTools::Outcome ServerTools::dump(const QString &target)
{
    return run(u"pg_dump"_s, { u"--format=custom"_s, u"--no-password"_s, u"--file"_s, target });
}

ServerTools::Outcome ServerTools::script(const QString &dumpFile, const QString &target)
{
    // The restoring login owns what it creates, whoever owned it on the server that was dumped.
    return run(u"pg_restore"_s, { u"--no-owner"_s, u"--file"_s, target, dumpFile });
}

ServerTools::Outcome ServerTools::apply(
    const QString &before, const QString &file, const QString &after)
{
    return run(u"psql"_s,
        { u"--no-psqlrc"_s, u"--quiet"_s, u"--no-password"_s, u"--set=ON_ERROR_STOP=1"_s,
            u"--single-transaction"_s, u"--output=/dev/null"_s, u"--command"_s, before, u"--file"_s,
            file, u"--command"_s, after });
}

ServerTools::Outcome ServerTools::run(const QString &program, const QStringList &arguments)
{
    m_error.clear();
    const QString path = find(program);
    if (path.isEmpty()) {
        m_error = program + u" not found"_s;
        return Outcome::Missing;
    }
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted()) {
        m_error = process.errorString();
        return Outcome::Missing;
    }
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        m_error = program + u" did not finish"_s;
        return Outcome::Failed;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QString::fromUtf8(process.readAllStandardError()).trimmed();
        if (m_error.isEmpty())
            m_error = u"%1 exited with %2"_s.arg(program).arg(process.exitCode());
        return Outcome::Failed;
    }
    return Outcome::Done;
}
