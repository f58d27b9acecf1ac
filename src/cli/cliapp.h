#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class Database;
class DataDirLock;
class QCommandLineOption;
class QCommandLineParser;

// belvardino-cli: scheduled and scripted work on a data directory through the same business
// objects as the application. Exit codes: 0 success, 1 the work failed or found problems,
// 2 bad usage. Messages go to standard error, in English; results to standard output.
class CliApp
{
public:
    CliApp();
    ~CliApp();

    // The arguments after the program's name; returns the exit code.
    int run(const QStringList &arguments);

    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

private:
    struct Command
    {
        QString name;
        QString synopsis;
        QString help;
    };
    static const QList<Command> &commands();
    static const Command *find(const QString &name);
    static QString toolHelp();
    static QString commandHelp(const Command &command);

    // Parses a command's arguments; false when the command should end with *exitCode (its help
    // was printed, or the arguments were wrong).
    bool parse(const Command &command, QCommandLineParser &parser,
        const QList<QCommandLineOption> &options, const QStringList &arguments,
        qsizetype positionals, int *exitCode);

    int usageError(const QString &message);
    int failure(const QString &message);
    void say(const QString &message);
    void print(const QString &line);

    // The database of the data directory; a missing one is created only when `create` is set.
    bool openDatabase(bool create);
    bool lockDataDirectory();
    QString lastDatabaseError() const;

    int backup(const Command &command, const QStringList &arguments);
    int restore(const Command &command, const QStringList &arguments);
    int check(const Command &command, const QStringList &arguments);
    int rentRun(const Command &command, const QStringList &arguments);
    int serviceRun(const Command &command, const QStringList &arguments);
    int lateFees(const Command &command, const QStringList &arguments);
    int services(const Command &command, const QStringList &arguments);
    int exportCsv(const Command &command, const QStringList &arguments);
    int report(const Command &command, const QStringList &arguments);
    int exportJournal(const Command &command, const QStringList &arguments);
    int import(const Command &command, const QStringList &arguments);
    int demo(const Command &command, const QStringList &arguments);
    int users(const Command &command, const QStringList &arguments);
    int toServer(const Command &command, const QStringList &arguments);
    int toFile(const Command &command, const QStringList &arguments);
    // Copies one database into another through DataTransfer, with progress; the exit code.
    int transfer(Database *source, Database *target, const QString &where);

    QString m_dataDir;
    // A shared server's postgresql:// URL in place of the data directory's file.
    QString m_databaseUrl;
    std::unique_ptr<DataDirLock> m_lock;
    std::unique_ptr<Database> m_db;
    QStringList m_databaseErrors;
};
