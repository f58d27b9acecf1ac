#include "schema.h"

#include <tuple>

using namespace Qt::StringLiterals;

QStringList Schema::pragmaStatements()
{
    return {
        u"PRAGMA journal_mode=WAL"_s,
        u"PRAGMA foreign_keys=ON"_s,
        u"PRAGMA synchronous=NORMAL"_s,
        u"PRAGMA cache_size=-64000"_s,
        // Pages are read through a memory map instead of being copied into the page cache: the
        // first screens after start-up touch much of a large file.
        u"PRAGMA mmap_size=268435456"_s,
        // A savepoint's copies of the pages it changes stay in memory: a rent run is one
        // transaction with a savepoint per invoice and its journal entry.
        u"PRAGMA temp_store=MEMORY"_s,
    };
}

QList<Schema::Column> Schema::columnsOfVersion(int version)
{
    switch (version) {
    case 2:
        // The computer an operator worked from.
        return { { u"audit_logs"_s, u"host"_s, u"TEXT"_s } };
    default:
        return {};
    }
}

namespace {

// A server's journal lines move their accounts' balances, and new entries and lines meet the lock
// date, once per statement: a rent run writes its entries and lines many rows to an insert, and
// updating each account once per row cost the server more than the rows themselves. Each line
// counts in whole cents (half away from zero, as the Money helper counts), so a balance is its
// lines' sum in cents whatever order they summed in; the program writes every line in whole cents,
// for which this is the balance that rounding after each line gave.
QStringList serverJournalTriggers()
{
    return {
        u"CREATE OR REPLACE FUNCTION bv_journal_lines_posted() RETURNS trigger LANGUAGE plpgsql "
        "AS $f$ BEGIN UPDATE accounts a SET balance=(round(a.balance::numeric, 2) + m.cents / "
        "100)::double precision FROM (SELECT account_id, SUM(round(debit::numeric * 100) - "
        "round(credit::numeric * 100)) AS cents FROM bv_posted GROUP BY account_id) m WHERE "
        "a.id=m.account_id; RETURN NULL; END $f$"_s,
        u"CREATE OR REPLACE TRIGGER journal_lines_balance AFTER INSERT ON journal_lines "
        "REFERENCING NEW TABLE AS bv_posted FOR EACH STATEMENT EXECUTE FUNCTION "
        "bv_journal_lines_posted()"_s,
        // Without a lock date nothing is read; an entry that does not exist refuses nothing,
        // as the row's check did (its key then fails).
        u"CREATE OR REPLACE FUNCTION bv_journal_lines_closed() RETURNS trigger LANGUAGE plpgsql "
        "AS $f$ BEGIN IF bv_lock_date() IS NOT NULL AND EXISTS (SELECT 1 FROM bv_posted p JOIN "
        "journal_entries e ON e.id=p.entry_id WHERE date(e.entry_date) <= bv_lock_date()) THEN "
        "RAISE EXCEPTION 'bv-refusal:closed'; END IF; RETURN NULL; END $f$"_s,
        u"CREATE OR REPLACE TRIGGER lock_journal_lines_insert AFTER INSERT ON journal_lines "
        "REFERENCING NEW TABLE AS bv_posted FOR EACH STATEMENT EXECUTE FUNCTION "
        "bv_journal_lines_closed()"_s,
        u"CREATE OR REPLACE FUNCTION bv_journal_entries_closed() RETURNS trigger LANGUAGE "
        "plpgsql AS $f$ BEGIN IF bv_lock_date() IS NOT NULL AND EXISTS (SELECT 1 FROM bv_posted "
        "WHERE date(entry_date) <= bv_lock_date()) THEN RAISE EXCEPTION 'bv-refusal:closed'; END "
        "IF; RETURN NULL; END $f$"_s,
        u"CREATE OR REPLACE TRIGGER lock_journal_entries_insert AFTER INSERT ON journal_entries "
        "REFERENCING NEW TABLE AS bv_posted FOR EACH STATEMENT EXECUTE FUNCTION "
        "bv_journal_entries_closed()"_s,
    };
}

} // namespace

QStringList Schema::serverStatementsOfVersion(int version)
{
    if (version == 4) {
        // The per-row forms are replaced under the same names; a sale's payments, the unpaid
        // installments and the audit log gain the indexes a new server is laid out with.
        return serverJournalTriggers()
            + QStringList {
                  u"DROP FUNCTION IF EXISTS bv_journal_line_posted()"_s,
                  u"CREATE INDEX IF NOT EXISTS idx_payments_buyer ON payments(buyer_id, unit_id) "
                  "WHERE buyer_id IS NOT NULL"_s,
                  u"CREATE INDEX IF NOT EXISTS idx_installments_unpaid ON installments(due_date) "
                  "WHERE status != 'paid'"_s,
                  u"CREATE INDEX IF NOT EXISTS idx_audit_logs_created ON audit_logs(created_at, id)"_s,
              };
    }
    if (version != 3)
        return {};
    QStringList statements;
    for (const auto &[table, column, name] : {
             std::tuple { "journal_entries", "entry_date", "idx_journal_date" },
             std::tuple { "invoices", "created_at", "idx_invoices_created" },
             std::tuple { "payments", "payment_date", "idx_payments_date" },
         }) {
        statements << u"CREATE INDEX IF NOT EXISTS %1_id ON %2(%3, id)"_s.arg(
            QLatin1String(name), QLatin1String(table), QLatin1String(column));
        statements << u"DROP INDEX IF EXISTS %1"_s.arg(QLatin1String(name));
    }
    return statements;
}

