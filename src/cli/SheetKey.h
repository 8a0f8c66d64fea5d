#pragma once
// The answer key of an exam of the history, the one place the marking of
// answer sheets learns the correct answers from: each version's questions
// in that version's order, with the correct answer and the question's place
// in the teacher's order. The history keeps each question's text, not its
// answer, so the answers are looked up in the bank as exportar --examen
// looks them up.

#include "ExamHistory.h"
#include "SheetMarking.h"

#include <optional>

namespace sheetKey {

// nullopt with the reason (Spanish) for an exposition exam or one whose
// answers the bank no longer holds.
std::optional<AnswerKey> of(const HistoryExam &exam, quint32 identifier, const QString &folder,
                            QString *error);

} // namespace sheetKey
