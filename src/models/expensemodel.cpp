#include "expensemodel.h"

#include "database.h"
#include "money.h"
#include "posting.h"
#include "transactionguard.h"
#include "voucherbook.h"

#include <QDate>

using namespace Qt::StringLiterals;

ExpenseModel::ExpenseModel(Database *db, QObject *parent)
    : ModelBase(db, parent)
{
}

QVariantList ExpenseModel::getAll()
{
    return list(u"SELECT e.*, p.name as property_name, u.unit_number, c.name as contractor_name "
                "FROM expenses e LEFT JOIN properties p ON e.property_id=p.id LEFT JOIN units u "
                "ON e.unit_id=u.id LEFT JOIN contractors c ON e.contractor_id=c.id ORDER BY "
                "e.expense_date DESC"_s);
}

int ExpenseModel::add(int propId, int unitId, int contractorId, const QString &cat,
    const QString &workCat, const QString &desc, double amount, const QString &date, int currId)
{
    return add(propId, unitId, contractorId, cat, workCat, desc, amount, date, currId, QString());
}

int ExpenseModel::add(int propId, int unitId, int contractorId, const QString &cat,
    const QString &workCat, const QString &desc, double amount, const QString &date, int currId,
    const QString &paymentMethod)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!isFinite(amount))
        return -1;
    // The expense and the contractor's balance move together.
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    // The property is the project and the unit is the cost centre.
    const int id = m_db->execInsert(
        u"INSERT INTO expenses (property_id,unit_id,contractor_id,category,work_category,"
        "description,amount,expense_date,currency_id,project_id,cost_center_id,payment_method) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"_s,
        { optionalId(propId), optionalId(unitId), optionalId(contractorId), cat, workCat, desc,
            amount, date, currId, optionalId(propId), optionalId(unitId),
            paymentMethod.isEmpty() ? QVariant() : QVariant(paymentMethod) });
    if (id < 1)
        return -1;
    if (contractorId >= 1
        && !m_db->execNonQuery(
            u"UPDATE contractors SET balance=balance+? WHERE id=?"_s, { amount, contractorId }))
        return -1;
    // Charged to a contractor, the expense is owed, not paid: the payment to the contractor
    // carries the voucher.
    if (contractorId < 1 && Money::cents(amount) > 0) {
        const QVariantMap place = one(u"SELECT p.name AS property_name, u.unit_number FROM "
                                      "(SELECT 1) AS one LEFT JOIN properties p ON p.id=? "
                                      "LEFT JOIN units u ON u.id=?"_s,
            { propId, unitId });
        QStringList purpose { u"مصروف: "_s + cat };
        if (!desc.trimmed().isEmpty())
            purpose.append(desc.trimmed());
        if (!place.value(u"property_name"_s).toString().isEmpty())
            purpose.append(place.value(u"property_name"_s).toString());
        if (!place.value(u"unit_number"_s).toString().isEmpty())
            purpose.append(u"الوحدة "_s + place.value(u"unit_number"_s).toString());
        VoucherBook::Entry entry;
        entry.kind = VoucherBook::Kind::Payment;
        entry.date = date;
        entry.amount = amount;
        entry.currencyId = currId;
        entry.purpose = purpose.join(u" - "_s);
        entry.method = paymentMethod.isEmpty() ? u"cash"_s : paymentMethod;
        entry.source = u"expense"_s;
        entry.sourceId = id;
        const int voucherId = VoucherBook(m_db).issue(entry);
        if (voucherId < 1
            || !m_db->execNonQuery(
                u"UPDATE expenses SET voucher_id=? WHERE id=?"_s, { voucherId, id }))
            return -1;
    }
    if (!Posting::post(m_db, Posting::Kind::Expense, id) || !guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

bool ExpenseModel::update(int id, int propId, int unitId, int contractorId, const QString &cat,
    const QString &workCat, const QString &desc, double amount, const QString &date, int currId,
    const QString &paymentMethod)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (!isFinite(amount))
        return false;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return false;
    const QVariantMap old = one(u"SELECT contractor_id, amount FROM expenses WHERE id=?"_s, { id });
    if (old.isEmpty())
        return false;
    const int oldContractor = old.value(u"contractor_id"_s).toInt();
    if (oldContractor >= 1
        && !m_db->execNonQuery(u"UPDATE contractors SET balance=balance-? WHERE id=?"_s,
            { old.value(u"amount"_s).toDouble(), oldContractor }))
        return false;
    if (!m_db->execNonQuery(
            u"UPDATE expenses SET property_id=?, unit_id=?, contractor_id=?, category=?, "
            "work_category=?, description=?, amount=?, expense_date=?, currency_id=?, "
            "project_id=?, cost_center_id=?, payment_method=? WHERE id=?"_s,
            { optionalId(propId), optionalId(unitId), optionalId(contractorId), cat, workCat, desc,
                amount, date, currId, optionalId(propId), optionalId(unitId),
                paymentMethod.isEmpty() ? QVariant() : QVariant(paymentMethod), id }))
        return false;
    if (contractorId >= 1
        && !m_db->execNonQuery(
            u"UPDATE contractors SET balance=balance+? WHERE id=?"_s, { amount, contractorId }))
        return false;
    if (!Posting::repost(m_db, Posting::Kind::Expense, id) || !guard.commit())
        return false;
    emit dataChanged();
    return true;
}

