#include "paymentmodel.h"

#include "database.h"
#include "inputconverter.h"
#include "money.h"
#include "posting.h"
#include "recordsearch.h"
#include "transactionguard.h"
#include "voucherbook.h"

#include <QDate>
#include <QSet>

using namespace Qt::StringLiterals;

PaymentModel::PaymentModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

namespace {

// A listed payment with its payer, invoice, unit and reversal. A buyer's installment payment has
// no tenant or invoice: its buyer and unit stand in.
const QString listedSql = u"SELECT p.*, COALESCE(t.full_name, b.full_name) as tenant_name, "
                          "i.invoice_number, u.unit_number, pr.name as property_name, "
                          "(SELECT r.id FROM payments r WHERE r.reverses_payment_id=p.id) "
                          "as reversed_by FROM payments p "
                          "LEFT JOIN tenants t ON p.tenant_id=t.id "
                          "LEFT JOIN buyers b ON p.buyer_id=b.id "
                          "LEFT JOIN invoices i ON p.invoice_id=i.id "
                          "LEFT JOIN units u ON u.id=COALESCE(i.unit_id, p.unit_id) "
                          "LEFT JOIN properties pr ON u.property_id=pr.id "_s;

} // namespace

QString PaymentModel::listedRows() { return listedSql; }

QVariantList PaymentModel::getAll() { return list(listedSql + u"ORDER BY p.payment_date DESC"_s); }

QVariantList PaymentModel::getLatest(int limit)
{
    return list(listedSql + u"ORDER BY p.payment_date DESC, p.id DESC LIMIT ?"_s, { limit });
}

QVariantList PaymentModel::search(
    const QString &text, const QString &from, const QString &to, int limit)
{
    const QString typed = InputConverter::normalized(text);
    const QString like = RecordSearch::containsPattern(text);
    const QString first = InputConverter::date(from);
    const QString last = InputConverter::date(to);
    return list(listedSql
            + u"WHERE (COALESCE(?, '') = '' OR COALESCE(t.full_name, b.full_name) LIKE ? ESCAPE '\\' "
              "OR i.invoice_number LIKE ? ESCAPE '\\' OR p.reference LIKE ? ESCAPE '\\' "
              "OR u.unit_number LIKE ? ESCAPE '\\') "
              "AND (COALESCE(?, '') = '' OR substr(p.payment_date, 1, 10) >= ?) "
              "AND (COALESCE(?, '') = '' OR substr(p.payment_date, 1, 10) <= ?) "
              "ORDER BY p.payment_date DESC, p.id DESC LIMIT ?"_s,
        { typed, like, like, like, like, first, first, last, last, qMax(0, limit) });
}

QVariantList PaymentModel::getRecent(int limit)
{
    return list(
        u"SELECT p.*, t.full_name as tenant_name, u.unit_number, "
        "pr.name as property_name FROM payments p "
        "LEFT JOIN tenants t ON p.tenant_id=t.id LEFT JOIN invoices i ON p.invoice_id=i.id "
        "LEFT JOIN units u ON i.unit_id=u.id LEFT JOIN properties pr ON u.property_id=pr.id "
        "ORDER BY p.payment_date DESC LIMIT ?"_s,
        { limit });
}

QVariantList PaymentModel::getByTenant(int tenantId)
{
    return list(
        u"SELECT * FROM payments WHERE tenant_id=? ORDER BY payment_date DESC"_s, { tenantId });
}

