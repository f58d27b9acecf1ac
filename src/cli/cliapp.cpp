#include "cliapp.h"

#include "authcontroller.h"
#include "backupmanager.h"
#include "consistencycheck.h"
#include "currencymodel.h"
#include "database.h"
#include "databasefiles.h"
#include "datadirlock.h"
#include "datatransfer.h"
#include "demodata.h"
#include "importcontroller.h"
#include "invoicemodel.h"
#include "journalexport.h"
#include "money.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "reportprinter.h"
#include "servicemodel.h"
#include "settingsmanager.h"
#include "terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QString kTool = u"belvardino-cli"_s;

bool isPeriod(const QString &text)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(u"[0-9]{4}-[0-9]{2}"_s));
    return shape.match(text).hasMatch()
        && QDate::fromString(text + u"-01"_s, u"yyyy-MM-dd"_s).isValid();
}

bool isIsoDate(const QString &text)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(u"[0-9]{4}-[0-9]{2}-[0-9]{2}"_s));
    return shape.match(text).hasMatch() && QDate::fromString(text, u"yyyy-MM-dd"_s).isValid();
}

// A whole number of 1 or more, or 0 when the text is not one.
int positiveId(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

} // namespace

CliApp::CliApp() = default;

CliApp::~CliApp()
{
    // The database closes before the lock is released.
    m_db.reset();
    m_lock.reset();
}

const QList<CliApp::Command> &CliApp::commands()
{
    static const QList<Command> list {
        { u"backup"_s, u"backup [--to FOLDER]"_s,
            u"Writes a consistent copy of the database, as the settings page does, and prints its\n"
            "path. Without --to the copy goes to the backup folder chosen in the settings (the\n"
            "data directory's backups/ by default), where the newest 30 are kept; a --to folder\n"
            "is made if missing and never pruned. Runs while the application is open.\n"
            "With --database, PostgreSQL's pg_dump writes the server's database in its custom\n"
            "format (a .dump file) into the same folder, under the same names and pruning."_s },
        { u"restore"_s, u"restore FILE"_s,
            u"Replaces the database with the backup FILE, with the checks the settings page makes.\n"
            "A file that is not a Belvardino backup is refused and the data is left as it was.\n"
            "Refused while the application holds the data directory. With --database, FILE is a\n"
            ".dump of a server, restored with pg_restore in one transaction: a failure leaves the\n"
            "server's data as it was. A backup written by a newer version is refused."_s },
        { u"check"_s, u"check"_s,
            u"Checks the database: SQLite's integrity and foreign keys, and the bookkeeping: each\n"
            "tenant's balance equals its open invoices, each invoice's paid amount and balance\n"
            "make its total, invoice numbers are unique, installment schedules add up to their\n"
            "sale, and every journal entry balances (all to the cent). Prints one line per\n"
            "problem and exits with 1 when there is any. Reads only."_s },
        { u"rent-run"_s, u"rent-run --period yyyy-MM"_s,
            u"Issues the month's rent invoices for every active lease, with the month's metered\n"
            "usage, as the invoices page does; leases already invoiced for the month are skipped.\n"
            "Prints the count issued."_s },
        { u"service-run"_s,
            u"service-run --period yyyy-MM --service ID --property ID [--amount N] [--currency CODE]"_s,
            u"Issues one flat service invoice to every tenant with an active lease in the property,\n"
            "as the invoices page's service dialog does. --service is the id of a service in the\n"
            "program's catalogue (list them with the services command); the invoice line carries\n"
            "its name and, unless --amount is given, its monthly rate. Services billed by usage\n"
            "(water, electricity) need --amount. --currency is a currency code (default: the\n"
            "primary currency). Prints the count issued."_s },
        { u"late-fees"_s, u"late-fees [--date yyyy-MM-dd]"_s,
            u"Charges the late-fee policy of the settings on --date (default: today), as the\n"
            "invoices page does: every open invoice past due by more than the grace days gets a\n"
            "late-fee invoice, every open installment a note and a charge to its buyer; what was\n"
            "charged before is not charged again. Prints the count charged; exits with 1 when the\n"
            "policy is off."_s },
        { u"services"_s, u"services"_s,
            u"Lists the service catalogue: id, name, billing ('fixed' or 'usage') and rate,\n"
            "tab-separated."_s },
        { u"export-csv"_s, u"export-csv [--to FOLDER]"_s,
            u"Writes the main tables as CSV files (UTF-8), as the settings page does, into FOLDER\n"
            "(default: Belvardino_Export_<date>_<time> in the current directory) and prints the\n"
            "folder. Reads only."_s },
        { u"export-journal"_s, u"export-journal FILE [--from yyyy-MM-dd] [--to yyyy-MM-dd]"_s,
            u"Writes the journal as a plain-text accounting journal that hledger reads (for\n"
            "example: hledger -f FILE balance) and prints its path: one transaction per entry\n"
            "with its date, reference and description, accounts as \"code name\" under assets,\n"
            "liabilities, equity, revenues and expenses, and an amount in another currency with\n"
            "its total price in the primary one. The dates limit the entries (default: all).\n"
            "Reads only."_s },
        { u"report"_s, u"report NAME [--from yyyy-MM-dd] [--to yyyy-MM-dd] [--id ID] --pdf FILE"_s,
            u"Prints a report as a PDF file. NAME is one of:\n"
            "  financial-summary     revenue, expenses and receivables (default range: this year)\n"
            "  arrears               installments overdue today\n"
            "  cheques               cheques due in the range (default range: this year)\n"
            "  tenant-statement      the account statement of tenant --id\n"
            "  buyer-statement       the installment statement of buyer --id\n"
            "  contractor-statement  the work billed by contractor --id\n"
            "Statements cover the whole history unless both dates are given. Reads only."_s },
        { u"import"_s, u"import tenants|buyers|units FILE [--property ID]"_s,
            u"Adds rows from a UTF-8 text file, one per line, fields separated by tabs (as copied\n"
            "from a spreadsheet), as the paste import does:\n"
            "  tenants  full name, id number, phone[, address]\n"
            "  buyers   full name, id number, phone\n"
            "  units    property id, unit number, area, sale price[, monthly rent]\n"
            "With --property ID, unit lines leave out the property id and all go to that property.\n"
            "Rows that cannot be stored (too short, duplicate id number) are skipped. Prints the\n"
            "imported and skipped counts; exits with 1 when nothing was imported."_s },
        { u"demo"_s, u"demo [--large] [--scale N]"_s,
            u"Fills an empty data directory with the sample portfolio the developer tools use;\n"
            "--scale N multiplies it, --large writes the benchmarks' five-year portfolio (N times\n"
            "over with --scale)."_s },
        { u"users"_s, u"users list | users reset-password NAME"_s,
            u"list: the users, tab-separated: name, role, active or inactive, last login.\n"
            "reset-password NAME: sets a new password for NAME, for an administrator locked out.\n"
            "The password is asked twice on the terminal without echo (or read as two lines from\n"
            "standard input when that is not a terminal); it is never taken from the command line."_s },
        { u"to-server"_s, u"to-server URL"_s,
            u"Copies every table of the data directory's database into the empty database at\n"
            "URL (postgresql://user@host[:port]/dbname, a socket folder as ?host=/folder) on a\n"
            "PostgreSQL server, ids kept, in one transaction that commits only when each table's\n"
            "row count matches and the check command finds nothing on the server that it does\n"
            "not find in the file. A database that already holds data is refused. The file is\n"
            "only read. The password is taken from\n"
            "PGPASSWORD or ~/.pgpass when the URL has none. Refused while the application holds\n"
            "the data directory."_s },
        { u"to-file"_s, u"to-file URL FILE"_s,
            u"Copies every table of the server's database at URL into FILE, a new database file\n"
            "(for an offline copy), with the same checks as to-server; FILE must not exist, and\n"
            "nothing is left of it when the copy fails. The server's data is only read."_s },
    };
    return list;
}

