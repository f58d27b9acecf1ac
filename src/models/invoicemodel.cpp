#include "invoicemodel.h"

#include "database.h"
#include "inputconverter.h"
#include "money.h"
#include "posting.h"
#include "recordsearch.h"
#include "settingsmanager.h"
#include "transactionguard.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

using namespace Qt::StringLiterals;

// What an invoice is issued from. A valid contract id marks a rent invoice.
struct InvoiceModel::Draft
{
    QVariant tenantId;
    QVariant unitId;
    QVariant contractId;
    QString period;
    QVariant currencyId;
    // description, type, quantity, unit_price, total: bound as they are.
    QList<QVariantList> lines;
};

// The month's prefix and the sequence the next invoice takes. A bulk run reads it once and
// advances it only for an invoice that was kept, instead of scanning the month per invoice.
struct InvoiceModel::Numbering
{
    QString prefix;
    int next = 1;

    QString number() const { return prefix + QString::number(next).rightJustified(4, u'0'); }
};

// An invoice of a run waiting to be written, and what became of it.
struct InvoiceModel::Queued
{
    Draft draft;
    QVariantMap entry;
    double rent = 0;
    double total = 0;
    int id = -1;
    QString refusal;
};

namespace {

// Rows of a multi-row insert go in blocks of these sizes, so a run prepares only a few texts.
constexpr int kRowBlocks[] = { 64, 8, 1 };
// Invoices per savepoint of a server's run.
constexpr int kServerChunk = 256;

// "(?,?,?)": one row of `width` places.
QString placeRow(int width) { return u"("_s + QStringList(width, u"?"_s).join(u',') + u")"_s; }

// Runs `head` + rows + `tail` over `values`, `width` of them a row, in blocks of kRowBlocks rows;
// rows returned by the statements are appended to `returned` when given, and each block must
// return one row per row it wrote.
bool runBlocks(Database *db, const QString &head, const QString &row, int width,
    const QVariantList &values, const QString &tail, QVariantList *returned = nullptr)
{
    const int rows = int(values.size()) / width;
    int at = 0;
    for (const int block : kRowBlocks) {
        for (; rows - at >= block; at += block) {
            const QString sql = head + QStringList(block, row).join(u',') + tail;
            const QVariantList slice = values.mid(qsizetype(at) * width, qsizetype(block) * width);
            if (!returned) {
                if (!db->execNonQuery(sql, slice))
                    return false;
                continue;
            }
            const QVariantList back = db->execQuery(sql, slice);
            if (back.size() != block)
                return false;
            returned->append(back);
        }
    }
    return true;
}

bool isValidPeriod(const QString &period)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(u"[0-9]{4}-[0-9]{2}"_s));
    return shape.match(period).hasMatch()
        && QDate::fromString(period + u"-01"_s, u"yyyy-MM-dd"_s).isValid();
}

// A value that reads as a number but is NaN or infinite; text that is no number is not.
bool isNonFinite(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && !std::isfinite(number);
}

// Text that is no number is bound as it is and passes.
bool isOverCeiling(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && !Money::isAcceptable(number);
}

QString ceilingText()
{
    return QLocale(QLocale::English).toString(static_cast<qint64>(Money::kCeiling));
}

QString tooLargeText()
{
    return u"المبلغ أو الكمية أو السعر يتجاوز الحد الأقصى المسموح به (%1)"_s.arg(ceilingText());
}

QString badPeriodText() { return u"الفترة غير صالحة؛ اكتبها بالصيغة YYYY-MM"_s; }

QString alreadyBilledText() { return u"صدرت فاتورته لهذه الفترة من قبل"_s; }

// The rent of `rentCents` for the days of `from`..`to` out of a month of `days` days, rounded
// half away from zero to the cent.
qint64 proratedCents(qint64 rentCents, const QDate &from, const QDate &to, int days)
{
    const qint64 part = rentCents * (from.daysTo(to) + 1);
    const qint64 half = days;
    return part >= 0 ? (2 * part + half) / (2 * days) : -((-2 * part + half) / (2 * days));
}

// The invoice line of a meter reading (with the service's name).
QVariantList usageLine(const QVariantMap &record)
{
    const QVariant consumption = record.value(u"consumption"_s);
    const QVariant cost = record.value(u"cost"_s);
    // Below one unit the cost is the price of the whole reading, and 0 never divides.
    const QVariant unitPrice
        = consumption.toDouble() > 1 ? QVariant(cost.toDouble() / consumption.toDouble()) : cost;
    return { record.value(u"name"_s), u"usage"_s, consumption, unitPrice, cost };
}

bool isValidDate(const QString &date)
{
    return date.size() == 10 && QDate::fromString(date, u"yyyy-MM-dd"_s).isValid();
}

} // namespace

InvoiceModel::InvoiceModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList InvoiceModel::getAll()
{
    return list(u"SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
                "FROM invoices i LEFT JOIN tenants t ON i.tenant_id=t.id "
                "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties p ON u.property_id=p.id "
                "ORDER BY i.created_at DESC"_s);
}

QVariantList InvoiceModel::getLatest(int limit)
{
    return list(u"SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
                "FROM invoices i LEFT JOIN tenants t ON i.tenant_id=t.id "
                "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties p ON u.property_id=p.id "
                "ORDER BY i.created_at DESC, i.id DESC LIMIT ?"_s,
        { limit });
}

