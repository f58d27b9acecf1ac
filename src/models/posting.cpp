#include "posting.h"

#include "database.h"
#include "figures.h"
#include "money.h"
#include "transactionguard.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Kind = Posting::Kind;

// A role names what an account does for the posting ("cash", "rent_revenue"); the mapping
// settings say which account plays it. A role written "@column" is read from the facts.
struct LineRule
{
    bool debit;
    QString role;
    QString amount;
};

// One operation: its facts are one row per operation (id, day, currency, description and the
// amounts the lines name, in the operation's currency).
struct Rule
{
    Kind kind;
    QString refType;
    // Posted live only once this entry of the same row exists (a void after its invoice).
    QString after;
    QString id;
    QString day;
    QString currency;
    QString columns;
    QString from;
    QList<LineRule> lines;
};

QString moneyRole(const QString &method)
{
    // Rent taken out of a held deposit at its settlement moves no cash.
    return u"CASE WHEN COALESCE(%1,'cash') IN ('cash','') THEN 'cash' WHEN %1='deposit' THEN "
           "'deposits_held' ELSE 'bank' END"_s.arg(method);
}

QString itemSum(const QString &condition)
{
    return u"(SELECT COALESCE(SUM(total),0) FROM invoice_items WHERE invoice_id=i.id AND %1)"_s.arg(
        condition);
}

