#pragma once
// The texts composed from a selection. From a true/false selection: the
// examination, where every question is preceded by empty "Sí" and "No" boxes,
// and the answer template, where the correct box is marked. From an
// exposition selection: one examination with a lettered section per kind.
// Lines end in CR LF.

#include "ExamDescription.h"

#include <QList>
#include <QString>
#include <QStringList>

// The heading, an empty line, then one line per question in the given order.
QString composeExamText(const QStringList &questionTexts);
// As the examination, with the box of the correct answer marked by "•"
// (U+2022); any label other than exactly "Sí" marks "No".
QString composeAnswerTemplate(const QList<SelectedQuestion> &questions);

// The exposition examination: the header block, then section A (conceptual),
// B (practical) and C (brief) for each kind with questions, numbered from 1
// in each section. Conceptual and practical items are followed by a blank
// line, brief items are not. A section without questions is left out and the
// others keep their letters; with no question at all only the header remains.
QString composeExamText(const QStringList &conceptual, const QStringList &practical,
                        const QStringList &brief);

// The text of a described examination: with one version, one of the
// compositions above. With more, each version's composition (ExamVersions)
// after a line "VERSIÓN A" (B, C, D), a form feed before each version after
// the first so that each starts a page; a template ends with an empty line
// a line with the seed (ExamVersions::seedLine) and the compact key of every
// version, one line each.
QString composeText(const ExamDescription &exam);