QVariantList InvoiceModel::search(
    const QString &text, const QString &from, const QString &to, int limit)
{
    const QString typed = InputConverter::normalized(text);
    const QString like = RecordSearch::containsPattern(text);
    const QString first = InputConverter::date(from);
    const QString last = InputConverter::date(to);
    // created_at carries a time: its first ten characters are the day, so `to` takes that day
    // whole.
    return list(
        u"SELECT i.*, t.full_name as tenant_name, u.unit_number, p.name as property_name "
        "FROM invoices i LEFT JOIN tenants t ON i.tenant_id=t.id "
        "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties p ON u.property_id=p.id "
        "WHERE (COALESCE(?, '') = '' OR i.invoice_number LIKE ? ESCAPE '\\' OR t.full_name LIKE ? ESCAPE '\\' "
        "OR p.name LIKE ? ESCAPE '\\' OR u.unit_number LIKE ? ESCAPE '\\') "
        "AND (COALESCE(?, '') = '' OR substr(i.created_at, 1, 10) >= ?) "
        "AND (COALESCE(?, '') = '' OR substr(i.created_at, 1, 10) <= ?) "
        "ORDER BY i.created_at DESC, i.id DESC LIMIT ?"_s,
        { typed, like, like, like, like, first, first, last, last, qMax(0, limit) });
}

QVariantMap InvoiceModel::getById(int id)
{
    return one(u"SELECT i.*, t.full_name as tenant_name FROM invoices i "
               "LEFT JOIN tenants t ON i.tenant_id=t.id WHERE i.id=?"_s,
        { id });
}

QVariantList InvoiceModel::getItems(int invoiceId)
{
    return list(u"SELECT * FROM invoice_items WHERE invoice_id=?"_s, { invoiceId });
}

QVariantList InvoiceModel::getByTenant(int tenantId)
{
    return list(
        u"SELECT * FROM invoices WHERE tenant_id=? ORDER BY created_at DESC"_s, { tenantId });
}

InvoiceModel::Numbering InvoiceModel::startNumbering()
{
    Numbering numbering;
    numbering.prefix = u"INV-"_s + QDate::currentDate().toString(u"yyyyMM"_s) + u"-"_s;
    // On the file, a range of the unique index: a month's numbering reads that month's numbers
    // only. A server's text order follows its locale, which may skip the dashes.
    const bool server = m_db->isServer();
    const QString within
        = server ? u"invoice_number LIKE ?"_s : u"invoice_number >= ? AND invoice_number < ?"_s;
    QVariantList params { numbering.prefix };
    if (server)
        params << numbering.prefix + u"%"_s;
    else
        params << numbering.prefix << numbering.prefix.chopped(1) + u"."_s;
    const QVariant max = one(u"SELECT MAX(CAST(SUBSTR(invoice_number, LENGTH(?)+1) AS INTEGER)) "
                             "as mx FROM invoices WHERE "_s
            + within,
        params)
                             .value(u"mx"_s);
    numbering.next = max.isNull() ? 1 : max.toInt() + 1;
    return numbering;
}

QString InvoiceModel::nextInvoiceNumber() { return startNumbering().number(); }

void InvoiceModel::refuse(const QString &why)
{
    m_lastRefusal = why;
    emit outcomeChanged();
}

void InvoiceModel::settle(const QVariantMap &report)
{
    m_lastRefusal.clear();
    m_lastRunReport = report;
    emit outcomeChanged();
}

// Only rent generation sets contract_id, so this sees rent invoices alone: another lease of the
// tenant, or a water or custom invoice of the month, does not stop the rent.
bool InvoiceModel::hasRentFor(
    const QVariant &tenantId, const QVariant &contractId, const QString &period)
{
    return !list(u"SELECT id FROM invoices WHERE tenant_id=? AND period=? AND contract_id=? "
                 "AND status!='void' LIMIT 1"_s,
        { tenantId, period, contractId })
                .isEmpty();
}

// Per unit, service and period; an invoice not tied to a unit is matched on the tenant.
bool InvoiceModel::hasServiceFor(const QVariant &tenantId, const QVariant &unitId,
    const QString &serviceName, const QString &period)
{
    return !list(
        u"SELECT i.id FROM invoices i JOIN invoice_items it ON it.invoice_id=i.id "
        "WHERE i.period=? AND i.status!='void' AND it.type='service' "
        "AND it.description=? AND (i.unit_id=? OR (i.unit_id IS NULL AND CAST(? AS INTEGER) IS NULL "
        "AND i.tenant_id=?)) LIMIT 1"_s,
        { period, serviceName, unitId, unitId, tenantId })
                .isEmpty();
}

bool InvoiceModel::checkedTotal(const Draft &draft, double *total)
{
    qint64 totalCents = 0;
    for (const QVariantList &line : draft.lines) {
        if (isNonFinite(line.at(2)) || isNonFinite(line.at(3)) || isNonFinite(line.at(4))
            || !Money::isCountable(line.at(4).toDouble())) {
            refuse(u"أحد مبالغ البنود ليس رقماً صالحاً"_s);
            return false;
        }
        // One stray digit must not swallow the tenant's real balance.
        bool numeric = false;
        const double product = line.at(2).toDouble(&numeric) * line.at(3).toDouble();
        if (isOverCeiling(line.at(2)) || isOverCeiling(line.at(3)) || isOverCeiling(line.at(4))
            || (numeric && !Money::isAcceptable(product))) {
            refuse(tooLargeText());
            return false;
        }
        totalCents += Money::cents(line.at(4).toDouble());
    }
    *total = Money::fromCents(totalCents);
    if (!Money::isAcceptable(*total)) {
        refuse(tooLargeText());
        return false;
    }
    return true;
}

