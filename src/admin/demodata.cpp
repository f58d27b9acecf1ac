#include "demodata.h"

#include "accountmodel.h"
#include "auditmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "database.h"
#include "expensemodel.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "paymentmodel.h"
#include "posting.h"
#include "propertymodel.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "transactionguard.h"
#include "unitmodel.h"

#include <QDate>
#include <QRandomGenerator>
#include <QStringList>
#include <memory>

using namespace Qt::StringLiterals;

namespace DemoData {

namespace {

    // The business objects the portfolio is written through, over one database.
    struct Objects
    {
        explicit Objects(Database *db)
            : database(db)
            , propertyModel(db)
            , unitModel(db)
            , tenantModel(db)
            , contractModel(db)
            , invoiceModel(db)
            , paymentModel(db)
            , maintenanceModel(db)
            , expenseModel(db)
            , accountModel(db)
            , chequeModel(db)
            , buyerModel(db)
            , installmentModel(db)
            , currencyModel(db)
            , auditMgr(db)
        {
        }

        Database *database;
        PropertyModel propertyModel;
        UnitModel unitModel;
        TenantModel tenantModel;
        ContractModel contractModel;
        InvoiceModel invoiceModel;
        PaymentModel paymentModel;
        MaintenanceModel maintenanceModel;
        ExpenseModel expenseModel;
        AccountModel accountModel;
        ChequeModel chequeModel;
        BuyerModel buyerModel;
        InstallmentModel installmentModel;
        CurrencyModel currencyModel;
        AuditManager auditMgr;
    };

    const QStringList kFirstNames = { u"أحمد"_s, u"محمد"_s, u"خالد"_s, u"سامي"_s, u"ليلى"_s,
        u"رنا"_s, u"يوسف"_s, u"مريم"_s, u"عمر"_s, u"هالة"_s, u"طارق"_s, u"نور"_s, u"إياد"_s,
        u"سلمى"_s, u"فادي"_s, u"دانة"_s };
    const QStringList kLastNames = { u"الخطيب"_s, u"النجار"_s, u"العلي"_s, u"حداد"_s, u"الشريف"_s,
        u"منصور"_s, u"عودة"_s, u"البرغوثي"_s, u"قاسم"_s, u"الحسيني"_s, u"جابر"_s, u"سلامة"_s };
    const QStringList kCities
        = { u"رام الله"_s, u"نابلس"_s, u"الخليل"_s, u"بيت لحم"_s, u"القدس"_s, u"جنين"_s };
    const QStringList kStreets = { u"شارع الإرسال"_s, u"شارع القدس"_s, u"حي الماصيون"_s,
        u"شارع الجامعة"_s, u"دوار المنارة"_s, u"شارع النزهة"_s };
    const QStringList kBuildings = { u"برج النخيل"_s, u"مجمع الياسمين السكني"_s,
        u"مركز الزيتون التجاري"_s, u"أبراج الريحان"_s, u"عمارة اللوتس"_s };
    const QStringList kTypes
        = { u"residential"_s, u"residential"_s, u"commercial"_s, u"mixed"_s, u"residential"_s };
    const QStringList kBanks
        = { u"بنك فلسطين"_s, u"البنك العربي"_s, u"بنك القدس"_s, u"البنك الإسلامي الفلسطيني"_s };

    QString iso(const QDate &date) { return date.toString(Qt::ISODate); }

    int idOfCurrency(Objects &o, const QString &code)
    {
        const QVariantList rows = o.currencyModel.getAll();
        for (const QVariant &row : rows) {
            const QVariantMap map = row.toMap();
            if (map.value(u"code"_s).toString() == code)
                return map.value(u"id"_s).toInt();
        }
        return 1;
    }

    int idOfAccount(Objects &o, const QString &code)
    {
        const QVariantList rows = o.accountModel.getAll();
        for (const QVariant &row : rows) {
            const QVariantMap map = row.toMap();
            if (map.value(u"code"_s).toString() == code)
                return map.value(u"id"_s).toInt();
        }
        return 0;
    }

    QVariantMap journalLine(int account, double debit, double credit, const QString &description)
    {
        return { { u"account_id"_s, account }, { u"debit"_s, debit }, { u"credit"_s, credit },
            { u"description"_s, description } };
    }

