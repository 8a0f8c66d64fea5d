#pragma once
// One marking of a pile of answer-sheet scans against an exam of the
// history, whoever drives it (the marking window, orvalis-banco corregir):
// the exam found, its answer key, the pile read, the sheets stored, the
// teacher's decisions kept and applied, the grades and the figures. No
// widget and no command line: Qt Core, the sheet reader and the history.
//
//   scans ── findExam() ──▶ the exam the first sheet's code names (or the
//       teacher's choice); the pages before it, none a sheet, refused
//   history (open) + exam ── open() ──▶ a session: the exam, its key
//       (answerKey::of, one version after another) and the decisions the
//       history keeps for its sheets
//   addDecisions(file's)   the decisions of a file over the kept ones
//   setStudents(list)      DNI → name, for the names, the DNIs not on the
//                          list and the students with no sheet
//   mark(scans) ──▶ every page read once, on every core; sheets, doubts,
//       refusals, notes; each sheet graded (marks::grade)
//   record(history) ──▶ the sheets as read and the decisions about them,
//       in one change; nothing before the marking is whole
//   decide(history, sheet, item, value) ──▶ kept in the history first,
//       then applied and the sheet graded again
//   setPenalty(p) ──▶ every sheet graded again; nothing is read again
//   figures(history) ──▶ the exam's figures over its settled sheets
//
// open() reads the history on the calling thread; a session may then be
// moved to another thread (the marking window marks off its own thread and
// records on its own).

#include "ExamHistory.h"
#include "ItemAnalysis.h"
#include "QuestionAnswers.h"
#include "SheetMarking.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

namespace answerKey {

// The key of `exam` (a true/false exam of the history) with the identifier
// its sheets carry: each version's answers in that version's order (by
// questionAnswers::of, `bank` for an exam recorded before the history kept
// answers) and each question's place in the teacher's order. nullopt with
// the reason (Spanish) for an exposition exam or one with a question whose
// answer is not known; *bankError, when the bank could not be read.
std::optional<AnswerKey> of(const HistoryExam &exam, quint32 identifier, const AnswerOf &bank,
                            QString *error, const QString *bankError = nullptr);

} // namespace answerKey

namespace decisionsFile {

// The teacher's decisions as a file of lines "hoja;pregunta;respuesta"
// gives them ("12-7F2A91C4-B-003;7;S", the answer as S, N, - or the words
// the grades and the window use: Sí, No, en blanco; or "…;dni;12345678"),
// a heading line "hoja;…" and empty lines skipped; by sheet name. nullopt,
// with *wrong the 1-based number of the first line that is none of these,
// for a question outside 1…questions or a DNI that is not one.
std::optional<QHash<QString, Decisions>> parse(const QStringList &lines, int questions, int *wrong);

} // namespace decisionsFile

class MarkingSession
{
public:
    enum class Failure
    {
        None,
        Unreadable, // the history could not be read
        NoSuchExam,
        Exposition,
        NoKey // an answer not known, or the bank not readable
    };

    // The exam `number` of the history (opened by the caller) with its key
    // (the bank of `folder` for answers the history did not keep) and the
    // decisions kept for its sheets; nullopt with *failure and *reason
    // (Spanish, without the exam's number) otherwise.
    static std::optional<MarkingSession> open(ExamHistory &history, qint64 number,
                                              const QString &folder, double penalty,
                                              Failure *failure, QString *reason);

    // The teacher's decisions by sheet name, over those kept (a file's).
    void addDecisions(const QHash<QString, Decisions> &decisions);
    // The class list: DNI → name. An empty list names no one. Given after
    // the marking, it names the sheets marked at once.
    void setStudents(const QHash<QString, QString> &students);
    // Whether a sheet's DNI, read or decided, is missing from a class list.
    bool offList(const MarkedSheet &sheet) const;

    // Reads the pile (see SheetMarking::mark) and names each sheet's
    // student. Once `stop` is set the result is empty and stopped.
    const MarkingResult &mark(const QStringList &scans, SheetMarking::Images images,
                              const std::function<void(int, int)> &progress = {},
                              const std::atomic<bool> *stop = nullptr,
                              const PileStart *start = nullptr);

    // Stores the sheets as read and the decisions about them in one change;
    // the error (Spanish) when it could not.
    QString record(ExamHistory &history) const;

    // The teacher's word about `item` ("dni", or a question's number from 1
    // in the version's order) of sheet `sheet` (its index in the result):
    // kept in the history, then applied and the sheet graded again; the
    // error (Spanish) and nothing changed when it could not be kept. A null
    // history keeps nothing and refuses.
    QString decide(ExamHistory *history, int sheet, const QString &item, const QString &value);

    // Grades every sheet again with `penalty`; nothing is read again.
    void setPenalty(double penalty);
    double penalty() const { return m_penalty; }

    // The figures of the exam over its settled sheets as the history holds
    // them, and the sheets left out until decided; nullopt when there is
    // none to work out.
    std::optional<ExamFigures> figures(ExamHistory &history, int *pending) const;

    const HistoryExam &exam() const { return m_exam; }
    const AnswerKey &key() const { return m_key; }
    const MarkingResult &result() const { return m_result; }
    const QHash<QString, QString> &students() const { return m_students; }
    // The students on the list with no sheet among those marked: "DNI nombre".
    QStringList absent() const;
    int pendingSheets() const;

private:
    MarkingSession(HistoryExam exam, AnswerKey key, double penalty);
    void nameStudents();

    HistoryExam m_exam;
    AnswerKey m_key;
    double m_penalty = 1.0;
    QHash<QString, Decisions> m_decisions;
    QHash<QString, QString> m_students;
    MarkingResult m_result;
    QStringList m_readingNotes; // the notes of the reading, before those of the list
};
