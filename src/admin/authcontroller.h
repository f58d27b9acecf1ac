#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

class Database;

// Login, logout and the session of the one operator, plus the list of users. Passwords are kept
// as salted hashes only.
class AuthController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isLoggedIn READ isLoggedIn NOTIFY authChanged)
    Q_PROPERTY(QString currentUser READ currentUser NOTIFY authChanged)
    Q_PROPERTY(QString currentRole READ currentRole NOTIFY authChanged)
public:
    explicit AuthController(Database *db, QObject *parent = nullptr);

    bool isLoggedIn() const { return m_loggedIn; }
    QString currentUser() const { return m_fullName; }
    QString currentRole() const { return m_role; }

    Q_INVOKABLE bool login(const QString &username, const QString &password);
    Q_INVOKABLE void logout();
    Q_INVOKABLE bool changePassword(const QString &oldPass, const QString &newPass);
    Q_INVOKABLE QVariantList getUsers();
    Q_INVOKABLE bool registerUser(
        const QString &username, const QString &password, const QString &role);
    Q_INVOKABLE bool removeUser(const QString &username);
    // Sets a user's password without the old one, for whoever can reach the data directory
    // itself (not offered to the interface); false for an unknown user or an empty password.
    bool resetPassword(const QString &username, const QString &newPass);
    // Whether the administrator can still log in with the seeded password; reads only.
    Q_INVOKABLE bool defaultCredentialsWork();

signals:
    void authChanged();
    void loginFailed(const QString &reason);

private:
    // Whether a stored password_hash accepts the password: a hash, or a legacy plain-text row.
    static bool matches(const QString &stored, const QString &password);
    void writeAppLog(const QString &action, const QString &details);

    Database *m_db;
    bool m_loggedIn = false;
    int m_userId = -1;
    QString m_username;
    QString m_fullName;
    QString m_role;
};
