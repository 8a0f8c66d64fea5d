#pragma once
// Versions A to D of one examination, for students sitting side by side.
// Version A keeps the teacher's order; B, C and D are shuffles of it: the
// whole list of a true/false exam, each section of an exposition exam on its
// own (sections keep their order and letters). Every question keeps its
// answer.
//
// The shuffles come from the exam's seed through a generator fixed here, not
// the platform's, so that the same selection and seed give the same versions
// on any machine and with any library: SplitMix64 (state += 0x9E3779B97F4A7C15,
// then the output mixed with the multipliers 0xBF58476D1CE4E5B9 and
// 0x94D049BB133111EB), started at the seed, drives a Fisher–Yates shuffle for
// version B, then C, then D, the kinds of question in the selection's order
// (true/false, conceptual, practical, brief). The exam history keeps the
// questions in that order with the seed and the number of versions, which is
// all it takes to print the same versions again.

#include "ExamDescription.h"

#include <QList>

namespace ExamVersions {

constexpr int kMaxVersions = 4;

class SplitMix64
{
public:
    explicit SplitMix64(quint64 seed) : m_state(seed) {}
    quint64 next();

private:
    quint64 m_state;
};

// The positions 0 … count − 1 in shuffled order: for i from count − 1 down
// to 1, position i is swapped with position next() mod (i + 1).
QList<qsizetype> shuffledOrder(qsizetype count, SplitMix64 &generator);

// For each version of the exam (exam.versions of them, 1 to 4, A first), the
// positions in exam.selection.all() of its questions in the order printed.
QList<QList<qsizetype>> printedOrders(const ExamDescription &exam);

// The exam's versions, each described on its own (with versions = 1),
// version A first.
QList<ExamDescription> make(const ExamDescription &exam);

} // namespace ExamVersions
