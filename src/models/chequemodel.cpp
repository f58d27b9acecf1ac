#include "chequemodel.h"

#include "database.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "session.h"
#include "settingsmanager.h"
#include "transactionguard.h"

#include <QDate>
#include <map>

using namespace Qt::StringLiterals;

namespace {

const QString kPending = u"pending"_s;
const QString kDeposited = u"deposited"_s;
// Cleared for a received cheque, cashed for an issued one: the value the register always used.
const QString kPaid = u"paid"_s;
const QString kBounced = u"bounced"_s;
const QString kReturned = u"returned"_s;
const QString kCancelled = u"cancelled"_s;

struct Move
{
    const char16_t *type;
    const char16_t *from;
    const char16_t *to;
};

// The whole life of a cheque. A cleared cheque can still come back from the bank unpaid.
constexpr Move kMoves[] = {
    { u"received", u"pending", u"deposited" },
    { u"received", u"pending", u"paid" },
    { u"received", u"pending", u"bounced" },
    { u"received", u"pending", u"returned" },
    { u"received", u"deposited", u"paid" },
    { u"received", u"deposited", u"bounced" },
    { u"received", u"paid", u"bounced" },
    { u"issued", u"pending", u"paid" },
    { u"issued", u"pending", u"cancelled" },
    { u"issued", u"pending", u"bounced" },
};

struct Reason
{
    const char16_t *key;
    const char16_t *label;
};

constexpr Reason kReasons[] = {
    { u"insufficient_funds", u"عدم كفاية الرصيد" },
    { u"signature", u"خطأ في التوقيع" },
    { u"stopped", u"أوقف الساحب صرفه" },
    { u"other", u"سبب آخر" },
};

QString reasonLabel(const QString &key)
{
    for (const Reason &reason : kReasons) {
        if (key == QStringView(reason.key))
            return QString::fromUtf16(reason.label);
    }
    return {};
}

QString statusLabel(const QString &type, const QString &status)
{
    if (status == kPending)
        return u"معلق"_s;
    if (status == kDeposited)
        return u"مودع في البنك"_s;
    if (status == kPaid)
        return type == u"issued"_s ? u"مصروف"_s : u"محصّل"_s;
    if (status == kBounced)
        return u"مرتجع"_s;
    if (status == kReturned)
        return u"معاد للساحب"_s;
    if (status == kCancelled)
        return u"ملغى"_s;
    return status;
}

QString today() { return QDate::currentDate().toString(u"yyyy-MM-dd"_s); }

bool isDay(const QString &text)
{
    const QDate day = QDate::fromString(text, u"yyyy-MM-dd"_s);
    return day.isValid() && day.toString(u"yyyy-MM-dd"_s) == text;
}

const QString kFailed = u"تعذر حفظ الشيك في قاعدة البيانات"_s;

// What a listed cheque shows besides its own columns: its currency, its party, what it pays and
// the cheque it replaces or that replaced it.
const QString listedSql
    = u"SELECT c.*, cur.symbol as currency_symbol, cur.code as currency_code, "
      "COALESCE(t.full_name, b.full_name) as party_name, "
      "(SELECT o.cheque_number FROM cheques o WHERE o.id=c.replaces_cheque_id) as replaces_number, "
      "(SELECT r.cheque_number FROM cheques r WHERE r.replaces_cheque_id=c.id) as replaced_by, "
      "(SELECT group_concat(i.invoice_number, '، ') FROM cheque_invoices l JOIN invoices i "
      "ON i.id=l.invoice_id WHERE l.cheque_id=c.id) as linked_invoices, "
      "(SELECT u.unit_number FROM contracts k JOIN units u ON u.id=k.unit_id "
      "WHERE k.id=c.contract_id) as lease_unit, "
      "(SELECT n.due_date FROM installments n WHERE n.id=c.installment_id) as installment_due "
      "FROM cheques c LEFT JOIN currencies cur ON c.currency_id=cur.id "
      "LEFT JOIN tenants t ON c.tenant_id=t.id LEFT JOIN buyers b ON c.buyer_id=b.id "_s;

} // namespace

ChequeModel::ChequeModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList ChequeModel::getAll() { return list(listedSql + u"ORDER BY c.due_date DESC"_s); }

