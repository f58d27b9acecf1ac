#include "reportcontroller.h"

#include "database.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString whole(double value) { return QString::number(value, 'f', 0); }

QString oneDecimal(double value) { return QString::number(value, 'f', 1); }

QVariantMap card(const QString &icon, const QString &title, const QString &description)
{
    return { { u"icon"_s, icon }, { u"title"_s, title }, { u"description"_s, description } };
}

}

ReportController::ReportController(Database *db, QObject *parent)
    : QObject(parent)
    , m_db(db)
{
}

QVariantMap ReportController::firstRow(const QString &sql, const QVariantList &params) const
{
    return Database::firstRow(m_db->execQuery(sql, params));
}

QVariant ReportController::figure(
    const QString &sql, const QString &key, const QVariantList &params) const
{
    const QVariantMap row = firstRow(sql, params);
    return row.isEmpty() ? QVariant(0) : row.value(key);
}

// The dates are bound, never pasted, and compared by calendar day so that a date-time on the
// last day (an invoice's created_at) is inside the range. Without both dates there is no filter.
QVariantList ReportController::statement(const QString &base, const QString &dayColumn,
    const QString &ordering, const QVariantList &ids, const QString &from, const QString &to) const
{
    QString sql = base;
    QVariantList params = ids;
    if (!from.isEmpty() && !to.isEmpty()) {
        sql += u" AND date("_s + dayColumn + u") BETWEEN ? AND ?"_s;
        params << from << to;
    }
    return m_db->execQuery(sql + ordering, params);
}

QVariantList ReportController::getTenantStatement(int tid, const QString &from, const QString &to)
{
    return statement(
        u"SELECT * FROM (SELECT 'فاتورة' as type, i.created_at as date, "
        "i.invoice_number as ref, i.total_amount as debit, 0 as credit FROM invoices i "
        "WHERE i.tenant_id=? AND i.status!='void' UNION ALL SELECT 'دفعة' as type, "
        "p.payment_date as date, p.reference as ref, 0 as debit, p.amount as credit "
        "FROM payments p WHERE p.tenant_id=? ) t WHERE 1=1 "_s,
        u"t.date"_s, u" ORDER BY date"_s, { tid, tid }, from, to);
}

QVariantList ReportController::getBuyerStatement(int bid, const QString &from, const QString &to)
{
    return statement(u"SELECT i.*, u.unit_number, p.name as property_name FROM installments i "
                     "JOIN units u ON i.unit_id=u.id JOIN properties p ON u.property_id=p.id "
                     "WHERE i.buyer_id=? "_s,
        u"i.due_date"_s, u" ORDER BY i.due_date"_s, { bid }, from, to);
}

QVariantList ReportController::getContractorStatement(
    int cid, const QString &from, const QString &to)
{
    return statement(u"SELECT e.*, p.name as property_name, u.unit_number FROM expenses e "
                     "LEFT JOIN properties p ON e.property_id=p.id "
                     "LEFT JOIN units u ON e.unit_id=u.id WHERE e.contractor_id=? "_s,
        u"e.expense_date"_s, u" ORDER BY e.expense_date DESC"_s, { cid }, from, to);
}

QVariantList ReportController::getChequeReport(
    const QString &status, const QString &from, const QString &to)
{
    QString sql = u"SELECT c.*, cur.symbol as currency_symbol FROM cheques c "
                  "LEFT JOIN currencies cur ON c.currency_id=cur.id WHERE 1=1 "_s;
    QVariantList params;
    if (!status.isEmpty()) {
        sql += u" AND c.status=? "_s;
        params << status;
    }
    if (!from.isEmpty() && !to.isEmpty()) {
        sql += u" AND c.due_date BETWEEN ? AND ?"_s;
        params << from << to;
    }
    return m_db->execQuery(sql + u" ORDER BY c.due_date"_s, params);
}

QVariantList ReportController::getMonthlyReport(const QString &year)
{
    return m_db->execQuery(
        u"SELECT strftime('%m', payment_date) as month, SUM(amount) as revenue FROM payments "
        "WHERE strftime('%Y', payment_date)=? GROUP BY strftime('%m', payment_date) "
        "ORDER BY month"_s,
        { year });
}

QVariantMap ReportController::getProfitLoss(const QString &from, const QString &to)
{
    QVariantMap result;
    result.insert(u"revenue"_s,
        figure(u"SELECT COALESCE(SUM(amount),0) as t FROM payments "
               "WHERE payment_date BETWEEN ? AND ?"_s,
            u"t"_s, { from, to }));
    result.insert(u"expenses"_s,
        figure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses "
               "WHERE expense_date BETWEEN ? AND ?"_s,
            u"t"_s, { from, to }));
    result.insert(u"net_profit"_s,
        result.value(u"revenue"_s).toDouble() - result.value(u"expenses"_s).toDouble());
    return result;
}

