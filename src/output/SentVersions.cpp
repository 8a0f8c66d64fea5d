#include "SentVersions.h"

#include <QHash>

namespace {

bool sameQuestions(const ExamDescription &a, const ExamDescription &b)
{
    if (a.questions.size() != b.questions.size() || a.sections != b.sections)
        return false;
    for (qsizetype i = 0; i < a.questions.size(); ++i) {
        const SelectedQuestion &x = a.questions.at(i);
        const SelectedQuestion &y = b.questions.at(i);
        if (x.text != y.text || x.answerLabel != y.answerLabel || x.chapter != y.chapter ||
            x.topic != y.topic)
            return false;
    }
    return true;
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
