#include "database.h"

#include "databasefiles.h"
#include "passwordhasher.h"
#include "schema.h"
#include "seeddata.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QThread>
#include <QTimeZone>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Column names in key order, each with the position of the last column of that name (a later
// column overwrites an earlier one of the same name, as callers rely on).
using ColumnOrder = std::vector<std::pair<QString, int>>;

// With `wanted` set, only those columns are kept.
ColumnOrder columnOrder(const QSqlRecord &record, const QStringList *wanted = nullptr)
{
    std::map<QString, int> last;
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        if (!wanted || wanted->contains(name))
            last[name] = i;
    }
    return ColumnOrder(last.begin(), last.end());
}

QVariantMap rowMap(const QSqlQuery &query, const ColumnOrder &columns)
{
    // Keys arrive sorted, so each insertion lands at the end without a search.
    std::map<QString, QVariant> row;
    for (const auto &[name, index] : columns)
        row.emplace_hint(row.end(), name, query.value(index));
    return QVariantMap(std::move(row));
}

sqlite3 *connectionOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Never a null text, so that callers can tell a failure from a quiet refusal.
QString failureText(const QSqlError &error)
{
    const QString text = error.text();
    return text.isNull() ? u""_s : text;
}

sqlite3_stmt *statementOf(const QSqlQuery &query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(handle.constData());
}

// Recent texts of each column. Lists repeat the same statuses, dates, names and currencies row
// after row; sharing one string saves an allocation, and later a free, for every repeat.
class TextCache
{
public:
    explicit TextCache(int columns)
        : m_recent(static_cast<size_t>(columns))
        , m_next(static_cast<size_t>(columns), 0)
    {
    }

    QString text(int column, const QChar *data, qsizetype size)
    {
        auto &recent = m_recent[static_cast<size_t>(column)];
        for (const QString &known : recent) {
            if (known.size() == size && !known.isNull()
                && std::memcmp(known.constData(), data, size_t(size) * sizeof(QChar)) == 0)
                return known;
        }
        QString fresh(data, size);
        recent[m_next[static_cast<size_t>(column)]++ % recent.size()] = fresh;
        return fresh;
    }

private:
    std::vector<std::array<QString, 4>> m_recent;
    std::vector<unsigned> m_next;
};

// The same values Qt's driver gives: integers as qlonglong, reals as double, NULL as a null
// QString, texts through SQLite's UTF-16 conversion, blobs as QByteArray.
QVariant columnValue(sqlite3_stmt *statement, int column, TextCache &texts)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(statement, column)));
    }
    default: {
        // SQLite's conversion is faster than QString::fromUtf8 on Arabic text.
        const auto *text = static_cast<const QChar *>(sqlite3_column_text16(statement, column));
        if (!text)
            return QVariant(QString());
        return QVariant(texts.text(
            column, text, sqlite3_column_bytes16(statement, column) / qsizetype(sizeof(QChar))));
    }
    }
}

QVariantMap rowMap(sqlite3_stmt *statement, const ColumnOrder &columns, TextCache &texts)
{
    std::map<QString, QVariant> row;
    for (const auto &[name, index] : columns)
        row.emplace_hint(row.end(), name, columnValue(statement, index, texts));
    return QVariantMap(std::move(row));
}

ColumnOrder columnOrder(sqlite3_stmt *statement, const QStringList *wanted = nullptr)
{
    std::map<QString, int> last;
    const int count = sqlite3_column_count(statement);
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement, i));
        if (!wanted || wanted->contains(name))
            last[name] = i;
    }
    return ColumnOrder(last.begin(), last.end());
}

bool isNullValue(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDate:
        return value.toDate().isNull();
    // An invalid time would be stored as an empty text.
    case QMetaType::QTime:
        return !value.toTime().isValid();
    case QMetaType::QDateTime:
        return !value.toDateTime().isValid();
    default:
        return false;
    }
}

int bindText(sqlite3_stmt *statement, int position, const QString &text)
{
    return sqlite3_bind_text16(statement, position, text.utf16(),
        int(text.size() * qsizetype(sizeof(QChar))), SQLITE_TRANSIENT);
}