int InvoiceModel::issue(const Draft &draft, Numbering *carried, bool postLater)
{
    double total = 0;
    if (!checkedTotal(draft, &total))
        return -1;

    // Invoice, every line and the tenant's balance stand or fall together.
    TransactionGuard guard(m_db);
    const QString failed = u"تعذر حفظ الفاتورة في قاعدة البيانات"_s;
    if (!guard.isActive()) {
        refuse(failed);
        return -1;
    }
    const QString number = carried ? carried->number() : nextInvoiceNumber();
    const QString dueDate = draft.period + u"-28"_s;
    const int id = draft.contractId.isValid()
        ? m_db->execInsert(u"INSERT INTO invoices (invoice_number,tenant_id,unit_id,contract_id,"
                           "period,total_amount,balance,status,currency_id,due_date) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?)"_s,
            { number, draft.tenantId, draft.unitId, draft.contractId, draft.period, total, total,
                u"pending"_s, draft.currencyId, dueDate })
        : m_db->execInsert(u"INSERT INTO invoices (invoice_number,tenant_id,unit_id,period,"
                           "total_amount,balance,status,currency_id,due_date) "
                           "VALUES (?,?,?,?,?,?,?,?,?)"_s,
            { number, draft.tenantId, draft.unitId, draft.period, total, total, u"pending"_s,
                draft.currencyId, dueDate });
    if (id < 1) {
        refuse(failed);
        return -1;
    }
    for (const QVariantList &line : draft.lines) {
        if (m_db->execInsert(u"INSERT INTO invoice_items (invoice_id,description,type,quantity,"
                             "unit_price,total) VALUES (?,?,?,?,?,?)"_s,
                QVariantList { id } + line)
            < 1) {
            refuse(failed);
            return -1;
        }
    }
    if (!m_db->execNonQuery(u"UPDATE tenants SET balance=round(balance+?,2) WHERE id=?"_s,
            { total, draft.tenantId })
        || (!postLater && !Posting::post(m_db, Posting::Kind::Invoice, id)) || !guard.commit()) {
        refuse(failed);
        return -1;
    }
    if (carried)
        ++carried->next;
    return id;
}

void InvoiceModel::issueMany(QList<Queued> &queued, Numbering *numbering)
{
    QList<Queued *> ready;
    for (Queued &q : queued) {
        if (checkedTotal(q.draft, &q.total))
            ready.append(&q);
        else
            q.refusal = m_lastRefusal;
    }
    for (qsizetype at = 0; at < ready.size(); at += kServerChunk) {
        const QList<Queued *> chunk = ready.mid(at, kServerChunk);
        if (issueChunk(chunk, numbering))
            continue;
        // Something in the chunk was refused: each invoice alone, so that the others are kept.
        for (Queued *q : chunk) {
            q->id = issue(q->draft, numbering, true);
            if (q->id < 1)
                q->refusal = m_lastRefusal;
        }
    }
}

bool InvoiceModel::issueChunk(const QList<Queued *> &chunk, Numbering *numbering)
{
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    // The invoices in order of their numbers; the server answers each new id with its number.
    QVariantList invoices;
    QHash<QString, Queued *> byNumber;
    Numbering next = *numbering;
    for (Queued *q : chunk) {
        const Draft &d = q->draft;
        const QString number = next.number();
        ++next.next;
        byNumber.insert(number, q);
        invoices << number << d.tenantId << d.unitId << d.contractId << d.period << q->total
                 << q->total << u"pending"_s << d.currencyId << d.period + u"-28"_s;
    }
    QVariantList ids;
    if (!runBlocks(m_db,
            u"INSERT INTO invoices (invoice_number,tenant_id,unit_id,contract_id,period,"
            "total_amount,balance,status,currency_id,due_date) VALUES "_s,
            placeRow(10), 10, invoices, u" RETURNING id, invoice_number"_s, &ids))
        return false;
    for (const QVariant &row : ids) {
        const QVariantMap map = row.toMap();
        if (Queued *q = byNumber.value(map.value(u"invoice_number"_s).toString()))
            q->id = map.value(u"id"_s).toInt();
    }
    QVariantList items;
    // The tenants' balances rise by their invoices' totals, summed in cents: a tenant with two
    // leases is one row of the update.
    QMap<int, qint64> raised;
    for (Queued *q : chunk) {
        for (const QVariantList &line : q->draft.lines)
            items << q->id << line;
        raised[q->draft.tenantId.toInt()] += Money::cents(q->total);
    }
    QVariantList balances;
    for (auto it = raised.cbegin(); it != raised.cend(); ++it)
        balances << it.key() << Money::fromCents(it.value());
    // UPDATE ... FROM a typed VALUES list: the server's form of one update per tenant.
    if (!runBlocks(m_db,
            u"INSERT INTO invoice_items (invoice_id,description,type,quantity,unit_price,total) "
            "VALUES "_s,
            placeRow(6), 6, items, QString())
        || !runBlocks(m_db, u"UPDATE tenants SET balance=round(balance+v.amount,2) FROM (VALUES "_s,
            u"(CAST(? AS INTEGER),CAST(? AS DOUBLE PRECISION))"_s, 2, balances,
            u") AS v(id, amount) WHERE tenants.id=v.id"_s)
        || !guard.commit()) {
        for (Queued *q : chunk)
            q->id = -1;
        return false;
    }
    *numbering = next;
    return true;
}

