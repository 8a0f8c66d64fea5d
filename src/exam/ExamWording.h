#pragma once
// The words of an examination that more than one output prints: the answer
// labels, the section headings of an exposition exam, the line naming a
// version and the compact key of a version's answers. The text and the PDF
// both take them from here, so that they never read differently.

#include "ExamSelection.h"

#include <QList>
#include <QString>

namespace ExamWording {

// "Sí" or "No".
QString answerLabel(bool yes);
// The boxes before a true/false question in the text: "Sí( ) No( )  -  ",
// or with the box of `marked` answer filled by "•" (U+2022).
QString textBoxes();
QString textBoxes(bool marked);
// "A. PREGUNTAS CONCEPTUALES:", "B. PREGUNTAS PRÁCTICAS:",
// "C. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:"; empty for true/false.
QString sectionHeading(QuestionKind kind);
// "A" for the first version, "B" for the second…
QString versionLetter(int version);
// "VERSIÓN A", "VERSIÓN B"…
QString versionLine(int version);
// The compact key of a true/false version: "Versión B: 1 Sí, 2 No, 3 No".
QString keyLine(int version, const QList<ExamQuestion> &questions);
// What a key says of the versions it belongs to: "Clave de barajado: 41438",
// the seed that makes them again.
QString seedLine(quint32 seed);

} // namespace ExamWording
