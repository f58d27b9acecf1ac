#include "session.h"

#include "audittrail.h"
#include "database.h"

using namespace Qt::StringLiterals;

Session::Session(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

Session::~Session()
{
    if (isAttached())
        m_db->setSession(nullptr);
}

void Session::attach()
{
    m_db->setSession(this);
    publishActor();
    emit changed();
}

void Session::detach()
{
    if (!isAttached())
        return;
    m_db->setSession(nullptr);
    AuditTrail::remove(m_db);
    emit changed();
}

bool Session::isAttached() const { return m_db->session() == this; }

void Session::begin(
    int userId, const QString &username, const QString &fullName, const QString &role)
{
    m_userId = userId;
    m_username = username;
    m_fullName = fullName;
    m_role = Permissions::roleFromName(role);
    publishActor();
}

void Session::end()
{
    m_userId = -1;
    m_username.clear();
    m_fullName.clear();
    m_role = Permissions::Role::None;
    publishActor();
}

void Session::publishActor()
{
    if (!isAttached())
        return;
    // Installed again on each login: a restored file comes with a new connection.
    AuditTrail::install(m_db);
    AuditTrail::setActor(m_db, m_userId);
}

Permissions::Role Session::storedRole() const
{
    const QVariantMap row = Database::firstRow(
        m_db->execQuery(u"SELECT role, active FROM users WHERE id=?"_s, { m_userId }));
    if (row.isEmpty() || row.value(u"active"_s).toInt() != 1)
        return Permissions::Role::None;
    return Permissions::roleFromName(row.value(u"role"_s).toString());
}

bool Session::permits(Permissions::Operation operation)
{
    if (isActive()) {
        const Permissions::Role stored = storedRole();
        if (stored == Permissions::Role::None) {
            const int userId = m_userId;
            end();
            const QString message = u"تم إيقاف حسابك أو حذفه، سجّل الدخول من جديد"_s;
            emit ended(message, userId);
            emit refused(message);
            return false;
        }
        // A role changed by the administrator applies from the next operation.
        if (stored != m_role) {
            m_role = stored;
            emit changed();
        }
    }
    if (Permissions::allowed(m_role, operation))
        return true;
    emit refused(Permissions::refusal(m_role, operation));
    return false;
}

bool Session::allows(Permissions::Operation operation) const
{
    return Permissions::allowed(m_role, operation);
}

bool Session::permits(Database *db, Permissions::Operation operation)
{
    Session *session = db ? db->session() : nullptr;
    return !session || session->permits(operation);
}