int InvoiceModel::createInvoice(
    int tenantId, int unitId, const QString &period, const QVariantList &items, int currencyId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    // Other invoices of the tenant for the month never stand in the way of this one.
    if (!isValidPeriod(period)) {
        refuse(badPeriodText());
        return -1;
    }

    Draft draft { tenantId, optionalId(unitId), QVariant(), period, currencyId, {} };
    for (const QVariant &element : items) {
        const QVariantMap item = element.toMap();
        QVariant type = item.value(u"type"_s);
        if (type.toString().isEmpty())
            type = u"service"_s;
        QVariant quantity = item.value(u"quantity"_s);
        const double amount = quantity.toDouble();
        if (!(amount > 0) || !isFinite(amount))
            quantity = 1.0;
        draft.lines.append({ item.value(u"description"_s), type, quantity,
            item.value(u"unit_price"_s), item.value(u"total"_s) });
    }

    const int id = issue(draft, nullptr);
    if (id < 1)
        return -1;
    settle(m_lastRunReport);
    emit dataChanged();
    return id;
}

bool InvoiceModel::updatePaidAmount(int id, double amount)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(amount))
        return false;
    const QVariantMap invoice
        = one(u"SELECT status, total_amount FROM invoices WHERE id=?"_s, { id });
    // A void invoice would come back to life with a balance the tenant's balance never saw.
    if (invoice.value(u"status"_s).toString() == u"void"_s)
        return false;
    const qint64 paid = Money::cents(amount);
    const qint64 open = Money::cents(invoice.value(u"total_amount"_s).toDouble()) - paid;
    return change(u"UPDATE invoices SET paid_amount=?, balance=?, status=? WHERE id=?"_s,
        { Money::fromCents(paid), Money::fromCents(open), open <= 0 ? u"paid"_s : u"partial"_s,
            id });
}

QString InvoiceModel::voidRefusal(const QVariantMap &invoice) const
{
    if (invoice.isEmpty())
        return u"الفاتورة غير موجودة"_s;
    if (invoice.value(u"status"_s).toString() == u"void"_s)
        return u"الفاتورة ملغاة من قبل"_s;
    // Money received stays on record: its payments are reversed first, each with its reason.
    if (!Money::isZero(invoice.value(u"paid_amount"_s).toDouble()))
        return u"على الفاتورة دفعات مسجلة؛ اعكس دفعاتها من صفحة المدفوعات ثم ألغها"_s;
    return QString();
}

QVariantMap InvoiceModel::voidPreview(int id)
{
    QVariantMap invoice = one(u"SELECT i.*, t.full_name as tenant_name, "
                              "t.balance as tenant_balance FROM invoices i "
                              "LEFT JOIN tenants t ON i.tenant_id=t.id WHERE i.id=?"_s,
        { id });
    const QString refusal = voidRefusal(invoice);
    const double before = invoice.value(u"tenant_balance"_s).toDouble();
    const double open = invoice.value(u"balance"_s).toDouble();
    invoice.insert(u"refusal"_s, refusal);
    invoice.insert(u"tenant_balance_after"_s,
        refusal.isEmpty() ? Money::fromCents(Money::cents(before) - Money::cents(open)) : before);
    return invoice;
}

bool InvoiceModel::voidInvoice(int id) { return voidWithReason(id, QString()); }

bool InvoiceModel::voidInvoice(int id, const QString &reason)
{
    if (reason.trimmed().isEmpty()) {
        refuse(u"اكتب سبب إلغاء الفاتورة"_s);
        return false;
    }
    return voidWithReason(id, reason.trimmed());
}

bool InvoiceModel::voidWithReason(int id, const QString &reason)
{
    if (!permitted(Operation::DailyWork))
        return false;
    const QVariantMap invoice
        = one(u"SELECT tenant_id, balance, paid_amount, status, notes FROM invoices WHERE id=?"_s,
            { id });
    const QString refusal = voidRefusal(invoice);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return false;
    }

    QString notes = invoice.value(u"notes"_s).toString();
    if (!reason.isEmpty())
        notes += (notes.isEmpty() ? QString() : u"\n"_s) + u"سبب الإلغاء: "_s + reason;
    TransactionGuard guard(m_db);
    const double open = invoice.value(u"balance"_s).toDouble();
    const int tenantId = invoice.value(u"tenant_id"_s).toInt();
    if (!guard.isActive()
        || !m_db->execNonQuery(u"UPDATE invoices SET status='void', balance=0, notes=?, "
                               "voided_date=date('now','localtime') WHERE id=?"_s,
            { notes.isEmpty() ? QVariant() : QVariant(notes), id })
        || !m_db->execNonQuery(
            u"UPDATE tenants SET balance=round(balance-?,2) WHERE id=?"_s, { open, tenantId })
        || !Posting::post(m_db, Posting::Kind::InvoiceVoid, id) || !guard.commit()) {
        refuse(u"تعذر إلغاء الفاتورة في قاعدة البيانات"_s);
        return false;
    }
    settle(m_lastRunReport);
    emit dataChanged();
    return true;
}