const CliApp::Command *CliApp::find(const QString &name)
{
    for (const Command &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString CliApp::toolHelp()
{
    QString text
        = u"Usage: %1 [--data-dir DIR] [--database URL] COMMAND [options]\n\n"
          "Scheduled and scripted work on Belvardino's data, through the application's own\n"
          "business rules. Without --data-dir, the application's own data directory.\n\n"
          "Commands:\n"_s.arg(kTool);
    for (const Command &command : commands())
        text += u"  "_s + command.synopsis + u"\n"_s;
    text += u"\nOptions:\n"
            "  --data-dir DIR   the data directory (default: %1)\n"
            "  --database URL   a shared PostgreSQL server's database in place of the data\n"
            "                   directory's file: postgresql://user@host[:port]/dbname (the\n"
            "                   password from PGPASSWORD or ~/.pgpass when the URL has none)\n"
            "  -h, --help       this help; COMMAND --help for a command's\n"
            "  -v, --version    the version\n\n"
            "Commands that change data take the data directory's lock and are refused while the\n"
            "application is open; backup, check, export-csv, report and the listings run beside\n"
            "it. Exit codes: 0 success, 1 the work failed or found problems, 2 bad usage.\n"
            "Progress is shown only on a terminal.\n"_s.arg(
                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return text;
}

QString CliApp::commandHelp(const Command &command)
{
    return u"Usage: %1 [--data-dir DIR] %2\n\n%3\n"_s.arg(kTool, command.synopsis, command.help);
}

void CliApp::say(const QString &message)
{
    Terminal::endProgress();
    QTextStream(stderr) << kTool << ": " << message << "\n";
}

void CliApp::print(const QString &line)
{
    Terminal::endProgress();
    QTextStream out(stdout);
    out << line << "\n";
}

int CliApp::usageError(const QString &message)
{
    say(message);
    QTextStream(stderr) << "Try '" << kTool << " --help'.\n";
    return kUsage;
}

int CliApp::failure(const QString &message)
{
    say(message);
    return kFailure;
}

int CliApp::run(const QStringList &arguments)
{
    m_dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    qsizetype i = 0;
    for (; i < arguments.size() && arguments.at(i).startsWith(u'-'); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"-h"_s || argument == u"--help"_s) {
            print(toolHelp());
            return kSuccess;
        }
        if (argument == u"-v"_s || argument == u"--version"_s) {
            print(kTool + u" "_s + QCoreApplication::applicationVersion());
            return kSuccess;
        }
        if (argument == u"--data-dir"_s) {
            if (++i == arguments.size() || arguments.at(i).isEmpty())
                return usageError(u"--data-dir needs a directory"_s);
            m_dataDir = arguments.at(i);
        } else if (argument.startsWith(u"--data-dir="_s)) {
            m_dataDir = argument.mid(11);
        } else if (argument == u"--database"_s) {
            if (++i == arguments.size() || !Database::isServerUrl(arguments.at(i)))
                return usageError(u"--database needs a postgresql:// URL"_s);
            m_databaseUrl = arguments.at(i);
        } else {
            return usageError(u"unknown option "_s + argument);
        }
    }
    if (i == arguments.size())
        return usageError(u"no command given"_s);

    const QString name = arguments.at(i);
    const QStringList rest = arguments.mid(i + 1);
    if (name == u"help"_s) {
        if (rest.isEmpty()) {
            print(toolHelp());
            return kSuccess;
        }
        const Command *command = find(rest.constFirst());
        if (!command)
            return usageError(u"unknown command "_s + rest.constFirst());
        print(commandHelp(*command));
        return kSuccess;
    }
    const Command *command = find(name);
    if (!command)
        return usageError(u"unknown command "_s + name);

    using Handler = int (CliApp::*)(const Command &, const QStringList &);
    static const QList<QPair<QString, Handler>> handlers {
        { u"backup"_s, &CliApp::backup },
        { u"restore"_s, &CliApp::restore },
        { u"check"_s, &CliApp::check },
        { u"rent-run"_s, &CliApp::rentRun },
        { u"service-run"_s, &CliApp::serviceRun },
        { u"late-fees"_s, &CliApp::lateFees },
        { u"services"_s, &CliApp::services },
        { u"export-csv"_s, &CliApp::exportCsv },
        { u"report"_s, &CliApp::report },
        { u"export-journal"_s, &CliApp::exportJournal },
        { u"import"_s, &CliApp::import },
        { u"demo"_s, &CliApp::demo },
        { u"users"_s, &CliApp::users },
        { u"to-server"_s, &CliApp::toServer },
        { u"to-file"_s, &CliApp::toFile },
    };
    for (const auto &[handlerName, handler] : handlers) {
        if (handlerName == name)
            return (this->*handler)(*command, rest);
    }
    return usageError(u"unknown command "_s + name);
}

bool CliApp::parse(const Command &command, QCommandLineParser &parser,
    const QList<QCommandLineOption> &options, const QStringList &arguments, qsizetype positionals,
    int *exitCode)
{
    const QCommandLineOption help(QStringList { u"h"_s, u"help"_s });
    const QCommandLineOption dataDir(u"data-dir"_s, QString(), u"DIR"_s);
    const QCommandLineOption database(u"database"_s, QString(), u"URL"_s);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(help);
    parser.addOption(dataDir);
    parser.addOption(database);
    parser.addOptions(options);
    if (!parser.parse(QStringList { kTool } + arguments)) {
        *exitCode = usageError(command.name + u": "_s + parser.errorText());
        return false;
    }
    if (parser.isSet(help)) {
        print(commandHelp(command));
        *exitCode = kSuccess;
        return false;
    }
    if (parser.isSet(dataDir))
        m_dataDir = parser.value(dataDir);
    if (parser.isSet(database)) {
        if (!Database::isServerUrl(parser.value(database))) {
            *exitCode = usageError(u"--database needs a postgresql:// URL"_s);
            return false;
        }
        m_databaseUrl = parser.value(database);
    }
    if (parser.positionalArguments().size() != positionals) {
        *exitCode = usageError(parser.positionalArguments().size() > positionals
                ? command.name + u": unexpected argument "_s
                    + parser.positionalArguments().at(positionals)
                : u"usage: "_s + kTool + u" "_s + command.synopsis);
        return false;
    }
    return true;
}

bool CliApp::openDatabase(bool create)
{
    if (!m_databaseUrl.isEmpty()) {
        m_db = std::make_unique<Database>();
        QObject::connect(m_db.get(), &Database::databaseError, m_db.get(),
            [this](const QString &error) { m_databaseErrors.append(error); });
        if (!m_db->initialize(m_databaseUrl)) {
            say(u"cannot open the server's database: "_s + lastDatabaseError());
            return false;
        }
        return true;
    }
    const QString path = QDir(m_dataDir).filePath(u"belvardino.db"_s);
    if (!create && !QFileInfo::exists(path)) {
        say(u"no database in "_s + m_dataDir);
        return false;
    }
    if (create && !QDir().mkpath(m_dataDir)) {
        say(u"cannot create the data directory "_s + m_dataDir);
        return false;
    }
    m_db = std::make_unique<Database>();
    QObject::connect(m_db.get(), &Database::databaseError, m_db.get(),
        [this](const QString &error) { m_databaseErrors.append(error); });
    if (!m_db->initialize(path)) {
        say(u"cannot open "_s + path + u": "_s + lastDatabaseError());
        return false;
    }
    return true;
}

bool CliApp::lockDataDirectory()
{
    if (!QFileInfo(m_dataDir).isDir() && !QDir().mkpath(m_dataDir)) {
        say(u"cannot create the data directory "_s + m_dataDir);
        return false;
    }
    m_lock = std::make_unique<DataDirLock>(m_dataDir);
    if (m_lock->tryLock())
        return true;
    const qint64 holder = m_lock->holderPid();
    say(u"the data directory "_s + m_dataDir + u" is in use"_s
        + (holder > 0 ? u" by process "_s + QString::number(holder) : QString())
        + u"; close the application (or wait for the other command) and try again"_s);
    return false;
}

QString CliApp::lastDatabaseError() const
{
    return m_databaseErrors.isEmpty() ? u"unknown error"_s : m_databaseErrors.constLast();
}

int CliApp::backup(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption to(u"to"_s, QString(), u"FOLDER"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { to }, arguments, 0, &code))
        return code;
    if (parser.isSet(to) && parser.value(to).isEmpty())
        return usageError(u"backup: --to needs a folder"_s);
    if (!openDatabase(false))
        return kFailure;

    BackupManager backups(m_dataDir);
    QString written;
    QString error;
    QObject::connect(&backups, &BackupManager::backupCreated,
        [&written](const QString &path) { written = path; });
    QObject::connect(
        &backups, &BackupManager::backupError, [&error](const QString &text) { error = text; });
    Terminal::progress(u"backing up…"_s);
    const bool ok = parser.isSet(to)
        ? backups.createBackupIn(QFileInfo(parser.value(to)).absoluteFilePath())
        : backups.createBackup();
    if (!ok)
        return failure(u"backup failed: "_s + (error.isEmpty() ? u"unknown error"_s : error));
    print(written);
    return kSuccess;
}

int CliApp::restore(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, {}, arguments, 1, &code))
        return code;
    const QFileInfo file(parser.positionalArguments().constFirst());
    if (!file.isFile())
        return failure(u"no such file: "_s + file.filePath());
    if (!lockDataDirectory() || !openDatabase(true))
        return kFailure;

    // Given the open database, the restore reopens it on the restored file.
    BackupManager backups(m_dataDir, m_db.get());
    QString error;
    QObject::connect(
        &backups, &BackupManager::backupError, [&error](const QString &text) { error = text; });
    Terminal::progress(u"restoring…"_s);
    if (!backups.restoreBackup(file.absoluteFilePath())) {
        if (error == BackupManager::notABackupText())
            error = u"not a backup of this program; the data was left as it was"_s;
        else if (error == BackupManager::folderNotWritableText())
            error = u"the data folder cannot be written; the data was left as it was"_s;
        else if (error == BackupManager::serverToolsMissingText())
            error = u"pg_dump, pg_restore or psql is not installed (Debian's postgresql-client); "
                    "the data was left as it was"_s;
        else if (error == BackupManager::fileBackupOnServerText())
            error = u"a backup of a database file, not of a server (to-server moves a file's data "
                    "to an empty server database); the data was left as it was"_s;
        else if (error == BackupManager::serverBackupOnFileText())
            error = u"a backup of a server, which a database file cannot take; the data was left "
                    "as it was"_s;
        else if (error == BackupManager::newerVersionText())
            error = u"written by a newer version of the program; the data was left as it was"_s;
        return failure(u"restore of "_s + file.filePath() + u" refused: "_s
            + (error.isEmpty() ? u"unknown error"_s : error));
    }
    if (!backups.lastSafetyBackup().isEmpty())
        print(u"previous data saved as "_s + backups.lastSafetyBackup());
    print(u"restored "_s + file.absoluteFilePath());
    return kSuccess;
}