QString ChequeModel::listedRows() { return listedSql; }

QVariantMap ChequeModel::getListed(int id) { return one(listedSql + u"WHERE c.id=?"_s, { id }); }

QVariantList ChequeModel::statusTotals()
{
    QVariantList rows = list(u"SELECT status, COUNT(*) AS count, COALESCE(SUM(amount),0) AS total "
                             "FROM cheques GROUP BY status ORDER BY status"_s);
    for (QVariant &item : rows) {
        QVariantMap row = item.toMap();
        row.insert(u"total"_s, Money::round(row.value(u"total"_s).toDouble()));
        item = row;
    }
    return rows;
}

int ChequeModel::add(const QString &num, const QString &type, double amount, const QString &bank,
    const QString &dueDate, const QString &payerPayee, int currId, double exchangeRate, int buyerId,
    int tenantId)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isFinite(amount) || !isFinite(exchangeRate))
        return -1;
    // One counter-party field in the dialog; the type says which side of the cheque it is.
    const QString payer = type == u"received"_s ? payerPayee : u""_s;
    const QString payee = type == u"issued"_s ? payerPayee : u""_s;
    // There is no rate column; the rate travels in the notes.
    const QString notes = u"exchange_rate=%1"_s.arg(QString::number(exchangeRate, 'g', 6));
    return create(u"INSERT INTO cheques (cheque_number,type,amount,bank_name,issue_date,due_date,"
                  "payer_name,payee_name,status,currency_id,buyer_id,tenant_id,notes) VALUES "
                  "(?,?,?,?,date('now','localtime'),?,?,?,?,?,?,?,?)"_s,
        { num, type, amount, bank, dueDate, payer, payee, u"pending"_s, currId, optionalId(buyerId),
            optionalId(tenantId), notes });
}

bool ChequeModel::updateStatus(int id, const QString &status)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (status == kPaid || status == u"cleared"_s || status == u"cashed"_s)
        return clear(id);
    if (status == kBounced)
        return bounce(id, u"other"_s);
    if (status == kDeposited)
        return deposit(id);
    if (status == kReturned)
        return returnToDrawer(id);
    if (status == kCancelled)
        return cancel(id);
    return refuse(u"حالة غير معروفة للشيك"_s);
}

bool ChequeModel::update(int id, const QString &num, double amount, const QString &bank,
    const QString &dueDate, const QString &payerPayee)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(amount) || num.trimmed().isEmpty())
        return false;
    if (one(u"SELECT status FROM cheques WHERE id=?"_s, { id }).value(u"status"_s).toString()
        != u"pending"_s)
        return false;
    // The counter-party goes to the side the cheque's type names, as when it was added.
    return change(u"UPDATE cheques SET cheque_number=?, amount=?, bank_name=?, due_date=?, "
                  "payer_name=CASE WHEN type='received' THEN ? ELSE payer_name END, "
                  "payee_name=CASE WHEN type='issued' THEN ? ELSE payee_name END "
                  "WHERE id=?"_s,
        { num, amount, bank, dueDate, payerPayee, payerPayee, id });
}

QVariantList ChequeModel::getByType(const QString &type)
{
    return list(listedSql + u"WHERE c.type=? ORDER BY c.due_date DESC"_s, { type });
}

QVariantList ChequeModel::getByStatus(const QString &status)
{
    return list(listedSql + u"WHERE c.status=? ORDER BY c.due_date"_s, { status });
}

QVariantList ChequeModel::getPending()
{
    return list(listedSql + u"WHERE c.status='pending' ORDER BY c.due_date"_s);
}

QVariantList ChequeModel::getPostDated()
{
    return list(listedSql
        + u"WHERE c.status='pending' AND c.due_date > date('now','localtime') "
          "ORDER BY c.due_date"_s);
}

bool ChequeModel::canMove(const QString &type, const QString &from, const QString &to) const
{
    return allowed(type, from, to);
}

bool ChequeModel::allowed(const QString &type, const QString &from, const QString &to)
{
    for (const Move &move : kMoves) {
        if (type == QStringView(move.type) && from == QStringView(move.from)
            && to == QStringView(move.to))
            return true;
    }
    return false;
}

