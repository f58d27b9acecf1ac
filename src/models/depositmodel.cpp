#include "depositmodel.h"

#include "database.h"
#include "invoicemodel.h"
#include "money.h"
#include "paymentmodel.h"
#include "posting.h"
#include "transactionguard.h"
#include "voucherbook.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

const QString depositSql
    = u"SELECT d.*, t.full_name AS tenant_name, c.start_date, c.end_date, "
      "c.status AS contract_status, u.unit_number, p.name AS property_name, "
      "cu.symbol AS currency_symbol, rv.number AS receipt_number, fv.number AS refund_number "
      "FROM deposits d JOIN tenants t ON t.id=d.tenant_id JOIN contracts c ON c.id=d.contract_id "
      "LEFT JOIN units u ON u.id=c.unit_id LEFT JOIN properties p ON p.id=u.property_id "
      "LEFT JOIN currencies cu ON cu.id=d.currency_id "
      "LEFT JOIN vouchers rv ON rv.id=d.receipt_voucher_id "
      "LEFT JOIN vouchers fv ON fv.id=d.refund_voucher_id "_s;

bool isDay(const QString &date)
{
    const QDate day = QDate::fromString(date, u"yyyy-MM-dd"_s);
    return day.isValid() && day <= QDate::currentDate();
}

} // namespace

DepositModel::DepositModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

bool DepositModel::refuse(const QString &why)
{
    m_lastRefusal = why;
    emit outcomeChanged();
    return false;
}

int DepositModel::receive(
    int contractId, const QString &date, const QString &method, const QString &ref)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isDay(date)) {
        refuse(u"تاريخ الاستلام غير صالح أو في المستقبل"_s);
        return -1;
    }
    const QVariantMap lease = one(u"SELECT c.tenant_id, c.deposit, c.currency_id, c.status, "
                                  "u.unit_number, (SELECT COUNT(*) FROM deposits d WHERE "
                                  "d.contract_id=c.id AND d.status='held') AS held FROM contracts "
                                  "c LEFT JOIN units u ON u.id=c.unit_id WHERE c.id=?"_s,
        { contractId });
    if (lease.isEmpty() || lease.value(u"status"_s).toString() != u"active"_s) {
        refuse(u"العقد غير موجود أو غير ساري"_s);
        return -1;
    }
    const qint64 cents = Money::cents(lease.value(u"deposit"_s).toDouble());
    if (cents <= 0) {
        refuse(u"لا يوجد مبلغ تأمين في هذا العقد"_s);
        return -1;
    }
    if (lease.value(u"held"_s).toInt() > 0) {
        refuse(u"تأمين هذا العقد مستلم من قبل"_s);
        return -1;
    }
    const int tenantId = lease.value(u"tenant_id"_s).toInt();
    const int currencyId = lease.value(u"currency_id"_s).toInt();

    TransactionGuard guard(m_db);
    const int id = guard.isActive()
        ? m_db->execInsert(u"INSERT INTO deposits (contract_id, tenant_id, amount, currency_id, "
                           "received_date) VALUES (?,?,?,?,?)"_s,
            { contractId, tenantId, Money::fromCents(cents), optionalId(currencyId), date })
        : -1;
    VoucherBook::Entry entry;
    entry.kind = VoucherBook::Kind::Receipt;
    entry.date = date;
    entry.partyType = u"tenant"_s;
    entry.partyId = tenantId;
    entry.amount = Money::fromCents(cents);
    entry.currencyId = currencyId;
    entry.purpose = u"تأمين عقد إيجار الوحدة "_s + lease.value(u"unit_number"_s).toString();
    entry.method = method.isEmpty() ? u"cash"_s : method;
    entry.reference = ref;
    entry.source = u"deposit"_s;
    entry.sourceId = id;
    const int voucherId = id > 0 ? VoucherBook(m_db).issue(entry) : -1;
    if (voucherId < 1
        || !m_db->execNonQuery(
            u"UPDATE deposits SET receipt_voucher_id=? WHERE id=?"_s, { voucherId, id })
        || !Posting::post(m_db, Posting::Kind::DepositReceived, id) || !guard.commit()) {
        refuse(u"تعذر تسجيل التأمين في قاعدة البيانات"_s);
        return -1;
    }
    m_lastRefusal.clear();
    emit outcomeChanged();
    emit dataChanged();
    return id;
}

QVariantList DepositModel::getByTenant(int tenantId)
{
    return list(depositSql + u"WHERE d.tenant_id=? ORDER BY d.status='held' DESC, d.id DESC"_s,
        { tenantId });
}

