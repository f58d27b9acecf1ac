#pragma once

#include "accountmodel.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "backgroundreader.h"
#include "backupmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "dashboardcontroller.h"
#include "depositmodel.h"
#include "expensemodel.h"
#include "importcontroller.h"
#include "inputconverter.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "listcatalog.h"
#include "maintenancemodel.h"
#include "notificationcontroller.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "recordsearch.h"
#include "remindermodel.h"
#include "reportcontroller.h"
#include "rowlistmodel.h"
#include "serversettings.h"
#include "servicemodel.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "unitmodel.h"
#include "vouchermodel.h"

#include <QString>

class Database;
class QQmlContext;

// The 22 business objects over one open database, in start-up order. Members are built in
// declaration order and destroyed in reverse, so every object outlives the ones that use it.
// The application, the interface tests and the tools share this wiring. Writes are unrestricted
// until the operator's session is attached (authCtrl.session()->attach()), as the application
// does at start-up; tools and tests that drive the models directly leave it detached.
class AppObjects
{
public:
    // `target` is what `db` was opened on; without one, the data directory's file, unless `db`
    // is a server's (its long reads then run later on the window's own connection).
    AppObjects(Database *db, const QString &dataDir, const QString &target = QString());

    // Sets the 23 context properties (the database first) in their fixed order, then the input
    // converter the fields read their text through, the search the pickers read and the service
    // catalogue with its meter readings.
    // converter the fields read their text through, the search the pickers read, the vouchers,
    // the deposits, the lists and where the data lives.
    void expose(QQmlContext *context);

    Database *database;
    BackupManager backupManager;
    SettingsManager settingsManager;
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
    DashboardController dashboardCtrl;
    ReportController reportCtrl;
    AuthController authCtrl;
    PrintController printCtrl;
    NotificationController notifyCtrl;
    ImportController importCtrl;
    AuditManager auditMgr;
    InputConverter inputConverter;
    RecordSearch recordSearch;
    ServiceModel serviceModel;
    ReminderModel reminderModel;
    VoucherModel voucherModel;
    DepositModel depositModel;
    // The paged lists of the pages, each read again after the writes it depends on.
    ListCatalog listCatalog;
    // The dashboard's, reports' and alerts' long reads, on a second connection.
    BackgroundReader background;
    // The dashboard's alerts, filled from the second connection.
    RowListModel alertsList;
    // Where the data lives (this computer's file or a shared server), for the next start.
    ServerSettings serverSettings;
};