bool ChequeModel::refuse(const QString &why)
{
    m_lastDone.clear();
    m_lastRefusal = why;
    emit outcomeChanged();
    return false;
}

void ChequeModel::succeed(const QString &done)
{
    m_lastRefusal.clear();
    m_lastDone = done;
    emit outcomeChanged();
    emit dataChanged();
}

QVariantMap ChequeModel::movable(int id, const QString &to)
{
    const QVariantMap cheque = one(listedSql + u"WHERE c.id=?"_s, { id });
    if (cheque.isEmpty()) {
        refuse(u"الشيك غير موجود"_s);
        return {};
    }
    const QString type = cheque.value(u"type"_s).toString();
    const QString from = cheque.value(u"status"_s).toString();
    if (!allowed(type, from, to)) {
        refuse(u"لا ينتقل الشيك من حالة «%1» إلى «%2»"_s.arg(
            statusLabel(type, from), statusLabel(type, to)));
        return {};
    }
    return cheque;
}

bool ChequeModel::recordEvent(int id, const QString &status, const QString &note)
{
    const Session *session = m_db->session();
    const bool known = session && session->isActive();
    return m_db->execInsert(u"INSERT INTO cheque_events (cheque_id,status,event_date,user_id,"
                            "operator,note) VALUES (?,?,?,?,?,?)"_s,
               { id, status, today(), known ? QVariant(session->userId()) : QVariant(),
                   !known                              ? u""_s
                       : session->fullName().isEmpty() ? session->username()
                                                       : session->fullName(),
                   note })
        > 0;
}

bool ChequeModel::moveTo(int id, const QString &status, const QString &note)
{
    return m_db->execNonQuery(
               u"UPDATE cheques SET status=?, status_date=? WHERE id=?"_s, { status, today(), id })
        && recordEvent(id, status, note);
}

bool ChequeModel::simpleMove(int id, const QString &status)
{
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return refuse(kFailed);
    const QVariantMap cheque = movable(id, status);
    if (cheque.isEmpty())
        return false;
    if (!moveTo(id, status, {}) || !guard.commit())
        return refuse(kFailed);
    succeed(u"سُجل الشيك: "_s + statusLabel(cheque.value(u"type"_s).toString(), status));
    return true;
}

bool ChequeModel::deposit(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return simpleMove(id, kDeposited);
}

bool ChequeModel::returnToDrawer(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return simpleMove(id, kReturned);
}

bool ChequeModel::cancel(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return simpleMove(id, kCancelled);
}

bool ChequeModel::recordClearing(const QVariantMap &cheque)
{
    if (cheque.value(u"type"_s).toString() != u"received"_s)
        return true;
    const int id = cheque.value(u"id"_s).toInt();
    const double amount = cheque.value(u"amount"_s).toDouble();
    const QString number = cheque.value(u"cheque_number"_s).toString();
    // Inside this write nobody else adds payments, so the ones after this id are this cheque's.
    const int before = intFigure(u"SELECT COALESCE(MAX(id),0) as m FROM payments"_s, u"m"_s);
    const QString tag = u"UPDATE payments SET cheque_id=?, payment_method='cheque', reference=? "
                        "WHERE id>?"_s;

    const int installmentId = cheque.value(u"installment_id"_s).toInt();
    if (installmentId > 0) {
        InstallmentModel installments(m_db);
        if (!installments.payInstallment(installmentId, amount))
            return refuse(u"مبلغ الشيك أكبر مما تبقى على القسط المرتبط به"_s);
        return m_db->execNonQuery(tag, { id, number, before }) || refuse(kFailed);
    }

    QVariantList invoiceIds;
    for (const QVariant &row :
        list(u"SELECT invoice_id FROM cheque_invoices WHERE cheque_id=? ORDER BY invoice_id"_s,
            { id }))
        invoiceIds.append(row.toMap().value(u"invoice_id"_s));
    const int contractId = cheque.value(u"contract_id"_s).toInt();
    if (invoiceIds.isEmpty() && contractId > 0) {
        // The lease's rent is paid oldest invoice first.
        for (const QVariant &row :
            list(u"SELECT id FROM invoices WHERE contract_id=? AND status!='paid' AND "
                 "status!='void' AND balance>0.004 ORDER BY COALESCE(due_date, period), id"_s,
                { contractId }))
            invoiceIds.append(row.toMap().value(u"id"_s));
        if (invoiceIds.isEmpty())
            return refuse(u"لا توجد فواتير مفتوحة على العقد يدفعها هذا الشيك؛ أصدر فاتورة "
                          "الإيجار أولاً"_s);
    }
    // A cheque that pays nothing in particular only changes its status, as it always did.
    if (invoiceIds.isEmpty())
        return true;

    const int tenantId = intFigure(
        u"SELECT tenant_id FROM invoices WHERE id=?"_s, u"tenant_id"_s, { invoiceIds.first() });
    PaymentModel payments(m_db);
    if (payments.settlementPlan(tenantId, invoiceIds, amount).isEmpty())
        return refuse(u"مبلغ الشيك أكبر مما تبقى على الفواتير المرتبطة به"_s);
    if (payments.settle(tenantId, invoiceIds, amount, u"cheque"_s, today(), number) < 1)
        return refuse(kFailed);
    return m_db->execNonQuery(tag, { id, number, before }) || refuse(kFailed);
}

