#include "installmentmodel.h"

#include "database.h"
#include "money.h"
#include "posting.h"
#include "transactionguard.h"

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

    const QVariantMap unit = one(u"SELECT status, unit_number FROM units WHERE id=?"_s, { unitId });
    if (unit.isEmpty() || unit.value(u"status"_s).toString() == u"sold"_s)
        return -1;
    const QString unitNumber = unit.value(u"unit_number"_s).toString();

    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;

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
    }

    if (scheduled) {
        const qint64 regular = remaining / count;
        bool ok = false;
        const qint64 firstCheque = startCheque.toLongLong(&ok, 10);
        const bool numbered = !startCheque.isEmpty() && ok && firstCheque > 0;
        for (int i = 0; i < count; ++i) {
            const bool last = i == count - 1;
            const double amount
                = Money::fromCents(last ? remaining - regular * (count - 1) : regular);
            QString cheque = u""_s;
            if (numbered)
                cheque = QString::number(firstCheque + i);
            else if (i == 0)
                cheque = text(startCheque);
            const int id = m_db->execInsert(
                u"INSERT INTO installments (buyer_id,unit_id,total_price,down_payment,"
                "installment_amount,due_date,currency_id,cheque_number,bank_name) VALUES "
                "(?,?,?,?,?,?,?,?,?)"_s,
                { buyerId, unitId, totalPrice, downPayment, amount,
                    start.addMonths(i).toString(u"yyyy-MM-dd"_s), currId, cheque, text(bankName) });
            if (id < 1)
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
    const QVariantMap due = one(u"SELECT installment_amount, paid_amount, buyer_id, unit_id, "
                                "currency_id FROM installments WHERE id=?"_s,
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
        "currency_id, notes) VALUES (?,?,?,?,date('now','localtime'),?,?)"_s,
        { due.value(u"buyer_id"_s), due.value(u"unit_id"_s), paid, u"cash"_s,
            due.value(u"currency_id"_s), u"تحصيل قسط - معرف: %1"_s.arg(id) });
    if (paymentId < 1 || !Posting::post(m_db, Posting::Kind::InstallmentCollection, paymentId))
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

bool InstallmentModel::writeAudit(
    const QString &action, const QString &table, int recordId, const QString &details)
{
    return m_db->execInsert(u"INSERT INTO audit_logs (action, table_name, record_id, details) "
                            "VALUES (?,?,?,?)"_s,
               { action, table, recordId, details })
        > 0;
}