int CliApp::check(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, {}, arguments, 0, &code))
        return code;
    if (!openDatabase(false))
        return kFailure;
    Terminal::progress(u"checking…"_s);
    const QStringList findings = ConsistencyCheck(m_db.get()).run();
    for (const QString &finding : findings)
        print(finding);
    if (findings.isEmpty()) {
        Terminal::endProgress();
        return kSuccess;
    }
    return failure(QString::number(findings.size())
        + (findings.size() == 1 ? u" problem found"_s : u" problems found"_s));
}

int CliApp::rentRun(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption period(u"period"_s, QString(), u"yyyy-MM"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { period }, arguments, 0, &code))
        return code;
    if (!isPeriod(parser.value(period)))
        return usageError(u"rent-run: --period needs a month as yyyy-MM"_s);
    if (!lockDataDirectory() || !openDatabase(false))
        return kFailure;

    Terminal::progress(u"issuing rent for "_s + parser.value(period) + u"…"_s);
    InvoiceModel invoices(m_db.get());
    const int count = invoices.generateAllRent(parser.value(period));
    print(QString::number(count) + u" rent invoices issued for "_s + parser.value(period));
    if (!m_databaseErrors.isEmpty())
        return failure(u"some invoices could not be issued: "_s + lastDatabaseError());
    return kSuccess;
}