bool ChequeModel::clear(int id)
{
    if (!permitted(Operation::DailyWork))
        return false;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return refuse(kFailed);
    const QVariantMap cheque = movable(id, kPaid);
    if (cheque.isEmpty() || !recordClearing(cheque))
        return false;
    if (!moveTo(id, kPaid, {}) || !guard.commit())
        return refuse(kFailed);
    succeed(cheque.value(u"type"_s).toString() == u"issued"_s ? u"سُجل صرف الشيك"_s
                                                              : u"سُجل تحصيل الشيك"_s);
    return true;
}

bool ChequeModel::undoClearing(const QVariantMap &cheque, const QString &why)
{
    const QVariantList recorded
        = list(u"SELECT p.id, p.installment_id FROM payments p WHERE p.cheque_id=? AND "
               "p.reverses_payment_id IS NULL AND NOT EXISTS (SELECT 1 FROM payments r WHERE "
               "r.reverses_payment_id=p.id) ORDER BY p.id"_s,
            { cheque.value(u"id"_s) });
    for (const QVariant &element : recorded) {
        const QVariantMap payment = element.toMap();
        const int paymentId = payment.value(u"id"_s).toInt();
        if (payment.value(u"installment_id"_s).toInt() > 0) {
            InstallmentModel installments(m_db);
            if (installments.reverseCollection(paymentId, why) < 1)
                return refuse(installments.lastRefusal());
        } else {
            PaymentModel payments(m_db);
            // A bounce is daily work: the cheque undoes its own payment without the
            // administrator's voiding right.
            if (payments.undo(paymentId, why) < 1)
                return refuse(payments.lastRefusal());
        }
    }
    return true;
}

bool ChequeModel::chargeBounceFee(const QVariantMap &cheque)
{
    const double fee = SettingsManager::bounceFee(m_db);
    if (Money::cents(fee) <= 0)
        return true;
    const QString what
        = u"رسوم شيك مرتجع رقم %1"_s.arg(cheque.value(u"cheque_number"_s).toString());
    const int installmentId = cheque.value(u"installment_id"_s).toInt();
    if (installmentId > 0) {
        // The schedule must keep adding up to the sale price, so the fee is a note the buyer
        // is asked for with the installment.
        return m_db->execNonQuery(u"UPDATE installments SET notes=trim(COALESCE(notes,'') || ' ' "
                                  "|| ?) WHERE id=?"_s,
                   { u"%1: %2"_s.arg(what, QString::number(Money::round(fee), 'f', 2)),
                       installmentId })
            || refuse(kFailed);
    }
    // The tenant and unit come from the cheque, its lease or the first invoice it pays.
    const QVariantMap owner
        = one(u"SELECT COALESCE(c.tenant_id, k.tenant_id, i.tenant_id) as tenant_id, "
              "COALESCE(k.unit_id, i.unit_id) as unit_id FROM cheques c "
              "LEFT JOIN contracts k ON k.id=c.contract_id "
              "LEFT JOIN invoices i ON i.id=(SELECT MIN(invoice_id) FROM cheque_invoices "
              "WHERE cheque_id=c.id) WHERE c.id=?"_s,
            { cheque.value(u"id"_s) });
    const int tenantId = owner.value(u"tenant_id"_s).toInt();
    if (tenantId < 1)
        return true;
    const QVariantMap line { { u"description"_s, what }, { u"type"_s, u"service"_s },
        { u"quantity"_s, 1 }, { u"unit_price"_s, Money::round(fee) },
        { u"total"_s, Money::round(fee) } };
    InvoiceModel invoices(m_db);
    return invoices.createInvoice(tenantId, owner.value(u"unit_id"_s).toInt(),
               QDate::currentDate().toString(u"yyyy-MM"_s), { line },
               cheque.value(u"currency_id"_s).toInt())
        > 0
        || refuse(kFailed);
}

