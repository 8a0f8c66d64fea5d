#pragma once
// An examination as data: what a selection window hands to the output window
// beside the composed text, so that the output window can lay the same exam
// out again (as a PDF, or as shuffled versions) from the questions
// themselves, never by reading its text back.

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

struct SelectedQuestion
{
    QString text;        // the question's display text
    QString answerLabel; // "Sí" or "No"
    // Where it comes from, for the exam history.
    qint16 chapter = 0;
    qint16 topic = 0;
};

struct ExamDescription
{
    enum class Kind
    {
        TrueFalse,      // the examination of true/false questions
        AnswerTemplate, // its answer template
        Exposition      // the examination of exposition questions
    };

    Kind kind = Kind::TrueFalse;
    // True/false questions (exam or template), in the teacher's order.
    QList<SelectedQuestion> questions;
    // Exposition questions by section: conceptual (A), practical (B), brief (C).
    std::array<QStringList, 3> sections;
    // How many versions are made of it (1: the teacher's order alone) and the
    // seed their shuffles come from, kept with the exam so that the same
    // versions can be made again.
    int versions = 1;
    quint32 seed = 0;
    // The chapter of each exposition question, in the order of `sections`,
    // for the exam history.
    std::array<QList<qint16>, 3> sectionChapters{};
};