// Run in this order on every start: missing tables are created, and migrations add columns that
// older files lack (on a current file they fail as duplicates, which is expected).
QStringList Schema::tableStatements()
{
    return {
        u"CREATE TABLE IF NOT EXISTS audit_logs (id INTEGER PRIMARY KEY AUTOINCREMENT, user_id INTEGER, action TEXT NOT NULL, table_name TEXT, record_id INTEGER, details TEXT, created_at TEXT DEFAULT (datetime('now'))) "_s,
        // The computer an operator worked from, for offices sharing one server.
        u"ALTER TABLE audit_logs ADD COLUMN host TEXT"_s,
        u"CREATE TABLE IF NOT EXISTS users (id INTEGER PRIMARY KEY AUTOINCREMENT,username TEXT UNIQUE NOT NULL,password_hash TEXT NOT NULL,full_name TEXT,role TEXT DEFAULT 'user',active INTEGER DEFAULT 1,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS currencies (id INTEGER PRIMARY KEY AUTOINCREMENT,code TEXT UNIQUE NOT NULL,name_ar TEXT NOT NULL,symbol TEXT NOT NULL,is_primary INTEGER DEFAULT 0,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS exchange_rates (id INTEGER PRIMARY KEY AUTOINCREMENT,from_currency_id INTEGER NOT NULL,to_currency_id INTEGER NOT NULL,rate REAL NOT NULL,date TEXT NOT NULL,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (from_currency_id) REFERENCES currencies(id),FOREIGN KEY (to_currency_id) REFERENCES currencies(id),UNIQUE(from_currency_id, to_currency_id, date))"_s,
        u"CREATE TABLE IF NOT EXISTS properties (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,type TEXT NOT NULL DEFAULT 'residential',address TEXT,city TEXT,description TEXT,total_units INTEGER DEFAULT 0,status TEXT DEFAULT 'active',created_at TEXT DEFAULT (datetime('now')),updated_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS units (id INTEGER PRIMARY KEY AUTOINCREMENT,property_id INTEGER NOT NULL,unit_number TEXT NOT NULL,floor INTEGER,area REAL,rooms INTEGER,rent_monthly REAL DEFAULT 0,rent_yearly REAL DEFAULT 0,sale_price REAL DEFAULT 0,status TEXT DEFAULT 'available',buyer_id INTEGER,sale_price_actual REAL,sale_date TEXT,currency_id INTEGER,description TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (property_id) REFERENCES properties(id),FOREIGN KEY (buyer_id) REFERENCES buyers(id),FOREIGN KEY (currency_id) REFERENCES currencies(id),UNIQUE(property_id, unit_number))"_s,
        u"ALTER TABLE units ADD COLUMN buyer_id INTEGER"_s,
        u"ALTER TABLE units ADD COLUMN sale_price_actual REAL"_s,
        u"ALTER TABLE units ADD COLUMN sale_date TEXT"_s,
        u"CREATE TABLE IF NOT EXISTS tenants (id INTEGER PRIMARY KEY AUTOINCREMENT,full_name TEXT NOT NULL,id_number TEXT UNIQUE,phone TEXT,email TEXT,address TEXT,notes TEXT,balance REAL DEFAULT 0,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS buyers (id INTEGER PRIMARY KEY AUTOINCREMENT,full_name TEXT NOT NULL,id_number TEXT UNIQUE,phone TEXT,email TEXT,address TEXT,notes TEXT,balance REAL DEFAULT 0,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS contracts (id INTEGER PRIMARY KEY AUTOINCREMENT,unit_id INTEGER NOT NULL,tenant_id INTEGER NOT NULL,start_date TEXT NOT NULL,end_date TEXT NOT NULL,rent_amount REAL NOT NULL,payment_frequency TEXT DEFAULT 'monthly',deposit REAL DEFAULT 0,status TEXT DEFAULT 'active',notes TEXT,currency_id INTEGER,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (tenant_id) REFERENCES tenants(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        u"CREATE TABLE IF NOT EXISTS services (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,type TEXT DEFAULT 'fixed',rate REAL DEFAULT 0,unit_of_measure TEXT,description TEXT)"_s,
        u"CREATE TABLE IF NOT EXISTS usage_records (id INTEGER PRIMARY KEY AUTOINCREMENT,unit_id INTEGER NOT NULL,service_id INTEGER NOT NULL,period TEXT NOT NULL,previous_reading REAL DEFAULT 0,current_reading REAL DEFAULT 0,consumption REAL DEFAULT 0,cost REAL DEFAULT 0,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (service_id) REFERENCES services(id),UNIQUE(unit_id, service_id, period))"_s,
        u"CREATE TABLE IF NOT EXISTS invoices (id INTEGER PRIMARY KEY AUTOINCREMENT,invoice_number TEXT UNIQUE NOT NULL,tenant_id INTEGER,unit_id INTEGER,contract_id INTEGER,period TEXT,total_amount REAL DEFAULT 0,paid_amount REAL DEFAULT 0,balance REAL DEFAULT 0,status TEXT DEFAULT 'pending',currency_id INTEGER,due_date TEXT,notes TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (tenant_id) REFERENCES tenants(id),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (contract_id) REFERENCES contracts(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        u"CREATE TABLE IF NOT EXISTS invoice_items (id INTEGER PRIMARY KEY AUTOINCREMENT,invoice_id INTEGER NOT NULL,description TEXT NOT NULL,type TEXT DEFAULT 'rent',quantity REAL DEFAULT 1,unit_price REAL DEFAULT 0,total REAL DEFAULT 0,FOREIGN KEY (invoice_id) REFERENCES invoices(id))"_s,
        u"CREATE TABLE IF NOT EXISTS payments (id INTEGER PRIMARY KEY AUTOINCREMENT,invoice_id INTEGER,tenant_id INTEGER,amount REAL NOT NULL,payment_method TEXT DEFAULT 'cash',payment_date TEXT NOT NULL,reference TEXT,currency_id INTEGER,notes TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (invoice_id) REFERENCES invoices(id),FOREIGN KEY (tenant_id) REFERENCES tenants(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        u"CREATE TABLE IF NOT EXISTS installments (id INTEGER PRIMARY KEY AUTOINCREMENT,buyer_id INTEGER NOT NULL,unit_id INTEGER NOT NULL,total_price REAL NOT NULL,down_payment REAL DEFAULT 0,installment_amount REAL NOT NULL,due_date TEXT NOT NULL,paid_amount REAL DEFAULT 0,status TEXT DEFAULT 'pending',cheque_number TEXT,bank_name TEXT,currency_id INTEGER,notes TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (buyer_id) REFERENCES buyers(id),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        u"ALTER TABLE installments ADD COLUMN cheque_number TEXT"_s,
        u"ALTER TABLE installments ADD COLUMN bank_name TEXT"_s,
        u"CREATE TABLE IF NOT EXISTS cheques (id INTEGER PRIMARY KEY AUTOINCREMENT,cheque_number TEXT NOT NULL,type TEXT DEFAULT 'received',amount REAL NOT NULL,bank_name TEXT,issue_date TEXT,due_date TEXT,payer_name TEXT,payee_name TEXT,status TEXT DEFAULT 'pending',tenant_id INTEGER,buyer_id INTEGER,currency_id INTEGER,notes TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (tenant_id) REFERENCES tenants(id),FOREIGN KEY (buyer_id) REFERENCES buyers(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        u"ALTER TABLE cheques ADD COLUMN buyer_id INTEGER"_s,
        u"ALTER TABLE cheques ADD COLUMN tenant_id INTEGER"_s,
        u"CREATE TABLE IF NOT EXISTS expenses (id INTEGER PRIMARY KEY AUTOINCREMENT,property_id INTEGER,unit_id INTEGER,category TEXT NOT NULL,description TEXT,amount REAL NOT NULL,expense_date TEXT NOT NULL,vendor TEXT,maintenance_id INTEGER,currency_id INTEGER,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (property_id) REFERENCES properties(id),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        u"CREATE TABLE IF NOT EXISTS maintenance_requests (id INTEGER PRIMARY KEY AUTOINCREMENT,unit_id INTEGER NOT NULL,property_id INTEGER,title TEXT NOT NULL,description TEXT,priority TEXT DEFAULT 'medium',status TEXT DEFAULT 'new',cost REAL DEFAULT 0,assigned_to TEXT,request_date TEXT DEFAULT (date('now')),completed_date TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (property_id) REFERENCES properties(id))"_s,
        u"CREATE TABLE IF NOT EXISTS accounts (id INTEGER PRIMARY KEY AUTOINCREMENT,code TEXT UNIQUE NOT NULL,name_ar TEXT NOT NULL,type TEXT NOT NULL,parent_id INTEGER,balance REAL DEFAULT 0,is_system INTEGER DEFAULT 0,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (parent_id) REFERENCES accounts(id))"_s,
        u"CREATE TABLE IF NOT EXISTS journal_entries (id INTEGER PRIMARY KEY AUTOINCREMENT,entry_date TEXT NOT NULL,description TEXT,reference_type TEXT,reference_id INTEGER,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS journal_lines (id INTEGER PRIMARY KEY AUTOINCREMENT,entry_id INTEGER NOT NULL,account_id INTEGER NOT NULL,debit REAL DEFAULT 0,credit REAL DEFAULT 0,description TEXT,cost_center_id INTEGER,FOREIGN KEY (entry_id) REFERENCES journal_entries(id),FOREIGN KEY (account_id) REFERENCES accounts(id))"_s,
        u"CREATE TABLE IF NOT EXISTS cost_centers (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,type TEXT DEFAULT 'project',property_id INTEGER,unit_id INTEGER,parent_id INTEGER,FOREIGN KEY (property_id) REFERENCES properties(id),FOREIGN KEY (unit_id) REFERENCES units(id),FOREIGN KEY (parent_id) REFERENCES cost_centers(id))"_s,
        u"CREATE TABLE IF NOT EXISTS app_log (id INTEGER PRIMARY KEY AUTOINCREMENT,action TEXT NOT NULL,details TEXT,user_id INTEGER,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY,value TEXT)"_s,
        u"ALTER TABLE journal_entries ADD COLUMN project_id INTEGER;"_s,
        u"ALTER TABLE journal_entries ADD COLUMN cost_center_id INTEGER;"_s,
        u"ALTER TABLE journal_entries ADD COLUMN contractor_id INTEGER;"_s,
        u"ALTER TABLE expenses ADD COLUMN project_id INTEGER;"_s,
        u"ALTER TABLE expenses ADD COLUMN contractor_id INTEGER;"_s,
        u"ALTER TABLE expenses ADD COLUMN cost_center_id INTEGER;"_s,
        u"ALTER TABLE expenses ADD COLUMN work_category TEXT;"_s,
        u"CREATE TABLE IF NOT EXISTS contractors (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,phone TEXT,email TEXT,trade TEXT,balance REAL DEFAULT 0,created_at TEXT DEFAULT (datetime('now')))"_s,
        u"ALTER TABLE units ADD COLUMN buyer_id INTEGER;"_s,
        u"ALTER TABLE units ADD COLUMN sale_price_actual REAL;"_s,
        u"ALTER TABLE units ADD COLUMN sale_date TEXT;"_s,
        u"ALTER TABLE payments ADD COLUMN buyer_id INTEGER"_s,
        u"ALTER TABLE payments ADD COLUMN unit_id INTEGER"_s,
        // A reversal is a payment of the opposite amount that names the payment it undoes.
        u"ALTER TABLE payments ADD COLUMN reverses_payment_id INTEGER REFERENCES payments(id)"_s,
        u"ALTER TABLE expenses ADD COLUMN payment_method TEXT"_s,
        // What was paid to a contractor against the balance the expenses built up.
        u"CREATE TABLE IF NOT EXISTS contractor_payments (id INTEGER PRIMARY KEY AUTOINCREMENT,contractor_id INTEGER NOT NULL,amount REAL NOT NULL,payment_date TEXT NOT NULL,payment_method TEXT,notes TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (contractor_id) REFERENCES contractors(id))"_s,
        // Failed logins per name, kept across restarts; locked_until in seconds since the epoch.
        u"CREATE TABLE IF NOT EXISTS login_attempts (username TEXT PRIMARY KEY, failures INTEGER NOT NULL DEFAULT 0, locked_until INTEGER NOT NULL DEFAULT 0)"_s,
        // A reading below the previous one is a new meter: its consumption counts from 0.
        u"ALTER TABLE usage_records ADD COLUMN meter_replaced INTEGER DEFAULT 0"_s,
        // A renewal's new lease names the lease it continues; the old one becomes 'renewed'.
        u"ALTER TABLE contracts ADD COLUMN renewed_from INTEGER REFERENCES contracts(id)"_s,
        // Every late fee charged, at most one per invoice and per installment: an invoice's fee
        // is an invoice of its own (fee_invoice_id), an installment's is a charge to the buyer.
        u"CREATE TABLE IF NOT EXISTS late_fees (id INTEGER PRIMARY KEY AUTOINCREMENT,invoice_id INTEGER UNIQUE,installment_id INTEGER UNIQUE,fee_invoice_id INTEGER,tenant_id INTEGER,buyer_id INTEGER,amount REAL NOT NULL,currency_id INTEGER,charge_date TEXT NOT NULL,reason TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (invoice_id) REFERENCES invoices(id),FOREIGN KEY (installment_id) REFERENCES installments(id),FOREIGN KEY (fee_invoice_id) REFERENCES invoices(id),FOREIGN KEY (tenant_id) REFERENCES tenants(id),FOREIGN KEY (buyer_id) REFERENCES buyers(id),FOREIGN KEY (currency_id) REFERENCES currencies(id))"_s,
        // A received cheque pays a lease's future rent, chosen invoices or one installment; a
        // replacement names the bounced cheque it stands in for.
        u"ALTER TABLE cheques ADD COLUMN contract_id INTEGER REFERENCES contracts(id)"_s,
        u"ALTER TABLE cheques ADD COLUMN installment_id INTEGER REFERENCES installments(id)"_s,
        u"ALTER TABLE cheques ADD COLUMN replaces_cheque_id INTEGER REFERENCES cheques(id)"_s,
        u"ALTER TABLE cheques ADD COLUMN bounce_reason TEXT"_s,
        u"ALTER TABLE cheques ADD COLUMN status_date TEXT"_s,
        u"CREATE TABLE IF NOT EXISTS cheque_invoices (cheque_id INTEGER NOT NULL,invoice_id INTEGER NOT NULL,PRIMARY KEY (cheque_id, invoice_id),FOREIGN KEY (cheque_id) REFERENCES cheques(id),FOREIGN KEY (invoice_id) REFERENCES invoices(id))"_s,
        // Every status a cheque moved to, when and by whom.
        u"CREATE TABLE IF NOT EXISTS cheque_events (id INTEGER PRIMARY KEY AUTOINCREMENT,cheque_id INTEGER NOT NULL,status TEXT NOT NULL,event_date TEXT NOT NULL,user_id INTEGER,operator TEXT,note TEXT,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (cheque_id) REFERENCES cheques(id))"_s,
        // What a cleared cheque recorded, so that a bounce undoes exactly that; an installment's
        // collection names its installment.
        u"ALTER TABLE payments ADD COLUMN cheque_id INTEGER REFERENCES cheques(id)"_s,
        u"ALTER TABLE payments ADD COLUMN installment_id INTEGER REFERENCES installments(id)"_s,
        // Payment reminders sent to a tenant or buyer (kind 'tenant' or 'buyer'): when, by whom
        // (the name kept even if the user is removed), how (pdf or text) and what they listed.
        u"CREATE TABLE IF NOT EXISTS reminders (id INTEGER PRIMARY KEY AUTOINCREMENT,kind TEXT NOT NULL,person_id INTEGER NOT NULL,sent_at TEXT NOT NULL,user_id INTEGER,operator TEXT,channel TEXT NOT NULL,details TEXT NOT NULL,total TEXT)"_s,
        // Numbered receipt and payment vouchers: one per sum received or paid out, numbered per
        // kind and calendar year inside the write that records the money, never deleted (a void
        // one keeps its number and says why).
        u"CREATE TABLE IF NOT EXISTS vouchers (id INTEGER PRIMARY KEY AUTOINCREMENT,kind TEXT NOT NULL,year INTEGER NOT NULL,serial INTEGER NOT NULL,number TEXT UNIQUE NOT NULL,voucher_date TEXT NOT NULL,party_type TEXT,party_id INTEGER,party_name TEXT,amount REAL NOT NULL,currency_id INTEGER,purpose TEXT,method TEXT,reference TEXT,bank_name TEXT,cheque_due TEXT,operator TEXT,source TEXT NOT NULL,source_id INTEGER,status TEXT NOT NULL DEFAULT 'valid',void_reason TEXT,voided_at TEXT,print_count INTEGER NOT NULL DEFAULT 0,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (currency_id) REFERENCES currencies(id),UNIQUE(kind, year, serial))"_s,
        u"ALTER TABLE payments ADD COLUMN voucher_id INTEGER REFERENCES vouchers(id)"_s,
        u"ALTER TABLE expenses ADD COLUMN voucher_id INTEGER REFERENCES vouchers(id)"_s,
        u"ALTER TABLE contractor_payments ADD COLUMN voucher_id INTEGER REFERENCES vouchers(id)"_s,
        // A lease's security deposit while it is held, and how it was settled at the end.
        u"CREATE TABLE IF NOT EXISTS deposits (id INTEGER PRIMARY KEY AUTOINCREMENT,contract_id INTEGER NOT NULL,tenant_id INTEGER NOT NULL,amount REAL NOT NULL,currency_id INTEGER,received_date TEXT NOT NULL,status TEXT NOT NULL DEFAULT 'held',receipt_voucher_id INTEGER,settled_date TEXT,deducted REAL DEFAULT 0,refunded REAL DEFAULT 0,kept REAL DEFAULT 0,invoiced_rest REAL DEFAULT 0,refund_voucher_id INTEGER,created_at TEXT DEFAULT (datetime('now')),FOREIGN KEY (contract_id) REFERENCES contracts(id),FOREIGN KEY (tenant_id) REFERENCES tenants(id),FOREIGN KEY (currency_id) REFERENCES currencies(id),FOREIGN KEY (receipt_voucher_id) REFERENCES vouchers(id),FOREIGN KEY (refund_voucher_id) REFERENCES vouchers(id))"_s,
        // What a settlement took from a deposit: an unpaid invoice of the lease, or damage.
        u"CREATE TABLE IF NOT EXISTS deposit_deductions (id INTEGER PRIMARY KEY AUTOINCREMENT,deposit_id INTEGER NOT NULL,kind TEXT NOT NULL,invoice_id INTEGER,description TEXT,amount REAL NOT NULL,FOREIGN KEY (deposit_id) REFERENCES deposits(id),FOREIGN KEY (invoice_id) REFERENCES invoices(id))"_s,
        // A posted entry keeps the currency of its operation and the rate it was converted at;
        // each line keeps its amount in that currency.
        u"ALTER TABLE journal_entries ADD COLUMN currency_id INTEGER"_s,
        u"ALTER TABLE journal_entries ADD COLUMN rate REAL"_s,
        u"ALTER TABLE journal_lines ADD COLUMN original_amount REAL"_s,
        u"ALTER TABLE invoices ADD COLUMN voided_date TEXT"_s,
    };
}

// Nothing dated on or before the lock date is written, changed or removed, whichever operation
// tries: SQLite refuses it, and the refusal names itself for the interface.
QStringList Schema::triggerStatements()
{
    const QString locked = u"(SELECT value FROM settings WHERE key='lock_date')"_s;
    const QString refuse = u" BEGIN SELECT RAISE(ABORT, 'bv-refusal:closed'); END"_s;
    const QString entryDay
        = u"(SELECT date(entry_date) FROM journal_entries WHERE id=%1.entry_id)"_s;
    // Debit minus credit, kept to the cent, as each line is stored.
    QStringList statements { u"CREATE TRIGGER IF NOT EXISTS journal_lines_balance AFTER INSERT ON "
                             "journal_lines BEGIN UPDATE accounts SET balance=round(balance+"
                             "NEW.debit-NEW.credit,2) WHERE id=NEW.account_id; END"_s };
    const QList<QPair<QString, QString>> dated { { u"payments"_s, u"payment_date"_s },
        { u"expenses"_s, u"expense_date"_s }, { u"contractor_payments"_s, u"payment_date"_s },
        { u"journal_entries"_s, u"entry_date"_s } };
    for (const auto &[table, column] : dated) {
        statements << u"CREATE TRIGGER IF NOT EXISTS lock_%1_insert BEFORE INSERT ON %1 WHEN "
                      "date(NEW.%2) <= %3"_s.arg(table, column, locked)
                + refuse;
        statements << u"CREATE TRIGGER IF NOT EXISTS lock_%1_update BEFORE UPDATE ON %1 WHEN "
                      "date(OLD.%2) <= %3 OR date(NEW.%2) <= %3"_s.arg(table, column, locked)
                + refuse;
        statements << u"CREATE TRIGGER IF NOT EXISTS lock_%1_delete BEFORE DELETE ON %1 WHEN "
                      "date(OLD.%2) <= %3"_s.arg(table, column, locked)
                + refuse;
    }
    statements << u"CREATE TRIGGER IF NOT EXISTS lock_journal_lines_insert BEFORE INSERT ON "
                  "journal_lines WHEN "_s
            + entryDay.arg(u"NEW"_s) + u" <= "_s + locked + refuse;
    statements << u"CREATE TRIGGER IF NOT EXISTS lock_journal_lines_update BEFORE UPDATE ON "
                  "journal_lines WHEN "_s
            + entryDay.arg(u"OLD"_s) + u" <= "_s + locked + refuse;
    statements << u"CREATE TRIGGER IF NOT EXISTS lock_journal_lines_delete BEFORE DELETE ON "
                  "journal_lines WHEN "_s
            + entryDay.arg(u"OLD"_s) + u" <= "_s + locked + refuse;
    statements << u"CREATE TRIGGER IF NOT EXISTS lock_invoices_void BEFORE UPDATE OF status ON "
                  "invoices WHEN NEW.status='void' AND OLD.status!='void' AND "
                  "date(OLD.created_at) <= "_s
            + locked + refuse;
    statements << u"CREATE TRIGGER IF NOT EXISTS lock_units_sale BEFORE UPDATE OF sale_date ON "
                  "units WHEN NEW.sale_date IS NOT OLD.sale_date AND (date(NEW.sale_date) <= "_s
            + locked + u" OR date(OLD.sale_date) <= "_s + locked + u")"_s + refuse;
    return statements;
}

QStringList Schema::serverTriggerStatements()
{
    QStringList statements {
        u"CREATE OR REPLACE FUNCTION bv_lock_date() RETURNS text LANGUAGE sql STABLE AS "
        "$f$ SELECT value FROM settings WHERE key='lock_date' $f$"_s,
        u"CREATE OR REPLACE FUNCTION bv_entry_day(entry integer) RETURNS text LANGUAGE sql "
        "STABLE AS $f$ SELECT date(entry_date) FROM journal_entries WHERE id=entry $f$"_s,
        u"CREATE OR REPLACE FUNCTION bv_refuse_closed() RETURNS trigger LANGUAGE plpgsql AS "
        "$f$ BEGIN RAISE EXCEPTION 'bv-refusal:closed'; END $f$"_s,
    };
    const QString refuse = u" EXECUTE FUNCTION bv_refuse_closed()"_s;
    const auto lock = [&](const QString &name, const QString &event, const QString &table,
                          const QString &when) {
        statements << u"CREATE OR REPLACE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW WHEN (%4)"_s.arg(
                          name, event, table, when)
                + refuse;
    };
    const QList<QPair<QString, QString>> dated { { u"payments"_s, u"payment_date"_s },
        { u"expenses"_s, u"expense_date"_s }, { u"contractor_payments"_s, u"payment_date"_s },
        { u"journal_entries"_s, u"entry_date"_s } };
    for (const auto &[table, column] : dated) {
        const QString before = u"date(OLD.%1) <= bv_lock_date()"_s.arg(column);
        const QString after = u"date(NEW.%1) <= bv_lock_date()"_s.arg(column);
        if (table != u"journal_entries"_s)
            lock(u"lock_%1_insert"_s.arg(table), u"INSERT"_s, table, after);
        lock(u"lock_%1_update"_s.arg(table), u"UPDATE"_s, table, before + u" OR "_s + after);
        lock(u"lock_%1_delete"_s.arg(table), u"DELETE"_s, table, before);
    }
    lock(u"lock_journal_lines_update"_s, u"UPDATE"_s, u"journal_lines"_s,
        u"bv_entry_day(OLD.entry_id) <= bv_lock_date()"_s);
    lock(u"lock_journal_lines_delete"_s, u"DELETE"_s, u"journal_lines"_s,
        u"bv_entry_day(OLD.entry_id) <= bv_lock_date()"_s);
    lock(u"lock_invoices_void"_s, u"UPDATE OF status"_s, u"invoices"_s,
        u"NEW.status='void' AND OLD.status!='void' AND date(OLD.created_at) <= "
        "bv_lock_date()"_s);
    lock(u"lock_units_sale"_s, u"UPDATE OF sale_date"_s, u"units"_s,
        u"NEW.sale_date IS DISTINCT FROM OLD.sale_date AND (date(NEW.sale_date) <= "
        "bv_lock_date() OR date(OLD.sale_date) <= bv_lock_date())"_s);
    return statements << serverJournalTriggers();
}

QStringList Schema::indexStatements()
{
    return {
        u"CREATE INDEX IF NOT EXISTS idx_units_property ON units(property_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_units_status ON units(status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_contracts_unit ON contracts(unit_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_contracts_tenant ON contracts(tenant_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_contracts_status ON contracts(status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_invoices_tenant ON invoices(tenant_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_invoices_status ON invoices(status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_payments_invoice ON payments(invoice_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_payments_tenant ON payments(tenant_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_payments_date ON payments(payment_date)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_expenses_property ON expenses(property_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheques_status ON cheques(status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_maintenance_status ON maintenance_requests(status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_journal_date ON journal_entries(entry_date)"_s,
        // Whether an operation is posted, an entry's lines, and an account's ledger.
        u"CREATE INDEX IF NOT EXISTS idx_journal_reference ON journal_entries(reference_type, reference_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_journal_lines_entry ON journal_lines(entry_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_journal_lines_account ON journal_lines(account_id, entry_id)"_s,
        // An invoice's lines by type, read when it is posted.
        u"CREATE INDEX IF NOT EXISTS idx_invoice_items_invoice ON invoice_items(invoice_id, type)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_installments_buyer ON installments(buyer_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_installments_due ON installments(due_date)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_installments_status ON installments(status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_exchange_date ON exchange_rates(date)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_expenses_contractor ON expenses(contractor_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_expenses_date ON expenses(expense_date)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheques_due ON cheques(due_date)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheques_type ON cheques(type)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_invoices_period ON invoices(tenant_id, period)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_units_buyer ON units(buyer_id)"_s,
        // Large portfolios: active leases per tenant, and a unit's invoices for the property
        // income figures, without scanning the whole table.
        u"CREATE INDEX IF NOT EXISTS idx_contracts_tenant_status ON contracts(tenant_id, status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_invoices_unit ON invoices(unit_id)"_s,
        // The invoices page shows the newest invoices first, a screenful at a time.
        u"CREATE INDEX IF NOT EXISTS idx_invoices_created ON invoices(created_at)"_s,
        // The dashboard's figures, read from the indexes alone: collections by day and this
        // month's, open invoices past due, the latest requests.
        u"CREATE INDEX IF NOT EXISTS idx_payments_date_amount ON payments(payment_date, amount)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_payments_day ON payments(date(payment_date), payment_date, amount)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_invoices_open ON invoices(due_date, status, balance) WHERE status!='paid' AND status!='void'"_s,
        u"CREATE INDEX IF NOT EXISTS idx_maintenance_created ON maintenance_requests(created_at)"_s,
        // Alerts and insights: unpaid installments by due date, pending cheques by due date.
        u"CREATE INDEX IF NOT EXISTS idx_installments_open ON installments(due_date, status, installment_amount, paid_amount) WHERE status != 'paid'"_s,
        // The overdue installments' list in due order, a page at a time: most past installments
        // are paid, and walking the date index to skip them took tens of milliseconds a page.
        u"CREATE INDEX IF NOT EXISTS idx_installments_unpaid ON installments(due_date) WHERE status != 'paid'"_s,
        // The dashboard's and the users page's latest entries of the audit log, newest first.
        u"CREATE INDEX IF NOT EXISTS idx_audit_logs_created ON audit_logs(created_at, id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheques_status_due ON cheques(status, due_date, amount)"_s,
        // A payment is reversed at most once.
        u"CREATE UNIQUE INDEX IF NOT EXISTS idx_payments_reversal ON payments(reverses_payment_id) WHERE reverses_payment_id IS NOT NULL"_s,
        // An invoice's lines, read with it and checked by the readings sheet for each unit.
        u"CREATE INDEX IF NOT EXISTS idx_invoice_items_invoice ON invoice_items(invoice_id)"_s,
        // A lease is renewed at most once, and its chain is followed both ways.
        u"CREATE UNIQUE INDEX IF NOT EXISTS idx_contracts_renewed_from ON contracts(renewed_from) WHERE renewed_from IS NOT NULL"_s,
        u"CREATE INDEX IF NOT EXISTS idx_payments_cheque ON payments(cheque_id) WHERE cheque_id IS NOT NULL"_s,
        // A sale's down payment and collections, read when it is posted and on the buyer's
        // statement; tenants' payments, the great majority, stay out of it.
        u"CREATE INDEX IF NOT EXISTS idx_payments_buyer ON payments(buyer_id, unit_id) WHERE buyer_id IS NOT NULL"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheque_events_cheque ON cheque_events(cheque_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheques_replaces ON cheques(replaces_cheque_id) WHERE replaces_cheque_id IS NOT NULL"_s,
        u"CREATE INDEX IF NOT EXISTS idx_reminders_person ON reminders(kind, person_id, sent_at)"_s,
        // The vouchers list, newest first; a lease holds one deposit at a time.
        u"CREATE INDEX IF NOT EXISTS idx_vouchers_date ON vouchers(voucher_date, id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_vouchers_source ON vouchers(source, source_id)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_deposits_tenant ON deposits(tenant_id)"_s,
        u"CREATE UNIQUE INDEX IF NOT EXISTS idx_deposits_held ON deposits(contract_id) WHERE status='held'"_s,
        // Paged lists: each page starts after the sort key of the last, found through these.
        u"CREATE INDEX IF NOT EXISTS idx_tenants_name ON tenants(full_name)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_buyers_name ON buyers(full_name)"_s,
        // The units list goes property by property in name order. A server plans its few
        // hundred properties well without it, so older servers are not given it.
        u"CREATE INDEX IF NOT EXISTS idx_properties_name ON properties(name)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_maintenance_status_created ON maintenance_requests(status, created_at)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_cheques_type_due ON cheques(type, due_date)"_s,
        // A unit's active leases and a property's units by status: with only the status indexes
        // SQLite read every active lease, or every rented unit, once per property.
        u"CREATE INDEX IF NOT EXISTS idx_contracts_unit_status ON contracts(unit_id, status)"_s,
        u"CREATE INDEX IF NOT EXISTS idx_units_property_status ON units(property_id, status)"_s,
    };
}

QStringList Schema::applicationTables()
{
    return {
        u"audit_logs"_s,
        u"users"_s,
        u"currencies"_s,
        u"exchange_rates"_s,
        u"properties"_s,
        u"units"_s,
        u"tenants"_s,
        u"buyers"_s,
        u"contracts"_s,
        u"services"_s,
        u"usage_records"_s,
        u"invoices"_s,
        u"invoice_items"_s,
        u"payments"_s,
        u"installments"_s,
        u"cheques"_s,
        u"expenses"_s,
        u"maintenance_requests"_s,
        u"accounts"_s,
        u"journal_entries"_s,
        u"journal_lines"_s,
        u"cost_centers"_s,
        u"app_log"_s,
        u"settings"_s,
        u"contractors"_s,
        u"late_fees"_s,
        u"cheque_invoices"_s,
        u"cheque_events"_s,
        u"reminders"_s,
        u"vouchers"_s,
        u"deposits"_s,
        u"deposit_deductions"_s,
    };
}

QStringList Schema::tablesOfEveryVersion()
{
    return { u"users"_s, u"properties"_s, u"units"_s, u"tenants"_s, u"contracts"_s, u"invoices"_s,
        u"payments"_s };
}
