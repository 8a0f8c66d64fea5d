#pragma once
// The four kinds of question the bank holds, each in a file of its own: the
// true/false questions and the three kinds of exposition question. The
// companion, the demo bank and the exports name a kind with this type; the
// exposition windows number the three exposition kinds by their option
// buttons (ExpositionKind), and the two convert here.

#include "ExpositionKind.h"

#include <QString>
#include <array>

enum class QuestionKind
{
    TrueFalse,
    Conceptual,
    Practical,
    Brief
};

inline constexpr std::array<QuestionKind, 4> kQuestionKinds = {
    QuestionKind::TrueFalse, QuestionKind::Conceptual, QuestionKind::Practical,
    QuestionKind::Brief};

namespace questionKind {

// "QELMEXT2.DAT", "QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT".
QString bankFileName(QuestionKind kind);
// "Qelmext2.dat", ...: the name a rewrite gives the file, which the lookup
// prefers to any other spelling.
QString rewriteFileName(QuestionKind kind);
// 256, 502, 1002, 152.
int recordLength(QuestionKind kind);
// The exposition kind of an exposition question (Conceptual for a
// true/false one, which has none).
ExpositionKind expositionKind(QuestionKind kind);
QuestionKind fromExposition(ExpositionKind kind);

} // namespace questionKind
