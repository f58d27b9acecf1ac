#pragma once

#include <QStringList>

// Rows a new database needs before anyone can use it.
class SeedData
{
public:
    static QString adminPassword();
    static QStringList statements();
    // The accounts the automatic posting needs, added on every start when missing.
    static QStringList postingAccounts();
};