QVariantMap ReportController::getBalanceSheet()
{
    QVariantMap result;
    result.insert(u"receivables"_s,
        figure(u"SELECT COALESCE(SUM(balance),0) as t FROM invoices "
               "WHERE status!='paid' AND status!='void'"_s,
            u"t"_s));
    const QVariant cash = figure(u"SELECT COALESCE(SUM(amount),0) as t FROM payments"_s, u"t"_s);
    result.insert(u"installment_receivables"_s,
        figure(u"SELECT COALESCE(SUM(installment_amount-paid_amount),0) as t FROM installments "
               "WHERE status!='paid'"_s,
            u"t"_s));
    result.insert(u"cash"_s, cash);
    result.insert(u"total_assets"_s,
        result.value(u"receivables"_s).toDouble() + cash.toDouble()
            + result.value(u"installment_receivables"_s).toDouble());
    return result;
}

QVariantList ReportController::getOverdueInstallments()
{
    return m_db->execQuery(
        u"SELECT i.*, b.full_name as buyer_name, u.unit_number, p.name as property_name "
        "FROM installments i JOIN buyers b ON i.buyer_id=b.id JOIN units u ON i.unit_id=u.id "
        "JOIN properties p ON u.property_id=p.id WHERE i.status!='paid' AND "
        "i.due_date < date('now','localtime') ORDER BY i.due_date"_s);
}

QVariantList ReportController::getPropertyComparison()
{
    return m_db->execQuery(
        u"SELECT p.name, p.id, (SELECT COUNT(*) FROM units WHERE property_id=p.id) as units, "
        "(SELECT COUNT(*) FROM units WHERE property_id=p.id AND status='rented') as rented, "
        "(SELECT COUNT(*) FROM units WHERE property_id=p.id AND status='sold') as sold, "
        "(SELECT COALESCE(SUM(pay.amount),0) FROM payments pay JOIN invoices i ON "
        "pay.invoice_id=i.id JOIN units u ON i.unit_id=u.id WHERE u.property_id=p.id) as income, "
        "(SELECT COALESCE(SUM(amount),0) FROM expenses WHERE property_id=p.id) as expenses "
        "FROM properties p ORDER BY income DESC"_s);
}

// The figures cover all time; the period is accepted for the page's convenience only.
QVariantMap ReportController::getProjectDetailedFinancials(
    int pid, const QString &, const QString &)
{
    QVariantMap result;
    result.insert(u"total_sales_value"_s,
        figure(u"SELECT COALESCE(SUM(sale_price_actual),0) as t FROM units "
               "WHERE property_id=? AND status='sold'"_s,
            u"t"_s, { pid }));
    result.insert(u"total_collected"_s,
        figure(u"SELECT COALESCE(SUM(paid_amount),0) as t FROM installments i "
               "JOIN units u ON i.unit_id=u.id WHERE u.property_id=?"_s,
            u"t"_s, { pid }));
    result.insert(u"total_expenses"_s,
        figure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=?"_s, u"t"_s,
            { pid }));
    result.insert(u"unsold_value"_s,
        figure(u"SELECT COALESCE(SUM(sale_price),0) as t FROM units "
               "WHERE property_id=? AND status='available'"_s,
            u"t"_s, { pid }));
    const QVariantMap counts = firstRow(
        u"SELECT COUNT(*) as total, SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END) as sold "
        "FROM units WHERE property_id=?"_s,
        { pid });

    const auto amount = [&result](const QString &key) { return result.value(key).toDouble(); };
    result.insert(u"expected_profit"_s,
        amount(u"total_sales_value"_s) + amount(u"unsold_value"_s) - amount(u"total_expenses"_s));
    result.insert(u"net_cash_flow"_s, amount(u"total_collected"_s) - amount(u"total_expenses"_s));
    if (!counts.isEmpty()) {
        result.insert(u"total_units"_s, counts.value(u"total"_s));
        result.insert(u"sold_units"_s, counts.value(u"sold"_s));
    }
    return result;
}

