#include "accountmodel.h"

#include "database.h"
#include "money.h"
#include "transactionguard.h"

using namespace Qt::StringLiterals;

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

bool AccountModel::rename(int id, const QString &name)
{
    if (!permitted(Operation::ChartOfAccounts))
        return false;
    if (name.trimmed().isEmpty()
        || intFigure(u"SELECT COUNT(*) as c FROM accounts WHERE id=?"_s, u"c"_s, { id }) != 1)
        return false;
    // Like add: the page reloads the chart itself.
    return m_db->execNonQuery(
        u"UPDATE accounts SET name_ar=? WHERE id=?"_s, { name.trimmed(), id });
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
    // Lines are kept to the cent and must balance exactly.
    qint64 totalDebit = 0;
    qint64 totalCredit = 0;
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        const double debit = line.value(u"debit"_s).toDouble();
        const double credit = line.value(u"credit"_s).toDouble();
        if (!Money::isCountable(debit) || !Money::isCountable(credit))
            return -1;
        totalDebit += Money::cents(debit);
        totalCredit += Money::cents(credit);
    }
    if (totalDebit != totalCredit)
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
        const qint64 debit = Money::cents(line.value(u"debit"_s).toDouble());
        const qint64 credit = Money::cents(line.value(u"credit"_s).toDouble());
        if (m_db->execInsert(u"INSERT INTO journal_lines (entry_id,account_id,debit,credit,"
                             "description) VALUES (?,?,?,?,?)"_s,
                { entryId, accountId, Money::fromCents(debit), Money::fromCents(credit),
                    line.value(u"description"_s) })
            < 1)
            return -1;
        if (!m_db->execNonQuery(u"UPDATE accounts SET balance=round(balance+?,2) WHERE id=?"_s,
                { Money::fromCents(debit - credit), accountId }))
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