bool ChequeModel::bounce(int id, const QString &reason, const QString &note)
{
    if (!permitted(Operation::DailyWork))
        return false;
    const QString label = reasonLabel(reason);
    if (label.isEmpty())
        return refuse(u"اختر سبب ارتجاع الشيك"_s);
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return refuse(kFailed);
    const QVariantMap cheque = movable(id, kBounced);
    if (cheque.isEmpty())
        return false;
    const QString why
        = u"شيك مرتجع رقم %1: %2"_s.arg(cheque.value(u"cheque_number"_s).toString(), label);
    const bool received = cheque.value(u"type"_s).toString() == u"received"_s;
    if (cheque.value(u"status"_s).toString() == kPaid && !undoClearing(cheque, why))
        return false;
    if (received && !chargeBounceFee(cheque))
        return false;
    const QString said = note.trimmed().isEmpty() ? label : label + u" - "_s + note.trimmed();
    if (!m_db->execNonQuery(u"UPDATE cheques SET bounce_reason=? WHERE id=?"_s, { reason, id })
        || !moveTo(id, kBounced, said) || !guard.commit())
        return refuse(kFailed);
    succeed(u"سُجل ارتجاع الشيك"_s);
    return true;
}

int ChequeModel::replace(
    int bouncedId, const QString &num, double amount, const QString &bank, const QString &dueDate)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (num.trimmed().isEmpty() || !Money::isAcceptable(amount) || Money::cents(amount) <= 0) {
        refuse(u"أدخل رقم الشيك البديل ومبلغاً صحيحاً"_s);
        return -1;
    }
    if (!isDay(dueDate)) {
        refuse(u"أدخل تاريخ استحقاق صحيحاً"_s);
        return -1;
    }
    TransactionGuard guard(m_db);
    if (!guard.isActive()) {
        refuse(kFailed);
        return -1;
    }
    const QVariantMap old = one(listedSql + u"WHERE c.id=?"_s, { bouncedId });
    if (old.value(u"type"_s).toString() != u"received"_s
        || old.value(u"status"_s).toString() != kBounced) {
        refuse(u"يُستبدل الشيك الوارد المرتجع فقط"_s);
        return -1;
    }
    if (!old.value(u"replaced_by"_s).isNull()) {
        refuse(u"لهذا الشيك بديل مسجل من قبل"_s);
        return -1;
    }
    const int id = m_db->execInsert(
        u"INSERT INTO cheques (cheque_number,type,amount,bank_name,issue_date,due_date,"
        "payer_name,payee_name,status,currency_id,buyer_id,tenant_id,contract_id,installment_id,"
        "replaces_cheque_id,notes) SELECT ?,'received',?,?,date('now','localtime'),?,payer_name,"
        "'','pending',currency_id,buyer_id,tenant_id,contract_id,installment_id,id,notes "
        "FROM cheques WHERE id=?"_s,
        { num.trimmed(), Money::round(amount), bank, dueDate, bouncedId });
    if (id < 1
        || !m_db->execNonQuery(u"INSERT INTO cheque_invoices (cheque_id, invoice_id) SELECT ?, "
                               "invoice_id FROM cheque_invoices WHERE cheque_id=?"_s,
            { id, bouncedId })
        || !recordEvent(id, kPending,
            u"بدل الشيك المرتجع رقم %1"_s.arg(old.value(u"cheque_number"_s).toString()))
        || !guard.commit()) {
        refuse(kFailed);
        return -1;
    }
    succeed(u"سُجل الشيك البديل"_s);
    return id;
}

