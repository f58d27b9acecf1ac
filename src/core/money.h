#pragma once

#include <QString>
#include <QtGlobal>

// Money decisions in whole cents. Amounts are stored as doubles; every comparison, split and sum
// that decides something goes through here so that 0.1 + 0.2 settles 0.3 and a shown remainder
// always pays an invoice off.
class Money
{
public:
    // Largest amount, quantity or price an operation accepts (and any product of them).
    static constexpr double kCeiling = 1'000'000'000.0;

    // Rounded half away from zero; 0 for values that are not finite.
    static qint64 cents(double amount);
    static double fromCents(qint64 cents);
    // The amount rounded to the cent.
    static double round(double amount) { return fromCents(cents(amount)); }

    // -1, 0 or 1 comparing the two amounts to the cent.
    static int compare(double a, double b);
    static bool equal(double a, double b) { return compare(a, b) == 0; }
    static bool isZero(double amount) { return cents(amount) == 0; }

    // Finite and within the ceiling in absolute value.
    static bool isAcceptable(double amount);
    // Finite and small enough that its count of cents fits in 64 bits with room for sums.
    static bool isCountable(double amount);
};
