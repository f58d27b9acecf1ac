#include "accountmodel.h"

#include "database.h"
#include "journalexport.h"
#include "money.h"
#include "posting.h"
#include "transactionguard.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QStandardPaths>

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
    // A refused entry (unbalanced to the cent, an account that does not exist) leaves no trace,
    // inside a larger run too.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int entryId = Posting::writeEntry(m_db, date, desc, refType, refId, lines);
    if (entryId < 1 || !guard.commit())
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

bool AccountModel::autoPosting() { return Posting::isOn(m_db); }

bool AccountModel::setAutoPosting(bool on)
{
    if (!permitted(Operation::ChartOfAccounts))
        return false;
    return Posting::setOn(m_db, on);
}

int AccountModel::unpostedCount() { return Posting::unposted(m_db); }

int AccountModel::postHistory()
{
    if (!permitted(Operation::ChartOfAccounts))
        return -1;
    // The bar moves while the one transaction runs; input waits until it is done.
    const int written = Posting::postHistory(m_db, [this](int done, int total) {
        emit historyProgress(done, total);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (written > 0)
        emit dataChanged();
    return written;
}

QVariantList AccountModel::postingMapping() { return Posting::mapping(m_db); }

bool AccountModel::setPostingAccount(const QString &role, const QString &code)
{
    if (!permitted(Operation::ChartOfAccounts))
        return false;
    return Posting::setAccount(m_db, role, code);
}

QString AccountModel::lockDate()
{
    return one(u"SELECT value FROM settings WHERE key='lock_date'"_s).value(u"value"_s).toString();
}

bool AccountModel::setLockDate(const QString &date)
{
    if (!permitted(Operation::ChartOfAccounts))
        return false;
    if (date.isEmpty())
        return change(u"DELETE FROM settings WHERE key='lock_date'"_s, {});
    const QDate day = QDate::fromString(date, u"yyyy-MM-dd"_s);
    if (!day.isValid())
        return false;
    return change(u"INSERT OR REPLACE INTO settings (key, value) VALUES ('lock_date', ?)"_s,
        { day.toString(Qt::ISODate) });
}

QVariantMap AccountModel::getTrialBalance(const QString &date)
{
    const QVariantList rows = list(
        u"SELECT a.id, a.code, a.name_ar, a.type, COALESCE(SUM(t.debit),0) as debit, "
        "COALESCE(SUM(t.credit),0) as credit FROM accounts a LEFT JOIN (SELECT jl.account_id, "
        "jl.debit, jl.credit FROM journal_lines jl JOIN journal_entries je ON je.id=jl.entry_id "
        "WHERE ?='' OR date(je.entry_date) <= ?) t ON t.account_id=a.id "
        "GROUP BY a.id ORDER BY a.code"_s,
        { date.isNull() ? u""_s : date, date });
    QVariantList out;
    qint64 debits = 0;
    qint64 credits = 0;
    for (const QVariant &item : rows) {
        QVariantMap row = item.toMap();
        const qint64 debit = Money::cents(row.value(u"debit"_s).toDouble());
        const qint64 credit = Money::cents(row.value(u"credit"_s).toDouble());
        debits += debit;
        credits += credit;
        row.insert(u"debit"_s, Money::fromCents(debit));
        row.insert(u"credit"_s, Money::fromCents(credit));
        row.insert(u"balance"_s, Money::fromCents(debit - credit));
        out.append(row);
    }
    return { { u"rows"_s, out }, { u"debit"_s, Money::fromCents(debits) },
        { u"credit"_s, Money::fromCents(credits) } };
}

QVariantMap AccountModel::getLedger(int accountId, const QString &from, const QString &to)
{
    const QString first = from.isEmpty() ? u"0000-01-01"_s : from;
    const QString last = to.isEmpty() ? u"9999-12-31"_s : to;
    const QVariantMap account
        = one(u"SELECT code, name_ar, type FROM accounts WHERE id=?"_s, { accountId });
    qint64 running = Money::cents(
        doubleFigure(u"SELECT COALESCE(SUM(jl.debit-jl.credit),0) as t FROM journal_lines jl "
                     "JOIN journal_entries je ON je.id=jl.entry_id WHERE jl.account_id=? "
                     "AND date(je.entry_date) < ?"_s,
            u"t"_s, { accountId, first }));
    const qint64 opening = running;
    QVariantList rows;
    for (const QVariant &item :
        list(u"SELECT je.id as entry_id, date(je.entry_date) as entry_date, je.description, "
             "je.reference_type, je.reference_id, jl.debit, jl.credit FROM journal_lines jl "
             "JOIN journal_entries je ON je.id=jl.entry_id WHERE jl.account_id=? AND "
             "date(je.entry_date) BETWEEN ? AND ? ORDER BY date(je.entry_date), je.id, jl.id"_s,
            { accountId, first, last })) {
        QVariantMap row = item.toMap();
        running += Money::cents(row.value(u"debit"_s).toDouble())
            - Money::cents(row.value(u"credit"_s).toDouble());
        row.insert(u"balance"_s, Money::fromCents(running));
        rows.append(row);
    }
    return { { u"code"_s, account.value(u"code"_s) }, { u"name"_s, account.value(u"name_ar"_s) },
        { u"type"_s, account.value(u"type"_s) }, { u"from"_s, from }, { u"to"_s, to },
        { u"opening"_s, Money::fromCents(opening) }, { u"rows"_s, rows },
        { u"closing"_s, Money::fromCents(running) } };
}

QVariantMap AccountModel::ledgerDocument(int accountId, const QString &from, const QString &to)
{
    const QVariantMap ledger = getLedger(accountId, from, to);
    const auto money = [](const QVariant &value) {
        return QLocale(QLocale::English).toString(value.toDouble(), 'f', 2);
    };
    const auto column = [](const QString &key, const QString &title, bool figure) {
        return QVariantMap { { u"key"_s, key }, { u"title"_s, title }, { u"figure"_s, figure } };
    };
    QVariantList rows;
    qint64 debits = 0;
    qint64 credits = 0;
    for (const QVariant &item : ledger.value(u"rows"_s).toList()) {
        const QVariantMap line = item.toMap();
        debits += Money::cents(line.value(u"debit"_s).toDouble());
        credits += Money::cents(line.value(u"credit"_s).toDouble());
        rows.append(QVariantMap { { u"date"_s, line.value(u"entry_date"_s) },
            { u"entry"_s, line.value(u"entry_id"_s).toString() },
            { u"description"_s, line.value(u"description"_s) },
            { u"debit"_s, money(line.value(u"debit"_s)) },
            { u"credit"_s, money(line.value(u"credit"_s)) },
            { u"balance"_s, money(line.value(u"balance"_s)) } });
    }
    const QString name
        = ledger.value(u"code"_s).toString() + u" "_s + ledger.value(u"name"_s).toString();
    QString period;
    if (!from.isEmpty() || !to.isEmpty())
        period
            = (from.isEmpty() ? u"البداية"_s : from) + u" — "_s + (to.isEmpty() ? u"اليوم"_s : to);
    return { { u"title"_s, u"دفتر الأستاذ: "_s + name }, { u"period"_s, period },
        { u"blocks"_s,
            QVariantList { QVariantMap { { u"pairs"_s,
                               QVariantList { QVariantMap { { u"label"_s, u"الحساب"_s },
                                                  { u"value"_s, name } },
                                   QVariantMap { { u"label"_s, u"الرصيد الافتتاحي"_s },
                                       { u"value"_s, money(ledger.value(u"opening"_s)) } },
                                   QVariantMap { { u"label"_s, u"الرصيد الختامي"_s },
                                       { u"value"_s, money(ledger.value(u"closing"_s)) } } } } },
                QVariantMap { { u"columns"_s,
                                  QVariantList { column(u"date"_s, u"التاريخ"_s, true),
                                      column(u"entry"_s, u"القيد"_s, true),
                                      column(u"description"_s, u"البيان"_s, false),
                                      column(u"debit"_s, u"مدين"_s, true),
                                      column(u"credit"_s, u"دائن"_s, true),
                                      column(u"balance"_s, u"الرصيد"_s, true) } },
                    { u"rows"_s, rows },
                    { u"totals"_s,
                        QVariantMap { { u"description"_s, u"المجموع"_s },
                            { u"debit"_s, money(Money::fromCents(debits)) },
                            { u"credit"_s, money(Money::fromCents(credits)) },
                            { u"balance"_s, money(ledger.value(u"closing"_s)) } } } } } } };
}

namespace {

// The filter every journal list shares: date range, account, reference type.
const QString journalFilter
    = u"WHERE (?='' OR date(je.entry_date) >= ?) AND (?='' OR date(je.entry_date) <= ?) "
      "AND (?=0 OR EXISTS (SELECT 1 FROM journal_lines f WHERE f.entry_id=je.id AND "
      "f.account_id=?)) AND (?='' OR je.reference_type=?) "_s;

QVariantList journalValues(
    const QString &from, const QString &to, int accountId, const QString &refType)
{
    const QString first = from.isNull() ? u""_s : from;
    const QString last = to.isNull() ? u""_s : to;
    const QString type = refType.isNull() ? u""_s : refType;
    return { first, first, last, last, accountId, accountId, type, type };
}

const QList<QPair<QString, QString>> &referenceTitles()
{
    static const QList<QPair<QString, QString>> titles {
        { u"invoice"_s, u"فاتورة"_s },
        { u"invoice_void"_s, u"إلغاء فاتورة"_s },
        { u"payment"_s, u"دفعة مستأجر"_s },
        { u"sale"_s, u"بيع وحدة"_s },
        { u"installment_payment"_s, u"تحصيل قسط"_s },
        { u"expense"_s, u"مصروف"_s },
        { u"contractor_payment"_s, u"دفعة لمقاول"_s },
        { u"manual"_s, u"قيد يدوي"_s },
        { u"deposit"_s, u"تأمين مستلم"_s },
        { u"deposit_settlement"_s, u"تسوية تأمين"_s },
    };
    return titles;
}

QString referenceTitle(const QString &type)
{
    for (const auto &[name, title] : referenceTitles()) {
        if (name == type)
            return title;
    }
    return type;
}

} // namespace

QString AccountModel::journalRows()
{
    QString titles;
    for (const auto &[name, title] : referenceTitles())
        titles += u"WHEN '%1' THEN '%2' "_s.arg(name, title);
    return u"SELECT je.*, (SELECT SUM(debit) FROM journal_lines WHERE entry_id=je.id) as amount, "
           "(SELECT GROUP_CONCAT(a.name_ar || ':' || jl.debit || ':' || jl.credit) FROM "
           "journal_lines jl JOIN accounts a ON a.id=jl.account_id WHERE jl.entry_id=je.id) "
           "as lines, CASE je.reference_type "_s
        + titles + u"ELSE je.reference_type END as reference_title FROM journal_entries je "_s;
}

QVariantList AccountModel::getJournalPage(const QString &from, const QString &to, int accountId,
    const QString &refType, int offset, int limit)
{
    QVariantList rows = list(
        u"SELECT je.*, (SELECT SUM(debit) FROM journal_lines WHERE entry_id=je.id) as amount, "
        "(SELECT GROUP_CONCAT(a.name_ar || ':' || jl.debit || ':' || jl.credit) FROM "
        "journal_lines jl JOIN accounts a ON a.id=jl.account_id WHERE jl.entry_id=je.id) "
        "as lines FROM journal_entries je "_s
            + journalFilter + u"ORDER BY date(je.entry_date) DESC, je.id DESC LIMIT ? OFFSET ?"_s,
        journalValues(from, to, accountId, refType)
            + QVariantList { qMax(0, limit), qMax(0, offset) });
    for (QVariant &item : rows) {
        QVariantMap row = item.toMap();
        row.insert(u"reference_title"_s, referenceTitle(row.value(u"reference_type"_s).toString()));
        item = row;
    }
    return rows;
}

int AccountModel::countJournal(
    const QString &from, const QString &to, int accountId, const QString &refType)
{
    return intFigure(u"SELECT COUNT(*) as c FROM journal_entries je "_s + journalFilter, u"c"_s,
        journalValues(from, to, accountId, refType));
}

QVariantMap AccountModel::getEntry(int entryId)
{
    QVariantMap entry = one(u"SELECT je.*, c.code as currency FROM journal_entries je LEFT JOIN "
                            "currencies c ON c.id=je.currency_id WHERE je.id=?"_s,
        { entryId });
    if (entry.isEmpty())
        return entry;
    entry.insert(u"lines"_s,
        list(u"SELECT jl.*, a.code, a.name_ar FROM journal_lines jl JOIN accounts a ON "
             "a.id=jl.account_id WHERE jl.entry_id=? ORDER BY jl.id"_s,
            { entryId }));
    const QString type = entry.value(u"reference_type"_s).toString();
    const int refId = entry.value(u"reference_id"_s).toInt();
    QString detail;
    if (type == u"invoice"_s || type == u"invoice_void"_s)
        detail = one(u"SELECT i.invoice_number || ' - ' || COALESCE(t.full_name,'') as d FROM "
                     "invoices i LEFT JOIN tenants t ON t.id=i.tenant_id WHERE i.id=?"_s,
            { refId })
                     .value(u"d"_s)
                     .toString();
    else if (type == u"payment"_s || type == u"installment_payment"_s)
        detail = one(u"SELECT p.payment_date || ' - ' || COALESCE(t.full_name, b.full_name, '') "
                     "as d FROM payments p LEFT JOIN tenants t ON t.id=p.tenant_id LEFT JOIN "
                     "buyers b ON b.id=p.buyer_id WHERE p.id=?"_s,
            { refId })
                     .value(u"d"_s)
                     .toString();
    else if (type == u"sale"_s)
        detail = one(u"SELECT 'الوحدة ' || unit_number as d FROM units WHERE id=?"_s, { refId })
                     .value(u"d"_s)
                     .toString();
    else if (type == u"expense"_s)
        detail = one(u"SELECT category || ' - ' || COALESCE(description,'') as d FROM expenses "
                     "WHERE id=?"_s,
            { refId })
                     .value(u"d"_s)
                     .toString();
    else if (type == u"contractor_payment"_s)
        detail = one(u"SELECT c.name as d FROM contractor_payments p JOIN contractors c ON "
                     "c.id=p.contractor_id WHERE p.id=?"_s,
            { refId })
                     .value(u"d"_s)
                     .toString();
    QString operation = referenceTitle(type);
    if (refId > 0)
        operation += u" رقم %1"_s.arg(refId);
    if (!detail.isEmpty())
        operation += u" (%1)"_s.arg(detail);
    entry.insert(u"operation"_s, operation);
    return entry;
}

QVariantList AccountModel::referenceTypes()
{
    QVariantList rows;
    for (const QVariant &item :
        // One index step per kind, rather than DISTINCT over every entry (2 million at ten
        // times the large portfolio: a second).
        list(u"WITH RECURSIVE t(type) AS (SELECT MIN(reference_type) FROM journal_entries "
             "WHERE reference_type > '' UNION ALL SELECT (SELECT MIN(reference_type) FROM "
             "journal_entries WHERE reference_type > t.type) FROM t WHERE t.type IS NOT NULL) "
             "SELECT type FROM t WHERE type IS NOT NULL"_s)) {
        const QString type = item.toMap().value(u"type"_s).toString();
        rows.append(QVariantMap { { u"type"_s, type }, { u"title"_s, referenceTitle(type) } });
    }
    return rows;
}

bool AccountModel::exportJournal(const QString &path, const QString &from, const QString &to)
{
    if (!permitted(Operation::ExportCsv))
        return false;
    return JournalExport::write(m_db, path, from, to);
}

QString AccountModel::exportJournalToDocuments(const QString &from, const QString &to)
{
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return QString();
    const QString path = folder.filePath(u"Belvardino_Journal_"_s
        + QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm-ss"_s) + u".journal"_s);
    return exportJournal(path, from, to) ? path : QString();
}
