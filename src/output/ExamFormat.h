#pragma once
// The teacher's choices for the PDF of an examination: the course named in
// its header, an optional line for the institution, the date (left as a line
// to fill in when empty) and the blank answer lines after each exposition
// question. They are kept per user between runs and used by every later PDF.

#include <QString>

struct ExamFormat
{
    QString course = QStringLiteral("Marketing");
    QString institution;
    QString date;
    int answerLines = 0;

    static constexpr int kMaxAnswerLines = 30;

    // The user's saved choices, or the defaults for those never saved.
    static ExamFormat load();
    void save() const;
};
