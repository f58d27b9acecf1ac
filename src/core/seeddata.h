#pragma once

#include <QStringList>

// Rows a new database needs before anyone can use it.
class SeedData
{
public:
    static QString adminPassword();
    static QStringList statements();
};
