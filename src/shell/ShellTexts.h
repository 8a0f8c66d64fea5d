#pragma once
// The program's own title texts: the main window caption and the title block
// shown by the splash window and the background window.

#include <QString>

namespace ShellTexts {

inline const QString kMainCaption =
    QStringLiteral("MARKETING - Orvalis - Preparación de exámenes escritos del curso");
inline const QString kSubject = QStringLiteral("MARKETING");
inline const QString kProgramName = QStringLiteral("Orvalis");
inline const QString kSubtitle = QStringLiteral("Banco de preguntas para exámenes escritos");
inline const QString kAuthorCredit =
    QStringLiteral("Preparado por el profesorado de la asignatura");
inline const QString kPublisherCredit = QStringLiteral("Edición interna del departamento");
inline const QString kEditionLine = QStringLiteral("Primera edición, versión 1.0");

} // namespace ShellTexts
