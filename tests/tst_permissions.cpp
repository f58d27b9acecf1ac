#include "accountmodel.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "backupmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "depositmodel.h"
#include "expensemodel.h"
#include "importcontroller.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "paymentmodel.h"
#include "propertymodel.h"
#include "remindermodel.h"
#include "serversettings.h"
#include "servicemodel.h"
#include "session.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "testfixture.h"
#include "unitmodel.h"
#include "vouchermodel.h"

#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// Who may run an operation, as the product promises it.
enum Level
{
    Everyone,
    DailyWork,
    AdminOnly
};

// Every object that writes, on one fixture, with rows each operation can act on.
struct World
{
    explicit World(TestFixture &f)
        : fixture(f)
        , property(f.db())
        , unit(f.db())
        , tenant(f.db())
        , contract(f.db())
        , invoice(f.db())
        , payment(f.db())
        , maintenance(f.db())
        , expense(f.db())
        , account(f.db())
        , cheque(f.db())
        , buyer(f.db())
        , installment(f.db())
        , currency(f.db())
        , service(f.db())
        , settings(f.db())
        , importer(f.db())
        , audit(f.db())
        , auth(f.db())
        , backup(f.dataDir())
        , reminder(f.db(), &settings)
        , deposit(f.db())
        , voucher(f.db())
    {
        backup.setDatabase(f.db());
        const QDate today = TestFixture::today();
        propertyId = f.addProperty();
        spareProperty = f.addProperty(u"أرض فارغة"_s);
        unitId = f.addUnit(propertyId, u"101"_s);
        spareUnit = f.addUnit(propertyId, u"102"_s);
        tenantId = f.addTenant(u"سالم"_s, u"900"_s);
        spareTenant = f.addTenant(u"مازن"_s, u"901"_s);
        leaseId = f.addLease(unitId, tenantId, today.addMonths(-2), today.addMonths(10), 1000);
        invoiceId = f.addInvoice(tenantId, unitId, today.toString(u"yyyy-MM"_s), 1000);
        buyerId = f.addBuyer(u"هالة"_s, u"902"_s);
        installmentId = f.addInstallment(buyerId, spareUnit, 500, today.addMonths(1));
        chequeId = f.addCheque(u"CH-1"_s, 300, today.addDays(20));
        issuedCheque = f.addCheque(u"CH-3"_s, 200, today.addDays(10), u"pending"_s, u"issued"_s);
        bouncedCheque = f.addCheque(u"CH-4"_s, 300, today, u"bounced"_s);
        collectedInstallment = f.addInstallment(buyerId, spareUnit, 500, today, 100, u"partial"_s);
        collectionId = f.insert(u"INSERT INTO payments (buyer_id, unit_id, installment_id, amount, "
                                "payment_date, currency_id) VALUES (?,?,?,100,?,1)"_s,
            { buyerId, spareUnit, collectedInstallment, TestFixture::iso(today) });
        requestId = f.insert(u"INSERT INTO maintenance_requests (unit_id, property_id, title, "
                             "status) VALUES (?, ?, 'تسريب', 'pending')"_s,
            { unitId, propertyId });
        f.insert(u"INSERT INTO users (username, password_hash, role) VALUES ('omar', 'x', "
                 "'user')"_s,
            {});
        contractorId = f.insert(
            u"INSERT INTO contractors (name, trade, balance) VALUES ('أبو سعيد', 'دهان', 500)"_s,
            {});
        expenseId = f.addExpense(propertyId, unitId, 500, today, contractorId);
        paidInvoice = f.addInvoice(
            tenantId, unitId, today.addMonths(-1).toString(u"yyyy-MM"_s), 400, u"paid"_s, 400);
        paymentId = f.addPayment(paidInvoice, tenantId, 400, today);
        saleUnit = f.addUnit(propertyId, u"103"_s);
        soldUnit = f.addUnit(propertyId, u"104"_s);
        // The month's rent went out before the water reading, and late fees are on.
        f.db()->execNonQuery(
            u"UPDATE invoices SET contract_id=? WHERE id=?"_s, { leaseId, invoiceId });
        f.insert(u"INSERT INTO usage_records (unit_id, service_id, period, current_reading, "
                 "consumption, cost) VALUES (?, 1, ?, 30, 30, 150)"_s,
            { unitId, today.toString(u"yyyy-MM"_s) });
        f.db()->execNonQuery(u"INSERT INTO settings (key, value) VALUES ('late_fee_enabled', '1'), "
                             "('late_fee_value', '25')"_s);
        lateTenant = f.addTenant(u"وليد"_s, u"904"_s);
        f.addInvoice(lateTenant, unitId, today.addMonths(-3).toString(u"yyyy-MM"_s), 250);
        depositLease = f.addLease(f.addUnit(propertyId, u"105"_s), f.addTenant(u"وليد"_s, u"906"_s),
            today.addMonths(-1), today.addMonths(11), 800);
        f.db()->execNonQuery(u"UPDATE contracts SET deposit=400 WHERE id=?"_s, { depositLease });
        heldDeposit = f.insert(u"INSERT INTO deposits (contract_id, tenant_id, amount, "
                               "currency_id, received_date) VALUES (?, ?, 600, 1, ?)"_s,
            { leaseId, tenantId, TestFixture::iso(today) });
        voucherId = f.insert(u"INSERT INTO vouchers (kind, year, serial, number, voucher_date, "
                             "amount, source) VALUES ('receipt', 2026, 1, 'RCV-2026-00001', ?, "
                             "400, 'payment')"_s,
            { TestFixture::iso(today) });
        // Made before any session exists, in a folder of its own so a backup made under test
        // in the same second gets a free name.
        backup.setBackupPath(f.dataDir() + u"/earlier"_s);
        backup.createBackup();
        backupFile = backup.listBackups().value(0);
        backup.setBackupPath(f.dataDir() + u"/backups"_s);
    }

