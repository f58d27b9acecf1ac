#include "amountinwords.h"

#include "money.h"

#include <QStringList>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// How a counted noun is written after each kind of number.
struct Noun
{
    QString singular; // after 1, and genitive after round hundreds and thousands
    QString dual;
    QString dualConstruct; // a dual followed by its own counted noun ("ألفا دينار")
    QString plural; // genitive plural after 3–10
    QString accusative; // after 11–99
    bool feminine;
};

struct Currency
{
    Noun unit;
    Noun part;
    int partsPerUnit; // how many sub-units a whole unit holds
};

const Noun kThousand { u"ألف"_s, u"ألفان"_s, u"ألفا"_s, u"آلاف"_s, u"ألفاً"_s, false };
const Noun kMillion { u"مليون"_s, u"مليونان"_s, u"مليونا"_s, u"ملايين"_s, u"مليوناً"_s, false };
const Noun kBillion { u"مليار"_s, u"ملياران"_s, u"مليارا"_s, u"مليارات"_s, u"ملياراً"_s, false };

bool currencyOf(const QString &code, Currency *out)
{
    const QString c = code.trimmed().toUpper();
    if (c == u"ILS"_s) {
        *out = { { u"شيكل"_s, u"شيكلان"_s, u"شيكلا"_s, u"شواقل"_s, u"شيكلاً"_s, false },
            { u"أغورة"_s, u"أغورتان"_s, u"أغورتا"_s, u"أغورات"_s, u"أغورة"_s, true }, 100 };
    } else if (c == u"JOD"_s) {
        // The dinar is divided into a thousand fils; amounts carry two decimals, so tens of fils.
        *out = { { u"دينار"_s, u"ديناران"_s, u"دينارا"_s, u"دنانير"_s, u"ديناراً"_s, false },
            { u"فلس"_s, u"فلسان"_s, u"فلسا"_s, u"فلوس"_s, u"فلساً"_s, false }, 1000 };
    } else if (c == u"USD"_s) {
        *out = { { u"دولار"_s, u"دولاران"_s, u"دولارا"_s, u"دولارات"_s, u"دولاراً"_s, false },
            { u"سنت"_s, u"سنتان"_s, u"سنتا"_s, u"سنتات"_s, u"سنتاً"_s, false }, 100 };
    } else if (c == u"EUR"_s) {
        *out = { { u"يورو"_s, u"يوروان"_s, u"يوروا"_s, u"يوروهات"_s, u"يورو"_s, false },
            { u"سنت"_s, u"سنتان"_s, u"سنتا"_s, u"سنتات"_s, u"سنتاً"_s, false }, 100 };
    } else if (c == u"EGP"_s) {
        *out = { { u"جنيه"_s, u"جنيهان"_s, u"جنيها"_s, u"جنيهات"_s, u"جنيهاً"_s, false },
            { u"قرش"_s, u"قرشان"_s, u"قرشا"_s, u"قروش"_s, u"قرشاً"_s, false }, 100 };
    } else {
        return false;
    }
    return true;
}

QString ones(int n, bool feminine)
{
    // 3–9 take the opposite gender of what they count.
    static const char16_t *const masculine[] = { u"", u"واحد", u"اثنان", u"ثلاثة", u"أربعة",
        u"خمسة", u"ستة", u"سبعة", u"ثمانية", u"تسعة" };
    static const char16_t *const femininePart[]
        = { u"", u"واحدة", u"اثنتان", u"ثلاث", u"أربع", u"خمس", u"ست", u"سبع", u"ثماني", u"تسع" };
    return QString::fromUtf16(feminine ? femininePart[n] : masculine[n]);
}

QString belowHundred(int n, bool feminine)
{
    static const char16_t *const tens[] = { u"", u"", u"عشرون", u"ثلاثون", u"أربعون", u"خمسون",
        u"ستون", u"سبعون", u"ثمانون", u"تسعون" };
    if (n < 10)
        return ones(n, feminine);
    if (n == 10)
        return feminine ? u"عشر"_s : u"عشرة"_s;
    if (n == 11)
        return feminine ? u"إحدى عشرة"_s : u"أحد عشر"_s;
    if (n == 12)
        return feminine ? u"اثنتا عشرة"_s : u"اثنا عشر"_s;
    if (n < 20)
        return ones(n - 10, feminine) + (feminine ? u" عشرة"_s : u" عشر"_s);
    const int unit = n % 10;
    const QString ten = QString::fromUtf16(tens[n / 10]);
    if (unit == 0)
        return ten;
    const QString first = unit == 1 ? (feminine ? u"إحدى"_s : u"واحد"_s) : ones(unit, feminine);
    return first + u" و"_s + ten;
}

