#pragma once

#include <QtGlobal>

class Database;

// A realistic sample portfolio written through the business objects' own operations, the same
// on every run (fixed seed) and dated relative to today. `scale` multiplies every quantity.
namespace DemoData {

struct Counts
{
    int properties = 0;
    int units = 0;
    int tenants = 0;
    int contracts = 0;
    int invoices = 0;
    int payments = 0;
    int buyers = 0;
    int sales = 0;
    int cheques = 0;
    int maintenance = 0;
    int expenses = 0;
    int journalEntries = 0;
};

Counts fill(Database *db, int scale = 1, quint32 seed = 20240601);

// The large portfolio the benchmarks measure: 40 properties with 2,000 units, 1,800 leases with
// five years of monthly rent and payments, 200 buyers on 48-month schedules, 5,000 cheques,
// 3,000 maintenance requests, 10,000 expenses and 2,000 journal entries; `scale` times each.
Counts fillLarge(Database *db, int scale = 1, quint32 seed = 20240601);

} // namespace DemoData