QVariantList ExpenseModel::getByProperty(int propId)
{
    return list(
        u"SELECT * FROM expenses WHERE property_id=? ORDER BY expense_date DESC"_s, { propId });
}

double ExpenseModel::getTotal(int propId)
{
    if (propId < 0)
        return doubleFigure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses"_s, u"t"_s);
    return doubleFigure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=?"_s,
        u"t"_s, { propId });
}

QVariantList ExpenseModel::getContractors()
{
    return list(u"SELECT * FROM contractors ORDER BY name"_s);
}

int ExpenseModel::addContractor(const QString &name, const QString &phone, const QString &trade)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    return create(
        u"INSERT INTO contractors (name,phone,trade) VALUES (?,?,?)"_s, { name, phone, trade });
}

bool ExpenseModel::updateContractor(
    int id, const QString &name, const QString &phone, const QString &trade)
{
    if (!permitted(Operation::DailyWork))
        return false;
    if (name.trimmed().isEmpty())
        return false;
    return change(u"UPDATE contractors SET name=?, phone=?, trade=? WHERE id=?"_s,
        { name, phone, trade, id });
}

QVariantList ExpenseModel::getContractorExpenses(int contractorId)
{
    return list(u"SELECT e.*, p.name as property_name FROM expenses e LEFT JOIN properties p ON "
                "e.property_id=p.id WHERE e.contractor_id=? ORDER BY e.expense_date DESC"_s,
        { contractorId });
}

int ExpenseModel::payContractor(int contractorId, double amount, const QString &date,
    const QString &method, const QString &notes)
{
    if (!permitted(Operation::DailyWork))
        return -1;
    if (!Money::isAcceptable(amount) || Money::cents(amount) <= 0)
        return -1;
    const QDate day = QDate::fromString(date, u"yyyy-MM-dd"_s);
    if (!day.isValid())
        return -1;
    TransactionGuard guard(m_db);
    if (!guard.isActive())
        return -1;
    const QVariantMap contractor = one(
        u"SELECT balance, ? > date('now','localtime') as future FROM contractors WHERE id=?"_s,
        { date, contractorId });
    if (contractor.isEmpty() || contractor.value(u"future"_s).toInt() != 0
        || Money::compare(amount, contractor.value(u"balance"_s).toDouble()) > 0)
        return -1;
    const int id = m_db->execInsert(u"INSERT INTO contractor_payments (contractor_id,amount,"
                                    "payment_date,payment_method,notes) VALUES (?,?,?,?,?)"_s,
        { contractorId, amount, date, method, notes });
    if (id < 1)
        return -1;
    if (!m_db->execNonQuery(
            u"UPDATE contractors SET balance=balance-? WHERE id=?"_s, { amount, contractorId }))
        return -1;
    VoucherBook::Entry entry;
    entry.kind = VoucherBook::Kind::Payment;
    entry.date = date;
    entry.partyType = u"contractor"_s;
    entry.partyId = contractorId;
    entry.amount = amount;
    entry.purpose = notes.trimmed().isEmpty() ? u"دفعة من مستحقات المقاول"_s
                                              : u"دفعة من مستحقات المقاول - "_s + notes.trimmed();
    entry.method = method.isEmpty() ? u"cash"_s : method;
    entry.source = u"contractor"_s;
    entry.sourceId = id;
    const int voucherId = VoucherBook(m_db).issue(entry);
    if (voucherId < 1
        || !m_db->execNonQuery(
            u"UPDATE contractor_payments SET voucher_id=? WHERE id=?"_s, { voucherId, id }))
        return -1;
    if (!Posting::post(m_db, Posting::Kind::ContractorPayment, id) || !guard.commit())
        return -1;
    emit dataChanged();
    return id;
}

QVariantList ExpenseModel::getContractorPayments(int contractorId)
{
    return list(u"SELECT * FROM contractor_payments WHERE contractor_id=? ORDER BY payment_date "
                "DESC, id DESC"_s,
        { contractorId });
}