QVariantMap ReportController::getPropertyProfitability(
    int pid, const QString &from, const QString &to)
{
    QString paymentFilter;
    QString expenseFilter;
    QVariantList period;
    if (!from.isEmpty() && !to.isEmpty()) {
        paymentFilter = u" AND date(p.payment_date) BETWEEN ? AND ?"_s;
        expenseFilter = u" AND date(expense_date) BETWEEN ? AND ?"_s;
        period << from << to;
    }
    const QVariantList params = QVariantList { pid } + period;

    const double invoiceIncome
        = figure(u"SELECT COALESCE(SUM(p.amount),0) as t FROM payments p JOIN invoices i ON "
                 "p.invoice_id=i.id JOIN units u ON i.unit_id=u.id WHERE u.property_id=? "_s
                + paymentFilter,
            u"t"_s, params)
              .toDouble();
    const double expenses = figure(
        u"SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE property_id=? "_s + expenseFilter,
        u"t"_s, params)
                                .toDouble();
    // Sale receipts count whatever the period.
    const double salesReceipts
        = figure(u"SELECT COALESCE(SUM(paid_amount),0) as t FROM installments inst "
                 "JOIN units u ON inst.unit_id=u.id WHERE u.property_id=?"_s,
            u"t"_s, { pid })
              .toDouble();

    const double income = invoiceIncome + salesReceipts;
    const double profit = income - expenses;
    return { { u"income"_s, income }, { u"expenses"_s, expenses }, { u"profit"_s, profit },
        { u"margin"_s, income > 0 ? profit / income * 100.0 : 0.0 } };
}

QVariantMap ReportController::getUnitProfitability(int uid)
{
    const QVariantMap unit = firstRow(u"SELECT * FROM units WHERE id=?"_s, { uid });
    if (unit.isEmpty())
        return {};

    double price = unit.value(u"sale_price_actual"_s).toDouble();
    if (price <= 0)
        price = unit.value(u"sale_price"_s).toDouble();
    // Floors keep the share finite: a unit without area counts as 1, and so does an empty total.
    const double area = std::max(unit.value(u"area"_s).toDouble(), 1.0);
    const int propertyId = unit.value(u"property_id"_s).toInt();

    const double direct = figure(
        u"SELECT COALESCE(SUM(amount),0) as t FROM expenses WHERE unit_id=?"_s, u"t"_s, { uid })
                              .toDouble();
    const double common = figure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses "
                                 "WHERE property_id=? AND unit_id IS NULL"_s,
        u"t"_s, { propertyId })
                              .toDouble();
    const double totalArea
        = std::max(figure(u"SELECT COALESCE(SUM(area),1) as t FROM units WHERE property_id=?"_s,
                       u"t"_s, { propertyId })
                       .toDouble(),
            1.0);

    const double allocated = common * (area / totalArea);
    const double totalCost = allocated + direct;
    return { { u"sale_price"_s, price }, { u"direct_expenses"_s, direct },
        { u"allocated_expenses"_s, allocated }, { u"total_cost"_s, totalCost },
        { u"profit"_s, price - totalCost } };
}

QVariantList ReportController::getAIInsights()
{
    QVariantList cards;

    // Only rented units count as occupied on this card.
    const QVariantMap units = firstRow(
        u"SELECT COUNT(*) as total, SUM(CASE WHEN status='rented' THEN 1 ELSE 0 END) as rented, "
        "SUM(CASE WHEN status='sold' THEN 1 ELSE 0 END) as sold FROM units"_s);
    if (!units.isEmpty()) {
        const int total = units.value(u"total"_s).toInt();
        const int rented = units.value(u"rented"_s).toInt();
        double rate = 0;
        QString icon = u"🔴"_s;
        if (total >= 1) {
            rate = static_cast<double>(rented) / total * 100.0;
            if (rate > 80)
                icon = u"✅"_s;
            else if (rate > 50)
                icon = u"⚠️"_s;
        }
        const QString description = u"نسبة الإشغال %1% (%2/%3 وحدة). "_s.arg(whole(rate),
                                        QString::number(rented), QString::number(total))
            + (rate > 80 ? u"أداء ممتاز!"_s : u"يمكن تحسين الإشغال."_s);
        cards.append(card(icon, u"تحليل الإشغال"_s, description));
    }

    const QVariantMap invoices = firstRow(
        u"SELECT COALESCE(SUM(balance),0) as overdue FROM invoices WHERE status!='paid' AND "
        "status!='void' AND due_date < date('now','localtime')"_s);
    if (!invoices.isEmpty()) {
        const double overdue = invoices.value(u"overdue"_s).toDouble();
        cards.append(card(overdue < 1000 ? u"✅"_s : u"🔴"_s, u"المستحقات المتأخرة"_s,
            u"إجمالي المتأخرات: %1 ₪"_s.arg(whole(overdue))));
    }

    const QVariantMap installments = firstRow(
        u"SELECT COUNT(*) as c, COALESCE(SUM(installment_amount-paid_amount),0) as t "
        "FROM installments WHERE status!='paid' AND due_date < date('now','localtime')"_s);
    if (installments.value(u"c"_s).toInt() > 0) {
        cards.append(card(u"⚠️"_s, u"أقساط متأخرة"_s,
            u"%1 قسط متأخر بقيمة %2 ₪"_s.arg(QString::number(installments.value(u"c"_s).toInt()),
                whole(installments.value(u"t"_s).toDouble()))));
    }

    const QVariantMap cheques
        = firstRow(u"SELECT COUNT(*) as c, COALESCE(SUM(amount),0) as t FROM cheques "
                   "WHERE status='pending' AND due_date <= date('now','localtime','+7 days')"_s);
    if (cheques.value(u"c"_s).toInt() > 0) {
        cards.append(card(u"🎫"_s, u"شيكات مستحقة"_s,
            u"%1 شيك مستحق خلال 7 أيام بقيمة %2"_s.arg(
                QString::number(cheques.value(u"c"_s).toInt()),
                whole(cheques.value(u"t"_s).toDouble()))));
    }
    return cards;
}