int CliApp::lateFees(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption date(u"date"_s, QString(), u"yyyy-MM-dd"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { date }, arguments, 0, &code))
        return code;
    const QString day
        = parser.isSet(date) ? parser.value(date) : QDate::currentDate().toString(u"yyyy-MM-dd"_s);
    if (!isIsoDate(day))
        return usageError(u"late-fees: --date needs a day as yyyy-MM-dd"_s);
    if (!lockDataDirectory() || !openDatabase(false))
        return kFailure;

    if (!SettingsManager::lateFeePolicy(m_db.get()).value(u"enabled"_s).toBool())
        return failure(u"late fees are off; turn them on in the settings first"_s);
    Terminal::progress(u"charging late fees for "_s + day + u"…"_s);
    InvoiceModel invoices(m_db.get());
    const int count = invoices.applyLateFees(day);
    print(QString::number(count) + u" late fees charged on "_s + day);
    if (!m_databaseErrors.isEmpty())
        return failure(u"some late fees could not be charged: "_s + lastDatabaseError());
    return kSuccess;
}

int CliApp::serviceRun(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption period(u"period"_s, QString(), u"yyyy-MM"_s);
    const QCommandLineOption service(u"service"_s, QString(), u"ID"_s);
    const QCommandLineOption property(u"property"_s, QString(), u"ID"_s);
    const QCommandLineOption amountOption(u"amount"_s, QString(), u"N"_s);
    const QCommandLineOption currency(u"currency"_s, QString(), u"CODE"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { period, service, property, amountOption, currency }, arguments, 0,
            &code))
        return code;
    if (!isPeriod(parser.value(period)))
        return usageError(u"service-run: --period needs a month as yyyy-MM"_s);
    const int serviceId = positiveId(parser.value(service));
    if (serviceId == 0)
        return usageError(u"service-run: --service needs a service id"_s);
    const int propertyId = positiveId(parser.value(property));
    if (propertyId == 0)
        return usageError(u"service-run: --property needs a property id"_s);
    double amount = 0;
    if (parser.isSet(amountOption)) {
        bool ok = false;
        amount = parser.value(amountOption).toDouble(&ok);
        if (!ok || !Money::isAcceptable(amount) || Money::cents(amount) <= 0)
            return usageError(u"service-run: --amount needs a positive amount"_s);
    }
    if (!lockDataDirectory() || !openDatabase(false))
        return kFailure;

    const QVariantMap serviceRow = ServiceModel(m_db.get()).getById(serviceId);
    if (serviceRow.isEmpty())
        return failure(u"no service with id "_s + QString::number(serviceId));
    if (PropertyModel(m_db.get()).getById(propertyId).isEmpty())
        return failure(u"no property with id "_s + QString::number(propertyId));
    if (!parser.isSet(amountOption)) {
        amount = serviceRow.value(u"rate"_s).toDouble();
        if (serviceRow.value(u"type"_s).toString() != u"fixed"_s || Money::cents(amount) <= 0)
            return usageError(u"service-run: service "_s + QString::number(serviceId)
                + u" has no fixed monthly rate; give --amount"_s);
    }
    int currencyId = 0;
    const QVariantList currencies = CurrencyModel(m_db.get()).getAll();
    for (const QVariant &element : currencies) {
        const QVariantMap row = element.toMap();
        if (parser.isSet(currency) ? row.value(u"code"_s).toString() == parser.value(currency)
                                   : currencyId == 0) {
            currencyId = row.value(u"id"_s).toInt();
            break;
        }
    }
    if (currencyId == 0)
        return failure(u"no currency "_s + parser.value(currency));

    Terminal::progress(u"issuing service invoices…"_s);
    InvoiceModel invoices(m_db.get());
    const int count = invoices.generatePropertyServiceInvoice(propertyId,
        serviceRow.value(u"name"_s).toString(), amount, parser.value(period), currencyId);
    print(QString::number(count) + u" service invoices issued for "_s + parser.value(period));
    if (!m_databaseErrors.isEmpty())
        return failure(u"some invoices could not be issued: "_s + lastDatabaseError());
    return kSuccess;
}