// An invoice's services are what its rent and late fees leave of its total, so an invoice whose
// lines were never stored still balances.
// A cheque bounce posts through the rows it undoes (the payment's reversal) and its fee invoice.
const QList<Rule> &rules()
{
    static const QString downPayment = u"p.notes LIKE 'دفعة مقدمة%'"_s;
    static const QList<Rule> table {
        { Kind::Invoice, u"invoice"_s, QString(), u"i.id"_s, u"i.created_at"_s, u"i.currency_id"_s,
            u"'فاتورة ' || i.invoice_number as description, i.total_amount as total, "_s
                + itemSum(u"type='rent'"_s) + u" as rent, "_s + itemSum(u"type='late_fee'"_s)
                + u" as late, i.total_amount - "_s + itemSum(u"type IN ('rent','late_fee')"_s)
                + u" as service"_s,
            u"FROM invoices i WHERE TRUE"_s,
            { { true, u"tenant_receivable"_s, u"total"_s }, { false, u"rent_revenue"_s, u"rent"_s },
                { false, u"service_revenue"_s, u"service"_s },
                { false, u"late_fee_revenue"_s, u"late"_s } } },
        // What is still open comes off the revenue it was billed to: rent first, then services,
        // then late fees.
        { Kind::InvoiceVoid, u"invoice_void"_s, u"invoice"_s, u"v.id"_s,
            u"COALESCE(v.voided_date, v.created_at)"_s, u"v.currency_id"_s,
            u"'إلغاء فاتورة ' || v.invoice_number as description, v.open, "
            "MIN(v.open, v.rent) as rent_back, MIN(v.open - MIN(v.open, v.rent), v.service) "
            "as service_back, v.open - MIN(v.open, v.rent) - MIN(v.open - MIN(v.open, v.rent), "
            "v.service) as late_back"_s,
            u"FROM (SELECT i.*, i.total_amount - i.paid_amount as open, "_s
                + itemSum(u"type='rent'"_s) + u" as rent, i.total_amount - "_s
                + itemSum(u"type IN ('rent','late_fee')"_s)
                + u" as service FROM invoices i) v WHERE v.status='void'"_s,
            { { true, u"rent_revenue"_s, u"rent_back"_s },
                { true, u"service_revenue"_s, u"service_back"_s },
                { true, u"late_fee_revenue"_s, u"late_back"_s },
                { false, u"tenant_receivable"_s, u"open"_s } } },
        // Money without an invoice does not lower what the tenant owes: it is held for them.
        { Kind::TenantPayment, u"payment"_s, QString(), u"p.id"_s, u"p.payment_date"_s,
            u"p.currency_id"_s,
            u"CASE WHEN p.reverses_payment_id IS NULL THEN 'دفعة مستأجر' ELSE 'عكس دفعة مستأجر' "
            "END || COALESCE(' - ' || (SELECT invoice_number FROM invoices WHERE "
            "id=p.invoice_id), '') as description, p.amount, "_s
                + moneyRole(u"p.payment_method"_s)
                + u" as money, CASE WHEN p.invoice_id > 0 THEN 'tenant_receivable' ELSE "
                  "'tenant_advances' END as owed"_s,
            u"FROM payments p WHERE p.buyer_id IS NULL"_s,
            { { true, u"@money"_s, u"amount"_s }, { false, u"@owed"_s, u"amount"_s } } },
        { Kind::Sale, u"sale"_s, QString(), u"u.id"_s, u"u.sale_date"_s,
            u"COALESCE((SELECT currency_id FROM installments WHERE unit_id=u.id AND "
            "buyer_id=u.buyer_id LIMIT 1), (SELECT currency_id FROM payments WHERE unit_id=u.id "
            "AND buyer_id=u.buyer_id ORDER BY id LIMIT 1), u.currency_id)"_s,
            u"'بيع الوحدة ' || u.unit_number as description, u.sale_price_actual as price, "
            "(SELECT COALESCE(SUM(p.amount),0) FROM payments p WHERE p.unit_id=u.id AND "
            "p.buyer_id=u.buyer_id AND "_s
                + downPayment
                + u") as down, u.sale_price_actual - (SELECT COALESCE(SUM(p.amount),0) FROM "
                  "payments p WHERE p.unit_id=u.id AND p.buyer_id=u.buyer_id AND "_s
                + downPayment + u") as financed"_s,
            u"FROM units u WHERE u.status='sold' AND u.sale_date IS NOT NULL"_s,
            { { true, u"cash"_s, u"down"_s }, { true, u"installment_receivable"_s, u"financed"_s },
                { false, u"sales_revenue"_s, u"price"_s } } },
        { Kind::InstallmentCollection, u"installment_payment"_s, QString(), u"p.id"_s,
            u"p.payment_date"_s, u"p.currency_id"_s,
            u"'تحصيل قسط - ' || COALESCE((SELECT full_name FROM buyers WHERE id=p.buyer_id), '') "
            "as description, p.amount, "_s
                + moneyRole(u"p.payment_method"_s) + u" as money"_s,
            u"FROM payments p WHERE p.buyer_id IS NOT NULL AND NOT COALESCE("_s + downPayment
                + u", FALSE)"_s,
            { { true, u"@money"_s, u"amount"_s },
                { false, u"installment_receivable"_s, u"amount"_s } } },
        { Kind::Expense, u"expense"_s, QString(), u"e.id"_s, u"e.expense_date"_s,
            u"e.currency_id"_s,
            u"'مصروف: ' || e.category || COALESCE(' - ' || NULLIF(e.description, ''), '') "
            "as description, e.amount, 'expense:' || e.category as cost, CASE WHEN "
            "e.contractor_id IS NOT NULL THEN 'contractors_payable' ELSE "_s
                + moneyRole(u"e.payment_method"_s) + u" END as paid_from"_s,
            u"FROM expenses e WHERE TRUE"_s,
            { { true, u"@cost"_s, u"amount"_s }, { false, u"@paid_from"_s, u"amount"_s } } },
        { Kind::ContractorPayment, u"contractor_payment"_s, QString(), u"c.id"_s,
            u"c.payment_date"_s, u"NULL"_s,
            u"'دفعة للمقاول ' || COALESCE((SELECT name FROM contractors WHERE "
            "id=c.contractor_id), '') as description, c.amount, "_s
                + moneyRole(u"c.payment_method"_s) + u" as money"_s,
            u"FROM contractor_payments c WHERE TRUE"_s,
            { { true, u"contractors_payable"_s, u"amount"_s },
                { false, u"@money"_s, u"amount"_s } } },
        // A deposit is money held for the tenant, never income, until its settlement keeps some.
        { Kind::DepositReceived, u"deposit"_s, QString(), u"d.id"_s, u"d.received_date"_s,
            u"d.currency_id"_s,
            u"'تأمين مستلم - ' || COALESCE((SELECT full_name FROM tenants WHERE "
            "id=d.tenant_id), '') as description, d.amount, "_s
                + moneyRole(u"(SELECT method FROM vouchers WHERE id=d.receipt_voucher_id)"_s)
                + u" as money"_s,
            u"FROM deposits d WHERE TRUE"_s,
            { { true, u"@money"_s, u"amount"_s }, { false, u"deposits_held"_s, u"amount"_s } } },
        // Unpaid rent taken from the deposit posts as the payments it made; here what was
        // refunded, and what was kept (damages and the rest) as revenue.
        { Kind::DepositSettled, u"deposit_settlement"_s, u"deposit"_s, u"d.id"_s,
            u"d.settled_date"_s, u"d.currency_id"_s,
            u"'تسوية تأمين - ' || COALESCE((SELECT full_name FROM tenants WHERE "
            "id=d.tenant_id), '') as description, d.refunded, d.kept + d.deducted - "
            "COALESCE((SELECT SUM(amount) FROM deposit_deductions WHERE deposit_id=d.id AND "
            "kind='invoice'), 0) as kept, d.refunded + d.kept + d.deducted - COALESCE((SELECT "
            "SUM(amount) FROM deposit_deductions WHERE deposit_id=d.id AND kind='invoice'), 0) "
            "as released, "_s
                + moneyRole(u"(SELECT method FROM vouchers WHERE id=d.refund_voucher_id)"_s)
                + u" as money"_s,
            u"FROM deposits d WHERE d.status='settled'"_s,
            { { true, u"deposits_held"_s, u"released"_s }, { false, u"@money"_s, u"refunded"_s },
                { false, u"deposit_revenue"_s, u"kept"_s } } },
    };
    return table;
}

