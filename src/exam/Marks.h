#pragma once
// What a student's answer to a true/false question on an answer sheet can
// be, and the one rule that turns a sheet's answers into points and a grade.
// The marking, its files, the window, the review and the statistics all
// grade through here, so a grade in the grades file and the mean in the
// statistics cannot drift apart.
//
// A sheet's answers are kept (in the history, the CSV, the JSON) as one
// letter a question: the letters below.

#include <QChar>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

enum class Mark : char16_t
{
    Yes = u'S',      // «Sí» marked
    No = u'N',       // «No» marked
    Blank = u'-',    // neither box marked, or the teacher's word that none counts
    Doubtful = u'?', // a trace the reader could not call: the teacher looks
    Both = u'X',     // both boxes marked: no single answer, the teacher looks
};

// A teacher's decisions about one sheet: item ("dni", or a question's
// number in the version's order, "7") → value (the DNI's digits, or S, N, -).
using Decisions = QHash<QString, QString>;

namespace marks {

inline Mark of(QChar letter)
{
    switch (letter.unicode()) {
    case u'S':
        return Mark::Yes;
    case u'N':
        return Mark::No;
    case u'-':
        return Mark::Blank;
    case u'X':
        return Mark::Both;
    default:
        return Mark::Doubtful;
    }
}

inline QChar letter(Mark mark)
{
    return QChar(char16_t(mark));
}

// Whether the teacher still has to look: a doubtful mark or both boxes marked.
inline bool unsettled(Mark mark)
{
    return mark == Mark::Doubtful || mark == Mark::Both;
}

// A teacher's word for an answer, as the decisions file, the CSV and the
// window say it ("S", "Sí", "si", "N", "No", "-", "en blanco", "blanco",
// any case); nullopt for anything else.
std::optional<Mark> fromWord(const QString &word);

// How a sheet's answers went against the key of its version.
struct Tally
{
    int right = 0;
    int wrong = 0;
    int blank = 0;
    int unsettled = 0;
};
Tally tally(const QString &answers, const QList<bool> &key);

// right − penalty × wrong, never below zero.
double points(int right, int wrong, double penalty);

// The grade out of 10 for `points` of `questions`, to two decimals; 0 for
// an exam without questions.
double grade(double points, int questions);

} // namespace marks