bool ChequeModel::link(int id, const QVariant &contractId, const QVariant &installmentId,
    const QVariantList &invoiceIds)
{
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return refuse(kFailed);
    const QVariantMap cheque = one(u"SELECT type, status, tenant_id, buyer_id FROM cheques "
                                   "WHERE id=?"_s,
        { id });
    const QString status = cheque.value(u"status"_s).toString();
    if (cheque.value(u"type"_s).toString() != u"received"_s
        || (status != kPending && status != kDeposited))
        return refuse(u"يُربط الشيك الوارد قبل تحصيله فقط"_s);

    QVariant tenant;
    QVariant buyer;
    if (contractId.isValid()) {
        tenant = one(u"SELECT tenant_id FROM contracts WHERE id=?"_s, { contractId })
                     .value(u"tenant_id"_s);
        if (tenant.isNull())
            return refuse(u"العقد غير موجود"_s);
    }
    if (installmentId.isValid()) {
        const QVariantMap due
            = one(u"SELECT buyer_id, status FROM installments WHERE id=?"_s, { installmentId });
        if (due.isEmpty() || due.value(u"status"_s).toString() == u"paid"_s)
            return refuse(u"القسط غير موجود أو مسدد"_s);
        buyer = due.value(u"buyer_id"_s);
    }
    for (const QVariant &invoiceId : invoiceIds) {
        const QVariantMap invoice
            = one(u"SELECT tenant_id, status FROM invoices WHERE id=?"_s, { invoiceId });
        const QString invoiceStatus = invoice.value(u"status"_s).toString();
        if (invoice.isEmpty() || invoiceStatus == u"paid"_s || invoiceStatus == u"void"_s)
            return refuse(u"إحدى الفواتير غير موجودة أو مغلقة"_s);
        if (tenant.isValid() && invoice.value(u"tenant_id"_s) != tenant)
            return refuse(u"الفواتير لمستأجرين مختلفين"_s);
        tenant = invoice.value(u"tenant_id"_s);
    }
    // A cheque already naming its drawer pays only that person's debts.
    if ((tenant.isValid() && !cheque.value(u"tenant_id"_s).isNull()
            && cheque.value(u"tenant_id"_s).toInt() != tenant.toInt())
        || (buyer.isValid() && !cheque.value(u"buyer_id"_s).isNull()
            && cheque.value(u"buyer_id"_s).toInt() != buyer.toInt()))
        return refuse(u"الشيك مسجل باسم شخص آخر"_s);

    if (!m_db->execNonQuery(u"DELETE FROM cheque_invoices WHERE cheque_id=?"_s, { id })
        || !m_db->execNonQuery(u"UPDATE cheques SET contract_id=?, installment_id=?, "
                               "tenant_id=COALESCE(?, tenant_id), buyer_id=COALESCE(?, buyer_id) "
                               "WHERE id=?"_s,
            { contractId, installmentId, tenant, buyer, id }))
        return refuse(kFailed);
    for (const QVariant &invoiceId : invoiceIds) {
        if (!m_db->execNonQuery(
                u"INSERT INTO cheque_invoices (cheque_id, invoice_id) VALUES (?,?)"_s,
                { id, invoiceId }))
            return refuse(kFailed);
    }
    if (!guard.commit())
        return refuse(kFailed);
    succeed(u"رُبط الشيك بما يدفعه"_s);
    return true;
}

bool ChequeModel::linkInvoices(int id, const QVariantList &invoiceIds)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (invoiceIds.isEmpty())
        return refuse(u"اختر فاتورة واحدة على الأقل"_s);
    return link(id, QVariant(), QVariant(), invoiceIds);
}

bool ChequeModel::linkLease(int id, int contractId)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return link(id, contractId, QVariant(), {});
}

bool ChequeModel::linkInstallment(int id, int installmentId)
{
    if (!permitted(Operation::DailyWork))
        return false;
    return link(id, QVariant(), installmentId, {});
}

QString ChequeModel::seriesNumber(const QString &first, int index)
{
    bool ok = false;
    const qint64 number = first.toLongLong(&ok, 10);
    if (!first.isEmpty() && ok && number > 0)
        return QString::number(number + index);
    return index == 0 && !first.isNull() ? first : u""_s;
}