int PaymentModel::add(int invoiceId, int tenantId, double amount, const QString &method,
    const QString &date, const QString &ref, int currId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const int id = record(invoiceId, tenantId, amount, method, date, ref, currId);
    // Money taken from a held deposit was receipted when the deposit came in.
    if (id < 1 || (method != u"deposit"_s && issueReceipt({ id }) < 1) || !guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

int PaymentModel::record(int invoiceId, int tenantId, double amount, const QString &method,
    const QString &date, const QString &ref, int currId)
{
    // A zero or negative payment would reopen a settled invoice or mark an open one paid.
    const qint64 cents = Money::cents(amount);
    if (!isFinite(amount) || cents <= 0)
        return -1;

    // The payment, the invoice and the tenant's balance stand or fall together. The balance is
    // read inside the write, so another connection cannot pay the same amount in between.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    QVariantMap invoice;
    if (invoiceId > 0) {
        invoice = one(u"SELECT paid_amount, balance FROM invoices WHERE id=?"_s, { invoiceId });
        if (!invoice.isEmpty() && cents > Money::cents(invoice.value(u"balance"_s).toDouble()))
            return -1;
    }
    const double paid = Money::fromCents(cents);
    const int id = m_db->execInsert(u"INSERT INTO payments (invoice_id,tenant_id,amount,"
                                    "payment_method,payment_date,reference,currency_id) "
                                    "VALUES (?,?,?,?,?,?,?)"_s,
        { invoiceId, tenantId, paid, method, date, ref, currId });
    if (id < 1)
        return -1;
    if (!invoice.isEmpty()) {
        const qint64 open = Money::cents(invoice.value(u"balance"_s).toDouble()) - cents;
        const qint64 settled = Money::cents(invoice.value(u"paid_amount"_s).toDouble()) + cents;
        if (!m_db->execNonQuery(
                u"UPDATE invoices SET paid_amount=?, balance=?, status=? WHERE id=?"_s,
                { Money::fromCents(settled), Money::fromCents(open),
                    open == 0 ? u"paid"_s : u"partial"_s, invoiceId }))
            return -1;
    }
    if (invoiceId > 0
        && !m_db->execNonQuery(
            u"UPDATE tenants SET balance=round(balance-?,2) WHERE id=?"_s, { paid, tenantId }))
        return -1;
    if (!Posting::post(m_db, Posting::Kind::TenantPayment, id) || !guard.commit())
        return -1;
    return id;
}

int PaymentModel::issueReceipt(const QList<int> &paymentIds)
{
    if (paymentIds.isEmpty())
        return -1;
    QVariantList ids;
    QStringList marks;
    for (int id : paymentIds) {
        ids.append(id);
        marks.append(u"?"_s);
    }
    const QString within = u"(%1)"_s.arg(marks.join(u','));
    const QVariantList rows
        = list(u"SELECT p.id, p.amount, p.payment_date, p.payment_method, p.reference, "
               "p.currency_id, p.tenant_id, i.invoice_number, i.period, u.unit_number "
               "FROM payments p LEFT JOIN invoices i ON p.invoice_id=i.id "
               "LEFT JOIN units u ON u.id=i.unit_id WHERE p.id IN "_s
                + within + u" ORDER BY p.id"_s,
            ids);
    if (rows.size() != paymentIds.size())
        return -1;
    // One receipt for the money handed over, naming every invoice it went to.
    qint64 cents = 0;
    QStringList purposes;
    for (const QVariant &item : rows) {
        const QVariantMap row = item.toMap();
        cents += Money::cents(row.value(u"amount"_s).toDouble());
        QString purpose = row.value(u"invoice_number"_s).toString().isEmpty()
            ? u"دفعة على الحساب"_s
            : u"الفاتورة "_s + row.value(u"invoice_number"_s).toString();
        if (!row.value(u"period"_s).toString().isEmpty())
            purpose += u" عن "_s + row.value(u"period"_s).toString();
        if (!row.value(u"unit_number"_s).toString().isEmpty())
            purpose += u" - الوحدة "_s + row.value(u"unit_number"_s).toString();
        purposes.append(purpose);
    }
    const QVariantMap first = rows.constFirst().toMap();
    VoucherBook::Entry entry;
    entry.kind = VoucherBook::Kind::Receipt;
    entry.date = first.value(u"payment_date"_s).toString();
    entry.partyType = u"tenant"_s;
    entry.partyId = first.value(u"tenant_id"_s).toInt();
    entry.amount = Money::fromCents(cents);
    entry.currencyId = first.value(u"currency_id"_s).toInt();
    entry.purpose = purposes.join(u"، "_s);
    entry.method = first.value(u"payment_method"_s).toString();
    entry.reference = first.value(u"reference"_s).toString();
    entry.source = u"payment"_s;
    entry.sourceId = paymentIds.constFirst();
    const int voucherId = VoucherBook(m_db).issue(entry);
    if (voucherId < 1
        || !m_db->execNonQuery(u"UPDATE payments SET voucher_id=? WHERE id IN "_s + within,
            QVariantList { voucherId } + ids))
        return -1;
    return voucherId;
}

void PaymentModel::refuse(const QString &why)
{
    m_lastRefusal = why;
    emit outcomeChanged();
}

int PaymentModel::reverse(int paymentId, const QString &reason)
{
    if (!permitted(Operation::VoidPayment))
        return -1;
    return undo(paymentId, reason);
}

int PaymentModel::undo(int paymentId, const QString &reason)
{
    const QString why = reason.trimmed();
    if (why.isEmpty()) {
        refuse(u"اكتب سبب عكس الدفعة"_s);
        return -1;
    }
    const QVariantMap payment
        = one(u"SELECT p.*, i.paid_amount, i.balance as invoice_balance, "
              "i.status as invoice_status, "
              "(SELECT r.id FROM payments r WHERE r.reverses_payment_id=p.id) "
              "as reversed_by FROM payments p "
              "JOIN invoices i ON p.invoice_id=i.id WHERE p.id=?"_s,
            { paymentId });
    if (payment.isEmpty()) {
        refuse(u"الدفعة غير موجودة أو ليست على فاتورة مستأجر"_s);
        return -1;
    }
    if (!payment.value(u"reverses_payment_id"_s).isNull()) {
        refuse(u"هذه حركة عكس لدفعة أخرى ولا تُعكس"_s);
        return -1;
    }
    if (!payment.value(u"reversed_by"_s).isNull()) {
        refuse(u"عُكست هذه الدفعة من قبل"_s);
        return -1;
    }
    const qint64 amount = Money::cents(payment.value(u"amount"_s).toDouble());
    if (amount <= 0) {
        refuse(u"مبلغ الدفعة لا يسمح بعكسها"_s);
        return -1;
    }

    // A void invoice owes nothing whatever was paid on it: only its paid amount goes back.
    const bool voided = payment.value(u"invoice_status"_s).toString() == u"void"_s;
    const qint64 paid = Money::cents(payment.value(u"paid_amount"_s).toDouble()) - amount;
    const qint64 open
        = Money::cents(payment.value(u"invoice_balance"_s).toDouble()) + (voided ? 0 : amount);
    const QString status = voided ? u"void"_s
        : paid <= 0               ? u"pending"_s
        : open <= 0               ? u"paid"_s
                                  : u"partial"_s;
    const int invoiceId = payment.value(u"invoice_id"_s).toInt();
    const QVariant tenantId = payment.value(u"tenant_id"_s);

    // The reversal, the invoice, the tenant's balance and the payment's receipt (kept, marked
    // void with the reason) stand or fall together.
    const int voucherId = payment.value(u"voucher_id"_s).toInt();
    TransactionGuard guard(m_db);
    const int id = guard.isActive()
        ? m_db->execInsert(u"INSERT INTO payments (invoice_id,tenant_id,amount,payment_method,"
                           "payment_date,reference,currency_id,notes,reverses_payment_id) "
                           "VALUES (?,?,?,?,?,?,?,?,?)"_s,
            { invoiceId, tenantId, -Money::fromCents(amount), payment.value(u"payment_method"_s),
                QDate::currentDate().toString(Qt::ISODate), payment.value(u"reference"_s),
                payment.value(u"currency_id"_s), u"عكس دفعة: "_s + why, paymentId })
        : -1;
    if (id < 1
        || !m_db->execNonQuery(
            u"UPDATE invoices SET paid_amount=?, balance=?, status=? WHERE id=?"_s,
            { Money::fromCents(paid), Money::fromCents(open), status, invoiceId })
        || (!voided
            && !m_db->execNonQuery(u"UPDATE tenants SET balance=balance+? WHERE id=?"_s,
                { Money::fromCents(amount), tenantId }))
        || (voucherId > 0 && !VoucherBook(m_db).cancel(voucherId, why))
        || !Posting::post(m_db, Posting::Kind::TenantPayment, id) || !guard.commit()) {
        refuse(u"تعذر عكس الدفعة في قاعدة البيانات"_s);
        return -1;
    }
    m_lastRefusal.clear();
    emit outcomeChanged();
    emit dataChanged();
    return id;
}

QVariantList PaymentModel::settlementPlan(
    int tenantId, const QVariantList &invoiceIds, double amount)
{
    if (!Money::isAcceptable(amount) || Money::cents(amount) <= 0)
        return {};
    // Void and paid invoices are closed; another tenant's invoice is never settled from here.
    const QVariantList open
        = list(u"SELECT id, invoice_number, balance, currency_id, due_date, period FROM invoices "
               "WHERE tenant_id=? AND status!='paid' AND status!='void' AND balance>0.004 "
               "ORDER BY COALESCE(due_date, period, created_at), id"_s,
            { tenantId });
    QSet<int> chosen;
    for (const QVariant &id : invoiceIds)
        chosen.insert(id.toInt());
    // The chosen invoices not met yet among the open ones.
    QSet<int> unmet = chosen;
    QVariantList plan;
    qint64 left = Money::cents(amount);
    QVariant currency;
    for (const QVariant &row : open) {
        QVariantMap invoice = row.toMap();
        const int id = invoice.value(u"id"_s).toInt();
        if (!chosen.isEmpty() && !chosen.contains(id))
            continue;
        unmet.remove(id);
        if (currency.isValid() && invoice.value(u"currency_id"_s) != currency)
            return {};
        currency = invoice.value(u"currency_id"_s);
        if (left == 0)
            continue;
        const qint64 share = qMin(left, Money::cents(invoice.value(u"balance"_s).toDouble()));
        left -= share;
        invoice.insert(u"amount"_s, Money::fromCents(share));
        plan.append(invoice);
    }
    // Left over money or a chosen invoice that is not open: nothing is planned.
    if (left > 0 || !unmet.isEmpty())
        return {};
    return plan;
}

int PaymentModel::settle(int tenantId, const QVariantList &invoiceIds, double amount,
    const QString &method, const QString &date, const QString &ref)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    const QDate day = QDate::fromString(date, u"yyyy-MM-dd"_s);
    if (!day.isValid()
        || intFigure(u"SELECT ? > date('now','localtime') as f"_s, u"f"_s, { date }) != 0)
        return -1;
    const QVariantList plan = settlementPlan(tenantId, invoiceIds, amount);
    if (plan.isEmpty())
        return -1;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    QList<int> recorded;
    for (const QVariant &row : plan) {
        const QVariantMap part = row.toMap();
        const int id
            = record(part.value(u"id"_s).toInt(), tenantId, part.value(u"amount"_s).toDouble(),
                method, date, ref, part.value(u"currency_id"_s).toInt());
        if (id < 1)
            return -1;
        recorded.append(id);
    }
    if (issueReceipt(recorded) < 1 || !guard.commit())
        return -1;
    emit dataChanged();
    return int(plan.size());
}
