#include "money.h"

#include <cmath>

namespace {
constexpr double kCountable = 9e15;
}

qint64 Money::cents(double amount)
{
    if (!isCountable(amount))
        return 0;
    return std::llround(amount * 100.0);
}

double Money::fromCents(qint64 cents) { return static_cast<double>(cents) / 100.0; }

int Money::compare(double a, double b)
{
    const qint64 x = cents(a);
    const qint64 y = cents(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool Money::isAcceptable(double amount)
{
    return std::isfinite(amount) && std::fabs(amount) <= kCeiling;
}

bool Money::isCountable(double amount)
{
    return std::isfinite(amount) && std::fabs(amount) <= kCountable;
}