const Rule &ruleOf(Kind kind)
{
    for (const Rule &rule : rules()) {
        if (rule.kind == kind)
            return rule;
    }
    return rules().constFirst();
}

struct Role
{
    QString role;
    QString title;
    QString code;
};

// Expense categories without a role of their own post to "expense_other".
const QList<Role> &roles()
{
    static const QList<Role> all {
        { u"cash"_s, u"النقدية (الصندوق)"_s, u"1100"_s },
        { u"bank"_s, u"البنك"_s, u"1110"_s },
        { u"tenant_receivable"_s, u"ذمم المستأجرين"_s, u"1200"_s },
        { u"installment_receivable"_s, u"أقساط مستحقة القبض"_s, u"1210"_s },
        { u"contractors_payable"_s, u"مستحقات المقاولين"_s, u"2100"_s },
        { u"deposits_held"_s, u"تأمينات المستأجرين المحتجزة"_s, u"2200"_s },
        { u"tenant_advances"_s, u"دفعات مقدمة من المستأجرين"_s, u"2300"_s },
        { u"rent_revenue"_s, u"إيرادات الإيجار"_s, u"4100"_s },
        { u"service_revenue"_s, u"إيرادات الخدمات"_s, u"4200"_s },
        { u"sales_revenue"_s, u"إيرادات المبيعات"_s, u"4300"_s },
        { u"late_fee_revenue"_s, u"إيرادات غرامات التأخير"_s, u"4400"_s },
        { u"deposit_revenue"_s, u"إيرادات من التأمينات المحتجزة"_s, u"4500"_s },
        { u"expense:صيانة"_s, u"مصروف: صيانة"_s, u"5100"_s },
        { u"expense:كهرباء"_s, u"مصروف: كهرباء"_s, u"5310"_s },
        { u"expense:مياه"_s, u"مصروف: مياه"_s, u"5320"_s },
        { u"expense:تنظيف"_s, u"مصروف: تنظيف"_s, u"5330"_s },
        { u"expense:إدارية"_s, u"مصروف: إدارية"_s, u"5340"_s },
        { u"expense:ضرائب ورسوم"_s, u"مصروف: ضرائب ورسوم"_s, u"5350"_s },
        { u"expense:تأمين"_s, u"مصروف: تأمين"_s, u"5360"_s },
        { u"expense_other"_s, u"مصروفات أخرى"_s, u"5200"_s },
    };
    return all;
}

const Role *roleOf(const QString &name)
{
    for (const Role &role : roles()) {
        if (role.role == name)
            return &role;
    }
    return nullptr;
}

