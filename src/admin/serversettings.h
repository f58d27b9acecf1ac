#pragma once

#include <QObject>
#include <QString>

class Database;
class QThread;

// Where the data lives: this computer's file (the default) or a shared PostgreSQL server. The
// choice, host, port, database and user are kept in the data folder's settings file; the
// server's password only in the desktop's secret store, never in a file. A saved choice takes
// effect at the next start, when the program opens it before anyone logs in.
class ServerSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool useServer READ useServer NOTIFY changed)
    Q_PROPERTY(QString host READ host NOTIFY changed)
    Q_PROPERTY(int port READ port NOTIFY changed)
    Q_PROPERTY(QString databaseName READ databaseName NOTIFY changed)
    Q_PROPERTY(QString user READ user NOTIFY changed)
    // Whether the data open now is a server's (the saved choice may differ until a restart).
    Q_PROPERTY(bool runningOnServer READ runningOnServer CONSTANT)
    Q_PROPERTY(bool testing READ isTesting NOTIFY testingChanged)
public:
    enum class Outcome
    {
        Connected,
        Unreachable,
        WrongPassword,
        DatabaseMissing,
        TooOld,
        Failed,
    };
    Q_ENUM(Outcome)

    // PostgreSQL 12: identity columns, and the oldest release still commonly installed.
    static constexpr int kMinimumVersion = 120000;
    static constexpr int kDefaultPort = 5432;

    ServerSettings(const QString &dataDir, Database *db, QObject *parent = nullptr);
    ~ServerSettings() override;

    bool useServer() const { return m_useServer; }
    QString host() const { return m_host; }
    int port() const { return m_port; }
    QString databaseName() const { return m_database; }
    QString user() const { return m_user; }
    bool runningOnServer() const;
    bool isTesting() const { return m_testing != nullptr; }

    static QString url(const QString &host, int port, const QString &database, const QString &user,
        const QString &password = QString());
    // Connects once, on the calling thread, and says what stood in the way; `detail` gets the
    // server's own words, or its version when it is too old.
    static Outcome check(
        const QString &url, QString *detail = nullptr, int minimumVersion = kMinimumVersion);
    // The Arabic line for an outcome.
    static QString outcomeText(Outcome outcome, const QString &detail = QString());

    // What the program opens: the data file's path, or the server's URL with the password from
    // the secret store. `note` gets the Arabic reason when the store could not be read (the
    // URL is then without a password).
    QString target(QString *note = nullptr) const;

    // Tries the given settings on a thread of its own; tested() follows.
    Q_INVOKABLE void testConnection(const QString &host, int port, const QString &database,
        const QString &user, const QString &password);
    // Saves the server as the choice for the next start. An empty password keeps the stored
    // one. False with the Arabic reason in lastError (nothing saved) when the secret store is
    // unavailable.
    Q_INVOKABLE bool chooseServer(const QString &host, int port, const QString &database,
        const QString &user, const QString &password);
    // This computer's file again, from the next start; the stored password is left for a return.
    Q_INVOKABLE bool chooseFile();
    Q_INVOKABLE QString lastError() const { return m_lastError; }

signals:
    void changed();
    void testingChanged();
    void tested(bool connected, const QString &message);

private:
    QString settingsPath() const;
    static QString secretKey(
        const QString &host, int port, const QString &database, const QString &user);

    QString m_dataDir;
    Database *m_db;
    bool m_useServer = false;
    QString m_host;
    int m_port = kDefaultPort;
    QString m_database;
    QString m_user;
    QString m_lastError;
    QThread *m_testing = nullptr;
};
