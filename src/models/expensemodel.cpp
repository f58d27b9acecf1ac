#include "expensemodel.h"

#include "database.h"
#include "transactionguard.h"

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
        "description,amount,expense_date,currency_id,project_id,cost_center_id) VALUES "
        "(?,?,?,?,?,?,?,?,?,?,?)"_s,
        { propId, optionalId(unitId), optionalId(contractorId), cat, workCat, desc, amount, date,
            currId, propId, optionalId(unitId) });
    if (id < 1)
        return -1;
    if (contractorId >= 1
        && !m_db->execNonQuery(
            u"UPDATE contractors SET balance=balance+? WHERE id=?"_s, { amount, contractorId }))
        return -1;
    if (!guard.commit())
        return -1;
    emit dataChanged();
    return id;
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

QVariantList ExpenseModel::getContractorExpenses(int contractorId)
{
    return list(u"SELECT e.*, p.name as property_name FROM expenses e LEFT JOIN properties p ON "
                "e.property_id=p.id WHERE e.contractor_id=? ORDER BY e.expense_date DESC"_s,
        { contractorId });
}