QString settingKey(const QString &role) { return u"posting_account:"_s + role; }

// The setting and the accounts of the roles, read once per open database: a rent run asks for
// them with every invoice. Whatever changes them here forgets them.
constexpr char kOnCache[] = "bv_posting_on";
// Rows drafted and written together by the bulk runs.
constexpr int kHistoryChunk = 512;
constexpr char kAccountsCache[] = "bv_posting_accounts";

void forget(Database *db)
{
    db->setProperty(kOnCache, QVariant());
    db->setProperty(kAccountsCache, QVariant());
}

void report(Database *db, const QString &line)
{
    emit db->databaseError(Posting::refusalMarker() + line);
}

// Rows whose facts one query reads together.
constexpr int kFactsBlock = 64;

// The facts of one row (`?` its id), or of a block of kFactsBlock rows (as many `?`). Built once
// per rule: a rent run asks with every invoice.
const QString &factsSql(const Rule &rule, bool many)
{
    static QHash<int, QString> texts;
    const int key = int(rule.kind) * 2 + (many ? 1 : 0);
    auto it = texts.find(key);
    if (it == texts.end()) {
        const QString which
            = many ? u"IN (?"_s + u",?"_s.repeated(kFactsBlock - 1) + u")"_s : u"=?"_s;
        it = texts.insert(key,
            u"SELECT %1 as id, date(%2) as day, %3 as currency_id, %4 as rate, %5 %6 AND %1 %7"_s
                .arg(rule.id, rule.day, rule.currency,
                    Figures::inPrimary(u"1.0"_s, rule.currency, rule.day), rule.columns, rule.from,
                    which));
    }
    return *it;
}

bool hasEntry(Database *db, const QString &refType, int rowId)
{
    return !db->execQuery(u"SELECT 1 FROM journal_entries WHERE reference_type=? AND "
                          "reference_id=? LIMIT 1"_s,
                  { refType, rowId })
                .isEmpty();
}

// The account of each role the entry names, -1 when the mapping leads nowhere.
int accountFor(Database *db, const QString &role, QString *title)
{
    const Role *known = roleOf(role);
    if (!known && role.startsWith(u"expense:"_s))
        known = roleOf(u"expense_other"_s);
    if (!known) {
        *title = role;
        return -1;
    }
    *title = known->title;
    QVariantMap cache = db->property(kAccountsCache).toMap();
    const auto cached = cache.constFind(known->role);
    if (cached != cache.constEnd())
        return cached->toInt();
    const QVariantMap row = Database::firstRow(db->execQuery(
        u"SELECT id FROM accounts WHERE code=COALESCE((SELECT value FROM settings WHERE "
        "key=?), ?)"_s,
        { settingKey(known->role), known->code }));
    if (row.isEmpty())
        return -1;
    cache.insert(known->role, row.value(u"id"_s));
    db->setProperty(kAccountsCache, cache);
    return row.value(u"id"_s).toInt();
}

struct Draft
{
    QString day;
    QString description;
    QVariant currency;
    double rate = 1.0;
    // account_id, debit, credit, description, original
    QVariantList lines;
};

