#pragma once
// The figures of a marked exam as the teacher reads them, in Spanish with a
// decimal comma: the same lines in orvalis-banco estadisticas, in the
// marking window's table and in its report.

#include "ItemAnalysis.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace figuresTable {

struct Table
{
    QList<QPair<QString, QString>> exam; // label, value
    QStringList questions;               // "62 % (24 de 38) · discrimina 0,41", by question
};

// `pending`: the sheets left out until their doubtful marks are decided.
Table table(const ExamFigures &figures, int pending);

// A discrimination clearly below zero over enough sheets (Discrimination.h):
// the strong students missed it more often than the weak ones, usually a
// wrong key or an ambiguous wording.
bool negative(const QuestionFigures &question);

// "0,41", "−" for a figure that cannot be worked out.
QString decimal(const std::optional<double> &value);

inline const QString kNegativeNote =
    QStringLiteral("discriminación negativa: revise la respuesta o la redacción");

} // namespace figuresTable