int ChequeModel::recordReceived(Database *db, const QString &num, double amount,
    const QString &bank, const QString &dueDate, const QString &payer, const QVariant &currencyId,
    const QVariantMap &links)
{
    const auto linked = [&links](const QString &key) {
        const int id = links.value(key).toInt();
        return id > 0 ? QVariant(id) : QVariant();
    };
    return db->execInsert(u"INSERT INTO cheques (cheque_number,type,amount,bank_name,issue_date,"
                          "due_date,payer_name,payee_name,status,currency_id,buyer_id,tenant_id,"
                          "contract_id,installment_id,notes) VALUES (?,'received',?,?,"
                          "date('now','localtime'),?,?,'','pending',?,?,?,?,?,'exchange_rate=1')"_s,
        { num, amount, bank.isNull() ? u""_s : bank, dueDate, payer, currencyId,
            linked(u"buyer_id"_s), linked(u"tenant_id"_s), linked(u"contract_id"_s),
            linked(u"installment_id"_s) });
}

int ChequeModel::receiveLeaseCheques(int contractId, int count, const QString &firstDate,
    double amount, const QString &bank, const QString &firstNumber)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (count < 1 || count > 120 || !Money::isAcceptable(amount) || Money::cents(amount) <= 0) {
        refuse(u"أدخل عدد الشيكات (1 إلى 120) ومبلغ كل شيك"_s);
        return -1;
    }
    if (firstNumber.trimmed().isEmpty() || !isDay(firstDate)) {
        refuse(u"أدخل رقم الشيك الأول وتاريخه بالصيغة YYYY-MM-DD"_s);
        return -1;
    }
    const QVariantMap lease = one(u"SELECT k.tenant_id, k.currency_id, k.payment_frequency, "
                                  "t.full_name FROM contracts k JOIN tenants t ON "
                                  "t.id=k.tenant_id WHERE k.id=? AND k.status='active'"_s,
        { contractId });
    if (lease.isEmpty()) {
        refuse(u"العقد غير موجود أو منتهٍ"_s);
        return -1;
    }
    // One cheque per rent period.
    const QString frequency = lease.value(u"payment_frequency"_s).toString();
    const int months = frequency == u"yearly"_s ? 12
        : frequency == u"semiannual"_s          ? 6
        : frequency == u"quarterly"_s           ? 3
                                                : 1;
    const QDate first = QDate::fromString(firstDate, u"yyyy-MM-dd"_s);
    const QVariant currency
        = lease.value(u"currency_id"_s).isNull() ? QVariant(1) : lease.value(u"currency_id"_s);
    const QVariantMap links { { u"tenant_id"_s, lease.value(u"tenant_id"_s) },
        { u"contract_id"_s, contractId } };

    TransactionGuard guard(m_db);
    if (!guard.isActive()) {
        refuse(kFailed);
        return -1;
    }
    for (int i = 0; i < count; ++i) {
        if (recordReceived(m_db, seriesNumber(firstNumber.trimmed(), i), Money::round(amount), bank,
                first.addMonths(i * months).toString(u"yyyy-MM-dd"_s),
                lease.value(u"full_name"_s).toString(), currency, links)
            < 1) {
            refuse(kFailed);
            return -1;
        }
    }
    if (!guard.commit()) {
        refuse(kFailed);
        return -1;
    }
    succeed(u"سُجلت %1 شيكات للعقد"_s.arg(count));
    return count;
}

QVariantList ChequeModel::bounceReasons() const
{
    QVariantList reasons;
    for (const Reason &reason : kReasons)
        reasons.append(QVariantMap { { u"key"_s, QString::fromUtf16(reason.key) },
            { u"label"_s, QString::fromUtf16(reason.label) } });
    return reasons;
}