// Builds the entry of one row; false with the refusal reported when an account is missing or
// the lines cannot balance. An empty draft (no row, nothing to post) is no failure.
bool draftFrom(Database *db, const Rule &rule, const QVariantMap &facts, Draft *draft)
{
    draft->day = facts.value(u"day"_s).toString();
    draft->description = facts.value(u"description"_s).toString();
    draft->currency = facts.value(u"currency_id"_s);
    draft->rate = facts.value(u"rate"_s).toDouble();
    struct Part
    {
        int account;
        qint64 original;
        qint64 primary;
        bool debit;
    };
    QList<Part> parts;
    qint64 debits = 0;
    qint64 credits = 0;
    for (const LineRule &line : rule.lines) {
        const qint64 original = Money::cents(facts.value(line.amount).toDouble());
        if (original == 0)
            continue;
        const QString role
            = line.role.startsWith(u'@') ? facts.value(line.role.mid(1)).toString() : line.role;
        QString title;
        const int account = accountFor(db, role, &title);
        if (account < 1) {
            report(db,
                u"لا يوجد حساب مربوط بـ«%1»؛ اربطه من إعدادات المحاسبة ثم أعد المحاولة"_s.arg(
                    title));
            return false;
        }
        // A negative amount (a reversal) posts on the other side.
        const bool debit = (original > 0) == line.debit;
        const qint64 primary = Money::cents(Money::fromCents(qAbs(original)) * draft->rate);
        parts.append({ account, qAbs(original), primary, debit });
        (debit ? debits : credits) += primary;
    }
    if (parts.isEmpty())
        return true;
    // Converting each line alone may leave a cent or two between the sides; the largest line of
    // the lighter side takes it. More than that is an error in the facts.
    const qint64 gap = debits - credits;
    if (qAbs(gap) > parts.size()) {
        report(db, u"تعذر ترحيل «%1»: القيد غير متوازن"_s.arg(draft->description));
        return false;
    }
    if (gap != 0) {
        Part *largest = nullptr;
        for (Part &part : parts) {
            if (part.debit == (gap < 0) && (!largest || part.primary > largest->primary))
                largest = &part;
        }
        if (largest)
            largest->primary += qAbs(gap);
    }
    for (const Part &part : parts) {
        const double amount = Money::fromCents(part.primary);
        draft->lines.append(QVariantMap { { u"account_id"_s, part.account },
            { u"debit"_s, part.debit ? amount : 0.0 }, { u"credit"_s, part.debit ? 0.0 : amount },
            { u"description"_s, draft->description },
            { u"original"_s, Money::fromCents(part.original) } });
    }
    return true;
}

bool draftOf(Database *db, const Rule &rule, int rowId, Draft *draft)
{
    const QVariantMap facts = Database::firstRow(db->execQuery(factsSql(rule, false), { rowId }));
    return facts.isEmpty() || draftFrom(db, rule, facts, draft);
}

// A statement of `rows` rows of `columns` placeholders each, built once per size.
const QString &valuesSql(const QString &head, int columns, int rows, const QString &tail)
{
    static QHash<QString, QString> texts;
    const QString key = head + QString::number(rows);
    auto it = texts.find(key);
    if (it == texts.end()) {
        QString row = u"(?"_s + u",?"_s.repeated(columns - 1) + u")"_s;
        QStringList all;
        for (int i = 0; i < rows; ++i)
            all.append(row);
        it = texts.insert(key, head + all.join(u',') + tail);
    }
    return *it;
}

// Rows go in chunks of a power of two, so that a handful of statement texts serve any count.
int chunkOf(qsizetype left, int most)
{
    int size = most;
    while (size > left)
        size /= 2;
    return size;
}

struct Pending
{
    const Rule *rule;
    int rowId;
    Draft draft;
};

// Writes many entries with few statements: their rows in one insert per chunk, then their
// lines. The same checks as writeEntry; runs inside the caller's transaction.
bool writeMany(Database *db, const QList<Pending> &entries)
{
    static const QString entryHead
        = u"INSERT INTO journal_entries (entry_date,description,reference_type,reference_id,"
          "currency_id,rate) VALUES "_s;
    static const QString entryTail = u" RETURNING id, reference_type, reference_id"_s;
    static const QString lineHead
        = u"INSERT INTO journal_lines (entry_id,account_id,debit,credit,description,"
          "original_amount) VALUES "_s;
    // A server pays for each statement far more than a file does, and moves the accounts'
    // balances once per insert of lines: it takes larger inserts.
    const int most = db->isServer() ? 64 : 16;
    for (qsizetype at = 0; at < entries.size();) {
        const int size = chunkOf(entries.size() - at, most);
        QVariantList values;
        values.reserve(size * 6);
        for (int i = 0; i < size; ++i) {
            const Pending &entry = entries.at(at + i);
            values << entry.draft.day << entry.draft.description << entry.rule->refType
                   << entry.rowId << entry.draft.currency << entry.draft.rate;
        }
        const QVariantList ids = db->execQuery(valuesSql(entryHead, 6, size, entryTail), values);
        if (ids.size() != size)
            return false;
        // RETURNING gives its rows in no set order.
        QHash<QPair<QString, int>, int> entryOf;
        for (const QVariant &row : ids) {
            const QVariantMap map = row.toMap();
            entryOf.insert(
                { map.value(u"reference_type"_s).toString(), map.value(u"reference_id"_s).toInt() },
                map.value(u"id"_s).toInt());
        }
        QVariantList lines;
        for (int i = 0; i < size; ++i) {
            const Pending &entry = entries.at(at + i);
            const int entryId = entryOf.value({ entry.rule->refType, entry.rowId });
            if (entryId < 1)
                return false;
            for (const QVariant &item : entry.draft.lines) {
                const QVariantMap line = item.toMap();
                lines << entryId << line.value(u"account_id"_s) << line.value(u"debit"_s)
                      << line.value(u"credit"_s) << line.value(u"description"_s)
                      << line.value(u"original"_s);
            }
        }
        for (qsizetype from = 0; from < lines.size();) {
            const int rows = chunkOf((lines.size() - from) / 6, most * 2);
            if (!db->execNonQuery(
                    valuesSql(lineHead, 6, rows, QString()), lines.mid(from, rows * 6)))
                return false;
            from += rows * 6;
        }
        at += size;
    }
    return true;
}

