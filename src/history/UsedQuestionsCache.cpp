#include "UsedQuestionsCache.h"

#include "ExamHistory.h"

const UsedQuestions &UsedQuestionsCache::current(QString *message)
{
    const FileIdentity now = FileIdentity::of(ExamHistory::kFileName);
    if (m_read && now == m_identity)
        return m_used;
    m_read = true;
    m_used = UsedQuestions();
    // Looking at the history never creates or changes it.
    ExamHistory history;
    QString error = history.open(ExamHistory::Access::ReadOnly);
    if (error.isEmpty())
        m_used = history.usedQuestions(&error);
    *message = history.takeSetAsideNote();
    // Taken before reading: a change made while it was read is read next time.
    m_identity = now;
    if (!error.isEmpty() && !std::exchange(m_failureTold, true))
        *message += (message->isEmpty() ? QString() : QStringLiteral("\n\n")) +
                    QStringLiteral("No se ha podido leer el historial de exámenes: ") + error +
                    QLatin1Char('.');
    return m_used;
}

void UsedQuestionsCache::reset()
{
    m_read = false;
    m_failureTold = false;
}
