#include "installmentmodel.h"

#include "chequemodel.h"
#include "database.h"
#include "money.h"
#include "posting.h"
#include "transactionguard.h"
#include "voucherbook.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

QString general(double value) { return QString::number(value, 'g', 6); }

// A null QString would be bound as NULL; the schedule stores empty texts instead.
QString text(const QString &value) { return value.isNull() ? u""_s : value; }

} // namespace

InstallmentModel::InstallmentModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList InstallmentModel::getAll()
{
    return list(u"SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as property_name "
                "FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units u ON "
                "i.unit_id=u.id JOIN properties p ON u.property_id=p.id ORDER BY i.due_date"_s);
}

int InstallmentModel::sellUnit(int buyerId, int unitId, double totalPrice, double downPayment,
    int numInstallments, const QString &startDate, int currId, const QString &startCheque,
    const QString &bankName)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    // Everything that could stop the sale half-way is checked before the first write.
    if (!Money::isCountable(totalPrice) || !Money::isCountable(downPayment))
        return -1;
    const QDate start = QDate::fromString(startDate, u"yyyy-MM-dd"_s);
    if (!start.isValid() || start.toString(u"yyyy-MM-dd"_s) != startDate)
        return -1;

    // The schedule is split in whole cents: the regular amount is the floor, the last one takes
    // the rest, so the cheques add up to exactly what remains.
    const qint64 remaining = Money::cents(totalPrice) - Money::cents(downPayment);
    const bool scheduled = remaining > 0;
    const int count = numInstallments >= 1 ? numInstallments : 1;

    // The unit's status is read inside the write, so that two operators cannot both sell it.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const QVariantMap unit
        = one(u"SELECT u.status, u.unit_number, p.name AS property_name FROM "
              "units u LEFT JOIN properties p ON p.id=u.property_id WHERE u.id=?"_s,
            { unitId });
    if (unit.isEmpty() || unit.value(u"status"_s).toString() == u"sold"_s)
        return -1;
    const QString unitNumber = unit.value(u"unit_number"_s).toString();
    const QString buyerName = one(u"SELECT full_name FROM buyers WHERE id=?"_s, { buyerId })
                                  .value(u"full_name"_s)
                                  .toString();

    if (!m_db->execNonQuery(u"UPDATE units SET status='sold', buyer_id=?, sale_price_actual=?, "
                            "sale_date=? WHERE id=?"_s,
            { buyerId, totalPrice, startDate, unitId }))
        return -1;

    if (Money::cents(downPayment) > 0) {
        const int paymentId = m_db->execInsert(
            u"INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, "
            "currency_id, notes) VALUES (?,?,?,?,?,?,?)"_s,
            { buyerId, unitId, downPayment, u"cash"_s, startDate, currId,
                u"دفعة مقدمة / بيع وحدة: "_s + unitNumber });
        if (paymentId < 1)
            return -1;
        VoucherBook::Entry entry;
        entry.kind = VoucherBook::Kind::Receipt;
        entry.date = startDate;
        entry.partyType = u"buyer"_s;
        entry.partyId = buyerId;
        entry.amount = downPayment;
        entry.currencyId = currId;
        entry.purpose = u"دفعة مقدمة عن شراء الوحدة %1 - %2"_s.arg(
            unitNumber, unit.value(u"property_name"_s).toString());
        entry.method = u"cash"_s;
        entry.source = u"down_payment"_s;
        entry.sourceId = paymentId;
        const int voucherId = VoucherBook(m_db).issue(entry);
        if (voucherId < 1
            || !m_db->execNonQuery(
                u"UPDATE payments SET voucher_id=? WHERE id=?"_s, { voucherId, paymentId }))
            return -1;
    }

    if (scheduled) {
        const qint64 regular = remaining / count;
        for (int i = 0; i < count; ++i) {
            const bool last = i == count - 1;
            const double amount
                = Money::fromCents(last ? remaining - regular * (count - 1) : regular);
            const QString cheque = ChequeModel::seriesNumber(text(startCheque), i);
            const QString due = start.addMonths(i).toString(u"yyyy-MM-dd"_s);
            const int id = m_db->execInsert(
                u"INSERT INTO installments (buyer_id,unit_id,total_price,down_payment,"
                "installment_amount,due_date,currency_id,cheque_number,bank_name) VALUES "
                "(?,?,?,?,?,?,?,?,?)"_s,
                { buyerId, unitId, totalPrice, downPayment, amount, due, currId, cheque,
                    text(bankName) });
            if (id < 1)
                return -1;
            // The installment's cheque goes into the register, paying that installment.
            if (!cheque.isEmpty()
                && ChequeModel::recordReceived(m_db, cheque, amount, text(bankName), due, buyerName,
                       currId, { { u"buyer_id"_s, buyerId }, { u"installment_id"_s, id } })
                    < 1)
                return -1;
        }
    }

    const QString details = u"تم بيع الوحدة %1 بمبلغ %2 (دفعة: %3, شيكات: %4)"_s.arg(
        unitNumber, general(totalPrice), general(downPayment), QString::number(numInstallments));
    if (!writeAudit(u"بيع وحدة"_s, u"units"_s, unitId, details)
        || !Posting::post(m_db, Posting::Kind::Sale, unitId))
        return -1;
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return 1;
}