// The entries of `ids` (rows of one rule) in the order given; false with the refusal reported
// when one cannot be drafted.
bool draftMany(Database *db, const Rule &rule, const QList<int> &ids, QList<Pending> *out)
{
    QHash<int, QVariantMap> facts;
    for (qsizetype at = 0; at < ids.size(); at += kFactsBlock) {
        // A short last block repeats its last id.
        QVariantList block;
        for (int i = 0; i < kFactsBlock; ++i)
            block.append(ids.at(qMin(at + i, ids.size() - 1)));
        for (const QVariant &row : db->execQuery(factsSql(rule, true), block)) {
            const QVariantMap map = row.toMap();
            facts.insert(map.value(u"id"_s).toInt(), map);
        }
    }
    for (int id : ids) {
        const auto found = facts.constFind(id);
        if (found == facts.constEnd())
            continue;
        Pending entry { &rule, id, {} };
        if (!draftFrom(db, rule, *found, &entry.draft))
            return false;
        if (!entry.draft.lines.isEmpty())
            out->append(entry);
    }
    return true;
}

bool postRow(Database *db, const Rule &rule, int rowId)
{
    Draft draft;
    if (!draftOf(db, rule, rowId, &draft))
        return false;
    if (draft.lines.isEmpty())
        return true;
    return Posting::writeEntry(db, draft.day, draft.description, rule.refType, rowId, draft.lines,
               draft.currency, draft.rate)
        > 0;
}

} // namespace

QString Posting::refusalMarker() { return u"bv-refusal:"_s; }

QString Posting::refusalText(Database *db, const QString &error)
{
    const qsizetype at = error.indexOf(refusalMarker());
    if (at < 0)
        return QString();
    const QString rest = error.mid(at + refusalMarker().size());
    if (!rest.startsWith(u"closed"_s))
        return rest.trimmed();
    const QString lockDate
        = Database::firstRow(db->execQuery(u"SELECT value FROM settings WHERE key='lock_date'"_s))
              .value(u"value"_s)
              .toString();
    return u"الفترة مقفلة حتى %1: لا تُسجَّل عملية ولا تُعدَّل ولا تُلغى بتاريخ الإقفال أو قبله"_s.arg(
        lockDate);
}

QString Posting::refTypeOf(Kind kind) { return ruleOf(kind).refType; }

bool Posting::isOn(Database *db)
{
    const QVariant cached = db->property(kOnCache);
    if (cached.isValid())
        return cached.toBool();
    const bool on = Database::firstRow(
                        db->execQuery(u"SELECT value FROM settings WHERE key='auto_posting'"_s))
                        .value(u"value"_s)
                        .toString()
        == u"1"_s;
    db->setProperty(kOnCache, on);
    return on;
}

bool Posting::setOn(Database *db, bool on)
{
    forget(db);
    return db->execNonQuery(
        u"INSERT OR REPLACE INTO settings (key, value) VALUES ('auto_posting', ?)"_s,
        { on ? u"1"_s : u"0"_s });
}