// Binds as Qt's SQLite driver does (the same stored types, so that every comparison in SQL
// behaves as before), without its placeholder names built afresh for every value.
int bindAll(sqlite3_stmt *statement, const QVariantList &params)
{
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &value = params.at(i);
        const int at = i + 1;
        int code = SQLITE_OK;
        if (isNullValue(value)) {
            code = sqlite3_bind_null(statement, at);
        } else {
            switch (value.typeId()) {
            case QMetaType::QByteArray: {
                const auto *bytes = static_cast<const QByteArray *>(value.constData());
                code = sqlite3_bind_blob(
                    statement, at, bytes->constData(), int(bytes->size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::Int:
            case QMetaType::Bool:
                code = sqlite3_bind_int(statement, at, value.toInt());
                break;
            case QMetaType::Double:
                code = sqlite3_bind_double(statement, at, value.toDouble());
                break;
            case QMetaType::UInt:
            case QMetaType::LongLong:
                code = sqlite3_bind_int64(statement, at, value.toLongLong());
                break;
            case QMetaType::QDateTime:
                code = bindText(statement, at, value.toDateTime().toString(Qt::ISODateWithMs));
                break;
            case QMetaType::QTime:
                code = bindText(statement, at, value.toTime().toString(u"hh:mm:ss.zzz"_s));
                break;
            case QMetaType::QString:
                code = bindText(statement, at, *static_cast<const QString *>(value.constData()));
                break;
            default:
                code = bindText(statement, at, value.toString());
                break;
            }
        }
        if (code != SQLITE_OK)
            return code;
    }
    return SQLITE_OK;
}

// The text Qt's driver gives for a failed step, so that callers read the same errors.
QString stepFailure(sqlite3_stmt *statement)
{
    return QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)))
        + u" Unable to fetch row"_s;
}

// Reads the rows of a statement already stepped once (`first` is that step's result).
void readStepped(sqlite3_stmt *statement, int first, QVariantList &rows, QString *error,
    const QStringList *wanted)
{
    if (first != SQLITE_ROW)
        return;
    const ColumnOrder columns = columnOrder(statement, wanted);
    TextCache texts(sqlite3_column_count(statement));
    int status = SQLITE_ROW;
    do {
        rows.append(rowMap(statement, columns, texts));
        status = sqlite3_step(statement);
    } while (status == SQLITE_ROW);
    if (status != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
        rows.clear();
    }
}

// Reads every row of a query Qt's driver ran (a server's; SQLite's are stepped directly).
void readRows(QSqlQuery &query, QVariantList &rows, const QStringList *wanted)
{
    const ColumnOrder columns = columnOrder(query.record(), wanted);
    while (query.next())
        rows.append(rowMap(query, columns));
}

} // namespace

// An empty query bound to no connection: Qt's default constructor looks up the default
// connection, which warns when this one lives in another thread (the background reads).
static QSqlQuery detachedQuery() { return QSqlQuery(static_cast<QSqlResult *>(nullptr)); }

namespace {

// How often a lost server is tried again, and an idle one checked.
constexpr int kWatchInterval = 2000;

// SQLSTATE classes of a connection that is gone: connection exceptions and the server's own
// shutdown. Libpq leaves the state empty when the socket closed without a word.
bool isConnectionState(const QString &state)
{
    return state.isEmpty() || state.startsWith(u"08"_s) || state.startsWith(u"57P"_s);
}

bool isConflictState(const QString &state) { return state == u"40001"_s || state == u"40P01"_s; }

constexpr int kConflictRetries = 3;

// Whether a server answers at the URL, through a connection of its own: run on a thread of its
// own, so that a host that does not answer never holds up the window.
bool serverAnswers(const QString &url)
{
    const QString name = u"belvardino_probe_%1"_s.arg(
        reinterpret_cast<quintptr>(QThread::currentThreadId()), 0, 16);
    bool answers = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setConnectOptions(u"connect_timeout=5"_s);
        answers = Database::applyServerUrl(db, url) && db.open();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return answers;
}

} // namespace

Database::Database(QObject *parent)
    : QObject(parent)
    , m_direct(detachedQuery())
    , m_watch(new QTimer(this))
    , m_gather(new QTimer(this))
{
    m_watch->setInterval(kWatchInterval);
    connect(m_watch, &QTimer::timeout, this, &Database::watchConnection);
    // Several commits of one operation elsewhere arrive together; pages read again once.
    m_gather->setSingleShot(true);
    m_gather->setInterval(100);
    connect(m_gather, &QTimer::timeout, this, [this] {
        QStringList tables(m_heard.cbegin(), m_heard.cend());
        tables.sort();
        m_heard.clear();
        emit changedElsewhere(tables);
    });
}

