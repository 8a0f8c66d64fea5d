#pragma once
// A few questions to export, in the order an export hands them over, whose
// texts carry the characters each format has to take care of.

#include "ExportQuestions.h"

#include <QList>

inline QList<ExportQuestion> exportSample()
{
    using enum DemoSourceKind;
    return {
        {TrueFalse, 12, 2, 2, true, QStringLiteral("Proveedores: ¿{todos} = \"socios\" ~ #1?")},
        {TrueFalse, 13, 2, 2, false, QStringLiteral("A & B < C > D, 'sí' \\ no")},
        {TrueFalse, 3, 4, 4, true, QStringLiteral("La demanda\tcrece; línea\r\nnueva")},
        {Conceptual, 7, 1, 0, false, QStringLiteral("Explique ]]> y <![CDATA[ sin más.")},
        {Brief, 40, 22, 0, false, QStringLiteral("Breve: {}")},
    };
}
