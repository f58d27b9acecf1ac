#include "authcontroller.h"

#include "audittrail.h"
#include "database.h"
#include "passwordhasher.h"
#include "posting.h"
#include "seeddata.h"
#include "transactionguard.h"

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
    , m_session(db)
    , m_now([] { return QDateTime::currentDateTimeUtc(); })
{
    connect(&m_session, &Session::refused, this, &AuthController::operationRefused);
    // The books refuse inside SQLite (a closed period) or while posting (an account missing);
    // either explains itself the same way as a refused permission.
    connect(db, &Database::databaseError, this, [this](const QString &error) {
        const QString line = Posting::refusalText(m_db, error);
        if (!line.isEmpty())
            emit operationRefused(line);
    });
    connect(&m_session, &Session::changed, this, &AuthController::authChanged);
    connect(&m_session, &Session::ended, this, [this](const QString &, int userId) {
        record(u"session_ended"_s, u"انتهاء الجلسة: الحساب موقوف أو محذوف"_s, userId);
        emit authChanged();
    });
}

// The interface follows the logged-in role; with nobody logged in it offers everything only
// where nothing is enforced (tools and tests that show pages without a login).
bool AuthController::canWrite() const
{
    return m_session.isActive() ? m_session.allows(Permissions::Operation::DailyWork)
                                : !m_session.isAttached();
}

bool AuthController::canAdminister() const
{
    return m_session.isActive() ? m_session.allows(Permissions::Operation::ManageUsers)
                                : !m_session.isAttached();
}

bool AuthController::permits(Permissions::Operation operation)
{
    return Session::permits(m_db, operation);
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
        { action, details, m_session.userId() });
}

void AuthController::record(const QString &action, const QString &details, int userId)
{
    const QVariant who = userId > 0 ? QVariant(userId)
        : m_session.isActive()      ? QVariant(m_session.userId())
                                    : QVariant();
    m_db->execInsert(u"INSERT INTO audit_logs (user_id, action, table_name, details, host) "
                     "VALUES (?, ?, 'users', ?, ?)"_s,
        { who, action, details, AuditTrail::computerName() });
}

QString AuthController::waitText(int seconds)
{
    // Arabic counts: 1 and 2 have their own forms, 3 to 10 take the plural, 11 and up the singular.
    const auto counted = [](int n, const QString &one, const QString &two, const QString &few,
                             const QString &many) {
        if (n == 1)
            return one;
        if (n == 2)
            return two;
        return QString::number(n) + u" "_s + (n <= 10 ? few : many);
    };
    if (seconds < 60)
        return counted(qMax(seconds, 1), u"ثانية واحدة"_s, u"ثانيتين"_s, u"ثوانٍ"_s, u"ثانية"_s);
    const int minutes = (seconds + 59) / 60;
    return counted(minutes, u"دقيقة واحدة"_s, u"دقيقتين"_s, u"دقائق"_s, u"دقيقة"_s);
}

int AuthController::lockSecondsLeft(const QString &username)
{
    const QVariantMap row = Database::firstRow(m_db->execQuery(
        u"SELECT locked_until FROM login_attempts WHERE username=?"_s, { username }));
    const qint64 left = row.value(u"locked_until"_s).toLongLong() - nowSeconds();
    return left > 0 ? static_cast<int>(left) : 0;
}

int AuthController::countFailure(const QString &username)
{
    TransactionGuard guard(m_db);
    m_db->execNonQuery(u"INSERT INTO login_attempts (username, failures, locked_until) "
                       "VALUES (?, 1, 0) ON CONFLICT(username) DO UPDATE SET "
                       "failures = login_attempts.failures + 1"_s,
        { username });
    const int failures = Database::firstRow(
        m_db->execQuery(u"SELECT failures FROM login_attempts WHERE username=?"_s, { username }))
                             .value(u"failures"_s)
                             .toInt();
    int lock = 0;
    if (failures >= kFreeAttempts) {
        // 30 s at the fifth failure, doubling with each one after, up to the longest.
        const int doublings = qMin(failures - kFreeAttempts, 16);
        lock = qMin(kFirstLockSeconds << doublings, kLongestLockSeconds);
        m_db->execNonQuery(u"UPDATE login_attempts SET locked_until=? WHERE username=?"_s,
            { nowSeconds() + lock, username });
    }
    guard.commit();
    return lock;
}