bool InstallmentModel::payInstallment(int id, double amount)
{
    if (!permitted(Operation::DailyWork))
        return false;
    const qint64 cents = Money::cents(amount);
    if (!isFinite(amount) || cents <= 0)
        return false;

    // Read inside the write, so another connection cannot collect the same amount in between.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    const QVariantMap due
        = one(u"SELECT i.installment_amount, i.paid_amount, i.buyer_id, i.unit_id, i.currency_id, "
              "i.cheque_number, i.bank_name, i.due_date, u.unit_number, p.name AS property_name, "
              "(SELECT COUNT(*) FROM installments o WHERE o.buyer_id=i.buyer_id AND "
              "o.unit_id=i.unit_id AND (o.due_date < i.due_date OR (o.due_date = i.due_date AND "
              "o.id <= i.id))) AS position, (SELECT COUNT(*) FROM installments o WHERE "
              "o.buyer_id=i.buyer_id AND o.unit_id=i.unit_id) AS schedule FROM installments i "
              "LEFT JOIN units u ON u.id=i.unit_id LEFT JOIN properties p ON p.id=u.property_id "
              "WHERE i.id=?"_s,
            { id });
    if (due.isEmpty())
        return false;
    const qint64 owed = Money::cents(due.value(u"installment_amount"_s).toDouble());
    const qint64 settled = Money::cents(due.value(u"paid_amount"_s).toDouble()) + cents;
    if (settled > owed)
        return false;
    const double paid = Money::fromCents(cents);
    if (!m_db->execNonQuery(u"UPDATE installments SET paid_amount=?, status=? WHERE id=?"_s,
            { Money::fromCents(settled), settled == owed ? u"paid"_s : u"partial"_s, id }))
        return false;

    const int paymentId = m_db->execInsert(
        u"INSERT INTO payments (buyer_id, unit_id, amount, payment_method, payment_date, "
        "currency_id, notes, installment_id) VALUES (?,?,?,?,date('now','localtime'),?,?,?)"_s,
        { due.value(u"buyer_id"_s), due.value(u"unit_id"_s), paid, u"cash"_s,
            due.value(u"currency_id"_s), u"تحصيل قسط - معرف: %1"_s.arg(id), id });
    if (paymentId < 1 || !Posting::post(m_db, Posting::Kind::InstallmentCollection, paymentId))
        return false;
    // An installment that carries a cheque is collected by that cheque.
    const QString cheque = due.value(u"cheque_number"_s).toString();
    VoucherBook::Entry entry;
    entry.kind = VoucherBook::Kind::Receipt;
    entry.date = QDate::currentDate().toString(u"yyyy-MM-dd"_s);
    entry.partyType = u"buyer"_s;
    entry.partyId = due.value(u"buyer_id"_s).toInt();
    entry.amount = paid;
    entry.currencyId = due.value(u"currency_id"_s).toInt();
    entry.purpose = u"القسط رقم %1 من %2 - الوحدة %3 - %4"_s.arg(
        due.value(u"position"_s).toString(), due.value(u"schedule"_s).toString(),
        due.value(u"unit_number"_s).toString(), due.value(u"property_name"_s).toString());
    entry.method = cheque.isEmpty() ? u"cash"_s : u"cheque"_s;
    entry.reference = cheque;
    entry.bankName = cheque.isEmpty() ? QString() : due.value(u"bank_name"_s).toString();
    entry.chequeDue = cheque.isEmpty() ? QString() : due.value(u"due_date"_s).toString();
    entry.source = u"installment"_s;
    entry.sourceId = id;
    const int voucherId = VoucherBook(m_db).issue(entry);
    if (voucherId < 1
        || !m_db->execNonQuery(
            u"UPDATE payments SET voucher_id=? WHERE id=?"_s, { voucherId, paymentId }))
        return false;
    if (!writeAudit(
            u"تحصيل قسط"_s, u"installments"_s, id, u"تم تحصيل مبلغ %1"_s.arg(general(amount))))
        return false;
    if (!guard.commit())
        return false;
    emit dataChanged();
    return true;
}