Database::~Database()
{
    if (m_probe) {
        m_probe->wait();
        delete m_probe;
    }
    m_statements.clear();
    m_direct = detachedQuery();
    if (m_db.isOpen())
        m_db.close();
}

bool Database::initialize(const QString &path, const QString &connectionName)
{
    // A later Database (tests open one per case) takes over a registered connection of its name.
    const QString name = connectionName.isEmpty()
        ? QString(QLatin1String(QSqlDatabase::defaultConnection))
        : connectionName;
    m_statements.clear();
    m_direct = detachedQuery();
    m_guardDepth = 0;
    m_transactionLost = false;
    m_serverTransaction = false;
    m_serverTransactionFailed = false;
    m_written.clear();
    m_watch->stop();
    if (!m_connected) {
        m_connected = true;
        emit connectedChanged();
    }
    if (isServerUrl(path))
        return openServer(path, name);
    m_serverUrl.clear();
    m_dialect = SqlDialect();
    if (QSqlDatabase::contains(name)
        && QSqlDatabase::database(name, false).driverName() != u"QSQLITE"_s) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    m_db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                        : QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
    if (m_db.isOpen())
        m_db.close();
    DatabaseFiles::recover(path);
    m_db.setDatabaseName(path);
    if (!m_db.open()) {
        emit databaseError(m_db.lastError().text());
        return false;
    }
    configureConnection();
    bringUpToDate(m_db);
    return true;
}

bool Database::isServerUrl(const QString &target)
{
    return target.startsWith(u"postgresql://"_s) || target.startsWith(u"postgres://"_s);
}

bool Database::openServer(const QString &url, const QString &name)
{
    m_dialect = SqlDialect(SqlDialect::Kind::PostgreSQL);
    if (QSqlDatabase::contains(name)) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    m_db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
    if (!applyServerUrl(m_db, url)) {
        emit databaseError(u"عنوان الخادم غير صالح: %1"_s.arg(url));
        return false;
    }
    // A host that does not answer is given up after a few seconds, and a connection whose
    // network is gone is noticed by the operating system within half a minute.
    m_db.setConnectOptions(
        u"connect_timeout=5;keepalives_idle=15;keepalives_interval=5;keepalives_count=3"_s);
    if (!m_db.open()) {
        emit databaseError(m_db.lastError().text());
        return false;
    }
    configureConnection();
    if (!bringUpToDate(m_db, m_dialect)) {
        emit databaseError(m_db.lastError().text());
        return false;
    }
    m_serverUrl = url;
    connect(m_db.driver(), &QSqlDriver::notification, this, &Database::heard, Qt::UniqueConnection);
    m_db.driver()->subscribeToNotification(changeChannel());
    m_watch->start();
    return true;
}

QString Database::changeChannel() { return u"belvardino_changes"_s; }

bool Database::connectionGone(const QSqlError &failure)
{
    if (!isConnectionState(failure.nativeErrorCode()))
        return false;
    // Only a statement that cannot even reach the server says the connection is gone: inside a
    // spoilt transaction the server still answers, with a state of its own.
    QSqlQuery probe(m_db);
    if (probe.exec(u"SELECT 1"_s))
        return false;
    if (!isConnectionState(probe.lastError().nativeErrorCode()))
        return false;
    loseConnection();
    return true;
}

void Database::loseConnection()
{
    // Whatever the transaction held is gone with the connection: no guard of it may commit.
    if (m_guardDepth > 0)
        m_transactionLost = true;
    m_serverTransaction = false;
    m_serverTransactionFailed = false;
    m_written.clear();
    if (!m_connected)
        return;
    m_connected = false;
    // Told after the statement's lock is released, so that listeners may read at once.
    QMetaObject::invokeMethod(this, &Database::connectedChanged, Qt::QueuedConnection);
}

