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
// version B, then C, then D, section after section.

#include "ExamDescription.h"

#include <QList>
#include <QString>

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

// The exam's versions (exam.versions of them, 1 to 4), each described on its
// own (with versions = 1), version A first.
QList<ExamDescription> make(const ExamDescription &exam);

// "A" for the first version, "B" for the second…
QString letter(int version);

// The compact key of a true/false version: "Versión B: 1 Sí, 2 No, 3 No".
QString keyLine(int version, const ExamDescription &exam);

// What a key says of the versions it belongs to: "Clave de barajado: 41438",
// the seed that makes them again.
QString seedLine(quint32 seed);

} // namespace ExamVersions
