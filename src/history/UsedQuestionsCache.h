#pragma once
// The questions earlier exams used, as a selection window lists them: read
// from the exam history when it is first asked for and again only when the
// file has changed since, so that listing a chapter costs a look at the
// file's identity, not a query.

#include "FileIdentity.h"
#include "UsedQuestions.h"

class UsedQuestionsCache
{
public:
    // The used questions as historial.sqlite holds them now; none when it is
    // missing. *message is what to tell the teacher: a damaged history set
    // aside, or a history that cannot be read (once until reset()).
    const UsedQuestions &current(QString *message);
    // The window opens again: the next failure is told again.
    void reset();

private:
    bool m_read = false;
    bool m_failureTold = false;
    FileIdentity m_identity;
    UsedQuestions m_used;
};
