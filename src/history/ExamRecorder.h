#pragma once
// What the output window records in the exam history. One visit to the
// output window is one exam: whatever is sent during it (clipboard, printer,
// file, PDF, in any number of versions) updates the entry the first sending
// made. The same questions sent again in a later visit (the answer template
// of the exam just printed, or the exam once more) update that entry too,
// rather than counting as another exam.
//
// The history never stops an exam from going out: every function returns the
// message to show, empty when there is none, and a failure is told once a
// visit.

#include "ExamHistory.h"

class ExamRecorder
{
public:
    // A visit to the output window begins.
    void begin();
    // Records `exam` as it leaves the output window.
    QString sent(const ExamDescription &exam);
    // The title the visit's exam has in the history, or will be given.
    QString title() const;
    // Gives the visit's exam a new title, now if it is recorded already.
    QString rename(const QString &title);
    // The number in the history of the exam recorded last; 0 before.
    qint64 id() const { return m_entry.id; }

private:
    HistoryExam m_entry; // the exam recorded last
    bool m_recordedThisVisit = false;
    bool m_failureTold = false;
    QString m_title; // chosen in this visit before the exam was recorded
};