QVariantMap ReportController::getSmartAIAnalysis()
{
    const double revenue
        = figure(u"SELECT COALESCE(SUM(amount),0) as t FROM payments"_s, u"t"_s).toDouble();
    const double net = revenue
        - figure(u"SELECT COALESCE(SUM(amount),0) as t FROM expenses"_s, u"t"_s).toDouble();

    // Sold units count as occupied here, unlike the occupancy card.
    int total = 0;
    int occupied = 0;
    const QVariantList statuses
        = m_db->execQuery(u"SELECT status, COUNT(*) as cnt FROM units GROUP BY status"_s);
    for (const QVariant &row : statuses) {
        const QVariantMap map = row.toMap();
        const int count = map.value(u"cnt"_s).toInt();
        total += count;
        const QString status = map.value(u"status"_s).toString();
        if (status == u"rented"_s || status == u"sold"_s)
            occupied += count;
    }
    const double occupancy = total >= 1 ? static_cast<double>(occupied) / total * 100.0 : 0.0;

    const qsizetype overdueCount = getOverdueInstallments().size();
    const int chequeCount = figure(u"SELECT COUNT(*) as cnt FROM cheques WHERE status='pending' "
                                   "AND due_date <= date('now','localtime','+7 days')"_s,
        u"cnt"_s)
                                .toInt();

    QString text = u"### تحليل ذكاء الأعمال (Belvardino AI)\n\n"_s;
    if (revenue > 0) {
        const double margin = net / revenue * 100.0;
        text += u"✅ **الأداء المالي:** تحقق المنظومة حالياً إيرادات إجمالية قدرها **%1 ₪**. "_s.arg(
            revenue);
        text += u"بهامش ربح صافي يقدر بـ **%1%**. "_s.arg(oneDecimal(margin));
        text += margin > 30 ? u"هذا المؤشر ممتاز ويدل على كفاءة تشغيلية عالية.\n\n"_s
                            : u"يُنصح بمراجعة المصاريف التشغيلية لزيادة هامش الربح.\n\n"_s;
    } else {
        text
            += u"⚠️ لا توجد بيانات مالية كافية لتحليل الإيرادات حالياً.\n\n"_s;
    }

    text += u"📊 **حالة المحفظة العقارية:** نسبة الإشغال والبيع الحالية هي **%1%**. "_s.arg(
        oneDecimal(occupancy));
    text += occupancy < 70
        ? u"هناك مساحة كبيرة للنمو، يُنصح بتكثيف النشاط التسويقي للوحدات المتاحة.\n\n"_s
        : u"المحفظة في حالة صحية جيدة جداً من حيث الإشغال.\n\n"_s;

    text += u"💡 **توصيات ذكية:**\n"_s;
    if (overdueCount > 0)
        text += u"- هناك **%1** دفعات متأخرة. يُفضل التواصل مع العملاء لتحصيلها لضمان تدفق نقدي "
                "مستقر.\n"_s.arg(overdueCount);
    if (chequeCount > 0)
        text += u"- تنبيه: يوجد **%1** شيكات تستحق خلال الأسبوع القادم. تأكد من توفر السيولة أو "
                "متابعة التحصيل.\n"_s.arg(chequeCount);

    return { { u"text"_s, text }, { u"occupancy"_s, occupancy } };
}
