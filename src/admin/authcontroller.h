#pragma once

#include "permissions.h"
#include "session.h"

#include <QDateTime>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class Database;

// Login, logout and the session of the one operator, plus the list of users. Passwords are kept
// as salted hashes only. Repeated failures for a name lock that name out for a while.
class AuthController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isLoggedIn READ isLoggedIn NOTIFY authChanged)
    Q_PROPERTY(QString currentUser READ currentUser NOTIFY authChanged)
    Q_PROPERTY(QString currentRole READ currentRole NOTIFY authChanged)
    // What the interface may offer: daily writes, and the administrator's work.
    Q_PROPERTY(bool canWrite READ canWrite NOTIFY authChanged)
    Q_PROPERTY(bool canAdminister READ canAdminister NOTIFY authChanged)
public:
    // Failures allowed before a lock, its first length, and its longest.
    static constexpr int kFreeAttempts = 5;
    static constexpr int kFirstLockSeconds = 30;
    static constexpr int kLongestLockSeconds = 15 * 60;
    // New and changed passwords only: a stored shorter one keeps working.
    static constexpr int kMinPasswordLength = 8;

    explicit AuthController(Database *db, QObject *parent = nullptr);

    bool isLoggedIn() const { return m_session.isActive(); }
    QString currentUser() const { return m_session.fullName(); }
    QString currentRole() const { return Permissions::roleName(m_session.role()); }
    bool canWrite() const;
    bool canAdminister() const;

    // The operator's session; the application attaches it to the database at start-up.
    Session *session() { return &m_session; }
    // Tests move time forward without sleeping.
    void setClock(std::function<QDateTime()> clock) { m_now = std::move(clock); }

    Q_INVOKABLE bool login(const QString &username, const QString &password);
    Q_INVOKABLE void logout();
    Q_INVOKABLE bool changePassword(const QString &oldPass, const QString &newPass);
    Q_INVOKABLE QVariantList getUsers();
    Q_INVOKABLE bool registerUser(
        const QString &username, const QString &password, const QString &role);
    Q_INVOKABLE bool removeUser(const QString &username);
    Q_INVOKABLE bool setUserActive(const QString &username, bool active);
    Q_INVOKABLE bool setUserRole(const QString &username, const QString &role);
    Q_INVOKABLE bool resetPassword(const QString &username, const QString &newPassword);
    // Whether the administrator can still log in with the seeded password; reads only.
    Q_INVOKABLE bool defaultCredentialsWork();
    // Whether a new password is long enough, counted in characters as people see them.
    static bool passwordAcceptable(const QString &password);
    // Empty when the password may be set; otherwise the line the page shows.
    Q_INVOKABLE QString passwordRefusal(const QString &password) const;
    // Seconds before the name may try again; 0 when it may now.
    Q_INVOKABLE int lockSecondsLeft(const QString &username);
    // "30 ثانية", "دقيقتين", ...: how long to wait, as the login page says it.
    static QString waitText(int seconds);

    // The restored file may hold other users: whoever was logged in must log in again.
    void endAfterRestore();
    // Who did it, in the audit trail: events that are not row writes (logins, backups, ...).
    void record(const QString &action, const QString &details, int userId = -1);

signals:
    void authChanged();
    void loginFailed(const QString &reason);
    // The operator's own password was changed; the window confirms it.
    void passwordChanged();
    // An operation was refused, or the session ended under the operator: the line to show.
    void operationRefused(const QString &message);

private:
    // Whether a stored password_hash accepts the password: a hash, or a legacy plain-text row.
    static bool matches(const QString &stored, const QString &password);
    void writeAppLog(const QString &action, const QString &details);
    bool permits(Permissions::Operation operation);
    // Counts a failure for the name; returns the lock it now carries, in seconds (0 for none).
    int countFailure(const QString &username);
    qint64 nowSeconds() const { return m_now().toSecsSinceEpoch(); }

    Database *m_db;
    Session m_session;
    std::function<QDateTime()> m_now;
};