QVariantList DepositModel::pendingLeases(int tenantId)
{
    return list(u"SELECT c.id, c.deposit, c.start_date, c.end_date, u.unit_number, "
                "p.name AS property_name, cu.symbol AS currency_symbol FROM contracts c "
                "LEFT JOIN units u ON u.id=c.unit_id LEFT JOIN properties p ON p.id=u.property_id "
                "LEFT JOIN currencies cu ON cu.id=c.currency_id WHERE c.tenant_id=? AND "
                "c.status='active' AND c.deposit > 0.004 AND NOT EXISTS (SELECT 1 FROM deposits "
                "d WHERE d.contract_id=c.id) ORDER BY c.start_date"_s,
        { tenantId });
}

QVariantMap DepositModel::getById(int id) { return one(depositSql + u"WHERE d.id=?"_s, { id }); }

QVariantMap DepositModel::settlementPlan(
    int depositId, const QVariantList &damages, bool keepRest, bool invoiceRest)
{
    QVariantMap plan;
    const auto refused = [&plan](const QString &why) {
        plan.insert(u"refusal"_s, why);
        return plan;
    };
    const QVariantMap deposit = one(u"SELECT contract_id, tenant_id, amount, currency_id, status "
                                    "FROM deposits WHERE id=?"_s,
        { depositId });
    if (deposit.isEmpty() || deposit.value(u"status"_s).toString() != u"held"_s)
        return refused(u"التأمين غير موجود أو سُوّي من قبل"_s);

    const qint64 held = Money::cents(deposit.value(u"amount"_s).toDouble());
    qint64 left = held;
    // The lease's open invoices in its currency, oldest first, take what they owe.
    // Service invoices carry the lease's unit and tenant, rent invoices the lease itself.
    const QVariantList open = list(
        u"SELECT i.id, i.invoice_number, i.period, i.balance FROM invoices i JOIN contracts c "
        "ON c.id=? WHERE (i.contract_id=c.id OR (i.contract_id IS NULL AND i.tenant_id="
        "c.tenant_id AND i.unit_id=c.unit_id)) AND i.status NOT IN ('paid','void') "
        "AND i.balance > 0.004 AND COALESCE(i.currency_id, 0)=COALESCE(?, 0) "
        "ORDER BY COALESCE(i.due_date, i.period, i.created_at), i.id"_s,
        { deposit.value(u"contract_id"_s), deposit.value(u"currency_id"_s) });
    QVariantList invoices;
    qint64 unpaid = 0;
    for (const QVariant &row : open) {
        QVariantMap invoice = row.toMap();
        const qint64 owed = Money::cents(invoice.value(u"balance"_s).toDouble());
        unpaid += owed;
        const qint64 share = qMin(left, owed);
        left -= share;
        invoice.insert(u"amount"_s, Money::fromCents(share));
        if (share > 0)
            invoices.append(invoice);
    }

    // What the lease owes is shown even when the settlement is refused.
    plan.insert(u"invoices"_s, invoices);
    QVariantList listed;
    qint64 damaged = 0;
    for (const QVariant &row : damages) {
        const QVariantMap damage = row.toMap();
        const QString description = damage.value(u"description"_s).toString().trimmed();
        const double amount = damage.value(u"amount"_s).toDouble();
        if (description.isEmpty())
            return refused(u"اكتب وصف كل ضرر"_s);
        if (!Money::isAcceptable(amount) || Money::cents(amount) <= 0)
            return refused(u"مبلغ الضرر يجب أن يكون أكبر من صفر"_s);
        damaged += Money::cents(amount);
        listed.append(QVariantMap { { u"description"_s, description },
            { u"amount"_s, Money::fromCents(Money::cents(amount)) } });
    }
    const qint64 covered = qMin(left, damaged);
    left -= covered;
    const qint64 beyond = damaged - covered;
    if ((beyond > 0 || unpaid > held) && !invoiceRest)
        return refused(u"الخصومات (%1) أكبر من التأمين (%2)"_s.arg(
            QString::number(Money::fromCents(unpaid + damaged), 'f', 2),
            QString::number(Money::fromCents(held), 'f', 2)));

    plan.insert(u"damages"_s, listed);
    plan.insert(u"deposit"_s, Money::fromCents(held));
    plan.insert(u"deducted"_s, Money::fromCents(held - left));
    plan.insert(u"damages_covered"_s, Money::fromCents(covered));
    plan.insert(u"invoiced_rest"_s, Money::fromCents(beyond));
    plan.insert(u"refund"_s, Money::fromCents(keepRest ? 0 : left));
    plan.insert(u"kept"_s, Money::fromCents(keepRest ? left : 0));
    plan.insert(u"refusal"_s, QString());
    return plan;
}