bool Posting::post(Database *db, Kind kind, int rowId)
{
    if (!isOn(db))
        return true;
    const Rule &rule = ruleOf(kind);
    if (!rule.after.isEmpty() && !hasEntry(db, rule.after, rowId))
        return true;
    return postRow(db, rule, rowId);
}

bool Posting::repost(Database *db, Kind kind, int rowId)
{
    if (!isOn(db))
        return true;
    const Rule &rule = ruleOf(kind);
    const QVariantList held = db->execQuery(
        u"SELECT jl.account_id, SUM(jl.debit) - SUM(jl.credit) as net, MAX(je.entry_date) "
        "as day FROM journal_lines jl JOIN journal_entries je ON je.id=jl.entry_id WHERE "
        "je.reference_type=? AND je.reference_id=? GROUP BY jl.account_id"_s,
        { rule.refType, rowId });
    QVariantList undo;
    QString day;
    for (const QVariant &row : held) {
        const QVariantMap line = row.toMap();
        const qint64 net = Money::cents(line.value(u"net"_s).toDouble());
        day = qMax(day, line.value(u"day"_s).toString());
        if (net == 0)
            continue;
        const double amount = Money::fromCents(qAbs(net));
        undo.append(QVariantMap { { u"account_id"_s, line.value(u"account_id"_s) },
            { u"debit"_s, net < 0 ? amount : 0.0 }, { u"credit"_s, net > 0 ? amount : 0.0 },
            { u"description"_s, u"تصحيح قيد سابق"_s } });
    }
    if (!undo.isEmpty()
        && writeEntry(db, day, u"تصحيح: عكس القيد السابق للعملية"_s, rule.refType, rowId, undo) < 1)
        return false;
    return postRow(db, rule, rowId);
}

int Posting::unposted(Database *db)
{
    int count = 0;
    for (const Rule &rule : rules())
        count += Database::firstRow(
            db->execQuery(
                u"SELECT COUNT(*) as c %1 AND NOT EXISTS (SELECT 1 FROM "
                "journal_entries je WHERE je.reference_type=? AND je.reference_id=%2)"_s.arg(
                    rule.from, rule.id),
                { rule.refType }))
                     .value(u"c"_s)
                     .toInt();
    return count;
}

bool Posting::postMany(Database *db, Kind kind, const QList<int> &rowIds)
{
    if (!isOn(db))
        return true;
    const Rule &rule = ruleOf(kind);
    QList<int> due;
    for (int id : rowIds) {
        if (rule.after.isEmpty() || hasEntry(db, rule.after, id))
            due.append(id);
    }
    for (qsizetype at = 0; at < due.size(); at += kHistoryChunk) {
        QList<Pending> entries;
        if (!draftMany(db, rule, due.mid(at, kHistoryChunk), &entries) || !writeMany(db, entries))
            return false;
    }
    return true;
}

int Posting::postHistory(Database *db, const std::function<void(int, int)> &progress)
{
    struct Due
    {
        QString day;
        int order;
        int id;
    };
    QList<Due> due;
    const QList<Rule> &table = rules();
    for (int order = 0; order < table.size(); ++order) {
        const Rule &rule = table.at(order);
        const QVariantList rows = db->execQuery(
            u"SELECT %1 as id, date(%2) as day %3 AND NOT EXISTS (SELECT 1 FROM journal_entries "
            "je WHERE je.reference_type=? AND je.reference_id=%1)"_s.arg(
                rule.id, rule.day, rule.from),
            { rule.refType });
        for (const QVariant &row : rows) {
            const QVariantMap map = row.toMap();
            due.append({ map.value(u"day"_s).toString(), order, map.value(u"id"_s).toInt() });
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const Due &a, const Due &b) {
        return a.day != b.day ? a.day < b.day : a.order < b.order;
    });

    TransactionGuard guard(db);
    if (!guard.isActive())
        return -1;
    const int total = int(due.size());
    int written = 0;
    // A chunk at a time in date order: each rule's facts in one query, the entries in a few
    // inserts.
    for (int at = 0; at < total; at += kHistoryChunk) {
        const int end = qMin(total, at + kHistoryChunk);
        QHash<int, QList<int>> idsOf;
        for (int i = at; i < end; ++i)
            idsOf[due.at(i).order].append(due.at(i).id);
        QHash<QPair<int, int>, Pending> drafted;
        for (auto it = idsOf.constBegin(); it != idsOf.constEnd(); ++it) {
            QList<Pending> entries;
            if (!draftMany(db, table.at(it.key()), it.value(), &entries))
                return -1;
            for (const Pending &entry : entries)
                drafted.insert({ it.key(), entry.rowId }, entry);
        }
        QList<Pending> ordered;
        for (int i = at; i < end; ++i) {
            const auto found = drafted.constFind({ due.at(i).order, due.at(i).id });
            if (found != drafted.constEnd())
                ordered.append(*found);
        }
        if (!writeMany(db, ordered))
            return -1;
        written += int(ordered.size());
        if (progress)
            progress(end, total);
    }
    if (!guard.commit())
        return -1;
    return written;
}

