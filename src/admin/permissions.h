#pragma once

#include <QString>

// Who may do what: the one table every write operation asks (through Session).
class Permissions
{
public:
    enum class Role
    {
        None,
        Viewer,
        User,
        Admin
    };
    // Kinds of work, not individual functions: a new write operation picks the kind it belongs to.
    enum class Operation
    {
        Print,
        ChangeOwnPassword,
        DailyWork, // properties, units, tenants, leases, invoices, payments, sales, installments,
                   // cheques, maintenance, expenses, contractors, journal entries
        Import,
        Backup,
        ExportCsv,
        ManageUsers,
        Restore,
        BackupSettings,
        Currencies, // currencies, exchange rates, the primary currency
        CompanyProfile,
        ChartOfAccounts,
        VoidPayment, // undoing money received: its receipt voucher is voided with it
        DataLocation, // this computer's file or a shared server, from the next start
    };

    static Role roleFromName(const QString &name);
    static QString roleName(Role role);
    static bool allowed(Role role, Operation operation);
    // Whether only an administrator may do it, for the wording of a refusal.
    static bool adminOnly(Operation operation);
    // The short Arabic line shown when `role` is refused `operation`.
    static QString refusal(Role role, Operation operation);
};