int InstallmentModel::add(int buyerId, int unitId, double total, double down, double amount,
    const QString &dueDate, int cid)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isFinite(total) || !isFinite(down) || !isFinite(amount))
        return -1;
    return create(u"INSERT INTO installments (buyer_id,unit_id,total_price,down_payment,"
                  "installment_amount,due_date,currency_id) VALUES (?,?,?,?,?,?,?)"_s,
        { buyerId, unitId, total, down, amount, dueDate, cid });
}

QVariantList InstallmentModel::getByBuyer(int buyerId)
{
    return list(u"SELECT i.*, u.unit_number, p.name as property_name FROM installments i JOIN "
                "units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id WHERE "
                "i.buyer_id=? ORDER BY i.due_date"_s,
        { buyerId });
}

QVariantList InstallmentModel::getOverdue()
{
    return list(u"SELECT i.*, b.full_name as buyer_name, u.unit_number FROM installments i JOIN "
                "buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id WHERE "
                "i.status!='paid' AND i.due_date < date('now','localtime') ORDER BY i.due_date"_s);
}

int InstallmentModel::refuse(const QString &why)
{
    m_lastRefusal = why;
    emit outcomeChanged();
    return -1;
}

int InstallmentModel::reverseCollection(int paymentId, const QString &reason)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    const QString why = reason.trimmed();
    if (why.isEmpty())
        return refuse(u"اكتب سبب عكس التحصيل"_s);

    // Read inside the write, so the installment cannot change between the check and the update.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return refuse(u"تعذر عكس التحصيل في قاعدة البيانات"_s);
    const QVariantMap payment
        = one(u"SELECT p.*, i.paid_amount, i.installment_amount, "
              "(SELECT r.id FROM payments r WHERE r.reverses_payment_id=p.id) as reversed_by "
              "FROM payments p JOIN installments i ON p.installment_id=i.id WHERE p.id=?"_s,
            { paymentId });
    if (payment.isEmpty())
        return refuse(u"الدفعة غير موجودة أو ليست تحصيلاً لقسط"_s);
    if (!payment.value(u"reverses_payment_id"_s).isNull())
        return refuse(u"هذه حركة عكس لتحصيل آخر ولا تُعكس"_s);
    if (!payment.value(u"reversed_by"_s).isNull())
        return refuse(u"عُكس هذا التحصيل من قبل"_s);
    const qint64 amount = Money::cents(payment.value(u"amount"_s).toDouble());
    const qint64 paid = Money::cents(payment.value(u"paid_amount"_s).toDouble()) - amount;
    if (amount <= 0 || paid < 0)
        return refuse(u"مبلغ التحصيل لا يسمح بعكسه"_s);
    const qint64 owed = Money::cents(payment.value(u"installment_amount"_s).toDouble());
    const QString status = paid == 0 ? u"pending"_s : paid >= owed ? u"paid"_s : u"partial"_s;
    const int installmentId = payment.value(u"installment_id"_s).toInt();
    const int voucherId = payment.value(u"voucher_id"_s).toInt();

    const int id = m_db->execInsert(
        u"INSERT INTO payments (buyer_id,unit_id,installment_id,amount,payment_method,"
        "payment_date,reference,currency_id,notes,reverses_payment_id) "
        "VALUES (?,?,?,?,?,date('now','localtime'),?,?,?,?)"_s,
        { payment.value(u"buyer_id"_s), payment.value(u"unit_id"_s), installmentId,
            -Money::fromCents(amount), payment.value(u"payment_method"_s),
            payment.value(u"reference"_s), payment.value(u"currency_id"_s),
            u"عكس تحصيل قسط: "_s + why, paymentId });
    if (id < 1
        || !m_db->execNonQuery(u"UPDATE installments SET paid_amount=?, status=? WHERE id=?"_s,
            { Money::fromCents(paid), status, installmentId })
        || !writeAudit(u"عكس تحصيل قسط"_s, u"installments"_s, installmentId,
            u"عُكس مبلغ %1: %2"_s.arg(QString::number(Money::fromCents(amount), 'f', 2), why))
        || (voucherId > 0 && !VoucherBook(m_db).cancel(voucherId, why))
        || !Posting::post(m_db, Posting::Kind::InstallmentCollection, id) || !guard.commit())
        return refuse(u"تعذر عكس التحصيل في قاعدة البيانات"_s);
    m_lastRefusal.clear();
    emit outcomeChanged();
    emit dataChanged();
    return id;
}

bool InstallmentModel::writeAudit(
    const QString &action, const QString &table, int recordId, const QString &details)
{
    return m_db->execInsert(u"INSERT INTO audit_logs (action, table_name, record_id, details) "
                            "VALUES (?,?,?,?)"_s,
               { action, table, recordId, details })
        > 0;
}