QVariantList ChequeModel::history(int id)
{
    const QVariantMap cheque
        = one(u"SELECT type, issue_date, created_at FROM cheques WHERE id=?"_s, { id });
    if (cheque.isEmpty())
        return {};
    const QString type = cheque.value(u"type"_s).toString();
    QVariantList rows { QVariantMap { { u"status"_s, kPending }, { u"label"_s, u"تسجيل الشيك"_s },
        { u"event_date"_s,
            cheque.value(u"issue_date"_s).toString().isEmpty()
                ? cheque.value(u"created_at"_s).toString().left(10)
                : cheque.value(u"issue_date"_s) },
        { u"operator"_s, u""_s }, { u"note"_s, u""_s } } };
    for (const QVariant &element : list(u"SELECT status, event_date, operator, note FROM "
                                        "cheque_events WHERE cheque_id=? ORDER BY id"_s,
             { id })) {
        QVariantMap row = element.toMap();
        row.insert(u"label"_s, statusLabel(type, row.value(u"status"_s).toString()));
        rows.append(row);
    }
    return rows;
}

QVariantMap ChequeModel::calendar(int days)
{
    const QDate start = QDate::currentDate();
    const int span = qBound(1, days, 366);
    const QVariantList cheques = list(listedSql
            + u"WHERE c.type='received' AND c.status='pending' AND c.due_date>=? AND "
              "c.due_date<=? ORDER BY c.due_date, c.bank_name, c.id"_s,
        { start.toString(u"yyyy-MM-dd"_s), start.addDays(span).toString(u"yyyy-MM-dd"_s) });

    struct Total
    {
        int count = 0;
        qint64 cents = 0;
        QString symbol;
    };
    // Keyed by day (or bank) then currency, so each list comes out in order.
    std::map<std::pair<QString, QString>, Total> perDay;
    std::map<std::pair<QString, QString>, Total> perBank;
    for (const QVariant &element : cheques) {
        const QVariantMap row = element.toMap();
        const QString symbol = row.value(u"currency_symbol"_s).toString();
        const qint64 cents = Money::cents(row.value(u"amount"_s).toDouble());
        for (auto *totals : { &perDay, &perBank }) {
            const QString key = totals == &perDay ? row.value(u"due_date"_s).toString()
                                                  : row.value(u"bank_name"_s).toString().trimmed();
            Total &total = (*totals)[{ key, symbol }];
            ++total.count;
            total.cents += cents;
            total.symbol = symbol;
        }
    }
    const auto rows
        = [](const std::map<std::pair<QString, QString>, Total> &totals, const QString &keyName) {
              QVariantList result;
              for (const auto &[key, total] : totals)
                  result.append(QVariantMap { { keyName, key.first }, { u"count"_s, total.count },
                      { u"total"_s, Money::fromCents(total.cents) },
                      { u"currency_symbol"_s, total.symbol } });
              return result;
          };
    return { { u"days"_s, rows(perDay, u"due_date"_s) }, { u"banks"_s, rows(perBank, u"bank"_s) },
        { u"cheques"_s, cheques } };
}

QVariantList ChequeModel::getUnsettledBounces() { return unsettledBounces(m_db); }

QVariantList ChequeModel::unsettledBounces(Database *db)
{
    // Settled by a replacement, or once everything it paid or was to pay is paid again. A cheque
    // that named nothing it pays waits for its replacement.
    return db->execQuery(listedSql
        + u"WHERE c.type='received' AND c.status='bounced' "
          "AND NOT EXISTS (SELECT 1 FROM cheques r WHERE r.replaces_cheque_id=c.id) "
          "AND NOT ((c.installment_id IS NOT NULL "
          "OR EXISTS (SELECT 1 FROM cheque_invoices l WHERE l.cheque_id=c.id) "
          "OR EXISTS (SELECT 1 FROM payments p WHERE p.cheque_id=c.id AND p.invoice_id IS NOT "
          "NULL)) "
          "AND NOT EXISTS (SELECT 1 FROM installments n WHERE n.id=c.installment_id AND "
          "n.status!='paid') "
          "AND NOT EXISTS (SELECT 1 FROM cheque_invoices l JOIN invoices v ON v.id=l.invoice_id "
          "WHERE l.cheque_id=c.id AND v.status NOT IN ('paid','void')) "
          "AND NOT EXISTS (SELECT 1 FROM payments p JOIN invoices v ON v.id=p.invoice_id "
          "WHERE p.cheque_id=c.id AND v.status NOT IN ('paid','void'))) "
          "ORDER BY c.status_date, c.id"_s);
}