    struct Unit
    {
        int id;
        int propertyId;
        double rent;
        double price;
    };

    // Maintenance requests on random units, a third still new, a third in progress and a third
    // completed (which books their cost as expenses).
    int addMaintenance(Objects &o, const QList<Unit> &units, int count, QRandomGenerator &rng)
    {
        const QStringList titles = { u"تسريب مياه في الحمام"_s, u"عطل في المصعد"_s,
            u"إصلاح باب المدخل"_s, u"صيانة المكيف"_s, u"دهان الواجهة"_s, u"انقطاع الكهرباء"_s };
        const QStringList priorities = { u"low"_s, u"medium"_s, u"high"_s };
        int added = 0;
        for (int i = 0; i < count && !units.isEmpty(); ++i) {
            const Unit &unit = units.at(rng.bounded(units.size()));
            const int id = o.maintenanceModel.add(unit.id, unit.propertyId,
                titles.at(i % titles.size()), u"طلب من المستأجر"_s, priorities.at(i % 3));
            if (id < 1)
                continue;
            ++added;
            if (i % 3 == 1)
                o.maintenanceModel.updateStatus(id, u"in_progress"_s);
            else if (i % 3 == 2)
                o.maintenanceModel.complete(id, (2 + rng.bounded(19)) * 50);
        }
        return added;
    }

} // namespace

static Counts fillThrough(Objects &o, int scale, quint32 seed)
{
    Counts counts;
    QRandomGenerator rng(seed);
    const QDate today = QDate::currentDate();
    scale = qMax(1, scale);
    auto pick = [&rng](const QStringList &list) { return list.at(rng.bounded(list.size())); };
    auto between = [&rng](int low, int high) { return low + rng.bounded(high - low + 1); };

    // Exchange rates to the shekel.
    const int usd = idOfCurrency(o, u"USD"_s);
    const int jod = idOfCurrency(o, u"JOD"_s);
    const int ils = idOfCurrency(o, u"ILS"_s);
    o.currencyModel.setRate(usd, ils, 3.72);
    o.currencyModel.setRate(jod, ils, 5.24);

    // Properties with a dozen units each.
    QList<Unit> units;
    QList<int> propertyIds;
    for (int s = 0; s < scale; ++s) {
        for (int p = 0; p < 3; ++p) {
            const int k = (s * 3 + p) % kBuildings.size();
            QString name = kBuildings.at(k);
            if (s > 0 || s * 3 + p >= kBuildings.size())
                name += u" "_s + QString::number(s * 3 + p + 1);
            const int propertyId = o.propertyModel.add(
                name, kTypes.at(k), pick(kStreets), pick(kCities), u"عقار تجريبي"_s);
            if (propertyId < 1)
                continue;
            ++counts.properties;
            propertyIds << propertyId;
            const int floors = 4;
            for (int f = 1; f <= floors; ++f) {
                for (int n = 1; n <= 3; ++n) {
                    const double area = between(8, 18) * 10;
                    const int rooms = between(2, 5);
                    const double rent = between(15, 45) * 100;
                    const double price = between(30, 90) * 10000;
                    const int unitId = o.unitModel.add(propertyId, QString::number(f * 100 + n), f,
                        area, rooms, rent, rent * 12, price, ils);
                    if (unitId > 0) {
                        units << Unit { unitId, propertyId, rent, price };
                        ++counts.units;
                    }
                }
            }
        }
    }

    // Tenants.
    QList<int> tenants;
    for (int i = 0; i < 20 * scale; ++i) {
        const QString name = kFirstNames.at(i % kFirstNames.size()) + u" "_s
            + kLastNames.at((i / kFirstNames.size() + i) % kLastNames.size());
        const QString idNumber = QString::number(400000000 + i * 7919 + 17);
        const QString phone = u"059"_s + QString::number(1000000 + rng.bounded(8999999));
        const QString email = u"tenant"_s + QString::number(i + 1) + u"@example.ps"_s;
        const int id = o.tenantModel.add(name, idNumber, phone, email, pick(kCities));
        if (id > 0) {
            tenants << id;
            ++counts.tenants;
        }
    }

    // Leases: ended ones first (then freed), then active ones, a few ending within the month.
    int unitCursor = 0;
    int tenantCursor = 0;
    const int leased = units.size() * 55 / 100;
    for (int i = 0; i < leased && !tenants.isEmpty(); ++i, ++unitCursor) {
        const Unit &unit = units.at(unitCursor);
        const int tenant = tenants.at(tenantCursor++ % tenants.size());
        if (i % 5 == 0) {
            const QDate start = today.addMonths(-between(18, 24));
            const int old = o.contractModel.add(unit.id, tenant, iso(start),
                iso(start.addYears(1).addDays(-1)), unit.rent * 0.9, u"monthly"_s, unit.rent, ils);
            if (old > 0) {
                o.contractModel.terminate(old);
                ++counts.contracts;
            }
        }
        QDate start = today.addMonths(-between(3, 11)).addDays(-between(0, 20));
        QDate end = start.addYears(1).addDays(-1);
        if (i % 7 == 3)
            end = today.addDays(between(3, 25));
        const int id = o.contractModel.add(
            unit.id, tenant, iso(start), iso(end), unit.rent, u"monthly"_s, unit.rent, ils);
        if (id > 0)
            ++counts.contracts;
    }

    // Rent for the last three months and this one, then a flat water bill for one building.
    for (int back = 3; back >= 0; --back)
        counts.invoices
            += o.invoiceModel.generateAllRent(today.addMonths(-back).toString(u"yyyy-MM"_s));
    if (!propertyIds.isEmpty())
        counts.invoices += o.invoiceModel.generatePropertyServiceInvoice(
            propertyIds.first(), u"مياه"_s, 120, today.toString(u"yyyy-MM"_s), ils);

    // Payments: most invoices paid in full, some partly, the rest still open.
    const QVariantList invoices = o.invoiceModel.getAll();
    const QStringList methods = { u"cash"_s, u"bank"_s, u"cheque"_s };
    int reference = 5000;
    for (const QVariant &row : invoices) {
        const QVariantMap invoice = row.toMap();
        const int roll = rng.bounded(100);
        const double balance = invoice.value(u"balance"_s).toDouble();
        if (roll >= 80 || balance <= 0)
            continue;
        const double amount = roll < 60 ? balance : qRound(balance * 0.4);
        QDate paid
            = QDate::fromString(invoice.value(u"period"_s).toString() + u"-10"_s, Qt::ISODate)
                  .addDays(between(0, 15));
        if (!paid.isValid() || paid > today)
            paid = today;
        const int id = o.paymentModel.add(invoice.value(u"id"_s).toInt(),
            invoice.value(u"tenant_id"_s).toInt(), amount, pick(methods), iso(paid),
            u"REF-"_s + QString::number(++reference), invoice.value(u"currency_id"_s).toInt());
        if (id > 0)
            ++counts.payments;
    }

    // Buyers, and sales of some of the units still free: on installments and in cash.
    QList<int> buyers;
    for (int i = 0; i < 6 * scale; ++i) {
        const QString name = kFirstNames.at((i * 5 + 3) % kFirstNames.size()) + u" "_s
            + kLastNames.at((i * 3 + 1) % kLastNames.size());
        const int id = o.buyerModel.add(name, QString::number(800000000 + i * 6151 + 29),
            u"056"_s + QString::number(1000000 + rng.bounded(8999999)), QString(), pick(kCities));
        if (id > 0) {
            buyers << id;
            ++counts.buyers;
        }
    }
    for (int i = 0; i < buyers.size() && unitCursor < units.size(); ++i, ++unitCursor) {
        const Unit &unit = units.at(unitCursor);
        const bool cash = i % 4 == 3;
        const int n = cash ? 0 : (i % 2 == 0 ? 12 : 24);
        const double down = cash ? unit.price : qRound(unit.price * 0.2);
        const QDate start = today.addMonths(-between(2, 8));
        const int ok = o.installmentModel.sellUnit(buyers.at(i), unit.id, unit.price, down, n,
            iso(start), ils, QString::number(1001 + i * 100), pick(kBanks));
        if (ok <= 0)
            continue;
        ++counts.sales;
        // Collect what fell due, leaving the latest one partly paid and one overdue.
        const QVariantList schedule = o.installmentModel.getByBuyer(buyers.at(i));
        int due = 0;
        for (const QVariant &row : schedule) {
            const QVariantMap item = row.toMap();
            if (QDate::fromString(item.value(u"due_date"_s).toString(), Qt::ISODate) > today)
                continue;
            ++due;
            const double amount = item.value(u"installment_amount"_s).toDouble();
            if (due % 5 == 0)
                continue;
            o.installmentModel.payInstallment(
                item.value(u"id"_s).toInt(), due % 4 == 0 ? qRound(amount / 2) : amount);
        }
    }

    // Cheques received and issued, in every status.
    const QStringList statuses = { u"pending"_s, u"paid"_s, u"bounced"_s };
    for (int i = 0; i < 8 * scale; ++i) {
        const bool received = i % 3 != 2;
        const double amount = between(5, 60) * 100;
        const QDate due = today.addDays(between(-60, 60));
        const int currency = i % 5 == 4 ? usd : ils;
        const int buyer = received && !buyers.isEmpty() ? buyers.at(i % buyers.size()) : 0;
        const int id = o.chequeModel.add(QString::number(700100 + i),
            received ? u"received"_s : u"issued"_s, amount, pick(kBanks), iso(due),
            received ? kFirstNames.at(i % kFirstNames.size()) : u"شركة البناء الحديث"_s, currency,
            currency == usd ? 3.72 : 1.0, buyer, 0);
        if (id < 1)
            continue;
        ++counts.cheques;
        const QString status = due < today ? statuses.at(i % 3) : u"pending"_s;
        if (status != u"pending"_s)
            o.chequeModel.updateStatus(id, status);
    }

    // Contractors and their expenses.
    const QList<QStringList> trades = { { u"مؤسسة الأمل للكهرباء"_s, u"كهرباء"_s },
        { u"ورشة النجار للسباكة"_s, u"سباكة"_s }, { u"شركة البناء الحديث"_s, u"بناء وتشطيب"_s },
        { u"مكتب النظافة الشامل"_s, u"تنظيف"_s } };
    QList<int> contractors;
    for (const QStringList &trade : trades) {
        const int id = o.expenseModel.addContractor(
            trade.at(0), u"022"_s + QString::number(900000 + rng.bounded(99999)), trade.at(1));
        if (id > 0)
            contractors << id;
    }
    const QStringList categories = { u"صيانة"_s, u"كهرباء"_s, u"مياه"_s, u"تنظيف"_s, u"إدارية"_s };
    for (int i = 0; i < 10 * scale && !units.isEmpty() && !contractors.isEmpty(); ++i) {
        const Unit &unit = units.at(rng.bounded(units.size()));
        const int id = o.expenseModel.add(unit.propertyId, i % 3 == 0 ? unit.id : 0,
            contractors.at(i % contractors.size()), categories.at(i % categories.size()),
            trades.at(i % trades.size()).at(1), u"أعمال دورية"_s, between(2, 40) * 50,
            iso(today.addDays(-between(1, 120))), ils);
        if (id > 0)
            ++counts.expenses;
    }

    // Maintenance requests in every status.
    counts.maintenance = addMaintenance(o, units, 8 * scale, rng);

    // A few balanced journal entries.
    const int cash = idOfAccount(o, u"1100"_s);
    const int rentRevenue = idOfAccount(o, u"4100"_s);
    const int operating = idOfAccount(o, u"5200"_s);
    const int equity = idOfAccount(o, u"3000"_s);
    if (cash > 0 && rentRevenue > 0 && operating > 0 && equity > 0) {
        struct Entry
        {
            int debit;
            int credit;
            double amount;
            QString text;
            int daysAgo;
        };
        const QList<Entry> entries = { { cash, equity, 250000, u"رأس المال الافتتاحي"_s, 150 },
            { cash, rentRevenue, 18500, u"تحصيل إيجارات الشهر"_s, 60 },
            { operating, cash, 3200, u"مصاريف تشغيل المباني"_s, 45 },
            { cash, rentRevenue, 21000, u"تحصيل إيجارات الشهر"_s, 30 },
            { operating, cash, 2750, u"فواتير كهرباء المرافق العامة"_s, 10 } };
        // Posted books hold the collections and expenses already: only the capital is typed.
        const bool posted = Posting::isOn(o.database);
        for (int s = 0; s < scale; ++s) {
            for (const Entry &e : entries) {
                if (posted && e.credit != equity)
                    continue;
                const QVariantList lines = { journalLine(e.debit, e.amount, 0, e.text),
                    journalLine(e.credit, 0, e.amount, e.text) };
                if (o.accountModel.createJournalEntry(
                        iso(today.addDays(-e.daysAgo)), e.text, u"manual"_s, 0, lines)
                    > 0)
                    ++counts.journalEntries;
            }
        }
    }

    o.auditMgr.log(1, u"تحميل بيانات تجريبية"_s, u"properties"_s, 0,
        QString::number(counts.properties) + u" عقارات"_s);
    return counts;
}

static Counts fillLargeThrough(Objects &o, int scale, quint32 seed)
{
    Counts counts;
    scale = qMax(1, scale);
    QRandomGenerator rng(seed);
    const QDate today = QDate::currentDate();
    auto pick = [&rng](const QStringList &list) { return list.at(rng.bounded(list.size())); };
    auto between = [&rng](int low, int high) { return low + rng.bounded(high - low + 1); };
    // A few transactions for the whole history (each operation nests its own inside), so five
    // years are written in seconds. A month's rent run is never nested in one: SQLite would keep
    // every page the run touches in one savepoint journal, walked again by each statement of each
    // invoice, and the fill would slow down month by month.
    auto run = std::make_unique<TransactionGuard>(o.database);

    const int usd = idOfCurrency(o, u"USD"_s);
    const int ils = idOfCurrency(o, u"ILS"_s);
    o.currencyModel.setRate(usd, ils, 3.72);

    QList<Unit> units;
    for (int p = 0; p < 40 * scale; ++p) {
        const int propertyId = o.propertyModel.add(
            kBuildings.at(p % kBuildings.size()) + u" "_s + QString::number(p + 1),
            kTypes.at(p % kTypes.size()), pick(kStreets), pick(kCities), u"عقار تجريبي"_s);
        if (propertyId < 1)
            continue;
        ++counts.properties;
        for (int n = 0; n < 50; ++n) {
            const double rent = between(15, 45) * 100;
            const double price = between(30, 90) * 10000;
            const int unitId = o.unitModel.add(propertyId, QString::number(101 + n), n / 4 + 1,
                between(8, 18) * 10, between(2, 5), rent, rent * 12, price, ils);
            if (unitId > 0) {
                units << Unit { unitId, propertyId, rent, price };
                ++counts.units;
            }
        }
    }

    // 1,800 tenants, each on a lease that started five years ago; some end within the month.
    const int tenantCount = qMin(1800 * scale, int(units.size()));
    for (int i = 0; i < tenantCount; ++i) {
        const QString name = kFirstNames.at(i % kFirstNames.size()) + u" "_s
            + kLastNames.at((i / kFirstNames.size() + i) % kLastNames.size());
        const int tenant = o.tenantModel.add(name, QString::number(300000000 + i),
            u"059"_s + QString::number(1000000 + rng.bounded(8999999)), QString(), pick(kCities));
        if (tenant < 1)
            continue;
        ++counts.tenants;
        const QDate start = today.addYears(-5).addDays(-between(0, 30));
        const QDate end = i % 9 == 0 ? today.addDays(between(1, 28)) : today.addYears(1);
        if (o.contractModel.add(units.at(i).id, tenant, iso(start), iso(end), units.at(i).rent,
                u"monthly"_s, units.at(i).rent, ils)
            > 0)
            ++counts.contracts;
    }

    // Sixty months of rent, oldest first; nearly all paid, some partly, the latest ones open.
    // Each month is paid before the next is issued, so that a large scale never holds every
    // invoice in memory at once.
    if (!run->commit())
        return {};
    for (int back = 59; back >= 0; --back) {
        const QString month = today.addMonths(-back).toString(u"yyyy-MM"_s);
        // The month's invoices are the ones its run adds: read by id, not by a scan of all.
        const QVariant before = o.database->execQuery(u"SELECT MAX(id) AS id FROM invoices"_s)
                                    .value(0)
                                    .toMap()
                                    .value(u"id"_s);
        counts.invoices += o.invoiceModel.generateAllRent(month);
        TransactionGuard payments(o.database);
        const QVariantList invoices = o.database->execQuery(
            u"SELECT id, tenant_id, balance, period, currency_id FROM invoices WHERE id > ? AND "
            "period=? ORDER BY id"_s,
            { before.toInt(), month });
        for (const QVariant &row : invoices) {
            const QVariantMap invoice = row.toMap();
            const int roll = rng.bounded(100);
            const QString period = invoice.value(u"period"_s).toString();
            if (roll >= 97 || (period == today.toString(u"yyyy-MM"_s) && roll >= 40))
                continue;
            const double balance = invoice.value(u"balance"_s).toDouble();
            QDate paid = QDate::fromString(period + u"-05"_s, Qt::ISODate).addDays(between(0, 20));
            if (!paid.isValid() || paid > today)
                paid = today;
            if (o.paymentModel.add(invoice.value(u"id"_s).toInt(),
                    invoice.value(u"tenant_id"_s).toInt(),
                    roll < 92 ? balance : qRound(balance / 2), u"bank"_s, iso(paid), QString(),
                    invoice.value(u"currency_id"_s).toInt())
                > 0)
                ++counts.payments;
        }
        if (!payments.commit())
            return {};
        // The log of changes is copied into the file once a year of history (see fillLarge),
        // so it never grows to many times the file.
        if (back % 12 == 0 && !o.database->isServer())
            o.database->execQuery(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
    }
    run = std::make_unique<TransactionGuard>(o.database);

    // 200 buyers of the remaining units on 48-month schedules, collected until last month.
    for (int i = 0; i < 200 * scale && tenantCount + i < units.size(); ++i) {
        const Unit &unit = units.at(tenantCount + i);
        const int buyer = o.buyerModel.add(kFirstNames.at((i * 5 + 3) % kFirstNames.size()) + u" "_s
                + kLastNames.at((i * 3 + 1) % kLastNames.size()),
            QString::number(800000000 + i), u"056"_s + QString::number(1000000 + i), QString(),
            pick(kCities));
        if (buyer < 1)
            continue;
        ++counts.buyers;
        if (o.installmentModel.sellUnit(buyer, unit.id, unit.price, qRound(unit.price * 0.2), 48,
                iso(today.addMonths(-between(1, 40))), ils, QString::number(1001 + i * 100),
                pick(kBanks))
            < 1)
            continue;
        ++counts.sales;
        for (const QVariant &row : o.installmentModel.getByBuyer(buyer)) {
            const QVariantMap item = row.toMap();
            if (QDate::fromString(item.value(u"due_date"_s).toString(), Qt::ISODate)
                < today.addMonths(-1))
                o.installmentModel.payInstallment(
                    item.value(u"id"_s).toInt(), item.value(u"installment_amount"_s).toDouble());
        }
    }

    const QStringList statuses = { u"pending"_s, u"paid"_s, u"bounced"_s };
    for (int i = 0; i < 5000 * scale; ++i) {
        const bool received = i % 3 != 2;
        const QDate due = today.addDays(between(-700, 400));
        const int id = o.chequeModel.add(QString::number(500000 + i),
            received ? u"received"_s : u"issued"_s, between(5, 60) * 100, pick(kBanks), iso(due),
            received ? kFirstNames.at(i % kFirstNames.size()) : u"شركة البناء الحديث"_s, ils, 1.0);
        if (id < 1)
            continue;
        ++counts.cheques;
        if (due < today)
            o.chequeModel.updateStatus(id, statuses.at(i % 3));
    }

    QList<int> contractors;
    for (int i = 0; i < 20 * scale; ++i) {
        const int id = o.expenseModel.addContractor(u"مقاول "_s + QString::number(i + 1),
            u"022"_s + QString::number(900000 + i), i % 2 ? u"سباكة"_s : u"كهرباء"_s);
        if (id > 0)
            contractors << id;
    }
    for (int i = 0; i < 10000 * scale && !units.isEmpty() && !contractors.isEmpty(); ++i) {
        const Unit &unit = units.at(rng.bounded(units.size()));
        if (o.expenseModel.add(unit.propertyId, i % 3 == 0 ? unit.id : 0,
                contractors.at(i % contractors.size()), u"تشغيل"_s, u"أعمال دورية"_s,
                u"مصروف دوري"_s, between(2, 40) * 50, iso(today.addDays(-between(0, 1825))), ils)
            > 0)
            ++counts.expenses;
    }

    counts.maintenance = addMaintenance(o, units, 3000 * scale, rng);

    const int cash = idOfAccount(o, u"1100"_s);
    const int rentRevenue = idOfAccount(o, u"4100"_s);
    const int typed = Posting::isOn(o.database) ? 0 : 2000 * scale;
    for (int i = 0; i < typed && cash > 0 && rentRevenue > 0; ++i) {
        const double amount = between(10, 200) * 100;
        const QVariantList lines = { journalLine(cash, amount, 0, u"تحصيل"_s),
            journalLine(rentRevenue, 0, amount, u"تحصيل"_s) };
        if (o.accountModel.createJournalEntry(
                iso(today.addDays(-between(0, 1825))), u"تحصيل إيجارات"_s, u"manual"_s, 0, lines)
            > 0)
            ++counts.journalEntries;
    }

    // A run whose transaction was lost (a full disk) reports nothing written.
    if (!run->commit())
        return {};
    return counts;
}

Counts fill(Database *db, int scale, quint32 seed)
{
    Objects objects(db);
    const Counts counts = fillThrough(objects, scale, seed);
    // A filled portfolio is a company in use: the first-run setup is not asked.
    SettingsManager settled(db);
    return counts;
}

Counts fillLarge(Database *db, int scale, quint32 seed)
{
    // The file is read through a memory map as far as it goes rather than copied into the page
    // cache: a cache grown with the portfolio only made the fill slower (at ten times the large
    // portfolio, 306 s with 640 MB against 266 s with the usual 64 MB). What the fill frees is
    // only its own sample figures, so freed space is not scrubbed either.
    QVariant mapSize;
    QVariant secureDelete;
    if (!db->isServer()) {
        mapSize = db->execQuery(u"PRAGMA mmap_size"_s).value(0).toMap().value(u"mmap_size"_s);
        secureDelete
            = db->execQuery(u"PRAGMA secure_delete"_s).value(0).toMap().value(u"secure_delete"_s);
        db->execQuery(u"PRAGMA mmap_size=%1"_s.arg(qint64(1) << 33));
        db->execQuery(u"PRAGMA secure_delete=OFF"_s);
    }
    // Each month's commit would copy every page it changed back into the file at once; the
    // same index pages change month after month, so they are copied once a year instead.
    const QVariant checkpointEvery = db->execQuery(u"PRAGMA wal_autocheckpoint"_s)
                                         .value(0)
                                         .toMap()
                                         .value(u"wal_autocheckpoint"_s);
    if (!db->isServer())
        db->execQuery(u"PRAGMA wal_autocheckpoint=0"_s);
    Objects objects(db);
    Counts counts = fillLargeThrough(objects, scale, seed);
    // With posting on, the operations wrote the entries; those count as well.
    if (counts.properties > 0)
        counts.journalEntries = db->execQuery(u"SELECT COUNT(*) as c FROM journal_entries"_s)
                                    .value(0)
                                    .toMap()
                                    .value(u"c"_s)
                                    .toInt();
    SettingsManager settled(db);
    if (!db->isServer()) {
        db->execQuery(u"PRAGMA mmap_size=%1"_s.arg(mapSize.toLongLong()));
        db->execQuery(u"PRAGMA secure_delete=%1"_s.arg(secureDelete.toInt()));
        db->execQuery(u"PRAGMA wal_autocheckpoint=%1"_s.arg(checkpointEvery.toInt()));
        db->execQuery(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
    }
    return counts;
}

} // namespace DemoData
