#pragma once
// An examination as data: what a selection window hands to the output window
// beside the composed text, so that the output window can lay the same exam
// out again (as a PDF, or as shuffled versions) and record it in the history
// from the questions themselves, never by reading its text back.

#include "ExamSelection.h"

struct ExamDescription
{
    enum class Kind
    {
        TrueFalse,      // the examination of true/false questions
        AnswerTemplate, // its answer template
        Exposition      // the examination of exposition questions
    };

    Kind kind = Kind::TrueFalse;
    // The questions: the true/false ones for an exam or template, the
    // conceptual (section A), practical (B) and brief (C) ones for an
    // exposition exam.
    ExamSelection selection;
    // How many versions are made of it (1: the teacher's order alone) and the
    // seed their shuffles come from, kept with the exam so that the same
    // versions can be made again.
    int versions = 1;
    quint32 seed = 0;
};
