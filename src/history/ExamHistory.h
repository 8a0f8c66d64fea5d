#pragma once
// The exam history: every exam that left the output window, kept in
// historial.sqlite beside the bank files, so that programs sharing a bank
// share its history. It is a SQLite database in rollback-journal mode (a
// network folder has no shared memory for a write-ahead log), written one
// exam per transaction under a lock beside it taken like the bank's. A file
// SQLite finds damaged is set aside under a new name, under that lock, and a
// new history is started; nothing is ever deleted.
//
// Our databases carry an application id of their own (kApplicationId),
// set when they are created; a SQLite file that is not ours (another id, or
// none with tables of another program) is refused, never adopted. Reading
// (Access::ReadOnly) opens the file read-only and changes nothing, whatever
// state it is in.
//
// Questions are kept as the exam held them (kind, chapter, topic, text, and
// the answer of a true/false question): records carry no identity and are
// renumbered by deletions, so a question is known later by its kind and
// text. Kept in the selection's order with the seed and the number of
// versions, they are enough to rebuild the order of every version printed.
//
// The schema carries its version in PRAGMA user_version. A history of an
// earlier version is brought up to this program's in place, step by step, in
// one transaction under the lock; one of a later version is refused.
//
// Failures are Spanish reasons fit to follow "No se ha podido ...: ".

#include "ExamDescription.h"
#include "QuestionKind.h"
#include "UsedQuestions.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>
#include <optional>

struct HistoryQuestion
{
    QuestionKind kind = QuestionKind::TrueFalse;
    qint16 chapter = 0;
    qint16 topic = 0; // true/false questions only
    QString text;
    // True/false questions: whether "Sí" is correct; unknown for exposition
    // questions and for those recorded before histories kept answers.
    std::optional<bool> answer;

    bool operator==(const HistoryQuestion &) const = default;
};

struct HistoryExam
{
    qint64 id = 0; // its number in the history; 0 until recorded
    QDateTime madeAt;
    bool exposition = false;
    QString title;
    int versions = 1;
    quint32 seed = 0; // with versions above 1
    QList<HistoryQuestion> questions;
    int questionCount = 0; // what a listing of exams gives instead of the questions

    // The exam's questions in order, the versions and their seed; no date,
    // title or number yet.
    static HistoryExam from(const ExamDescription &exam);
    // For each version (A first), the positions in `questions` of the
    // questions in the order that version printed them.
    QList<QList<qsizetype>> versionOrders() const;
    // "tipo test" or "exposición".
    QString kindName() const;
    // "Examen del 07/12/2026".
    static QString defaultTitle(const QDateTime &madeAt);
};

class ExamHistory
{
public:
    static inline const QString kFileName = QStringLiteral("historial.sqlite");
    // PRAGMA application_id of our histories: "ORVL".
    static constexpr qint32 kApplicationId = 0x4F52564C;
    // PRAGMA user_version of the histories this program writes.
    static constexpr int kSchemaVersion = 3;

    enum class Access
    {
        ReadOnly, // a missing or empty history reads as empty; nothing is written
        ReadWrite // created when missing, its schema made, a damaged one set aside
    };

    explicit ExamHistory(const QString &path = kFileName);
    ~ExamHistory();
    ExamHistory(const ExamHistory &) = delete;
    ExamHistory &operator=(const ExamHistory &) = delete;

    // Opens the history. Empty, or the reason.
    QString open(Access access = Access::ReadWrite);
    bool exists() const;
    // What open() did with a damaged file, to be told once; empty otherwise.
    QString takeSetAsideNote();

    // Writes the exam as a new entry when its id is 0 or no longer in the
    // history (and sets the id), or over the entry with its id. Empty, or
    // the reason; on failure the history is as it was.
    QString record(HistoryExam &exam);
    QString rename(qint64 id, const QString &title);

    // The exams, oldest first, with their question counts but not the
    // questions.
    QList<HistoryExam> exams(QString *error) const;
    // One exam with its questions; nullopt (and no error) when there is none.
    std::optional<HistoryExam> exam(qint64 id, QString *error) const;
    UsedQuestions usedQuestions(QString *error) const;

    // For the records kept beside the exams (SheetRecords): the open
    // connection, and one change made in a transaction under the history's
    // lock, rolled back when `work` gives a reason.
    QSqlDatabase database() const;
    QString change(const std::function<QString(QSqlDatabase &)> &work);
    // SQLite's error in Spanish; a reader's (readOnly) "read-only" is a change
    // left half made that it cannot roll back.
    static QString reasonOfError(const QSqlError &error, bool readOnly = false);

private:
    QString connect();
    QString quickCheck();
    QString prepareSchema();
    QString upgradeSchema();
    bool emptyBesideLog() const;
    bool damagedNow();
    QString setAside();
    QString underLock(const std::function<QString()> &change);

    QString m_path;
    QString m_connection;
    QString m_setAsideNote;
    bool m_open = false;
    bool m_readOnly = false;
    bool m_empty = false; // a read-only history without our tables yet
    int m_version = 0;    // the schema version of the history as opened
};