int InvoiceModel::generateAllRent(const QString &period)
{
    if (!permitted(Operation::DailyWork))
        return 0;
    if (!isValidPeriod(period)) {
        refuse(badPeriodText());
        return 0;
    }
    const QDate first = QDate::fromString(period + u"-01"_s, u"yyyy-MM-dd"_s);
    const QDate last = first.addDays(first.daysInMonth() - 1);
    const bool prorate = SettingsManager::prorateRent(m_db);
    const QVariantList contracts
        = list(u"SELECT c.*, t.full_name as tenant_name, u.unit_number FROM contracts c "
               "LEFT JOIN tenants t ON c.tenant_id=t.id LEFT JOIN units u ON c.unit_id=u.id "
               "WHERE c.status='active' ORDER BY c.id"_s);

    QVariantList issued;
    QList<int> issuedIds;
    QVariantList skipped;
    int alreadyBilled = 0;
    // One transaction for the run; each invoice is a savepoint inside it, so a failed invoice
    // is undone alone and the run goes on.
    TransactionGuard run(m_db);
    if (!contracts.isEmpty() && !run.isActive()) {
        refuse(u"تعذر بدء الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    Numbering numbering = startNumbering();
    // On a server every statement is a round trip: what the run asks per lease is read once for
    // the month (the run's transaction holds the writers' lock, so nothing changes under it), and
    // the invoices are written together after the loop.
    const bool batched = m_db->isServer();
    QSet<QPair<int, int>> billed;
    QHash<int, QVariantList> usageOf;
    QList<Queued> queued;
    if (batched) {
        for (const QVariant &row :
            list(u"SELECT tenant_id, contract_id FROM invoices WHERE period=? AND "
                 "contract_id IS NOT NULL AND status!='void'"_s,
                { period })) {
            const QVariantMap map = row.toMap();
            billed.insert(
                { map.value(u"tenant_id"_s).toInt(), map.value(u"contract_id"_s).toInt() });
        }
        for (const QVariant &row : list(u"SELECT ur.*, s.name FROM usage_records ur "
                                        "JOIN services s ON ur.service_id=s.id "
                                        "WHERE ur.period=? ORDER BY ur.id"_s,
                 { period }))
            usageOf[row.toMap().value(u"unit_id"_s).toInt()].append(row);
    }
    for (const QVariant &row : contracts) {
        const QVariantMap contract = row.toMap();
        const int tenantId = contract.value(u"tenant_id"_s).toInt();
        const int unitId = contract.value(u"unit_id"_s).toInt();
        QVariantMap entry { { u"contract_id"_s, contract.value(u"id"_s) },
            { u"tenant_name"_s, contract.value(u"tenant_name"_s) },
            { u"unit_number"_s, contract.value(u"unit_number"_s) } };
        const QDate start
            = QDate::fromString(contract.value(u"start_date"_s).toString().left(10), Qt::ISODate);
        const QDate end
            = QDate::fromString(contract.value(u"end_date"_s).toString().left(10), Qt::ISODate);
        const auto skip = [&](const QString &reason) {
            entry.insert(u"reason"_s, reason);
            skipped.append(entry);
        };
        if (!start.isValid() || !end.isValid()) {
            skip(u"تواريخ العقد غير صالحة"_s);
            continue;
        }
        if (start > last) {
            skip(u"يبدأ العقد بعد هذا الشهر (%1)"_s.arg(start.toString(Qt::ISODate)));
            continue;
        }
        if (end < first) {
            skip(u"انتهى العقد قبل هذا الشهر (%1)"_s.arg(end.toString(Qt::ISODate)));
            continue;
        }
        // Also sees the invoices issued earlier in this run.
        if (batched ? billed.contains({ tenantId, contract.value(u"id"_s).toInt() })
                    : hasRentFor(tenantId, contract.value(u"id"_s), period)) {
            ++alreadyBilled;
            skip(alreadyBilledText());
            continue;
        }

        double rent = contract.value(u"rent_amount"_s).toDouble();
        QString description = u"إيجار شهري"_s;
        const QDate from = qMax(start, first);
        const QDate to = qMin(end, last);
        if (prorate && (from != first || to != last) && Money::isAcceptable(rent)) {
            rent = Money::fromCents(
                proratedCents(Money::cents(rent), from, to, first.daysInMonth()));
            description += u" عن الفترة %1 إلى %2"_s.arg(
                from.toString(Qt::ISODate), to.toString(Qt::ISODate));
        }
        Draft draft { tenantId, unitId, contract.value(u"id"_s), period,
            contract.value(u"currency_id"_s).toInt(), {} };
        draft.lines.append({ description, u"rent"_s, 1, rent, rent });
        const QVariantList usage = batched ? usageOf.value(unitId)
                                           : list(u"SELECT ur.*, s.name FROM usage_records ur "
                                                  "JOIN services s ON ur.service_id=s.id "
                                                  "WHERE ur.unit_id=? AND ur.period=?"_s,
                                               { unitId, period });
        for (const QVariant &usageRow : usage)
            draft.lines.append(usageLine(usageRow.toMap()));
        if (batched) {
            queued.append({ draft, entry, rent, 0, -1, QString() });
            continue;
        }
        const int id = issue(draft, &numbering, true);
        if (id < 1) {
            skip(m_lastRefusal);
            continue;
        }
        entry.insert(u"invoice_id"_s, id);
        entry.insert(u"amount"_s, rent);
        issued.append(entry);
        issuedIds.append(id);
    }
    issueMany(queued, &numbering);
    for (Queued &q : queued) {
        if (q.id < 1) {
            q.entry.insert(u"reason"_s, q.refusal);
            skipped.append(q.entry);
            continue;
        }
        q.entry.insert(u"invoice_id"_s, q.id);
        q.entry.insert(u"amount"_s, q.rent);
        issued.append(q.entry);
        issuedIds.append(q.id);
    }
    // The run's entries go to the books together, outside the invoices' savepoints: writing them
    // one by one inside each costed as much again as the invoices themselves.
    if (!Posting::postMany(m_db, Posting::Kind::Invoice, issuedIds)) {
        refuse(u"تعذر ترحيل فواتير الإصدار إلى القيود؛ لم تُصدر أي فاتورة"_s);
        return 0;
    }
    if (!issued.isEmpty() && !run.commit()) {
        refuse(u"تعذر حفظ فواتير الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    settle({ { u"period"_s, period }, { u"issued"_s, issued }, { u"skipped"_s, skipped },
        { u"alreadyBilled"_s, alreadyBilled } });
    if (!issued.isEmpty())
        emit dataChanged();
    return issued.size();
}

int InvoiceModel::runService(const QList<QPair<int, int>> &targets, const QString &serviceName,
    double amount, const QString &period, int currencyId)
{
    QVariantList issued;
    QVariantList skipped;
    int alreadyBilled = 0;
    TransactionGuard run(m_db);
    if (!run.isActive()) {
        refuse(u"تعذر بدء الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    Numbering numbering = startNumbering();
    for (const auto &[tenantId, unitId] : targets) {
        QVariantMap entry = one(u"SELECT t.full_name as tenant_name, "
                                "(SELECT unit_number FROM units WHERE id=?) as unit_number "
                                "FROM tenants t WHERE t.id=?"_s,
            { unitId, tenantId });
        entry.insert(u"tenant_id"_s, tenantId);
        // Also sees the invoices issued earlier in this run: a tenant listed twice pays once.
        if (hasServiceFor(tenantId, optionalId(unitId), serviceName, period)) {
            ++alreadyBilled;
            entry.insert(u"reason"_s, alreadyBilledText());
            skipped.append(entry);
            continue;
        }
        Draft draft { tenantId, optionalId(unitId), QVariant(), period, currencyId, {} };
        draft.lines.append({ serviceName, u"service"_s, 1, amount, amount });
        const int id = issue(draft, &numbering);
        if (id < 1) {
            entry.insert(u"reason"_s, m_lastRefusal);
            skipped.append(entry);
            continue;
        }
        entry.insert(u"invoice_id"_s, id);
        entry.insert(u"amount"_s, amount);
        issued.append(entry);
    }
    if (!issued.isEmpty() && !run.commit()) {
        refuse(u"تعذر حفظ فواتير الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    settle({ { u"period"_s, period }, { u"issued"_s, issued }, { u"skipped"_s, skipped },
        { u"alreadyBilled"_s, alreadyBilled } });
    if (!issued.isEmpty())
        emit dataChanged();
    return issued.size();
}

bool InvoiceModel::acceptsServiceRun(const QString &period, double amount)
{
    if (!isValidPeriod(period)) {
        refuse(badPeriodText());
        return false;
    }
    if (!Money::isAcceptable(amount)) {
        refuse(isFinite(amount) ? tooLargeText() : u"المبلغ ليس رقماً صالحاً"_s);
        return false;
    }
    return true;
}

int InvoiceModel::generateServiceInvoice(const QVariantList &tenantIds, const QString &serviceName,
    double amount, const QString &period, int currencyId)
{
    if (!permitted(Operation::DailyWork) || !acceptsServiceRun(period, amount))
        return 0;
    QList<QPair<int, int>> targets;
    for (const QVariant &element : tenantIds) {
        const int tenantId = element.toInt();
        targets.append({ tenantId,
            intFigure(u"SELECT unit_id FROM contracts WHERE tenant_id=? AND status='active' "
                      "ORDER BY id LIMIT 1"_s,
                u"unit_id"_s, { tenantId }) });
    }
    return runService(targets, serviceName, amount, period, currencyId);
}

int InvoiceModel::generatePropertyServiceInvoice(int propertyId, const QString &serviceName,
    double amount, const QString &period, int currencyId)
{
    if (!permitted(Operation::DailyWork) || !acceptsServiceRun(period, amount))
        return 0;
    // Each tenant once, billed on a unit of this property rather than one elsewhere.
    QList<QPair<int, int>> targets;
    const QVariantList rows = list(u"SELECT c.tenant_id, MIN(c.unit_id) as unit_id "
                                   "FROM contracts c JOIN units u ON c.unit_id=u.id "
                                   "WHERE u.property_id=? AND c.status='active' "
                                   "GROUP BY c.tenant_id ORDER BY MIN(c.id)"_s,
        { propertyId });
    for (const QVariant &row : rows) {
        const QVariantMap map = row.toMap();
        targets.append({ map.value(u"tenant_id"_s).toInt(), map.value(u"unit_id"_s).toInt() });
    }
    return runService(targets, serviceName, amount, period, currencyId);
}

int InvoiceModel::billLateReadings(int propertyId, const QString &period)
{
    if (!permitted(Operation::DailyWork))
        return 0;
    if (!isValidPeriod(period)) {
        refuse(badPeriodText());
        return 0;
    }
    // The readings the month's rent invoice went out without, billed to that invoice's tenant in
    // its currency.
    const QVariantList readings = list(
        u"SELECT ur.unit_id, ur.consumption, ur.cost, s.name, u.unit_number, "
        "(SELECT i.tenant_id FROM invoices i WHERE i.unit_id=ur.unit_id AND i.period=ur.period "
        " AND i.contract_id IS NOT NULL AND i.status!='void' ORDER BY i.id LIMIT 1) AS tenant_id, "
        "(SELECT i.currency_id FROM invoices i WHERE i.unit_id=ur.unit_id AND i.period=ur.period "
        " AND i.contract_id IS NOT NULL AND i.status!='void' ORDER BY i.id LIMIT 1) "
        " AS currency_id "
        "FROM usage_records ur JOIN services s ON s.id=ur.service_id "
        "JOIN units u ON u.id=ur.unit_id WHERE u.property_id=? AND ur.period=? "
        "AND NOT EXISTS (SELECT 1 FROM invoices i JOIN invoice_items it ON it.invoice_id=i.id "
        " WHERE i.unit_id=ur.unit_id AND i.period=ur.period AND i.status!='void' "
        " AND it.type='usage' AND it.description=s.name) "
        "ORDER BY ur.unit_id, s.id"_s,
        { propertyId, period });
    QList<Draft> drafts;
    for (const QVariant &element : readings) {
        const QVariantMap reading = element.toMap();
        if (reading.value(u"tenant_id"_s).isNull())
            continue;
        if (drafts.isEmpty() || drafts.constLast().unitId != reading.value(u"unit_id"_s))
            drafts.append({ reading.value(u"tenant_id"_s), reading.value(u"unit_id"_s), QVariant(),
                period, reading.value(u"currency_id"_s), {} });
        drafts.last().lines.append(usageLine(reading));
    }

    QVariantList issued;
    QVariantList skipped;
    TransactionGuard run(m_db);
    if (!run.isActive()) {
        refuse(u"تعذر بدء الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    Numbering numbering = startNumbering();
    for (const Draft &draft : drafts) {
        QVariantMap entry = one(u"SELECT t.full_name as tenant_name, "
                                "(SELECT unit_number FROM units WHERE id=?) as unit_number "
                                "FROM tenants t WHERE t.id=?"_s,
            { draft.unitId, draft.tenantId });
        const int id = issue(draft, &numbering);
        if (id < 1) {
            entry.insert(u"reason"_s, m_lastRefusal);
            skipped.append(entry);
            continue;
        }
        qint64 total = 0;
        for (const QVariantList &line : draft.lines)
            total += Money::cents(line.at(4).toDouble());
        entry.insert(u"invoice_id"_s, id);
        entry.insert(u"amount"_s, Money::fromCents(total));
        issued.append(entry);
    }
    if (!issued.isEmpty() && !run.commit()) {
        refuse(u"تعذر حفظ فواتير الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    settle({ { u"period"_s, period }, { u"issued"_s, issued }, { u"skipped"_s, skipped },
        { u"alreadyBilled"_s, 0 } });
    if (!issued.isEmpty())
        emit dataChanged();
    return issued.size();
}

qint64 InvoiceModel::lateFeeCents(const QVariantMap &policy, qint64 openCents,
    const QVariant &currencyId, const QString &date, QString *why)
{
    const double value = policy.value(u"value"_s).toDouble();
    if (policy.value(u"mode"_s).toString() == u"percent"_s)
        return Money::cents(Money::fromCents(openCents) * value / 100.0);
    // A fixed fee is set in the primary currency and charged in the debt's own, at the latest
    // rate known on the day (entered either way round).
    const QVariantMap primary = one(u"SELECT id FROM currencies WHERE is_primary=1"_s);
    const QVariant primaryId = primary.value(u"id"_s);
    if (primary.isEmpty() || currencyId.isNull() || currencyId.toInt() == primaryId.toInt())
        return Money::cents(value);
    const QVariantMap rate
        = one(u"SELECT rate, inverse FROM (SELECT rate, 0 AS inverse, date FROM exchange_rates "
              "WHERE from_currency_id=? AND to_currency_id=? AND date<=? UNION ALL "
              "SELECT rate, 1 AS inverse, date FROM exchange_rates "
              "WHERE from_currency_id=? AND to_currency_id=? AND date<=?) AS rates "
              "ORDER BY date DESC, inverse LIMIT 1"_s,
            { primaryId, currencyId, date, currencyId, primaryId, date });
    const double factor = rate.value(u"rate"_s).toDouble();
    if (rate.isEmpty() || !(factor > 0) || !isFinite(factor)) {
        *why = u"لا يوجد سعر صرف لعملة الدين حتى %1"_s.arg(date);
        return 0;
    }
    return Money::cents(rate.value(u"inverse"_s).toInt() == 1 ? value / factor : value * factor);
}

int InvoiceModel::applyLateFees(const QString &date)
{
    if (!permitted(Operation::DailyWork))
        return 0;
    if (!isValidDate(date)) {
        refuse(u"التاريخ غير صالح؛ اكتبه بالصيغة YYYY-MM-DD"_s);
        return 0;
    }
    const QVariantMap policy = SettingsManager::lateFeePolicy(m_db);
    if (!policy.value(u"enabled"_s).toBool()) {
        refuse(u"رسوم التأخير غير مفعلة؛ فعّلها وحدد قيمتها من الإعدادات"_s);
        return 0;
    }
    const int grace = policy.value(u"grace_days"_s).toInt();
    // Past due by more than the grace days: due strictly before the date less the grace.
    const QString cutoff
        = QDate::fromString(date, u"yyyy-MM-dd"_s).addDays(-grace).toString(u"yyyy-MM-dd"_s);
    // A fee is never charged on a fee, nor twice on one debt.
    const QVariantList invoices
        = list(u"SELECT i.id, i.invoice_number, i.tenant_id, i.unit_id, i.balance, i.currency_id, "
               "i.due_date, t.full_name AS tenant_name, u.unit_number FROM invoices i "
               "LEFT JOIN tenants t ON t.id=i.tenant_id LEFT JOIN units u ON u.id=i.unit_id "
               "WHERE i.status!='paid' AND i.status!='void' AND i.due_date<? "
               "AND NOT EXISTS (SELECT 1 FROM late_fees f WHERE f.invoice_id=i.id "
               " OR f.fee_invoice_id=i.id) ORDER BY i.due_date, i.id"_s,
            { cutoff });
    const QVariantList installments
        = list(u"SELECT i.id, i.buyer_id, i.installment_amount, i.paid_amount, i.currency_id, "
               "i.due_date, i.notes, b.full_name AS tenant_name, u.unit_number FROM installments i "
               "JOIN buyers b ON b.id=i.buyer_id LEFT JOIN units u ON u.id=i.unit_id "
               "WHERE i.status!='paid' AND i.due_date<? "
               "AND NOT EXISTS (SELECT 1 FROM late_fees f WHERE f.installment_id=i.id) "
               "ORDER BY i.due_date, i.id"_s,
            { cutoff });
    const int alreadyCharged = intFigure(
        u"SELECT COUNT(*) AS c FROM late_fees f LEFT JOIN invoices i ON i.id=f.invoice_id "
        "LEFT JOIN installments s ON s.id=f.installment_id "
        "WHERE COALESCE(i.due_date, s.due_date)<? AND COALESCE(i.status, s.status)!='paid' "
        "AND COALESCE(i.status, '')!='void'"_s,
        u"c"_s, { cutoff });

    QVariantList issued;
    QVariantList skipped;
    TransactionGuard run(m_db);
    if (!run.isActive()) {
        refuse(u"تعذر بدء الإصدار في قاعدة البيانات"_s);
        return 0;
    }
    Numbering numbering = startNumbering();
    const QString failed = u"تعذر حفظ رسوم التأخير في قاعدة البيانات"_s;
    for (const QVariant &element : invoices) {
        const QVariantMap invoice = element.toMap();
        const qint64 open = Money::cents(invoice.value(u"balance"_s).toDouble());
        if (open <= 0)
            continue;
        QVariantMap entry { { u"tenant_name"_s, invoice.value(u"tenant_name"_s) },
            { u"unit_number"_s, invoice.value(u"unit_number"_s) } };
        QString why;
        const qint64 fee = lateFeeCents(policy, open, invoice.value(u"currency_id"_s), date, &why);
        if (fee <= 0) {
            entry.insert(u"reason"_s, why.isEmpty() ? u"الرسم أقل من سنت"_s : why);
            skipped.append(entry);
            continue;
        }
        const QString reason = u"غرامة تأخير عن الفاتورة %1 المستحقة في %2"_s.arg(
            invoice.value(u"invoice_number"_s).toString(), invoice.value(u"due_date"_s).toString());
        Draft draft { invoice.value(u"tenant_id"_s), invoice.value(u"unit_id"_s), QVariant(),
            date.left(7), invoice.value(u"currency_id"_s), {} };
        draft.lines.append(
            { reason, u"late_fee"_s, 1, Money::fromCents(fee), Money::fromCents(fee) });
        // The fee invoice and its record together, or neither.
        TransactionGuard charge(m_db);
        const int id = charge.isActive() ? issue(draft, &numbering) : -1;
        if (id < 1
            || m_db->execInsert(u"INSERT INTO late_fees (invoice_id, fee_invoice_id, tenant_id, "
                                "amount, currency_id, charge_date, reason) "
                                "VALUES (?,?,?,?,?,?,?)"_s,
                   { invoice.value(u"id"_s), id, invoice.value(u"tenant_id"_s),
                       Money::fromCents(fee), invoice.value(u"currency_id"_s), date, reason })
                < 1
            || !charge.commit()) {
            entry.insert(u"reason"_s, id < 1 ? m_lastRefusal : failed);
            skipped.append(entry);
            continue;
        }
        entry.insert(u"invoice_id"_s, id);
        entry.insert(u"amount"_s, Money::fromCents(fee));
        entry.insert(u"detail"_s, reason);
        issued.append(entry);
    }
    for (const QVariant &element : installments) {
        const QVariantMap installment = element.toMap();
        const qint64 open = Money::cents(installment.value(u"installment_amount"_s).toDouble())
            - Money::cents(installment.value(u"paid_amount"_s).toDouble());
        if (open <= 0)
            continue;
        QVariantMap entry { { u"tenant_name"_s, installment.value(u"tenant_name"_s) },
            { u"unit_number"_s, installment.value(u"unit_number"_s) } };
        QString why;
        const qint64 fee
            = lateFeeCents(policy, open, installment.value(u"currency_id"_s), date, &why);
        if (fee <= 0) {
            entry.insert(u"reason"_s, why.isEmpty() ? u"الرسم أقل من سنت"_s : why);
            skipped.append(entry);
            continue;
        }
        const QString reason = u"غرامة تأخير عن القسط المستحق في %1"_s.arg(
            installment.value(u"due_date"_s).toString());
        const QString note = u"غرامة تأخير %1 بتاريخ %2"_s.arg(
            QString::number(Money::fromCents(fee), 'f', 2), date);
        QString notes = installment.value(u"notes"_s).toString();
        notes += (notes.isEmpty() ? QString() : u"\n"_s) + note;
        TransactionGuard charge(m_db);
        if (!charge.isActive()
            || m_db->execInsert(u"INSERT INTO late_fees (installment_id, buyer_id, amount, "
                                "currency_id, charge_date, reason) VALUES (?,?,?,?,?,?)"_s,
                   { installment.value(u"id"_s), installment.value(u"buyer_id"_s),
                       Money::fromCents(fee), installment.value(u"currency_id"_s), date, reason })
                < 1
            || !m_db->execNonQuery(u"UPDATE installments SET notes=? WHERE id=?"_s,
                { notes, installment.value(u"id"_s) })
            || !m_db->execNonQuery(u"UPDATE buyers SET balance=round(COALESCE(balance,0)+?,2) "
                                   "WHERE id=?"_s,
                { Money::fromCents(fee), installment.value(u"buyer_id"_s) })
            || !charge.commit()) {
            entry.insert(u"reason"_s, failed);
            skipped.append(entry);
            continue;
        }
        entry.insert(u"amount"_s, Money::fromCents(fee));
        entry.insert(u"detail"_s, reason);
        issued.append(entry);
    }
    if (!issued.isEmpty() && !run.commit()) {
        refuse(failed);
        return 0;
    }
    settle({ { u"period"_s, date }, { u"issued"_s, issued }, { u"skipped"_s, skipped },
        { u"alreadyBilled"_s, alreadyCharged } });
    if (!issued.isEmpty())
        emit dataChanged();
    return issued.size();
}
