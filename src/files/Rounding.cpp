#include "Rounding.h"

#include <cmath>

qint64 roundHalfToEven(double value)
{
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(value > -kLimit && value < kLimit))
        return 0;
    const double floor = std::floor(value);
    const double fraction = value - floor; // exact for doubles of this range
    qint64 result = static_cast<qint64>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2) != 0))
        ++result;
    return result;
}

qint64 divideRoundHalfToEven(qint64 numerator, qint64 denominator)
{
    Q_ASSERT(denominator > 0);
    qint64 quotient = numerator / denominator;
    qint64 remainder = numerator % denominator;
    // Make the remainder non-negative so that quotient is the floor.
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const qint64 rest =
        denominator - remainder; // compare 2*remainder with denominator without overflow
    if (remainder > rest || (remainder == rest && (quotient % 2) != 0))
        ++quotient;
    return quotient;
}