bool DepositModel::settle(int depositId, const QVariantList &damages, bool keepRest,
    bool invoiceRest, const QString &date, const QString &method, const QString &ref)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isDay(date))
        return refuse(u"تاريخ التسوية غير صالح أو في المستقبل"_s);
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return refuse(u"تعذرت تسوية التأمين في قاعدة البيانات"_s);
    // Planned inside the write, so nothing can pay an invoice or settle the deposit in between.
    const QVariantMap plan = settlementPlan(depositId, damages, keepRest, invoiceRest);
    if (!plan.value(u"refusal"_s).toString().isEmpty())
        return refuse(plan.value(u"refusal"_s).toString());
    const QVariantMap deposit = getById(depositId);
    const int tenantId = deposit.value(u"tenant_id"_s).toInt();
    const int currencyId = deposit.value(u"currency_id"_s).toInt();
    const QString failed = u"تعذرت تسوية التأمين في قاعدة البيانات"_s;

    PaymentModel payments(m_db);
    for (const QVariant &row : plan.value(u"invoices"_s).toList()) {
        const QVariantMap invoice = row.toMap();
        const int invoiceId = invoice.value(u"id"_s).toInt();
        if (payments.add(invoiceId, tenantId, invoice.value(u"amount"_s).toDouble(), u"deposit"_s,
                date, deposit.value(u"receipt_number"_s).toString(), currencyId)
                < 1
            || m_db->execInsert(u"INSERT INTO deposit_deductions (deposit_id, kind, invoice_id, "
                                "description, amount) VALUES (?, 'invoice', ?, ?, ?)"_s,
                   { depositId, invoiceId,
                       u"الفاتورة "_s + invoice.value(u"invoice_number"_s).toString(),
                       invoice.value(u"amount"_s) })
                < 1)
            return refuse(failed);
    }
    for (const QVariant &row : plan.value(u"damages"_s).toList()) {
        const QVariantMap damage = row.toMap();
        if (m_db->execInsert(u"INSERT INTO deposit_deductions (deposit_id, kind, description, "
                             "amount) VALUES (?, 'damage', ?, ?)"_s,
                { depositId, damage.value(u"description"_s), damage.value(u"amount"_s) })
            < 1)
            return refuse(failed);
    }
    const double rest = plan.value(u"invoiced_rest"_s).toDouble();
    if (Money::cents(rest) > 0) {
        InvoiceModel invoices(m_db);
        const QVariantMap item { { u"description"_s, u"أضرار تزيد على مبلغ التأمين"_s },
            { u"type"_s, u"service"_s }, { u"quantity"_s, 1 }, { u"unit_price"_s, rest },
            { u"total"_s, rest } };
        if (invoices.createInvoice(tenantId,
                intFigure(u"SELECT unit_id FROM contracts WHERE id=?"_s, u"unit_id"_s,
                    { deposit.value(u"contract_id"_s) }),
                date.left(7), { item }, currencyId)
            < 1)
            return refuse(failed);
    }
    int refundVoucher = 0;
    const double refund = plan.value(u"refund"_s).toDouble();
    if (Money::cents(refund) > 0) {
        VoucherBook::Entry entry;
        entry.kind = VoucherBook::Kind::Payment;
        entry.date = date;
        entry.partyType = u"tenant"_s;
        entry.partyId = tenantId;
        entry.amount = refund;
        entry.currencyId = currencyId;
        entry.purpose
            = u"رد تأمين عقد إيجار الوحدة "_s + deposit.value(u"unit_number"_s).toString();
        entry.method = method.isEmpty() ? u"cash"_s : method;
        entry.reference = ref;
        entry.source = u"deposit_refund"_s;
        entry.sourceId = depositId;
        refundVoucher = VoucherBook(m_db).issue(entry);
        if (refundVoucher < 1)
            return refuse(failed);
    }
    if (!m_db->execNonQuery(
            u"UPDATE deposits SET status='settled', settled_date=?, deducted=?, refunded=?, "
            "kept=?, invoiced_rest=?, refund_voucher_id=? WHERE id=? AND status='held'"_s,
            { date, plan.value(u"deducted"_s), refund, plan.value(u"kept"_s), rest,
                optionalId(refundVoucher), depositId })
        || !Posting::post(m_db, Posting::Kind::DepositSettled, depositId) || !guard.commit())
        return refuse(failed);
    m_lastRefusal.clear();
    emit outcomeChanged();
    emit dataChanged();
    return true;
}

QVariantMap DepositModel::statement(int depositId)
{
    QVariantMap deposit = getById(depositId);
    if (deposit.isEmpty())
        return deposit;
    deposit.insert(u"deductions"_s,
        list(u"SELECT kind, description, amount FROM deposit_deductions WHERE deposit_id=? "
             "ORDER BY id"_s,
            { depositId }));
    return deposit;
}
