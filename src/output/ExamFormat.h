#pragma once
// The teacher's choices for the PDF (and the OpenDocument copy) of an
// examination: the course named in its header, an optional line for the
// institution, the date (left as a line to fill in when empty), optional
// lines for the student's DNI and group and for the instructions, the blank
// answer lines after each exposition question, and whether every version
// starts on an odd page (for a duplex copier). They are kept per user between
// runs and used by every later document.

#include <QString>

struct ExamFormat
{
    QString course = QStringLiteral("Marketing");
    QString institution;
    QString date;
    int answerLines = 0;
    bool dniLine = false;
    bool groupLine = false;
    QString instructions{};
    bool oddPageStarts = false;

    static constexpr int kMaxAnswerLines = 30;
    // The longest text of a field; the dialog says so beside it.
    static constexpr int kMaxTextLength = 250;

    // The user's saved choices, or the defaults for those never saved.
    static ExamFormat load();
    void save() const;
};