QString hundreds(int h, bool construct)
{
    static const char16_t *const words[] = { u"", u"مائة", u"", u"ثلاثمائة", u"أربعمائة",
        u"خمسمائة", u"ستمائة", u"سبعمائة", u"ثمانمائة", u"تسعمائة" };
    if (h == 2)
        return construct ? u"مائتا"_s : u"مائتان"_s;
    return QString::fromUtf16(words[h]);
}

// 1–999 as words; `construct` when a round 200 stands right before its counted noun.
QString belowThousand(int n, bool feminine, bool construct)
{
    QStringList parts;
    if (n >= 100)
        parts << hundreds(n / 100, construct && n % 100 == 0);
    if (n % 100)
        parts << belowHundred(n % 100, feminine);
    return parts.join(u" و"_s);
}

// A count of thousands, millions or billions. `followed` when the currency's noun comes right
// after the scale word (a thousand of shekels), which drops the accusative ending and puts a
// dual in construct.
QString scaled(int n, const Noun &scale, bool followed)
{
    if (n == 1)
        return scale.singular;
    if (n == 2)
        return followed ? scale.dualConstruct : scale.dual;
    const int lastTwo = n % 100;
    if (lastTwo >= 3 && lastTwo <= 10)
        return belowThousand(n, false, false) + u" "_s + scale.plural;
    if (lastTwo >= 11)
        return belowThousand(n, false, false) + u" "_s
            + (followed ? scale.singular : scale.accusative);
    return belowThousand(n, false, lastTwo == 0) + u" "_s + scale.singular;
}

QString numberWords(qint64 value, bool feminine, bool nounFollows)
{
    const int groups[] = { int(value / 1'000'000'000), int(value / 1'000'000 % 1000),
        int(value / 1000 % 1000), int(value % 1000) };
    const Noun *scales[] = { &kBillion, &kMillion, &kThousand };
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        if (!groups[i])
            continue;
        bool lowerZero = true;
        for (int j = i + 1; j < 4; ++j)
            lowerZero = lowerZero && groups[j] == 0;
        parts << scaled(groups[i], *scales[i], nounFollows && lowerZero);
    }
    if (groups[3])
        parts << belowThousand(groups[3], feminine, nounFollows);
    return parts.join(u" و"_s);
}

// A currency amount with its noun: one and two as adjective and dual, then the noun's form by the
// last two digits.
QString counted(qint64 n, const Noun &noun)
{
    if (n == 1)
        return noun.singular + u" "_s + (noun.feminine ? u"واحدة"_s : u"واحد"_s);
    if (n == 2)
        return noun.dual;
    const int lastTwo = int(n % 100);
    const QString number = numberWords(n, noun.feminine, true);
    if (lastTwo >= 3 && lastTwo <= 10)
        return number + u" "_s + noun.plural;
    if (lastTwo >= 11)
        return number + u" "_s + noun.accusative;
    // Round hundreds and thousands, and compounds ending in one or two, take the genitive
    // singular.
    return number + u" "_s + noun.singular;
}

} // namespace

QString AmountInWords::number(qint64 value, bool feminine)
{
    if (value < 1 || value > 999'999'999'999LL)
        return QString();
    return numberWords(value, feminine, false);
}

QString AmountInWords::text(double amount, const QString &currencyCode, const QString &fallbackName)
{
    if (!std::isfinite(amount) || amount > kMaximum)
        return QString();
    const qint64 cents = Money::cents(amount);
    if (cents < 1)
        return QString();
    const qint64 whole = cents / 100;
    const int fraction = int(cents % 100);

    QStringList parts;
    Currency currency;
    if (!currencyOf(currencyCode, &currency)) {
        const QString name = fallbackName.isEmpty() ? currencyCode : fallbackName;
        if (whole)
            parts << numberWords(whole, false, false) + u" "_s + name;
        if (fraction)
            parts << numberWords(fraction, false, false) + u" من مائة"_s
                    + (whole ? QString() : u" "_s + name);
    } else {
        if (whole)
            parts << counted(whole, currency.unit);
        if (fraction)
            parts << counted(qint64(fraction) * currency.partsPerUnit / 100, currency.part);
    }
    return u"فقط "_s + parts.join(u" و"_s) + u" لا غير"_s;
}
