#include "appobjects.h"

#include "database.h"

#include <QFileInfo>
#include <QQmlContext>

using namespace Qt::StringLiterals;

AppObjects::AppObjects(Database *db, const QString &dataDir, const QString &target)
    : database(db)
    , backupManager(dataDir, db)
    , settingsManager(db)
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
    , dashboardCtrl(db)
    , reportCtrl(db)
    , authCtrl(db)
    , printCtrl(&settingsManager)
    , notifyCtrl(db)
    , importCtrl(db)
    , auditMgr(db)
    , recordSearch(db)
    , serviceModel(db)
    , reminderModel(db, &settingsManager)
    , voucherModel(db)
    , depositModel(db)
    , listCatalog(db)
    , background(!target.isEmpty() ? target
              : db->isServer()     ? QString()
                                   : dataDir + u"/belvardino.db"_s,
          db)
    , serverSettings(dataDir, db)
{
    background.registerObject(
        u"dashboard"_s, [](Database *on) { return new DashboardController(on); });
    background.registerObject(u"reports"_s, [](Database *on) { return new ReportController(on); });
    background.registerObject(u"accounts"_s, [](Database *on) { return new AccountModel(on); });
    background.registerObject(u"cheques"_s, [](Database *on) { return new ChequeModel(on); });
    background.registerObject(
        u"alerts"_s, [](Database *on) { return new NotificationController(on); });
    listCatalog.watch(&tenantModel, { u"tenants"_s, u"invoices"_s, u"payments"_s, u"cheques"_s });
    listCatalog.watch(&contractModel, { u"tenants"_s, u"units"_s });
    listCatalog.watch(&buyerModel, { u"buyers"_s, u"installments"_s, u"payments"_s, u"cheques"_s });
    listCatalog.watch(
        &installmentModel, { u"buyers"_s, u"installments"_s, u"payments"_s, u"units"_s });
    listCatalog.watch(&maintenanceModel, { u"maintenance"_s, u"expenses"_s });
    listCatalog.watch(&expenseModel, { u"expenses"_s, u"journal"_s });
    listCatalog.watch(&invoiceModel, { u"invoices"_s, u"payments"_s, u"cheques"_s, u"journal"_s });
    listCatalog.watch(&paymentModel, { u"invoices"_s, u"payments"_s, u"cheques"_s, u"journal"_s });
    listCatalog.watch(&propertyModel,
        { u"maintenance"_s, u"expenses"_s, u"installments"_s, u"invoices"_s, u"payments"_s });
    listCatalog.watch(&unitModel,
        { u"maintenance"_s, u"expenses"_s, u"installments"_s, u"invoices"_s, u"payments"_s });
    listCatalog.watch(&chequeModel, { u"cheques"_s, u"journal"_s });
    listCatalog.watch(&accountModel, { u"journal"_s });
    backupManager.setDatabase(db);
    QObject::connect(&backupManager, &BackupManager::backupRestored, &authCtrl,
        &AuthController::endAfterRestore);
    QObject::connect(
        &backupManager, &BackupManager::backupRestored, &background, &BackgroundReader::reopen);
    QObject::connect(
        &backupManager, &BackupManager::backupCreated, &authCtrl, [this](const QString &path) {
            authCtrl.record(u"backup"_s, u"نسخة احتياطية: "_s + QFileInfo(path).fileName());
        });
}

void AppObjects::expose(QQmlContext *context)
{
    context->setContextProperty(u"database"_s, database);
    context->setContextProperty(u"backupManager"_s, &backupManager);
    context->setContextProperty(u"settingsManager"_s, &settingsManager);
    context->setContextProperty(u"propertyModel"_s, &propertyModel);
    context->setContextProperty(u"unitModel"_s, &unitModel);
    context->setContextProperty(u"tenantModel"_s, &tenantModel);
    context->setContextProperty(u"contractModel"_s, &contractModel);
    context->setContextProperty(u"invoiceModel"_s, &invoiceModel);
    context->setContextProperty(u"paymentModel"_s, &paymentModel);
    context->setContextProperty(u"maintenanceModel"_s, &maintenanceModel);
    context->setContextProperty(u"expenseModel"_s, &expenseModel);
    context->setContextProperty(u"accountModel"_s, &accountModel);
    context->setContextProperty(u"chequeModel"_s, &chequeModel);
    context->setContextProperty(u"buyerModel"_s, &buyerModel);
    context->setContextProperty(u"installmentModel"_s, &installmentModel);
    context->setContextProperty(u"currencyModel"_s, &currencyModel);
    context->setContextProperty(u"dashboardCtrl"_s, &dashboardCtrl);
    context->setContextProperty(u"reportCtrl"_s, &reportCtrl);
    context->setContextProperty(u"authCtrl"_s, &authCtrl);
    context->setContextProperty(u"printCtrl"_s, &printCtrl);
    context->setContextProperty(u"notifyCtrl"_s, &notifyCtrl);
    context->setContextProperty(u"importCtrl"_s, &importCtrl);
    context->setContextProperty(u"auditMgr"_s, &auditMgr);
    context->setContextProperty(u"inputConverter"_s, &inputConverter);
    context->setContextProperty(u"recordSearch"_s, &recordSearch);
    context->setContextProperty(u"serviceModel"_s, &serviceModel);
    context->setContextProperty(u"reminderModel"_s, &reminderModel);
    context->setContextProperty(u"voucherModel"_s, &voucherModel);
    context->setContextProperty(u"depositModel"_s, &depositModel);
    context->setContextProperty(u"listCatalog"_s, &listCatalog);
    context->setContextProperty(u"backgroundReader"_s, &background);
    context->setContextProperty(u"alertsList"_s, &alertsList);
    context->setContextProperty(u"serverSettings"_s, &serverSettings);
}
