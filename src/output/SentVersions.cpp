#include "SentVersions.h"

#include <QHash>

namespace {

// The same questions in the same order, each with the same answer.
bool sameQuestions(const ExamDescription &a, const ExamDescription &b)
{
    return a.selection == b.selection;
}

bool exposition(const ExamDescription &exam)
{
    return exam.kind == ExamDescription::Kind::Exposition;
}

// Kept for the program's run: a selection lives no longer than its window.
QHash<QString, ExamDescription> &sent()
{
    static QHash<QString, ExamDescription> exams;
    return exams;
}

} // namespace

namespace SentVersions {

void remember(const QString &window, const ExamDescription &exam)
{
    sent().insert(window, exam);
}

std::optional<Choice> recall(const QString &window, const ExamDescription &exam)
{
    const auto last = sent().constFind(window);
    if (last == sent().cend() || last->versions <= 1 || exposition(*last) != exposition(exam) ||
        !sameQuestions(*last, exam))
        return std::nullopt;
    return Choice{last->versions, last->seed};
}

} // namespace SentVersions
