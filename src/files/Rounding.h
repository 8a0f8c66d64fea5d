#pragma once
// Division rounded to the nearest integer with exact halves going to the even
// neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), the rule used for record counts,
// twips-to-pixel conversions and grid geometry throughout the program.

#include <QtGlobal>

// numerator / denominator rounded half to even, computed exactly in integers.
// denominator must be positive.
qint64 divideRoundHalfToEven(qint64 numerator, qint64 denominator);
