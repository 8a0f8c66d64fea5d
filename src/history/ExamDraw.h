#pragma once
// An exam drawn at random to a plan: so many questions of a chapter, of a
// topic within it, or of one kind of exposition question in it. A question
// already selected is never drawn, nor one an earlier exam used since a
// cut-off date, nor the same question twice. A chapter's line draws from the
// whole chapter beyond what the lines of its topics drew, so its topics'
// lines are drawn first. A line may ask for questions of one difficulty
// only, as the marked sheets found them. The same plan, bank and seed always draw the same
// questions: the generator is the one of the exam's versions (SplitMix64
// driving Fisher–Yates, see ExamVersions), not the platform's.

#include "QuestionKind.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class UsedQuestions;
class QuestionStatistics;

// How hard the marked sheets found a question: fácil when at least 75 % of
// the sheets got it right, difícil under 40 %, media between; unknown when
// no marked exam held it.
enum class Difficulty
{
    Any,
    Easy,
    Medium,
    Hard,
    Unknown
};

struct DrawQuestion
{
    QuestionKind kind = QuestionKind::TrueFalse;
    qint16 chapter = 0;
    qint16 topic = 0; // 0 for an exposition question
    int position = 0; // its place within its topic (exposition: its chapter)
    QString text;
    bool answer = false; // true/false questions: whether "Sí" is correct
};

struct DrawLine
{
    QuestionKind kind = QuestionKind::TrueFalse;
    qint16 chapter = 0;
    qint16 topic = 0; // 0: the whole chapter
    int count = 0;
    QList<DrawQuestion> candidates; // in bank order
    QString topicName{};            // the topic as the plan lists it; empty: "tema 2"
    Difficulty difficulty = Difficulty::Any;
};

struct DrawPlan
{
    QList<DrawLine> lines;
    const UsedQuestions *used = nullptr;
    QDateTime usedSince; // invalid: no question is left out for its use
    QList<std::pair<QuestionKind, QString>> selected;
    quint64 seed = 0;
    // What the marked sheets say of the questions, for lines of a difficulty.
    const QuestionStatistics *statistics = nullptr;
};

struct DrawOutcome
{
    // By kind, chapter, topic and bank order.
    QList<DrawQuestion> drawn;
    // One line for each line of the plan with fewer questions left to draw
    // than it asks, with what took the others: "Capítulo 4, tema 2: se piden
    // 5 y quedan 3 (1 ya seleccionada, 2 usadas en los últimos meses)"; "se
    // piden 5 y hay 3" when the bank has no more.
    QStringList shortages;
};

namespace ExamDraw {

// When "used in the last `months` months" begins at `now`; invalid for 0.
QDateTime cutOff(const QDateTime &now, int months);

DrawOutcome draw(const DrawPlan &plan);

Difficulty difficultyOf(const QuestionStatistics *statistics, QuestionKind kind,
                        const QString &text);

} // namespace ExamDraw