void Database::watchConnection()
{
    if (!m_connected) {
        if (m_probe)
            return;
        auto answers = std::make_shared<std::atomic_bool>(false);
        m_probe = QThread::create([url = m_serverUrl, answers] { *answers = serverAnswers(url); });
        connect(m_probe, &QThread::finished, this, [this, answers] {
            m_probe->deleteLater();
            m_probe = nullptr;
            if (*answers && !m_connected)
                reconnect();
        });
        m_probe->start();
        return;
    }
    // A server restarted while nobody wrote would otherwise go unnoticed, and with it the
    // changes of others.
    if (m_guardDepth > 0 || m_serverTransaction || !m_lock.tryLock())
        return;
    QSqlQuery probe(m_db);
    const bool alive
        = probe.exec(u"SELECT 1"_s) || !isConnectionState(probe.lastError().nativeErrorCode());
    probe.finish();
    if (!alive)
        loseConnection();
    m_lock.unlock();
}

bool Database::reconnect()
{
    // A guard of a lost transaction still open: it ends before the connection is reopened.
    if (m_guardDepth > 0 || !m_lock.tryLock())
        return false;
    m_statements.clear();
    m_direct = detachedQuery();
    m_db.close();
    const bool ok = m_db.open();
    if (ok) {
        configureConnection();
        m_db.driver()->subscribeToNotification(changeChannel());
        m_connected = true;
    }
    m_lock.unlock();
    if (ok) {
        emit connectedChanged();
        // What others wrote meanwhile was not heard.
        emit changedElsewhere({ u"*"_s });
    }
    return ok;
}

