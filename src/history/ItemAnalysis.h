#pragma once
// What the marks of an exam say about its questions and about the exam.
//
// For each question: its facility (the share of sheets that got it right)
// and its discrimination, the correlation of the question's score (1 right,
// 0 wrong or blank) with the rest of the exam (the number of other questions
// the same sheet got right): the corrected point-biserial correlation. A
// question the strong students miss more often than the weak ones has a
// negative discrimination, which usually means a wrong key or an ambiguous
// wording.
//
// For the exam: the number of sheets, the mean, median and standard
// deviation (sample, n - 1) of the grades, the grades counted in ten bands
// of one point, and the internal consistency KR-20 over right/wrong scores.
// A figure that cannot be computed (one sheet, a question everybody got
// right) is left empty rather than shown as zero.
#include <QList>
#include <QString>
#include <array>
#include <optional>

enum class MarkOutcome : char
{
    Right,
    Wrong,
    Blank
};

struct QuestionFigures
{
    int sheets = 0;
    int right = 0;
    double facility = 0; // right / sheets
    std::optional<double> discrimination;
};

struct ExamFigures
{
    int sheets = 0;
    double mean = 0;
    double median = 0;
    std::optional<double> deviation;
    std::array<int, 10> bands{}; // grades 0–1, 1–2 … 9–10 (10 in the last)
    std::optional<double> kr20;
    QList<QuestionFigures> questions;
};

namespace ItemAnalysis {
// Each sheet's outcomes in the exam's own question order (not a version's);
// every sheet has as many outcomes as the exam has questions. Each right
// answer adds 1 point and each wrong one takes `penalty` away, never below
// 0; the grade is 10 × points / questions, to two decimals.
ExamFigures analyse(const QList<QList<MarkOutcome>> &sheets, double penalty);

// One question's figures over several exams: the rights and sheets summed;
// the discrimination averaged weighted by the sheets of the exams where it
// was computed.
struct Pooled
{
    int exams = 0;
    int sheets = 0;
    int right = 0;
    std::optional<double> discrimination;
};
Pooled pool(const QList<QuestionFigures> &perExam);

// "Acertada por el 62 % (2 exámenes, 380 alumnos) · discrimina 0,41";
// empty for a question no marked exam held.
QString summary(const Pooled &figures);
} // namespace ItemAnalysis
