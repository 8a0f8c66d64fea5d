#pragma once
// The texts composed from a described examination. From a true/false
// selection: the examination, where every question is preceded by empty "Sí"
// and "No" boxes, and the answer template, where the box of the correct
// answer is marked. From an exposition selection: one examination with a
// lettered section per kind, numbered from 1 in each section; conceptual and
// practical items are followed by a blank line, brief items are not; a
// section without questions is left out and the others keep their letters.
// Lines end in CR LF.

#include "ExamDescription.h"

#include <QString>

// With one version, the composition of the exam in the teacher's order.
// With more, each version's composition (ExamVersions) after a line
// "VERSIÓN A" (B, C, D), a form feed before each version after the first so
// that each starts a page; a template ends with an empty line, a line with
// the seed (ExamWording::seedLine) and the compact key of every version, one
// line each.
QString composeText(const ExamDescription &exam);
