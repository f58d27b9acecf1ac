#include "permissions.h"

using namespace Qt::StringLiterals;

namespace {

using Role = Permissions::Role;
using Operation = Permissions::Operation;

struct Rule
{
    Operation operation;
    bool viewer;
    bool user;
    bool admin;
};

// The whole rule. No role may do anything without a logged-in user.
constexpr Rule kRules[] = {
    { Operation::Print, true, true, true },
    { Operation::ChangeOwnPassword, true, true, true },
    { Operation::DailyWork, false, true, true },
    { Operation::Import, false, true, true },
    { Operation::Backup, false, true, true },
    { Operation::ExportCsv, false, true, true },
    { Operation::ManageUsers, false, false, true },
    { Operation::Restore, false, false, true },
    { Operation::BackupSettings, false, false, true },
    { Operation::Currencies, false, false, true },
    { Operation::CompanyProfile, false, false, true },
    { Operation::ChartOfAccounts, false, false, true },
    { Operation::VoidPayment, false, false, true },
    { Operation::DataLocation, false, false, true },
};

const Rule *ruleOf(Operation operation)
{
    for (const Rule &rule : kRules) {
        if (rule.operation == operation)
            return &rule;
    }
    return nullptr;
}

} // namespace

Permissions::Role Permissions::roleFromName(const QString &name)
{
    if (name == u"admin"_s)
        return Role::Admin;
    if (name == u"user"_s)
        return Role::User;
    if (name == u"viewer"_s)
        return Role::Viewer;
    return Role::None;
}

QString Permissions::roleName(Role role)
{
    switch (role) {
    case Role::Admin:
        return u"admin"_s;
    case Role::User:
        return u"user"_s;
    case Role::Viewer:
        return u"viewer"_s;
    case Role::None:
        break;
    }
    return {};
}

bool Permissions::allowed(Role role, Operation operation)
{
    const Rule *rule = ruleOf(operation);
    if (!rule)
        return false;
    switch (role) {
    case Role::Admin:
        return rule->admin;
    case Role::User:
        return rule->user;
    case Role::Viewer:
        return rule->viewer;
    case Role::None:
        break;
    }
    return false;
}

bool Permissions::adminOnly(Operation operation)
{
    return allowed(Role::Admin, operation) && !allowed(Role::User, operation);
}

QString Permissions::refusal(Role role, Operation operation)
{
    if (role == Role::None)
        return u"يجب تسجيل الدخول أولاً"_s;
    if (adminOnly(operation))
        return u"هذه العملية تتطلب صلاحية المدير"_s;
    return u"لا تملك صلاحية التعديل"_s;
}
