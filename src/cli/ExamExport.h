#pragma once
// An exam of the exam history as a Moodle quiz (orvalis-banco exportar
// --examen N): its questions in the teacher's order, or in the order of one
// of its versions, each named "Pregunta 001", "Pregunta 002"… (so that
// Moodle's listing by name keeps the order) and filed under the category
// "Examen: <title>" (", versión B" added for a version other than A), ready
// for the Moodle XML and GIFT writers. True/false questions become truefalse
// questions, exposition questions essays.

#include "ExamHistory.h"
#include "ExportQuestions.h"

#include <QStringList>

namespace examExport {

struct Result
{
    QList<ExportQuestion> questions;
    QStringList skipped; // "pregunta 3 (test, capítulo 4, tema 1): reason", Spanish
    QString error;       // a bank file could not be read; nothing exported
};

// The positions in `exam.questions` of the questions of version `version`
// (0 for A, the teacher's order), as the output window printed them.
QList<qsizetype> versionOrder(const HistoryExam &exam, int version);

// The exam's questions for version `version`, each true/false question with
// the answer the history kept; only a question recorded before the history
// kept answers has it looked up in the bank of `folder`.
Result questions(const HistoryExam &exam, int version, const QString &folder);

} // namespace examExport