void Database::noteWrite(const QString &sql)
{
    static const QRegularExpression write(
        u"^\\s*(?:INSERT\\s+(?:OR\\s+\\w+\\s+)?INTO|UPDATE|DELETE\\s+FROM)\\s+\"?(\\w+)"_s,
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = write.match(sql);
    if (!match.hasMatch())
        return;
    m_written.insert(match.captured(1).toLower());
}

void Database::announceWrites()
{
    // Called once the write's statement is finished: Qt's driver reads a server's rows one at a
    // time, and nothing else may be sent before.
    if (m_written.isEmpty())
        return;
    QStringList tables(m_written.cbegin(), m_written.cend());
    tables.sort();
    m_written.clear();
    QSqlQuery notify(m_db);
    notify.prepare(u"SELECT pg_notify(?, ?)"_s);
    notify.addBindValue(changeChannel());
    notify.addBindValue(tables.join(u','));
    // A refused announcement spoils the transaction: the server would turn COMMIT into a
    // rollback and still call it done.
    if (!notify.exec() && !connectionGone(notify.lastError()) && m_serverTransaction)
        m_serverTransactionFailed = true;
}

void Database::heard(
    const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload)
{
    // This connection's own writes were followed by its own callers already.
    if (name != changeChannel() || source == QSqlDriver::SelfSource)
        return;
    const QStringList tables = payload.toString().split(u',', Qt::SkipEmptyParts);
    for (const QString &table : tables)
        m_heard.insert(table);
    if (tables.isEmpty())
        m_heard.insert(u"*"_s);
    m_gather->start();
}

bool Database::configureLibrary(bool unshared)
{
    // SQLite's count of the memory it holds takes a global lock and a size lookup on every
    // allocation, and this build of it allocates for every small thing (it has no lookaside):
    // nothing here reads that count, and turning it off took an eighth off the demo fill.
    bool done = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    if (unshared)
        done = sqlite3_config(SQLITE_CONFIG_MULTITHREAD) == SQLITE_OK && done;
    return done;
}

bool Database::applyServerUrl(QSqlDatabase &db, const QString &url)
{
    // user[:password]@host[:port]/dbname?host=...&port=...: a socket folder as host has
    // slashes, which QUrl does not take in a host name.
    static const QRegularExpression shape(
        u"^postgres(?:ql)?://(?:([^:@/]*)(?::([^@/]*))?@)?([^:/?]*)(?::(\\d+))?(?:/([^?]*))?(?:\\?(.*))?$"_s);
    const QRegularExpressionMatch parts = shape.match(url);
    if (!parts.hasMatch())
        return false;
    const auto decoded
        = [](const QString &text) { return QUrl::fromPercentEncoding(text.toUtf8()); };
    QString host = decoded(parts.captured(3));
    QString port = parts.captured(4);
    QString password = decoded(parts.captured(2));
    const QUrlQuery query(parts.captured(6));
    if (query.hasQueryItem(u"host"_s))
        host = query.queryItemValue(u"host"_s, QUrl::FullyDecoded);
    if (query.hasQueryItem(u"port"_s))
        port = query.queryItemValue(u"port"_s);
    if (query.hasQueryItem(u"password"_s))
        password = query.queryItemValue(u"password"_s, QUrl::FullyDecoded);
    db.setUserName(decoded(parts.captured(1)));
    db.setPassword(password);
    db.setHostName(host);
    if (!port.isEmpty())
        db.setPort(port.toInt());
    db.setDatabaseName(decoded(parts.captured(5)));
    return true;
}

bool Database::upgradeFile(const QString &path)
{
    const QString name = u"belvardino_upgrade"_s;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        if (db.open()) {
            ok = bringUpToDate(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool Database::bringUpToDate(QSqlDatabase &db, const SqlDialect &dialect)
{
    if (!dialect.isServer()) {
        // A file repairs itself on every start, whatever version wrote it.
        createTables(db);
        createIndexes(db);
    }
    if (!applyVersions(db, dialect))
        return false;
    const bool seeded = seedDefaults(db, dialect);
    QSqlQuery query(db);
    for (const QString &statement : SeedData::postingAccounts())
        query.exec(dialect.statement(statement));
    return upgradePlainPasswords(db) && seeded;
}

bool Database::applyVersions(QSqlDatabase &db, const SqlDialect &dialect)
{
    QSqlQuery query(db);
    query.exec(u"CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"_s);
    int stored = 0;
    if (query.exec(u"SELECT MAX(version) FROM schema_version"_s) && query.next())
        stored = query.value(0).toInt();
    query.finish();
    if (stored >= Schema::version())
        return true;
    if (!db.transaction())
        return false;
    // On a file the statements of version 1 ran above, as they do on every start. A server
    // takes its layout in dependency order: a statement that names a table created later is
    // tried again once that table exists.
    bool ok = true;
    if (dialect.isServer() && stored < 1) {
        QStringList pending = SqlDialect::serverFunctions();
        for (const QString &statement : Schema::tableStatements() + Schema::indexStatements())
            pending << dialect.layout(statement);
        pending << Schema::serverTriggerStatements();
        while (!pending.isEmpty()) {
            QStringList failed;
            for (const QString &statement : std::as_const(pending)) {
                query.exec(u"SAVEPOINT bv_layout"_s);
                if (query.exec(statement)) {
                    query.exec(u"RELEASE bv_layout"_s);
                } else {
                    failed << statement;
                    query.exec(u"ROLLBACK TO bv_layout"_s);
                }
            }
            if (failed.size() == pending.size()) {
                qWarning("layout statement refused: %s", qUtf8Printable(failed.constFirst()));
                ok = false;
                break;
            }
            pending = failed;
        }
    }
    for (int version = qMax(stored, 1) + 1; ok && version <= Schema::version(); ++version) {
        for (const Schema::Column &column : Schema::columnsOfVersion(version)) {
            if (ok && !db.record(column.table).contains(column.name))
                ok = query.exec(dialect.layout(u"ALTER TABLE %1 ADD COLUMN %2 %3"_s.arg(
                    column.table, column.name, column.type)));
        }
        if (dialect.isServer()) {
            for (const QString &statement : Schema::serverStatementsOfVersion(version))
                ok = ok && query.exec(statement);
        }
    }
    query.prepare(u"INSERT INTO schema_version (version) VALUES (?)"_s);
    query.addBindValue(Schema::version());
    ok = ok && query.exec();
    query.finish();
    if (ok)
        return db.commit();
    db.rollback();
    return false;
}

void Database::configureConnection()
{
    QSqlQuery query(m_db);
    if (isServer()) {
        // SQLite's 'localtime' is this computer's zone; notices of things already present are
        // of no interest.
        const QByteArray zone = QTimeZone::systemTimeZoneId();
        if (!zone.isEmpty())
            query.exec(u"SET TIME ZONE '%1'"_s.arg(QString::fromLatin1(zone)));
        query.exec(u"SET client_min_messages TO warning"_s);
        // Compiling a statement to machine code pays only for hours-long queries: it took the
        // arrears report from 0.3 to 2.3 s on the large portfolio. (No such setting before 11.)
        query.exec(u"SET jit = off"_s);
        return;
    }
    for (const QString &pragma : Schema::pragmaStatements())
        query.exec(pragma);
}

void Database::createTables(QSqlDatabase &db)
{
    // Migrations that find their column already present fail by design; results are ignored.
    QSqlQuery query(db);
    for (const QString &statement : Schema::tableStatements() + Schema::triggerStatements())
        query.exec(statement);
}

void Database::createIndexes(QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const QString &statement : Schema::indexStatements())
        query.exec(statement);
}

bool Database::seedDefaults(QSqlDatabase &db, const SqlDialect &dialect)
{
    QSqlQuery query(db);
    if (query.exec(u"SELECT COUNT(*) FROM users"_s) && query.next() && query.value(0).toInt() > 0)
        return true;
    query.finish();

    db.transaction();
    const QString adminHash = PasswordHasher::hash(SeedData::adminPassword());
    bool first = true;
    for (const QString &statement : SeedData::statements()) {
        if (first) {
            // The administrator's password is stored hashed, never as its plain text.
            query.prepare(statement);
            query.addBindValue(adminHash);
            query.exec();
            first = false;
        } else {
            query.exec(dialect.statement(statement));
        }
    }
    return db.commit();
}

bool Database::upgradePlainPasswords(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(u"SELECT id, password_hash FROM users"_s))
        return false;
    QList<QPair<int, QString>> plain;
    while (query.next()) {
        const QString stored = query.value(1).toString();
        if (!PasswordHasher::isHash(stored))
            plain.append({ query.value(0).toInt(), stored });
    }
    query.finish();
    if (plain.isEmpty())
        return true;

    db.transaction();
    bool ok = true;
    for (const auto &[id, password] : plain) {
        const QString hashed = PasswordHasher::hash(password);
        query.prepare(u"UPDATE users SET password_hash=? WHERE id=?"_s);
        query.addBindValue(hashed);
        query.addBindValue(id);
        ok = !hashed.isEmpty() && query.exec() && ok;
    }
    if (ok)
        return db.commit();
    db.rollback();
    return false;
}

QSqlQuery *Database::statement(const QString &sql, QString *error)
{
    // Bounded by the program's fixed statement texts; the cap guards against callers that
    // build texts on the fly.
    constexpr int kMaxStatements = 512;
    if (isServer()) {
        // Reopening a server connection drops the statements the server had prepared for it.
        const QVariant handle = m_db.driver()->handle();
        const qulonglong connection = handle.isValid()
            ? qulonglong(quintptr(*static_cast<void *const *>(handle.constData())))
            : 0;
        if (property("preparedOn").toULongLong() != connection) {
            m_statements.clear();
            setProperty("preparedOn", connection);
        }
    }
    auto it = m_statements.find(sql);
    if (it != m_statements.end()) {
        // Closing the connection (a restore closes and reopens it) finalizes every statement
        // prepared on it.
        sqlite3_stmt *kept = statementOf(it.value());
        if (isServer() || (kept && sqlite3_db_handle(kept) == connectionOf(m_db)))
            return &it.value();
        m_statements.erase(it);
    }
    if (m_statements.size() >= kMaxStatements)
        m_statements.clear();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(m_dialect.statement(sql))) {
        *error = failureText(query.lastError());
        return nullptr;
    }
    return &m_statements.insert(sql, query).value();
}

QSqlQuery *Database::run(const QString &sql, const QVariantList &params, QString *error, int *first)
{
    // The cause of a lost transaction was reported once; what follows in its operation is
    // refused quietly.
    if (m_transactionLost) {
        *error = QString();
        return nullptr;
    }
    // Others hear of this transaction's writes when, and only if, the server commits it.
    if (m_serverTransaction && !m_serverTransactionFailed && sql.startsWith(u"COMMIT"_s))
        announceWrites();
    if (!m_connected) {
        *error = u"انقطع الاتصال بالخادم، فلم يُنفذ شيء؛ يُعاد الاتصال تلقائياً"_s;
        return nullptr;
    }
    if (m_serverTransactionFailed && sql.startsWith(u"COMMIT"_s)) {
        // The server would answer COMMIT by rolling back and call that a success.
        QSqlQuery(m_db).exec(u"ROLLBACK"_s);
        m_serverTransaction = false;
        m_serverTransactionFailed = false;
        *error = u"transaction rolled back after a failed statement"_s;
        return nullptr;
    }
    if (!m_dialect.canPrepare(sql) && params.isEmpty()) {
        m_direct = QSqlQuery(m_db);
        const bool ok = m_direct.exec(m_dialect.statement(sql));
        followTransaction(sql, !ok);
        if (ok) {
            *error = QString();
            if (isServer())
                noteWrite(sql);
            return &m_direct;
        }
        const QSqlError failure = m_direct.lastError();
        *error = failureText(failure);
        if (isServer())
            connectionGone(failure);
        return nullptr;
    }
    QSqlQuery *query = statement(sql, error);
    if (!query)
        return nullptr;
    // A kept statement still holds the values of its previous run in any place not bound now.
    sqlite3_stmt *prepared = statementOf(*query);
    // Qt keeps a server's statement's values from its previous run, as many as it has places.
    const int placeholders = prepared ? sqlite3_bind_parameter_count(prepared)
                                      : int(qMax(params.size(), query->boundValues().size()));
    if (placeholders != params.size()) {
        *error = u"%1 values given for %2 placeholders: %3"_s.arg(params.size())
                     .arg(placeholders)
                     .arg(sql);
        return nullptr;
    }
    if (prepared) {
        // Straight to SQLite: Qt's binding names every position afresh on each run, which on
        // short writes cost about as much as the statement itself.
        sqlite3_reset(prepared);
        sqlite3_clear_bindings(prepared);
        int code = bindAll(prepared, params);
        if (code == SQLITE_OK)
            code = sqlite3_step(prepared);
        if (code == SQLITE_ROW || code == SQLITE_DONE) {
            *first = code;
            *error = QString();
            return query;
        }
        *error = stepFailure(prepared);
        const int extended = sqlite3_extended_errcode(sqlite3_db_handle(prepared));
        sqlite3_reset(prepared);
        m_statements.remove(sql);
        checkTransaction(extended);
        return nullptr;
    }
    *first = 0;
    for (int i = 0; i < params.size(); ++i)
        query->bindValue(i, params.at(i));
    if (query->exec()) {
        *error = QString();
        if (isServer()) {
            followTransaction(sql, false);
            noteWrite(sql);
        }
        return query;
    }
    const QSqlError failure = query->lastError();
    // A server connection reopened under the kept statements (the driver's handle may be
    // allocated at the same address) no longer has them: prepared afresh, the statement runs.
    if (isServer() && failure.nativeErrorCode() == u"26000"_s && !m_serverTransaction) {
        m_statements.clear();
        return run(sql, params, error, first);
    }
    // A statement standing alone that the server gave up in a conflict with another operator's
    // work (a deadlock, a serialization failure) changed nothing; it is run again a few times.
    if (isServer() && !m_serverTransaction && isConflictState(failure.nativeErrorCode())) {
        static thread_local int retries = 0;
        if (retries < kConflictRetries) {
            ++retries;
            query->finish();
            QThread::msleep(20 * retries);
            QSqlQuery *again = run(sql, params, error, first);
            --retries;
            return again;
        }
    }
    if (isServer())
        followTransaction(sql, true);
    // Never run again: SQLite may have undone more than this statement, and a second run would
    // stand alone outside the transaction it belonged to.
    *error = failureText(failure);
    query->finish();
    m_statements.remove(sql);
    if (!isServer())
        checkTransaction(failure.nativeErrorCode().toInt());
    else if (connectionGone(failure))
        m_statements.clear();
    return nullptr;
}

void Database::finish(QSqlQuery *query)
{
    // A statement stepped here directly is not active in Qt's eyes; its read lock ends with
    // the reset.
    if (sqlite3_stmt *statement = statementOf(*query))
        sqlite3_reset(statement);
    else
        query->finish();
}

void Database::checkTransaction(int code)
{
    if (m_guardDepth == 0)
        return;
    if (inTransaction()) {
        // SQLite may keep the transaction after these, but what it holds is no longer known.
        const int primary = code & 0xff;
        if (primary != SQLITE_FULL && primary != SQLITE_IOERR && primary != SQLITE_NOMEM
            && primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB)
            return;
        QSqlQuery(m_db).exec(u"ROLLBACK"_s);
    }
    m_transactionLost = true;
}

void Database::followTransaction(const QString &sql, bool failed)
{
    const QString verb = sql.section(u' ', 0, 0).toUpper().remove(u';');
    if (verb == u"BEGIN"_s || verb == u"START"_s) {
        m_serverTransaction = !failed;
        m_serverTransactionFailed = false;
        m_written.clear();
    } else if (verb == u"COMMIT"_s || verb == u"END"_s) {
        m_serverTransaction = false;
        m_serverTransactionFailed = false;
    } else if (verb == u"ROLLBACK"_s) {
        if (!sql.contains(u" TO "_s, Qt::CaseInsensitive)) {
            m_serverTransaction = false;
            m_written.clear();
        }
        m_serverTransactionFailed = failed && m_serverTransaction;
    } else if (failed && m_serverTransaction) {
        m_serverTransactionFailed = true;
    }
}

bool Database::inTransaction() const
{
    if (isServer())
        return m_serverTransaction;
    sqlite3 *handle = connectionOf(m_db);
    return handle && sqlite3_get_autocommit(handle) == 0;
}

QVariantList Database::execQuery(const QString &sql, const QVariantList &params)
{
    return select(sql, params, nullptr);
}

QVariantList Database::execQueryColumns(
    const QString &sql, const QVariantList &params, const QStringList &columns)
{
    return select(sql, params, &columns);
}

QVariantList Database::select(
    const QString &sql, const QVariantList &params, const QStringList *columns)
{
    QVariantList rows;
    QString error;
    {
        QMutexLocker locker(&m_lock);
        int first = 0;
        if (QSqlQuery *query = run(sql, params, &error, &first)) {
            if (sqlite3_stmt *statement = statementOf(*query)) {
                readStepped(statement, first, rows, &error, columns);
                sqlite3_reset(statement);
            } else {
                readRows(*query, rows, columns);
                query->finish();
                if (!m_serverTransaction)
                    announceWrites();
            }
        }
    }
    if (!error.isNull())
        emit databaseError(error);
    return rows;
}

bool Database::execNonQuery(const QString &sql, const QVariantList &params)
{
    QString error;
    {
        QMutexLocker locker(&m_lock);
        int first = 0;
        if (QSqlQuery *query = run(sql, params, &error, &first)) {
            finish(query);
            if (!m_serverTransaction)
                announceWrites();
            return true;
        }
    }
    if (!error.isNull())
        emit databaseError(error);
    return false;
}

int Database::execInsert(const QString &sql, const QVariantList &params)
{
    QString error;
    {
        QMutexLocker locker(&m_lock);
        int first = 0;
        if (isServer()) {
            // The server names the new row only when asked for it.
            if (QSqlQuery *query = run(m_dialect.insertReturningId(sql), params, &error, &first)) {
                const int id = query->next() ? query->value(0).toInt() : -1;
                query->finish();
                if (!m_serverTransaction)
                    announceWrites();
                return id;
            }
        } else if (QSqlQuery *query = run(sql, params, &error, &first)) {
            sqlite3_stmt *statement = statementOf(*query);
            const int id = statement ? int(sqlite3_last_insert_rowid(sqlite3_db_handle(statement)))
                                     : query->lastInsertId().toInt();
            finish(query);
            return id;
        }
    }
    if (!error.isNull())
        emit databaseError(error);
    return -1;
}

QVariantMap Database::getById(const QString &table, int id)
{
    QMutexLocker locker(&m_lock);
    QString error;
    QVariantMap row;
    int first = 0;
    if (QSqlQuery *query
        = run(u"SELECT * FROM "_s + table + u" WHERE id=?"_s, { id }, &error, &first)) {
        if (sqlite3_stmt *statement = statementOf(*query)) {
            TextCache texts(sqlite3_column_count(statement));
            if (first == SQLITE_ROW)
                row = rowMap(statement, columnOrder(statement), texts);
        } else if (query->next()) {
            row = rowMap(*query, columnOrder(query->record()));
        }
        finish(query);
    }
    return row;
}

bool Database::beginTransaction()
{
    const bool ok = m_db.transaction();
    m_serverTransaction = ok && isServer();
    m_serverTransactionFailed = false;
    m_written.clear();
    return ok;
}

bool Database::commitTransaction()
{
    if (m_serverTransaction && !m_serverTransactionFailed)
        announceWrites();
    if (m_serverTransactionFailed) {
        rollbackTransaction();
        return false;
    }
    m_serverTransaction = false;
    return m_db.commit();
}

bool Database::rollbackTransaction()
{
    m_serverTransaction = false;
    m_serverTransactionFailed = false;
    m_written.clear();
    return m_db.rollback();
}

QVariantMap Database::firstRow(const QVariantList &rows)
{
    return rows.isEmpty() ? QVariantMap() : rows.constFirst().toMap();
}
