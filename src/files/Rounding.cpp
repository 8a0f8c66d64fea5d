#include "Rounding.h"

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