    TestFixture &fixture;
    PropertyModel property;
    UnitModel unit;
    TenantModel tenant;
    ContractModel contract;
    InvoiceModel invoice;
    PaymentModel payment;
    MaintenanceModel maintenance;
    ExpenseModel expense;
    AccountModel account;
    ChequeModel cheque;
    BuyerModel buyer;
    InstallmentModel installment;
    CurrencyModel currency;
    ServiceModel service;
    SettingsManager settings;
    ImportController importer;
    AuditManager audit;
    AuthController auth;
    BackupManager backup;
    ReminderModel reminder;
    int lateTenant = 0;
    DepositModel deposit;
    VoucherModel voucher;
    int depositLease = 0, heldDeposit = 0, voucherId = 0;
    int propertyId = 0, spareProperty = 0, unitId = 0, spareUnit = 0, saleUnit = 0, soldUnit = 0;
    int tenantId = 0, spareTenant = 0, leaseId = 0, invoiceId = 0, buyerId = 0;
    int installmentId = 0, chequeId = 0, requestId = 0;
    int issuedCheque = 0, bouncedCheque = 0, collectedInstallment = 0, collectionId = 0;
    int contractorId = 0, expenseId = 0, paidInvoice = 0, paymentId = 0;
    QString backupFile;
};

// Runs the operation; true when it did its work.
using Call = std::function<bool(World &)>;

struct Operation
{
    Level level;
    Call call;
};

QString iso(const QDate &date) { return TestFixture::iso(date); }
QString day(int fromToday = 0) { return iso(TestFixture::today().addDays(fromToday)); }

QVariantMap journalLine(int accountId, double debit, double credit)
{
    return { { u"account_id"_s, accountId }, { u"debit"_s, debit }, { u"credit"_s, credit },
        { u"description"_s, u"بند"_s } };
}