QVariantList Posting::mapping(Database *db)
{
    QVariantList rows;
    for (const Role &role : roles()) {
        QVariantMap row = Database::firstRow(db->execQuery(
            u"SELECT a.id as account_id, a.code, a.name_ar as account_name FROM accounts a "
            "WHERE a.code=COALESCE((SELECT value FROM settings WHERE key=?), ?)"_s,
            { settingKey(role.role), role.code }));
        row.insert(u"role"_s, role.role);
        row.insert(u"title"_s, role.title);
        row.insert(u"default_code"_s, role.code);
        rows.append(row);
    }
    return rows;
}

bool Posting::setAccount(Database *db, const QString &role, const QString &code)
{
    if (!roleOf(role)
        || db->execQuery(u"SELECT 1 FROM accounts WHERE code=?"_s, { code }).isEmpty())
        return false;
    forget(db);
    return db->execNonQuery(u"INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"_s,
        { settingKey(role), code });
}

QVariantList Posting::preview(Database *db, Kind kind, int rowId)
{
    Draft draft;
    if (!draftOf(db, ruleOf(kind), rowId, &draft))
        return {};
    QVariantList rows;
    for (const QVariant &item : draft.lines) {
        QVariantMap line = item.toMap();
        line.insert(u"account_code"_s,
            Database::firstRow(db->execQuery(u"SELECT code FROM accounts WHERE id=?"_s,
                                   { line.value(u"account_id"_s) }))
                .value(u"code"_s));
        line.insert(u"rate"_s, draft.rate);
        rows.append(line);
    }
    return rows;
}

int Posting::writeEntry(Database *db, const QString &date, const QString &description,
    const QString &refType, const QVariant &refId, const QVariantList &lines,
    const QVariant &currencyId, double rate)
{
    qint64 debits = 0;
    qint64 credits = 0;
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        const double debit = line.value(u"debit"_s).toDouble();
        const double credit = line.value(u"credit"_s).toDouble();
        if (!Money::isCountable(debit) || !Money::isCountable(credit))
            return -1;
        debits += Money::cents(debit);
        credits += Money::cents(credit);
    }
    if (debits != credits || lines.isEmpty())
        return -1;

    const int entryId = db->execInsert(
        u"INSERT INTO journal_entries (entry_date,description,reference_type,reference_id,"
        "currency_id,rate) VALUES (?,?,?,?,?,?)"_s,
        { date, description, refType, refId, currencyId, rate });
    if (entryId < 1)
        return -1;
    // All lines in one statement; a trigger moves each account's balance.
    QString sql = u"INSERT INTO journal_lines (entry_id,account_id,debit,credit,description,"
                  "original_amount) VALUES "_s;
    QVariantList values;
    for (const QVariant &item : lines) {
        const QVariantMap line = item.toMap();
        sql += values.isEmpty() ? u"(?,?,?,?,?,?)"_s : u",(?,?,?,?,?,?)"_s;
        values << entryId << line.value(u"account_id"_s)
               << Money::round(line.value(u"debit"_s).toDouble())
               << Money::round(line.value(u"credit"_s).toDouble()) << line.value(u"description"_s)
               << line.value(u"original"_s);
    }
    if (!db->execNonQuery(sql, values))
        return -1;
    return entryId;
}
