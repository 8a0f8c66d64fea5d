#pragma once
// Rounding to the nearest integer with exact halves going to the even
// neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), the rule used for record counts,
// twips-to-pixel conversions and grid geometry throughout the program.

#include <QtGlobal>

// Values outside the range of qint64 (and NaN) give 0.
qint64 roundHalfToEven(double value);

// numerator / denominator rounded half to even, computed exactly in integers.
// denominator must be positive.
qint64 divideRoundHalfToEven(qint64 numerator, qint64 denominator);
