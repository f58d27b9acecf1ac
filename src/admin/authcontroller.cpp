#include "authcontroller.h"

#include "database.h"
#include "passwordhasher.h"
#include "seeddata.h"

#include <QByteArray>

using namespace Qt::StringLiterals;

namespace {

// Compares without an early exit, so the time taken does not reveal how much of a guess matched.
bool constantTimeEquals(const QString &a, const QString &b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    if (x.size() != y.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < x.size(); ++i)
        diff |= static_cast<unsigned char>(x.at(i) ^ y.at(i));
    return diff == 0;
}

} // namespace

AuthController::AuthController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

bool AuthController::matches(const QString &stored, const QString &password)
{
    if (PasswordHasher::isHash(stored))
        return PasswordHasher::verify(stored, password);
    return constantTimeEquals(stored, password);
}

void AuthController::writeAppLog(const QString &action, const QString &details)
{
    m_db->execInsert(u"INSERT INTO app_log (action,details,user_id) VALUES (?,?,?)"_s,
        { action, details, m_userId });
}

bool AuthController::login(const QString &username, const QString &password)
{
    const QVariantMap user = Database::firstRow(
        m_db->execQuery(u"SELECT * FROM users WHERE username=? AND active=1"_s, { username }));
    const QString stored = user.value(u"password_hash"_s).toString();
    if (user.isEmpty() || !matches(stored, password)) {
        emit loginFailed(u"اسم المستخدم أو كلمة المرور غير صحيحة"_s);
        return false;
    }
    const int id = user.value(u"id"_s).toInt();
    if (!PasswordHasher::isHash(stored)) {
        // A row written in plain text (by hand, or by an older copy) is hashed on first use.
        const QString hashed = PasswordHasher::hash(password);
        if (!hashed.isEmpty())
            m_db->execNonQuery(u"UPDATE users SET password_hash=? WHERE id=?"_s, { hashed, id });
    }

    m_userId = id;
    m_username = user.value(u"username"_s).toString();
    m_fullName = user.value(u"full_name"_s).toString();
    m_role = user.value(u"role"_s).toString();
    m_loggedIn = true;
    writeAppLog(u"login"_s, u"تسجيل دخول: "_s + m_username);
    emit authChanged();
    return true;
}

void AuthController::logout()
{
    writeAppLog(u"logout"_s, u"تسجيل خروج: "_s + m_username);
    m_loggedIn = false;
    m_userId = -1;
    m_username.clear();
    m_fullName.clear();
    m_role.clear();
    emit authChanged();
}

bool AuthController::changePassword(const QString &oldPass, const QString &newPass)
{
    const QVariantMap user = Database::firstRow(
        m_db->execQuery(u"SELECT id, password_hash FROM users WHERE id=?"_s, { m_userId }));
    if (user.isEmpty() || !matches(user.value(u"password_hash"_s).toString(), oldPass))
        return false;
    const QString hashed = PasswordHasher::hash(newPass);
    if (hashed.isEmpty())
        return false;
    return m_db->execNonQuery(
        u"UPDATE users SET password_hash=? WHERE id=?"_s, { hashed, m_userId });
}

bool AuthController::resetPassword(const QString &username, const QString &newPass)
{
    const QVariantMap user = Database::firstRow(
        m_db->execQuery(u"SELECT id FROM users WHERE username=?"_s, { username }));
    if (user.isEmpty() || newPass.isEmpty())
        return false;
    const QString hashed = PasswordHasher::hash(newPass);
    if (hashed.isEmpty()
        || !m_db->execNonQuery(
            u"UPDATE users SET password_hash=? WHERE id=?"_s, { hashed, user.value(u"id"_s) }))
        return false;
    writeAppLog(u"password_reset"_s, u"إعادة تعيين كلمة المرور: "_s + username);
    return true;
}

QVariantList AuthController::getUsers()
{
    return m_db->execQuery(
        u"SELECT id, username, full_name, role, active, (SELECT MAX(created_at) FROM app_log "
        "WHERE action='login' AND details LIKE '%' || username || '%') as last_login FROM users"_s);
}

bool AuthController::registerUser(
    const QString &username, const QString &password, const QString &role)
{
    const QString hashed = PasswordHasher::hash(password);
    if (hashed.isEmpty())
        return false;
    return m_db->execInsert(
               u"INSERT INTO users (username, password_hash, role, full_name) VALUES (?,?,?,?)"_s,
               { username, hashed, role, username })
        >= 1;
}

bool AuthController::removeUser(const QString &username)
{
    if (username == u"admin"_s)
        return false;
    return m_db->execNonQuery(u"DELETE FROM users WHERE username=?"_s, { username });
}

bool AuthController::defaultCredentialsWork()
{
    const QVariantMap admin = Database::firstRow(m_db->execQuery(
        u"SELECT password_hash FROM users WHERE username=? AND active=1"_s, { u"admin"_s }));
    return !admin.isEmpty()
        && matches(admin.value(u"password_hash"_s).toString(), SeedData::adminPassword());
}
