#include "ExamSelection.h"

bool ExamSelection::add(const ExamQuestion &question)
{
    if (room(question.kind) <= 0)
        return false;
    m_lists[int(question.kind)].append(question);
    return true;
}

bool ExamSelection::removeAt(QuestionKind kind, qsizetype index)
{
    QList<ExamQuestion> &list = m_lists[int(kind)];
    if (index < 0 || index >= list.size())
        return false;
    list.removeAt(index);
    return true;
}

bool ExamSelection::isEmpty() const
{
    return std::all_of(m_lists.cbegin(), m_lists.cend(),
                       [](const QList<ExamQuestion> &list) { return list.isEmpty(); });
}

QList<ExamQuestion> ExamSelection::all() const
{
    QList<ExamQuestion> questions;
    for (const QList<ExamQuestion> &list : m_lists)
        questions += list;
    return questions;
}
