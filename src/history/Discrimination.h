#pragma once
// When a question's discrimination is worth a warning: the "!" after its
// number in the selection windows, and the marking window's list of
// questions that discriminate the wrong way. Only when the figure rests on
// enough sheets and lies clearly below zero.
//
// A correlation over n sheets strays from its true value by chance by about
// 1/√(n − 1): 0,19 over 30 sheets, 0,45 over 6. Flagging every figure below
// zero flagged about half the questions of a small class, those whose true
// discrimination is near zero. Over 30 sheets or more, a question that
// discriminates as a sound one does (+0,30) falls to −0,20 by chance less
// than once in 250 (2,7 of those strays), whereas a wrong key or a wording
// that misleads the strong students takes it well below. A figure between
// −0,20 and 0 says the question does not help, which the tool tip shows; it
// is not the question to revise first.

#include <optional>

namespace discrimination {

inline constexpr int kMinimumSheets = 30;
inline constexpr double kClearlyNegative = -0.20;

// True when `value`, worked out over `sheets` sheets (pooled over several
// exams, or of one exam), is at or below kClearlyNegative to the two
// decimals the teacher sees, over at least kMinimumSheets sheets.
bool clearlyNegative(int sheets, const std::optional<double> &value);

} // namespace discrimination
