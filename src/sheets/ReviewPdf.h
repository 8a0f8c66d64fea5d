#pragma once
// The review of a marking: every sheet read, page by page, as it was
// scanned (straightened), with what was read drawn over it — a green circle
// round a right answer, a red cross over a wrong one, a blue square with a
// question mark round a doubtful one — and the sheet's points and grade.
// What the teacher shows a student who asks.

#include "SheetMarking.h"

#include <QByteArray>

namespace reviewPdf {

// Sheets must have been marked with their images kept.
QByteArray pdf(const MarkingResult &result, const AnswerKey &key);

} // namespace reviewPdf
