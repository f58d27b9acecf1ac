#pragma once

#include "permissions.h"

#include <QObject>
#include <QString>

class Database;

// The logged-in operator as every write operation sees it. The application attaches one to its
// Database at start-up, and from then on each write asks it first: nothing is allowed before a
// login, and an account deactivated or removed meanwhile ends the session at its next operation.
// A Database with no session attached (tools, tests that drive models directly) is internal use
// and unrestricted.
class Session : public QObject
{
    Q_OBJECT
public:
    explicit Session(Database *db, QObject *parent = nullptr);
    ~Session() override;

    // Makes this the database's session: writes are checked and audited from now on.
    void attach();
    void detach();
    bool isAttached() const;

    bool isActive() const { return m_userId > 0; }
    int userId() const { return m_userId; }
    QString username() const { return m_username; }
    QString fullName() const { return m_fullName; }
    Permissions::Role role() const { return m_role; }

    void begin(int userId, const QString &username, const QString &fullName, const QString &role);
    void end();

    // Whether the operator may do it now; otherwise `refused` carries the reason, and a user who
    // no longer exists or is inactive is logged out (`ended`).
    bool permits(Permissions::Operation operation);
    // The role's answer without reading the database or signalling, for the interface.
    bool allows(Permissions::Operation operation) const;

    // The question every write operation asks: the attached session's answer, or yes when none
    // is attached.
    static bool permits(Database *db, Permissions::Operation operation);

signals:
    void refused(const QString &message);
    // The session ended without a logout: the account was deactivated or removed.
    void ended(const QString &message, int userId);
    // Attached, detached, or the operator's role changed: what the interface offers may differ.
    void changed();

private:
    // Re-reads the operator's row: current role, or Role::None when gone or inactive.
    Permissions::Role storedRole() const;
    // Tells the database who acts, so each write's audit row names them.
    void publishActor();

    Database *m_db;
    int m_userId = -1;
    QString m_username;
    QString m_fullName;
    Permissions::Role m_role = Permissions::Role::None;
};
