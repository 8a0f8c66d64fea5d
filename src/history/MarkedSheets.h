#pragma once
// The marked sheets of the history as the statistics read them: for each
// exam with sheets, every sheet's answers in the teacher's order of the
// exam's questions, the teacher's decisions applied over what was read.
//
// A sheet whose answers are not all settled (a doubtful mark or both boxes
// marked, not yet decided) has no grade yet, so it is left out of the
// figures and only counted as pending; a doubtful DNI alone does not keep a
// sheet out, since its answers are settled.
//
// The figures are worked out against the answers the history kept for each
// question (QuestionAnswers), the bank's now for an exam recorded before
// histories kept answers.

#include "ExamHistory.h"
#include "ItemAnalysis.h"
#include "QuestionAnswers.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct MarkedExam
{
    HistoryExam exam;      // with its questions
    QList<QString> sheets; // settled sheets: one of S, N, - per question, teacher's order
    int pending = 0;       // sheets left out until their doubtful marks are decided
};

namespace markedSheets {

// The exams with marked sheets, oldest first; only exam `only` when it is
// not 0. A history without sheets' tables has none.
QList<MarkedExam> read(const ExamHistory &history, qint64 only, QString *error);

// The figures of one exam against its questions' answers
// (questionAnswers::of, `bank` for an exam recorded before the history kept
// them), with `penalty`
// per wrong answer; nullopt when the answer of any of its questions is not
// known (then no figure of it would be right).
std::optional<ExamFigures> figures(const MarkedExam &marked, const AnswerOf &bank, double penalty);

} // namespace markedSheets

// Each question's figures pooled over every marked exam that held it, for
// the selection windows: known by kind and text, like used questions.
class QuestionStatistics
{
public:
    static QuestionStatistics of(const QList<MarkedExam> &exams, const AnswerOf &answerOf,
                                 double penalty = 1.0);
    bool isEmpty() const { return m_figures.isEmpty(); }
    // The pooled figures; sheets == 0 for a question no marked exam held.
    ItemAnalysis::Pooled pooled(QuestionKind kind, const QString &text) const;

private:
    static QString key(QuestionKind kind, const QString &text);
    QHash<QString, QList<QuestionFigures>> m_figures;
};