bool AuthController::login(const QString &username, const QString &password)
{
    const int waiting = lockSecondsLeft(username);
    if (waiting > 0) {
        emit loginFailed(u"تم إيقاف الدخول لهذا الاسم مؤقتاً بعد محاولات خاطئة متكررة. حاول "
                         "مرة أخرى بعد "_s
            + waitText(waiting));
        return false;
    }

    // Made on the first attempt whatever the name, so no attempt pays for it alone.
    const QString &dummy = PasswordHasher::dummyHash();
    const QVariantMap user = Database::firstRow(
        m_db->execQuery(u"SELECT * FROM users WHERE username=? AND active=1"_s, { username }));
    const QString stored = user.value(u"password_hash"_s).toString();
    // An unknown name costs the same as a wrong password, so failures do not reveal names.
    bool accepted = false;
    if (user.isEmpty())
        PasswordHasher::verify(dummy, password);
    else
        accepted = matches(stored, password);
    if (!accepted) {
        const int lock = countFailure(username);
        const int knownId = user.value(u"id"_s).toInt();
        record(u"login_failed"_s, u"محاولة دخول فاشلة: "_s + username, knownId);
        if (lock > 0) {
            record(u"lockout"_s, u"إيقاف الدخول مؤقتاً: "_s + username, knownId);
            emit loginFailed(u"اسم المستخدم أو كلمة المرور غير صحيحة. تم إيقاف الدخول لهذا "
                             "الاسم مؤقتاً، حاول مرة أخرى بعد "_s
                + waitText(lock));
        } else {
            emit loginFailed(u"اسم المستخدم أو كلمة المرور غير صحيحة"_s);
        }
        return false;
    }
    const int id = user.value(u"id"_s).toInt();
    if (!PasswordHasher::isHash(stored)) {
        // A row written in plain text (by hand, or by an older copy) is hashed on first use.
        const QString hashed = PasswordHasher::hash(password);
        if (!hashed.isEmpty())
            m_db->execNonQuery(u"UPDATE users SET password_hash=? WHERE id=?"_s, { hashed, id });
    }
    m_db->execNonQuery(u"DELETE FROM login_attempts WHERE username=?"_s, { username });

    m_session.begin(id, user.value(u"username"_s).toString(), user.value(u"full_name"_s).toString(),
        user.value(u"role"_s).toString());
    writeAppLog(u"login"_s, u"تسجيل دخول: "_s + m_session.username());
    record(u"login"_s, u"تسجيل دخول: "_s + m_session.username());
    emit authChanged();
    return true;
}

void AuthController::logout()
{
    writeAppLog(u"logout"_s, u"تسجيل خروج: "_s + m_session.username());
    if (m_session.isActive())
        record(u"logout"_s, u"تسجيل خروج: "_s + m_session.username());
    m_session.end();
    emit authChanged();
}

void AuthController::endAfterRestore()
{
    // Ids in the restored file may name other people: the row names the operator in words.
    const QString who = m_session.username();
    m_session.end();
    record(u"restore"_s, u"استعادة نسخة احتياطية بواسطة: "_s + who);
    emit authChanged();
}

bool AuthController::passwordAcceptable(const QString &password)
{
    // Code points, so a character outside the basic plane counts once.
    return password.toUcs4().size() >= kMinPasswordLength;
}

QString AuthController::passwordRefusal(const QString &password) const
{
    if (passwordAcceptable(password))
        return {};
    return u"كلمة المرور قصيرة: %1 أحرف على الأقل"_s.arg(kMinPasswordLength);
}

bool AuthController::changePassword(const QString &oldPass, const QString &newPass)
{
    if (!permits(Permissions::Operation::ChangeOwnPassword))
        return false;
    const QVariantMap user = Database::firstRow(m_db->execQuery(
        u"SELECT id, password_hash FROM users WHERE id=?"_s, { m_session.userId() }));
    if (!passwordAcceptable(newPass))
        return false;
    if (user.isEmpty() || !matches(user.value(u"password_hash"_s).toString(), oldPass))
        return false;
    const QString hashed = PasswordHasher::hash(newPass);
    if (hashed.isEmpty())
        return false;
    if (!m_db->execNonQuery(
            u"UPDATE users SET password_hash=? WHERE id=?"_s, { hashed, m_session.userId() }))
        return false;
    emit passwordChanged();
    return true;
}

bool AuthController::resetPassword(const QString &username, const QString &newPass)
{
    if (!permits(Permissions::Operation::ManageUsers))
        return false;
    const QVariantMap user = Database::firstRow(
        m_db->execQuery(u"SELECT id FROM users WHERE username=?"_s, { username }));
    if (user.isEmpty() || !passwordAcceptable(newPass))
        return false;
    const QString hashed = PasswordHasher::hash(newPass);
    if (hashed.isEmpty()
        || !m_db->execNonQuery(
            u"UPDATE users SET password_hash=? WHERE id=?"_s, { hashed, user.value(u"id"_s) }))
        return false;
    // A locked-out administrator whose password was reset may log in at once.
    m_db->execNonQuery(u"DELETE FROM login_attempts WHERE username=?"_s, { username });
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
    if (!permits(Permissions::Operation::ManageUsers))
        return false;
    if (Permissions::roleFromName(role) == Permissions::Role::None || !passwordAcceptable(password))
        return false;
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
    if (!permits(Permissions::Operation::ManageUsers))
        return false;
    if (username == u"admin"_s)
        return false;
    return m_db->execNonQuery(u"DELETE FROM users WHERE username=?"_s, { username });
}

bool AuthController::setUserActive(const QString &username, bool active)
{
    if (!permits(Permissions::Operation::ManageUsers))
        return false;
    // The seeded administrator stays usable, so the program can never lock everyone out.
    if (username == u"admin"_s && !active)
        return false;
    return m_db->execNonQuery(
        u"UPDATE users SET active=? WHERE username=?"_s, { active ? 1 : 0, username });
}

bool AuthController::setUserRole(const QString &username, const QString &role)
{
    if (!permits(Permissions::Operation::ManageUsers))
        return false;
    if (Permissions::roleFromName(role) == Permissions::Role::None
        || (username == u"admin"_s && role != u"admin"_s))
        return false;
    return m_db->execNonQuery(u"UPDATE users SET role=? WHERE username=?"_s, { role, username });
}

bool AuthController::defaultCredentialsWork()
{
    const QVariantMap admin = Database::firstRow(m_db->execQuery(
        u"SELECT password_hash FROM users WHERE username=? AND active=1"_s, { u"admin"_s }));
    return !admin.isEmpty()
        && matches(admin.value(u"password_hash"_s).toString(), SeedData::adminPassword());
}