const std::map<QString, Operation> &operations()
{
    static const std::map<QString, Operation> all = [] {
        const QString nextMonth = TestFixture::today().addMonths(1).toString(u"yyyy-MM"_s);
        std::map<QString, Operation> ops;
        const auto op = [&ops](const QString &name, Level level, Call call) {
            ops[name] = { level, std::move(call) };
        };
        op(u"property.add"_s, DailyWork,
            [](World &w) { return w.property.add(u"برج"_s, u"residential"_s, {}, {}, {}) > 0; });
        op(u"property.update"_s, DailyWork, [](World &w) {
            return w.property.update(w.propertyId, u"برج 2"_s, u"residential"_s, {}, {}, {});
        });
        op(u"property.remove"_s, DailyWork,
            [](World &w) { return w.property.remove(w.spareProperty); });
        op(u"unit.add"_s, DailyWork, [](World &w) {
            return w.unit.add(w.propertyId, u"201"_s, 2, 90, 3, 800, 9600, 0, 1) > 0;
        });
        op(u"unit.update"_s, DailyWork,
            [](World &w) { return w.unit.update(w.spareUnit, u"102"_s, 1, 95, 3, 900, 10800, 0); });
        op(u"unit.remove"_s, DailyWork, [](World &w) { return w.unit.remove(w.saleUnit); });
        op(u"unit.updateStatus"_s, DailyWork,
            [](World &w) { return w.unit.updateStatus(w.spareUnit, u"maintenance"_s); });
        op(u"unit.markAsSold"_s, DailyWork,
            [](World &w) { return w.unit.markAsSold(w.soldUnit, w.buyerId, 90000, day()); });
        op(u"reminder.send"_s, DailyWork, [](World &w) {
            return !w.reminder.send(u"tenant"_s, w.lateTenant, u"text"_s).isEmpty();
        });
        op(u"reminder.sendAll"_s, DailyWork,
            [](World &w) { return !w.reminder.sendAll(0, u"pdf"_s).isEmpty(); });
        op(u"tenant.add"_s, DailyWork,
            [](World &w) { return w.tenant.add(u"رامي"_s, u"903"_s, {}, {}, {}) > 0; });
        op(u"tenant.update"_s, DailyWork, [](World &w) {
            return w.tenant.update(w.tenantId, u"سالم ع"_s, u"900"_s, {}, {}, {});
        });
        op(u"tenant.remove"_s, DailyWork, [](World &w) { return w.tenant.remove(w.spareTenant); });
        op(u"buyer.add"_s, DailyWork,
            [](World &w) { return w.buyer.add(u"نور"_s, u"904"_s, {}, {}, {}) > 0; });
        op(u"buyer.update"_s, DailyWork,
            [](World &w) { return w.buyer.update(w.buyerId, u"هالة س"_s, u"902"_s, {}, {}, {}); });
        op(u"contract.add"_s, DailyWork, [](World &w) {
            const QDate today = TestFixture::today();
            return w.contract.add(w.saleUnit, w.spareTenant, iso(today), iso(today.addYears(1)),
                       700, u"monthly"_s, 0, 1)
                > 0;
        });
        op(u"contract.update"_s, DailyWork, [](World &w) {
            return w.contract.update(
                w.leaseId, iso(TestFixture::today().addMonths(11)), 1100, u"تجديد"_s);
        });
        op(u"invoice.voidInvoice with reason"_s, DailyWork,
            [](World &w) { return w.invoice.voidInvoice(w.invoiceId, u"خطأ"_s); });
        op(u"payment.reverse"_s, AdminOnly,
            [](World &w) { return w.payment.reverse(w.paymentId, u"شيك مرتجع"_s) > 0; });
        op(u"deposit.receive"_s, DailyWork,
            [](World &w) { return w.deposit.receive(w.depositLease, day(), u"cash"_s, {}) > 0; });
        op(u"deposit.settle"_s, DailyWork, [](World &w) {
            return w.deposit.settle(w.heldDeposit, {}, false, true, day(), u"cash"_s, {});
        });
        op(u"voucher.forPrint"_s, Everyone,
            [](World &w) { return !w.voucher.forPrint(w.voucherId).isEmpty(); });
        op(u"payment.settle"_s, DailyWork, [](World &w) {
            return w.payment.settle(w.tenantId, {}, 300, u"cash"_s, day(), {}) > 0;
        });
        op(u"expense.update"_s, DailyWork, [](World &w) {
            return w.expense.update(w.expenseId, w.propertyId, w.unitId, w.contractorId,
                u"repairs"_s, {}, u"دهان"_s, 450, day(), 1, u"cash"_s);
        });
        op(u"expense.updateContractor"_s, DailyWork, [](World &w) {
            return w.expense.updateContractor(w.contractorId, u"أبو سعيد"_s, u"0599"_s, u"دهان"_s);
        });
        op(u"expense.payContractor"_s, DailyWork, [](World &w) {
            return w.expense.payContractor(w.contractorId, 200, day(), u"cash"_s, {}) > 0;
        });
        op(u"maintenance.update"_s, DailyWork, [](World &w) {
            return w.maintenance.update(w.requestId, u"تسريب مياه"_s, {}, u"high"_s);
        });
        op(u"cheque.update"_s, DailyWork, [](World &w) {
            return w.cheque.update(w.chequeId, u"CH-9"_s, 350, u"بنك"_s, day(25), u"سالم"_s);
        });
        op(u"account.rename"_s, AdminOnly, [](World &w) {
            const int id = w.fixture.scalar(u"SELECT MIN(id) FROM accounts"_s).toInt();
            return w.account.rename(id, u"الصندوق الرئيسي"_s);
        });
        op(u"contract.renew"_s, DailyWork, [](World &w) {
            return w.contract.renew(w.leaseId, iso(TestFixture::today().addMonths(22)), 1100, 100)
                > 0;
        });
        op(u"service.saveReadings"_s, DailyWork, [nextMonth](World &w) {
            const QVariantMap row { { u"unit_id"_s, w.unitId }, { u"service_id"_s, 1 },
                { u"current_reading"_s, 42 } };
            return w.service.saveReadings(w.propertyId, nextMonth, { row }) > 0;
        });
        op(u"invoice.billLateReadings"_s, DailyWork, [](World &w) {
            return w.invoice.billLateReadings(
                       w.propertyId, TestFixture::today().toString(u"yyyy-MM"_s))
                > 0;
        });
        op(u"invoice.applyLateFees"_s, DailyWork,
            [](World &w) { return w.invoice.applyLateFees(day(60)) > 0; });
        op(u"settings.setLateFeePolicy"_s, DailyWork,
            [](World &w) { return w.settings.setLateFeePolicy(true, 10, u"percent"_s, 5); });
        op(u"settings.setProrateRent"_s, DailyWork,
            [](World &w) { return w.settings.setProrateRent(true); });
        op(u"contract.terminate"_s, DailyWork,
            [](World &w) { return w.contract.terminate(w.leaseId); });
        op(u"invoice.createInvoice"_s, DailyWork, [nextMonth](World &w) {
            const QVariantMap item { { u"description"_s, u"إيجار"_s }, { u"total"_s, 100 } };
            return w.invoice.createInvoice(w.tenantId, w.unitId, nextMonth, { item }, 1) > 0;
        });
        op(u"invoice.updatePaidAmount"_s, DailyWork,
            [](World &w) { return w.invoice.updatePaidAmount(w.invoiceId, 100); });
        op(u"invoice.voidInvoice"_s, DailyWork,
            [](World &w) { return w.invoice.voidInvoice(w.invoiceId); });
        op(u"invoice.generateAllRent"_s, DailyWork,
            [nextMonth](World &w) { return w.invoice.generateAllRent(nextMonth) > 0; });
        op(u"invoice.generateServiceInvoice"_s, DailyWork, [nextMonth](World &w) {
            return w.invoice.generateServiceInvoice({ w.tenantId }, u"مياه"_s, 40, nextMonth, 1)
                > 0;
        });
        op(u"invoice.generatePropertyServiceInvoice"_s, DailyWork, [nextMonth](World &w) {
            return w.invoice.generatePropertyServiceInvoice(
                       w.propertyId, u"حراسة"_s, 60, nextMonth, 1)
                > 0;
        });
        op(u"payment.add"_s, DailyWork, [](World &w) {
            return w.payment.add(w.invoiceId, w.tenantId, 200, u"cash"_s, day(), {}, 1) > 0;
        });
        op(u"maintenance.add"_s, DailyWork, [](World &w) {
            return w.maintenance.add(w.unitId, w.propertyId, u"كهرباء"_s, {}, u"high"_s) > 0;
        });
        op(u"maintenance.updateStatus"_s, DailyWork,
            [](World &w) { return w.maintenance.updateStatus(w.requestId, u"in_progress"_s); });
        op(u"maintenance.complete"_s, DailyWork,
            [](World &w) { return w.maintenance.complete(w.requestId, 150); });
        op(u"expense.add"_s, DailyWork, [](World &w) {
            return w.expense.add(
                       w.propertyId, w.unitId, 0, u"repairs"_s, {}, u"دهان"_s, 250, day(), 1)
                > 0;
        });
        op(u"expense.addContractor"_s, DailyWork,
            [](World &w) { return w.expense.addContractor(u"أبو خالد"_s, {}, u"سباكة"_s) > 0; });
        op(u"account.add"_s, AdminOnly,
            [](World &w) { return w.account.add(u"1999"_s, u"صندوق فرعي"_s, u"asset"_s, 0) > 0; });
        op(u"account.createJournalEntry"_s, DailyWork, [](World &w) {
            const int cash
                = w.fixture.scalar(u"SELECT id FROM accounts WHERE code='1100'"_s).toInt();
            const int root
                = w.fixture.scalar(u"SELECT id FROM accounts WHERE code='1000'"_s).toInt();
            return w.account.createJournalEntry(day(), u"قيد"_s, u"manual"_s, 0,
                       { journalLine(cash, 50, 0), journalLine(root, 0, 50) })
                > 0;
        });
        op(u"account.setAutoPosting"_s, AdminOnly,
            [](World &w) { return w.account.setAutoPosting(false); });
        op(u"account.postHistory"_s, AdminOnly,
            [](World &w) { return w.account.postHistory() >= 0; });
        op(u"account.setPostingAccount"_s, AdminOnly,
            [](World &w) { return w.account.setPostingAccount(u"bank"_s, u"1100"_s); });
        op(u"account.setLockDate"_s, AdminOnly,
            [](World &w) { return w.account.setLockDate(iso(TestFixture::today().addYears(-2))); });
        op(u"account.exportJournal"_s, DailyWork, [](World &w) {
            return w.account.exportJournal(w.fixture.dataDir() + u"/books.journal"_s, {}, {});
        });
        op(u"account.exportJournalToDocuments"_s, DailyWork,
            [](World &w) { return !w.account.exportJournalToDocuments({}, {}).isEmpty(); });
        op(u"cheque.add"_s, DailyWork, [](World &w) {
            return w.cheque.add(u"CH-2"_s, u"received"_s, 400, u"بنك"_s, day(30), u"سالم"_s, 1, 1)
                > 0;
        });
        op(u"cheque.updateStatus"_s, DailyWork,
            [](World &w) { return w.cheque.updateStatus(w.chequeId, u"cleared"_s); });
        op(u"cheque.deposit"_s, DailyWork, [](World &w) { return w.cheque.deposit(w.chequeId); });
        op(u"cheque.clear"_s, DailyWork, [](World &w) { return w.cheque.clear(w.chequeId); });
        op(u"cheque.bounce"_s, DailyWork,
            [](World &w) { return w.cheque.bounce(w.chequeId, u"signature"_s); });
        op(u"cheque.returnToDrawer"_s, DailyWork,
            [](World &w) { return w.cheque.returnToDrawer(w.chequeId); });
        op(u"cheque.cancel"_s, DailyWork, [](World &w) { return w.cheque.cancel(w.issuedCheque); });
        op(u"cheque.replace"_s, DailyWork, [](World &w) {
            return w.cheque.replace(w.bouncedCheque, u"CH-5"_s, 300, u"بنك"_s, day(5)) > 0;
        });
        op(u"cheque.linkInvoices"_s, DailyWork,
            [](World &w) { return w.cheque.linkInvoices(w.chequeId, { w.invoiceId }); });
        op(u"cheque.linkLease"_s, DailyWork,
            [](World &w) { return w.cheque.linkLease(w.chequeId, w.leaseId); });
        op(u"cheque.linkInstallment"_s, DailyWork,
            [](World &w) { return w.cheque.linkInstallment(w.chequeId, w.installmentId); });
        op(u"cheque.receiveLeaseCheques"_s, DailyWork, [](World &w) {
            return w.cheque.receiveLeaseCheques(w.leaseId, 2, day(3), 1000, u"بنك"_s, u"100"_s) > 0;
        });
        op(u"contract.addWithCheques"_s, DailyWork, [](World &w) {
            const QDate today = TestFixture::today();
            return w.contract.addWithCheques(w.saleUnit, w.spareTenant, iso(today),
                       iso(today.addYears(1)), 700, u"monthly"_s, 0, 1, 12, iso(today), 700,
                       u"بنك"_s, u"500"_s)
                > 0;
        });
        op(u"installment.reverseCollection"_s, DailyWork, [](World &w) {
            return w.installment.reverseCollection(w.collectionId, u"شيك مرتجع"_s) > 0;
        });
        op(u"settings.setBounceFee"_s, DailyWork,
            [](World &w) { return w.settings.setBounceFee(20); });
        op(u"installment.sellUnit"_s, DailyWork, [](World &w) {
            return w.installment.sellUnit(w.buyerId, w.saleUnit, 12000, 2000, 10,
                       iso(TestFixture::today().addMonths(1)), 1)
                > 0;
        });
        op(u"installment.payInstallment"_s, DailyWork,
            [](World &w) { return w.installment.payInstallment(w.installmentId, 100); });
        op(u"installment.add"_s, DailyWork, [](World &w) {
            return w.installment.add(w.buyerId, w.spareUnit, 6000, 0, 500,
                       iso(TestFixture::today().addMonths(2)), 1)
                > 0;
        });
        op(u"currency.setRate"_s, AdminOnly,
            [](World &w) { return w.currency.setRate(2, 1, 3.7); });
        op(u"settings.updateExchangeRate"_s, AdminOnly,
            [](World &w) { return w.settings.updateExchangeRate(3, 1, 5.1); });
        op(u"settings.setPrimaryCurrency"_s, AdminOnly, [](World &w) {
            w.settings.setPrimaryCurrency(u"USD"_s);
            return w.settings.primaryCurrency() == u"USD"_s;
        });
        op(u"settings.completeSetup"_s, AdminOnly,
            [](World &w) { return w.settings.completeSetup(); });
        op(u"settings.updateCompanyProfile"_s, AdminOnly, [](World &w) {
            w.settings.updateCompanyProfile(u"شركة الأمل"_s, {}, {}, {});
            return w.settings.companyName() == u"شركة الأمل"_s;
        });
        op(u"import.importRawCSV"_s, DailyWork,
            [](World &w) { return w.importer.importRawCSV(u"وليد,905,0599"_s, u"tenants"_s); });
        op(u"audit.log"_s, DailyWork, [](World &w) {
            const int before = w.fixture.count(u"audit_logs"_s);
            w.audit.log(0, u"ملاحظة"_s);
            return w.fixture.count(u"audit_logs"_s) > before;
        });
        op(u"auth.registerUser"_s, AdminOnly,
            [](World &w) { return w.auth.registerUser(u"lina"_s, u"pass-word-1"_s, u"viewer"_s); });
        op(u"auth.removeUser"_s, AdminOnly, [](World &w) { return w.auth.removeUser(u"omar"_s); });
        op(u"auth.setUserActive"_s, AdminOnly,
            [](World &w) { return w.auth.setUserActive(u"omar"_s, false); });
        op(u"auth.setUserRole"_s, AdminOnly,
            [](World &w) { return w.auth.setUserRole(u"omar"_s, u"viewer"_s); });
        op(u"auth.resetPassword"_s, AdminOnly,
            [](World &w) { return w.auth.resetPassword(u"omar"_s, u"new-pass"_s); });
        op(u"auth.changePassword"_s, Everyone,
            [](World &w) { return w.auth.changePassword(u"x"_s, u"new-pass"_s); });
        op(u"backup.createBackup"_s, DailyWork, [](World &w) { return w.backup.createBackup(); });
        op(u"backup.exportAllToCSV"_s, DailyWork,
            [](World &w) { return w.backup.exportAllToCSV(); });
        op(u"backup.setBackupPath"_s, AdminOnly, [](World &w) {
            const QString path = w.fixture.dataDir() + u"/elsewhere"_s;
            w.backup.setBackupPath(path);
            return w.backup.backupPath() == path;
        });
        op(u"backup.setAutoBackup"_s, AdminOnly, [](World &w) {
            w.backup.setAutoBackup(false);
            QSettings ini(w.fixture.dataDir() + u"/settings.ini"_s, QSettings::IniFormat);
            return ini.value(u"backup/auto"_s, true).toBool() == false;
        });
        op(u"backup.restoreBackup"_s, AdminOnly,
            [](World &w) { return w.backup.restoreBackup(w.backupFile); });
        op(u"backup.copyDataTo"_s, AdminOnly,
            [](World &w) { return w.backup.copyDataTo(w.fixture.dataDir() + u"/copy.db"_s); });
        // No password given: nothing asks the secret store, which a test machine lacks.
        op(u"serverSettings.chooseServer"_s, AdminOnly, [](World &w) {
            ServerSettings where(w.fixture.dataDir(), w.fixture.db());
            return where.chooseServer(u"db.office"_s, 5432, u"books"_s, u"clerk"_s, QString());
        });
        op(u"serverSettings.chooseFile"_s, AdminOnly, [](World &w) {
            ServerSettings where(w.fixture.dataDir(), w.fixture.db());
            return where.chooseFile();
        });
        return ops;
    }();
    return all;
}