int CliApp::services(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, {}, arguments, 0, &code))
        return code;
    if (!openDatabase(false))
        return kFailure;
    for (const QVariant &element : ServiceModel(m_db.get()).getAll()) {
        const QVariantMap row = element.toMap();
        print(QStringList { row.value(u"id"_s).toString(), row.value(u"name"_s).toString(),
            row.value(u"type"_s).toString(),
            QString::number(Money::round(row.value(u"rate"_s).toDouble()), 'f', 2) }
                  .join(u'\t'));
    }
    return kSuccess;
}

int CliApp::exportCsv(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption to(u"to"_s, QString(), u"FOLDER"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { to }, arguments, 0, &code))
        return code;
    if (parser.isSet(to) && parser.value(to).isEmpty())
        return usageError(u"export-csv: --to needs a folder"_s);
    if (!openDatabase(false))
        return kFailure;

    const QString folder = QFileInfo(parser.isSet(to) ? parser.value(to)
                                                      : u"Belvardino_Export_"_s
                + QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm"_s))
                               .absoluteFilePath();
    BackupManager backups(m_dataDir);
    QString error;
    QObject::connect(
        &backups, &BackupManager::backupError, [&error](const QString &text) { error = text; });
    Terminal::progress(u"exporting…"_s);
    const int written = backups.exportTablesTo(folder);
    if (written != BackupManager::exportedTables().size())
        return failure(u"export to "_s + folder + u" failed"_s
            + (error.isEmpty() ? QString() : u": "_s + error));
    print(folder);
    return kSuccess;
}

