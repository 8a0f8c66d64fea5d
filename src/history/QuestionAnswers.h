#pragma once
// The correct answer of a true/false question of the exam history, by one
// rule wherever an exam is marked, exported or studied: the answer the
// history kept when the exam was recorded; for an exam recorded before
// histories kept answers, the one the bank gives the same chapter, topic and
// text now (the first listed question's), and none once the bank no longer
// holds it.

#include "ExamHistory.h"

#include <functional>
#include <optional>

// The answer of a question of the history (true for Sí); nullopt when it is
// not known.
using AnswerOf = std::function<std::optional<bool>(const HistoryQuestion &)>;

namespace questionAnswers {

// The answer by that rule, asking `bank` only when the history kept none
// (a null `bank` knows nothing).
std::optional<bool> of(const HistoryQuestion &question, const AnswerOf &bank);

// The bank of `folder` as a lookup, by chapter, topic and text: read the
// first time a question needs it, without creating or changing anything (a
// folder without a true/false bank holds no question). When the bank cannot
// be read, it knows nothing and *error (kept alive by the caller) says why.
AnswerOf inBank(const QString &folder, QString *error = nullptr);

} // namespace questionAnswers