bool expected(Level level, const QString &role)
{
    if (role.isEmpty())
        return false;
    switch (level) {
    case Everyone:
        return true;
    case DailyWork:
        return role != u"viewer"_s;
    case AdminOnly:
        return role == u"admin"_s;
    }
    return false;
}

} // namespace

class TestPermissions : public QObject
{
    Q_OBJECT

private slots:
    void roleTable_data();
    void roleTable();
    void detachedDatabaseIsUnrestricted();
};

void TestPermissions::roleTable_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("role");
    QTest::addColumn<bool>("allowed");
    for (const auto &[name, operation] : operations()) {
        for (const QString &role : { u"admin"_s, u"user"_s, u"viewer"_s, QString() }) {
            const QString who = role.isEmpty() ? u"nobody logged in"_s : role;
            QTest::newRow(qPrintable(name + u" / "_s + who))
                << name << role << expected(operation.level, role);
        }
    }
}

// Every write operation of every object, for every role: done when allowed; otherwise refused
// with a reason, and nothing at all written to the database.
void TestPermissions::roleTable()
{
    QFETCH(QString, operation);
    QFETCH(QString, role);
    QFETCH(bool, allowed);
    const bool backs
        = operation == u"backup.createBackup"_s || operation == u"backup.restoreBackup"_s;
    TestFixture f;
    FakeDesktop desktop;
    World world(f);
    if (backs && allowed)
        QVERIFY(!world.backupFile.isEmpty());
    world.auth.session()->attach();
    if (!role.isEmpty()) {
        const int id = f.insert(
            u"INSERT INTO users (username, password_hash, role) VALUES ('operator', 'x', ?)"_s,
            { role });
        world.auth.session()->begin(id, u"operator"_s, u"operator"_s, role);
    }
    QSignalSpy refused(&world.auth, &AuthController::operationRefused);
    const QString changesBefore = f.writeMark();

    const bool done = operations().at(operation).call(world);

    QCOMPARE(done, allowed);
    QCOMPARE(refused.count(), allowed ? 0 : 1);
    if (!allowed)
        QCOMPARE(f.writeMark(), changesBefore);
}

// Tools and tests that never attach a session keep full access.
void TestPermissions::detachedDatabaseIsUnrestricted()
{
    TestFixture f;
    PropertyModel property(f.db());
    AuthController auth(f.db());
    QVERIFY(property.add(u"برج"_s, u"residential"_s, {}, {}, {}) > 0);
    QVERIFY(auth.registerUser(u"lina"_s, u"pass-word-1"_s, u"admin"_s));
    auth.session()->attach();
    QVERIFY(property.add(u"برج 2"_s, u"residential"_s, {}, {}, {}) < 0);
    auth.session()->detach();
    QVERIFY(property.add(u"برج 3"_s, u"residential"_s, {}, {}, {}) > 0);
}

QTEST_GUILESS_MAIN(TestPermissions)
#include "tst_permissions.moc"