int CliApp::report(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption from(u"from"_s, QString(), u"DATE"_s);
    const QCommandLineOption to(u"to"_s, QString(), u"DATE"_s);
    const QCommandLineOption id(u"id"_s, QString(), u"ID"_s);
    const QCommandLineOption pdf(u"pdf"_s, QString(), u"FILE"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { from, to, id, pdf }, arguments, 1, &code))
        return code;
    const QString name = parser.positionalArguments().constFirst();
    if (!ReportPrinter::names().contains(name))
        return usageError(u"report: unknown report "_s + name + u"; one of "_s
            + ReportPrinter::names().join(u", "_s));
    for (const QCommandLineOption &date : { from, to }) {
        if (parser.isSet(date) && !isIsoDate(parser.value(date)))
            return usageError(
                u"report: --"_s + date.names().constFirst() + u" needs a date as yyyy-MM-dd"_s);
    }
    if (parser.isSet(from) != parser.isSet(to))
        return usageError(u"report: give both --from and --to, or neither"_s);
    if (parser.value(from) > parser.value(to))
        return usageError(u"report: --from is after --to"_s);
    const int entity = positiveId(parser.value(id));
    if (ReportPrinter::needsId(name) && entity == 0)
        return usageError(u"report: "_s + name + u" needs --id"_s);
    if (!ReportPrinter::needsId(name) && parser.isSet(id))
        return usageError(u"report: "_s + name + u" takes no --id"_s);
    if (parser.value(pdf).isEmpty())
        return usageError(u"report: --pdf FILE is required"_s);
    const QFileInfo target(parser.value(pdf));
    if (!target.absoluteDir().exists())
        return failure(u"no such folder: "_s + target.absolutePath());
    if (!openDatabase(false))
        return kFailure;

    SettingsManager settings(m_db.get());
    PrintController printer(&settings);
    ReportPrinter reports(m_db.get(), &printer);
    QString error;
    Terminal::progress(u"printing…"_s);
    if (!reports.print(
            name, entity, parser.value(from), parser.value(to), target.absoluteFilePath(), &error))
        return failure(u"report: "_s + error);
    print(target.absoluteFilePath());
    return kSuccess;
}

