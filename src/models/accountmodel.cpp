#include "accountmodel.h"

#include "database.h"
#include "transactionguard.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kBalanceTolerance = 0.01;
// Binary doubles make 100 - 99.99 come out a hair above 0.01; a difference of exactly the
// tolerance is within it.
constexpr double kRoundingSlack = 1e-9;

} // namespace

AccountModel::AccountModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList AccountModel::getAll() { return list(u"SELECT * FROM accounts ORDER BY code"_s); }

int AccountModel::add(const QString &code, const QString &name, const QString &type, int parentId)
{
    if (!permitted(Operation::ChartOfAccounts))
        return -1;
    // Accounts are not journal data: the page reloads the chart itself, so no dataChanged.
    return m_db->execInsert(
        u"INSERT INTO accounts (code,name_ar,type,parent_id) VALUES (?,?,?,?)"_s,
        { code, name, type, optionalId(parentId) });
}

QVariantList AccountModel::getJournalEntries(const QString &from, const QString &to)
{
    if (from.isEmpty())
        return list(u"SELECT je.*, GROUP_CONCAT(a.name_ar || ':' || jl.debit || ':' || jl.credit) "
                    "as lines FROM journal_entries je JOIN journal_lines jl ON "
                    "je.id=jl.entry_id JOIN accounts a ON jl.account_id=a.id GROUP BY je.id "
                    "ORDER BY je.entry_date DESC"_s);
    return list(u"SELECT je.*, GROUP_CONCAT(a.name_ar || ':' || jl.debit || ':' || jl.credit) "
                "as lines FROM journal_entries je JOIN journal_lines jl ON je.id=jl.entry_id "
                "JOIN accounts a ON jl.account_id=a.id WHERE je.entry_date BETWEEN ? AND ? "
                "GROUP BY je.id ORDER BY je.entry_date DESC"_s,
        { from, to });
}

int AccountModel::createJournalEntry(const QString &date, const QString &desc,
    const QString &refType, int refId, const QVariantList &lines)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    // Validate before writing: a refused entry leaves no trace and raises no database error.
    double totalDebit = 0;
    double totalCredit = 0;
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        const double debit = line.value(u"debit"_s).toDouble();
        const double credit = line.value(u"credit"_s).toDouble();
        if (!isFinite(debit) || !isFinite(credit))
            return -1;
        totalDebit += debit;
        totalCredit += credit;
    }
    if (!lines.isEmpty()
        && std::fabs(totalDebit - totalCredit) > kBalanceTolerance + kRoundingSlack)
        return -1;

    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int entryId = m_db->execInsert(
        u"INSERT INTO journal_entries (entry_date,description,reference_type,reference_id) "
        "VALUES (?,?,?,?)"_s,
        { date, desc, refType, refId });
    if (entryId < 1)
        return -1;

    // A line that cannot be stored (an account that does not exist) would leave the books out
    // of balance, so it fails the whole entry.
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        const QVariant accountId = line.value(u"account_id"_s);
        if (m_db->execInsert(u"INSERT INTO journal_lines (entry_id,account_id,debit,credit,"
                             "description) VALUES (?,?,?,?,?)"_s,
                { entryId, accountId, line.value(u"debit"_s), line.value(u"credit"_s),
                    line.value(u"description"_s) })
            < 1)
            return -1;
        const double move = line.value(u"debit"_s).toDouble() - line.value(u"credit"_s).toDouble();
        if (!m_db->execNonQuery(
                u"UPDATE accounts SET balance=balance+? WHERE id=?"_s, { move, accountId }))
            return -1;
    }
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return entryId;
}

QVariantMap AccountModel::getProfitLoss(const QString &from, const QString &to)
{
    const double revenue = doubleFigure(
        u"SELECT COALESCE(SUM(jl.credit-jl.debit),0) as total FROM journal_lines jl JOIN "
        "journal_entries je ON jl.entry_id=je.id JOIN accounts a ON jl.account_id=a.id WHERE "
        "a.type='revenue' AND je.entry_date BETWEEN ? AND ?"_s,
        u"total"_s, { from, to });
    const double expenses = doubleFigure(
        u"SELECT COALESCE(SUM(jl.debit-jl.credit),0) as total FROM journal_lines jl JOIN "
        "journal_entries je ON jl.entry_id=je.id JOIN accounts a ON jl.account_id=a.id WHERE "
        "a.type='expense' AND je.entry_date BETWEEN ? AND ?"_s,
        u"total"_s, { from, to });
    return { { u"revenue"_s, revenue }, { u"expenses"_s, expenses },
        { u"net_profit"_s, revenue - expenses } };
}

QVariantMap AccountModel::getBalanceSheet()
{
    const double assets = doubleFigure(
        u"SELECT COALESCE(SUM(balance),0) as t FROM accounts WHERE type='asset'"_s, u"t"_s);
    const double liabilities = doubleFigure(
        u"SELECT COALESCE(SUM(ABS(balance)),0) as t FROM accounts WHERE type='liability'"_s,
        u"t"_s);
    const double equity = doubleFigure(
        u"SELECT COALESCE(SUM(ABS(balance)),0) as t FROM accounts WHERE type='equity'"_s, u"t"_s);
    return { { u"assets"_s, assets }, { u"liabilities"_s, liabilities }, { u"equity"_s, equity } };
}
