#pragma once
// What the teacher chose: the selected questions of each kind in the order
// they were chosen, each with where it comes from and, for a true/false
// question, its correct answer. The selection windows' grids, the composed
// texts, the versions, the PDF and the exam history are all views of it.

#include "QuestionKind.h"

#include <QList>
#include <QString>

#include <array>

struct ExamQuestion
{
    QuestionKind kind = QuestionKind::TrueFalse;
    qint16 chapter = 0;
    qint16 topic = 0;    // true/false questions only
    QString text;        // the display text, as the bank gives it
    bool answer = false; // true/false questions: whether "Sí" is correct

    bool operator==(const ExamQuestion &) const = default;
};

class ExamSelection
{
public:
    // The most questions of one kind a selection holds.
    static constexpr int kTrueFalseLimit = 500;
    static constexpr int kExpositionLimit = 100; // of each exposition kind
    static constexpr int limit(QuestionKind kind)
    {
        return kind == QuestionKind::TrueFalse ? kTrueFalseLimit : kExpositionLimit;
    }

    // Adds a question after the others of its kind; false, and nothing
    // added, when its kind already holds its limit.
    bool add(const ExamQuestion &question);
    // Takes out the question at `index` (from 0) of `kind`'s list, the later
    // ones moving up; false when there is none there.
    bool removeAt(QuestionKind kind, qsizetype index);
    void clear() { m_lists = {}; }

    const QList<ExamQuestion> &of(QuestionKind kind) const { return m_lists[int(kind)]; }
    int count(QuestionKind kind) const { return int(of(kind).size()); }
    int room(QuestionKind kind) const { return limit(kind) - count(kind); }
    bool isEmpty() const;
    // Every question: the true/false ones, then conceptual, practical and
    // brief, each kind in the teacher's order.
    QList<ExamQuestion> all() const;

    bool operator==(const ExamSelection &) const = default;

private:
    std::array<QList<ExamQuestion>, kQuestionKinds.size()> m_lists;
};