int CliApp::exportJournal(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption from(u"from"_s, QString(), u"DATE"_s);
    const QCommandLineOption to(u"to"_s, QString(), u"DATE"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { from, to }, arguments, 1, &code))
        return code;
    for (const QCommandLineOption &date : { from, to }) {
        if (parser.isSet(date) && !isIsoDate(parser.value(date)))
            return usageError(u"export-journal: --"_s + date.names().constFirst()
                + u" needs a date as yyyy-MM-dd"_s);
    }
    if (parser.isSet(from) && parser.isSet(to) && parser.value(from) > parser.value(to))
        return usageError(u"export-journal: --from is after --to"_s);
    const QFileInfo target(parser.positionalArguments().constFirst());
    if (!target.absoluteDir().exists())
        return failure(u"no such folder: "_s + target.absolutePath());
    if (!openDatabase(false))
        return kFailure;
    if (!JournalExport::write(
            m_db.get(), target.absoluteFilePath(), parser.value(from), parser.value(to)))
        return failure(u"export-journal: cannot write "_s + target.absoluteFilePath());
    print(target.absoluteFilePath());
    return kSuccess;
}

int CliApp::import(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption property(u"property"_s, QString(), u"ID"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { property }, arguments, 2, &code))
        return code;
    const QString kind = parser.positionalArguments().at(0);
    if (kind != u"tenants"_s && kind != u"buyers"_s && kind != u"units"_s)
        return usageError(u"import: what to import is tenants, buyers or units, not "_s + kind);
    const int propertyId = positiveId(parser.value(property));
    if (parser.isSet(property) && (kind != u"units"_s || propertyId == 0))
        return usageError(kind == u"units"_s ? u"import: --property needs a property id"_s
                                             : u"import: --property is for units only"_s);

    QFile file(parser.positionalArguments().at(1));
    if (!file.exists())
        return failure(u"no such file: "_s + file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return failure(u"cannot read "_s + file.fileName());
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError() || text.contains(QChar(0)))
        return failure(file.fileName() + u" is not a UTF-8 text file; nothing imported"_s);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    if (!lockDataDirectory() || !openDatabase(false))
        return kFailure;
    if (propertyId > 0) {
        if (PropertyModel(m_db.get()).getById(propertyId).isEmpty())
            return failure(u"no property with id "_s + QString::number(propertyId));
        QStringList lines = text.split(u'\n');
        for (QString &line : lines) {
            if (!line.trimmed().isEmpty())
                line.prepend(QString::number(propertyId) + u'\t');
        }
        text = lines.join(u'\n');
    }

    Terminal::progress(u"importing…"_s);
    ImportController importer(m_db.get());
    importer.importRawCSV(text, kind);
    print(u"imported %1, skipped %2"_s.arg(importer.lastImported()).arg(importer.lastSkipped()));
    if (importer.lastImported() == 0)
        return failure(u"nothing imported from "_s + file.fileName());
    return kSuccess;
}

int CliApp::demo(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption large(u"large"_s);
    const QCommandLineOption scaleOption(u"scale"_s, QString(), u"N"_s);
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, { large, scaleOption }, arguments, 0, &code))
        return code;
    int scale = 1;
    if (parser.isSet(scaleOption)) {
        scale = positiveId(parser.value(scaleOption));
        if (scale == 0 || scale > 1000)
            return usageError(u"demo: --scale needs a whole number from 1 to 1000"_s);
    }
    if (!lockDataDirectory() || !openDatabase(true))
        return kFailure;
    if (!PropertyModel(m_db.get()).getAll().isEmpty())
        return failure(m_dataDir + u" already holds properties; use an empty data directory"_s);

    Terminal::progress(u"writing the demo portfolio…"_s);
    const DemoData::Counts c = parser.isSet(large) ? DemoData::fillLarge(m_db.get(), scale)
                                                   : DemoData::fill(m_db.get(), scale);
    print(u"properties %1, units %2, tenants %3, contracts %4, invoices %5, payments %6, "
          "buyers %7, sales %8, cheques %9, maintenance %10, expenses %11, journal entries %12"_s
              .arg(c.properties)
              .arg(c.units)
              .arg(c.tenants)
              .arg(c.contracts)
              .arg(c.invoices)
              .arg(c.payments)
              .arg(c.buyers)
              .arg(c.sales)
              .arg(c.cheques)
              .arg(c.maintenance)
              .arg(c.expenses)
              .arg(c.journalEntries));
    if (c.properties == 0)
        return failure(u"the demo portfolio could not be written: "_s + lastDatabaseError());
    return kSuccess;
}

