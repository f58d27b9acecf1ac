#pragma once

#include <QString>
#include <QtGlobal>

// Amounts written out in Arabic as receipts and cheques carry them: "فقط ألفان وخمسمائة شيكل لا
// غير". The counted noun follows the grammar of numbers: 1 and 2 as adjective and dual, 3–10 with
// the opposite gender and a genitive plural, 11–99 with an accusative singular, round hundreds,
// thousands and millions with a genitive singular (a dual in construct before its noun).
class AmountInWords
{
public:
    // The largest amount written out.
    static constexpr double kMaximum = 999'999'999'999.99;

    // "فقط … لا غير" for 0.01 up to kMaximum, in the currency with the given ISO code; a code
    // without its own forms uses `fallbackName` (or the code) unchanged after the number, with
    // the fraction as parts of a hundred. Empty for amounts out of range or not finite.
    static QString text(
        double amount, const QString &currencyCode, const QString &fallbackName = QString());

    // The cardinal number alone (1 to 999,999,999,999), in the gender of what it counts.
    static QString number(qint64 value, bool feminine = false);
};
