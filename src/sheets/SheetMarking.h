#pragma once
// Marking a pile of scans against one exam: every page of every scan read
// on every core (QtConcurrent), results kept in the scans' order; the pages
// of a sheet put together; a sheet scanned twice counted once and named; the
// teacher's decisions applied; each sheet graded. A sheet with a doubtful
// mark or DNI is pending until a decision settles it, never guessed.

#include "SheetCode.h"
#include "SheetReader.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// The exam as its sheets are marked against: the correct answer of every
// question in each version's order, and where that question stands in the
// teacher's order.
struct AnswerKey
{
    qint64 exam = 0;
    quint32 identifier = 0;
    QString title;
    QList<QList<bool>> answers;  // [version][number]: true for Sí
    QList<QList<int>> positions; // [version][number]: 1-based place in the teacher's order
    int questions() const { return answers.isEmpty() ? 0 : int(answers.first().size()); }
};

struct ScanPage
{
    QString file;
    int page = 0; // 0-based within the file
};

struct MarkedSheet
{
    SheetCode code; // of its first page
    QString dni;
    QString name;          // from the list of students, when given
    QString answers;       // S N - ? X, in the version's order, after the decisions
    QString read, readDni; // as read, before the decisions
    QString file;          // where its first page was found
    int page = 0;          // 1-based within that file
    int right = 0, wrong = 0, blank = 0, doubtful = 0;
    bool pending = false; // a doubtful answer or DNI digit: the sheet needs a look
    // The points and the grade wait for doubtful answers only: a DNI not
    // read leaves the sheet's owner unknown, not its points.
    bool pointsPending() const { return doubtful > 0; }
    double points = 0;
    double grade = 0;
    QList<sheetReader::PageReading> pages; // for the review
    QList<ScanPage> scanPages;
};

struct Doubt
{
    QString file;
    int page = 0;      // 1-based
    QString sheet;     // SheetCode::sheetName()
    int sheetPage = 0; // 1-based
    QString item;      // a question's number, or "dni"
};

struct Refusal
{
    QString file;
    int page = 0; // 1-based; 0 for the whole file
    QString reason;
    QString line() const;
};

struct MarkingResult
{
    QList<MarkedSheet> sheets;
    QList<Doubt> doubts;
    QList<Refusal> refusals;
    QStringList notes; // sheets scanned twice, pages missing, DNIs not on the list
    bool stopped = false;
};

using Decisions = QHash<QString, QString>; // item ("dni", "7") → value

// The exam the first sheet found in the scans names, or 0 when there is
// none; the pages read before it, none of them a sheet, are put in *refused
// with their reasons (Refusal::line()). Once `stop` is set no page more is read.
qint64 examOfScans(const QStringList &scans, QStringList *refused,
                   const std::atomic<bool> *stop = nullptr);

class SheetMarking
{
public:
    explicit SheetMarking(AnswerKey key, double penalty = 1.0);

    // Reads every page of the scans, applies the teacher's decisions (by
    // sheet name) and grades. progress(done, total) is called from the
    // calling thread as pages are done. With keepImages each sheet keeps its
    // straightened pages, for the review. Once `stop` is set, no page more is
    // read and the result is empty with `stopped` set.
    MarkingResult mark(const QStringList &scans, const QHash<QString, Decisions> &decisions,
                       bool keepImages = false, const std::function<void(int, int)> &progress = {},
                       const std::atomic<bool> *stop = nullptr) const;

    // Grades a sheet from its answers (and DNI): counts, points, grade, pending.
    void grade(MarkedSheet &sheet) const;

    const AnswerKey &key() const { return m_key; }

private:
    std::optional<int> check(const SheetCode &code, QString *refusal) const;

    AnswerKey m_key;
    double m_penalty;
};