int CliApp::users(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    int code = kSuccess;
    const QString action = arguments.isEmpty() ? QString() : arguments.constFirst();
    const qsizetype expected = action == u"reset-password"_s ? 2 : 1;
    if (!parse(command, parser, {}, arguments, expected, &code))
        return code;
    if (action != u"list"_s && action != u"reset-password"_s)
        return usageError(u"users: list or reset-password NAME, not "_s + action);

    if (action == u"list"_s) {
        if (!openDatabase(false))
            return kFailure;
        for (const QVariant &element : AuthController(m_db.get()).getUsers()) {
            const QVariantMap row = element.toMap();
            print(
                QStringList { row.value(u"username"_s).toString(), row.value(u"role"_s).toString(),
                    row.value(u"active"_s).toInt() == 1 ? u"active"_s : u"inactive"_s,
                    row.value(u"last_login"_s).toString() }
                    .join(u'\t'));
        }
        return kSuccess;
    }

    const QString name = parser.positionalArguments().at(1);
    if (!lockDataDirectory() || !openDatabase(false))
        return kFailure;
    AuthController auth(m_db.get());
    bool known = false;
    for (const QVariant &element : auth.getUsers())
        known = known || element.toMap().value(u"username"_s).toString() == name;
    if (!known)
        return failure(u"no user named "_s + name);
    QString first;
    QString second;
    if (!Terminal::readSecret(u"New password for "_s + name + u": "_s, &first)
        || !Terminal::readSecret(u"Repeat the new password: "_s, &second))
        return failure(u"no password given; nothing changed"_s);
    if (first.isEmpty())
        return failure(u"the password is empty; nothing changed"_s);
    if (first != second)
        return failure(u"the two passwords differ; nothing changed"_s);
    if (!AuthController::passwordAcceptable(first))
        return failure(u"the password is shorter than %1 characters; nothing changed"_s.arg(
            AuthController::kMinPasswordLength));
    if (!auth.resetPassword(name, first))
        return failure(u"the password could not be changed: "_s + lastDatabaseError());
    say(u"password of "_s + name + u" changed"_s);
    return kSuccess;
}

int CliApp::transfer(Database *source, Database *target, const QString &where)
{
    DataTransfer transfer;
    QObject::connect(
        &transfer, &DataTransfer::progress, [](qint64 done, qint64 total, const QString &table) {
            Terminal::progress(u"copying %1: %2 of %3 rows…"_s.arg(table).arg(done).arg(total));
        });
    QElapsedTimer clock;
    clock.start();
    if (!transfer.copy(source, target)) {
        QString error = transfer.error();
        if (error.startsWith(DataTransfer::targetNotEmptyText()))
            error = u"the target database already holds data; nothing was changed"_s;
        else if (error.startsWith(DataTransfer::layoutsDifferText()))
            error = u"the two databases are not of this version's layout: "_s + error;
        return failure(u"copy failed, nothing was changed: "_s + error);
    }
    qint64 rows = 0;
    for (const qint64 count : transfer.counts())
        rows += count;
    print(u"copied %1 rows of %2 tables to %3 in %4 s; row counts and the check agree"_s.arg(rows)
              .arg(transfer.counts().size())
              .arg(where)
              .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    return kSuccess;
}

int CliApp::toServer(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, {}, arguments, 1, &code))
        return code;
    const QString url = parser.positionalArguments().constFirst();
    if (!Database::isServerUrl(url))
        return usageError(u"to-server: URL must start with postgresql://"_s);
    m_databaseUrl.clear();
    if (!lockDataDirectory() || !openDatabase(false))
        return kFailure;

    Database server;
    QObject::connect(&server, &Database::databaseError,
        [this](const QString &error) { m_databaseErrors.append(error); });
    if (!server.initialize(url, u"belvardino_transfer"_s))
        return failure(u"cannot open the server's database: "_s + lastDatabaseError());
    return transfer(m_db.get(), &server, u"the server"_s);
}

int CliApp::toFile(const Command &command, const QStringList &arguments)
{
    QCommandLineParser parser;
    int code = kSuccess;
    if (!parse(command, parser, {}, arguments, 2, &code))
        return code;
    const QString url = parser.positionalArguments().constFirst();
    const QString file = QFileInfo(parser.positionalArguments().at(1)).absoluteFilePath();
    if (!Database::isServerUrl(url))
        return usageError(u"to-file: URL must start with postgresql://"_s);
    if (QFileInfo::exists(file))
        return failure(file + u" exists; choose a new file"_s);

    m_databaseUrl = url;
    if (!openDatabase(false))
        return kFailure;
    int result = kFailure;
    {
        Database copy;
        QObject::connect(&copy, &Database::databaseError,
            [this](const QString &error) { m_databaseErrors.append(error); });
        if (copy.initialize(file, u"belvardino_transfer"_s))
            result = transfer(m_db.get(), &copy, file);
        else
            say(u"cannot create "_s + file + u": "_s + lastDatabaseError());
    }
    QSqlDatabase::removeDatabase(u"belvardino_transfer"_s);
    if (result != kSuccess)
        DatabaseFiles::remove(file);
    else
        print(file);
    return result;
}
