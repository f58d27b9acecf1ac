// Writes every printed document from the demo portfolio into one folder.
//   documents --out DIR

#include "appobjects.h"
#include "database.h"
#include "demodata.h"
#include "documentlayout.h"
#include "money.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes every printed document of the demo portfolio."_s);
    parser.addHelpOption();
    const QCommandLineOption outOption(u"out"_s, u"Folder for the PDF files."_s, u"dir"_s);
    parser.addOption(outOption);
    parser.process(app);
    QTextStream err(stderr);
    const QString out = parser.value(outOption);
    if (out.isEmpty() || !QDir().mkpath(out)) {
        err << "documents: give --out DIR (a folder that can be created)\n";
        return 2;
    }

    QTemporaryDir data;
    Database database;
    if (!data.isValid() || !database.initialize(data.path() + u"/belvardino.db"_s)) {
        err << "documents: cannot create the demo database\n";
        return 1;
    }
    AppObjects objects(&database, data.path());
    DemoData::fill(&database);
    objects.settingsManager.updateCompanyProfile(u"شركة بلفاردينو العقارية"_s,
        u"+970 59 123 4567"_s, u"رام الله - شارع الإرسال، عمارة النخيل"_s, u"info@belvardino.ps"_s);

    PrintController &print = objects.printCtrl;
    ReportController &reports = objects.reportCtrl;
    int failures = 0;
    const auto save = [&](const DocumentLayout &layout, const QString &name) {
        if (!print.savePdf(layout, out + u"/"_s + name + u".pdf"_s, name)) {
            err << "documents: cannot write " << name << "\n";
            ++failures;
        }
    };

    const QDate today = QDate::currentDate();
    const QString from = QDate(today.year(), 1, 1).toString(Qt::ISODate);
    const QString to = today.toString(Qt::ISODate);
    for (const QString &kind : { u"analysis"_s, u"financial"_s, u"projects"_s, u"units"_s,
             u"overdue"_s, u"cheques"_s, u"arrears"_s })
        save(
            *print.documentLayout(reports.getPrintableReport(kind, from, to)), u"report-"_s + kind);

    const auto first
        = [&](const QString &sql) { return Database::firstRow(database.execQuery(sql)); };
    const int cash = first(u"SELECT id FROM accounts WHERE code='1100'"_s).value(u"id"_s).toInt();
    save(*print.documentLayout(objects.accountModel.ledgerDocument(
             cash, today.addMonths(-3).toString(Qt::ISODate), to)),
        u"ledger-cash"_s);
    const QVariantMap tenant = first(u"SELECT t.id, t.full_name FROM tenants t JOIN payments p "
                                     "ON p.tenant_id=t.id GROUP BY t.id ORDER BY COUNT(*) DESC "
                                     "LIMIT 1"_s);
    save(*print.accountStatementLayout(tenant.value(u"full_name"_s).toString(), u"مستأجر"_s,
             reports.getTenantAccount(tenant.value(u"id"_s).toInt())),
        u"statement-tenant"_s);
    save(*print.accountStatementLayout(tenant.value(u"full_name"_s).toString(), u"مستأجر"_s,
             reports.getTenantAccount(
                 tenant.value(u"id"_s).toInt(), today.addMonths(-3).toString(Qt::ISODate), to)),
        u"statement-tenant-range"_s);
    const QVariantMap buyer = first(u"SELECT b.id, b.full_name FROM buyers b JOIN installments i "
                                    "ON i.buyer_id=b.id GROUP BY b.id LIMIT 1"_s);
    save(*print.accountStatementLayout(buyer.value(u"full_name"_s).toString(), u"مشتري"_s,
             reports.getBuyerAccount(buyer.value(u"id"_s).toInt())),
        u"statement-buyer"_s);
    const QVariantMap contractor = first(u"SELECT c.id, c.name FROM contractors c JOIN expenses e "
                                         "ON e.contractor_id=c.id GROUP BY c.id LIMIT 1"_s);
    save(*print.accountStatementLayout(contractor.value(u"name"_s).toString(), u"مقاول"_s,
             reports.getContractorAccount(contractor.value(u"id"_s).toInt())),
        u"statement-contractor"_s);
    // The general report of a plain list, as the other pages print it.
    save(*print.reportLayout(u"قائمة المستأجرين"_s,
             database.execQuery(u"SELECT full_name, phone, balance FROM tenants"_s), {}),
        u"report-list"_s);
    // Reminder letters, one page each: the first tenant and the first buyer with something late.
    QVariantList letters;
    QStringList kinds { u"tenant"_s, u"buyer"_s };
    for (const QVariant &item : reports.getArrears().value(u"rows"_s).toList()) {
        const QVariantMap row = item.toMap();
        const QString kind = row.value(u"kind"_s).toString();
        if (!kinds.contains(kind) || Money::cents(row.value(u"overdue"_s).toDouble()) <= 0)
            continue;
        kinds.removeOne(kind);
        letters.append(objects.reminderModel.compose(kind, row.value(u"person_id"_s).toInt()));
    }
    save(*print.remindersLayout(letters), u"reminders"_s);

    // Vouchers: the latest receipt as first printed, reprinted, and with its copy on one A4
    // sheet; the latest payment voucher.
    VoucherModel &vouchers = objects.voucherModel;
    const int receipt = first(u"SELECT MAX(id) AS id FROM vouchers WHERE kind='receipt'"_s)
                            .value(u"id"_s)
                            .toInt();
    save(*print.voucherLayout(vouchers.forPrint(receipt), false), u"voucher-receipt"_s);
    const QVariantMap reprint = vouchers.forPrint(receipt);
    save(*print.voucherLayout(reprint, false), u"voucher-receipt-copy"_s);
    save(*print.voucherLayout(reprint, true), u"voucher-receipt-two-on-a4"_s);
    const int expense = objects.expenseModel.add(
        0, 0, 0, u"صيانة"_s, QString(), u"إصلاح مضخة المياه على السطح"_s, 1250.5, to, 1, u"bank"_s);
    const int paid
        = database.execQuery(u"SELECT voucher_id FROM expenses WHERE id=?"_s, { expense })
              .value(0)
              .toMap()
              .value(u"voucher_id"_s)
              .toInt();
    save(*print.voucherLayout(vouchers.forPrint(paid), false), u"voucher-payment"_s);

    // A deposit received on an active lease and settled with one damage.
    const int lease = first(u"SELECT id FROM contracts WHERE status='active' ORDER BY id LIMIT 1"_s)
                          .value(u"id"_s)
                          .toInt();
    database.execNonQuery(u"UPDATE contracts SET deposit=1500 WHERE id=?"_s, { lease });
    const int deposit = objects.depositModel.receive(lease, to, u"cash"_s, {});
    const QVariantList damages { QVariantMap {
        { u"description"_s, u"إصلاح باب المطبخ وطلاء جدار الصالة"_s }, { u"amount"_s, 250.75 } } };
    if (deposit < 1
        || !objects.depositModel.settle(deposit, damages, false, true, to, u"cash"_s, {})) {
        err << "documents: cannot settle a deposit: " << objects.depositModel.lastRefusal() << "\n";
        ++failures;
    }
    save(*print.depositStatementLayout(objects.depositModel.statement(deposit)),
        u"deposit-settlement"_s);
    return failures == 0 ? 0 : 1;
}
