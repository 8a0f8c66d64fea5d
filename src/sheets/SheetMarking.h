#pragma once
// Marking a pile of scans against one exam: every page of every scan read
// on every core (QtConcurrent), results kept in the scans' order; the pages
// of a sheet put together; a sheet scanned twice counted once and named; the
// teacher's decisions applied; each sheet graded. A sheet with a doubtful
// mark or DNI is pending until a decision settles it, never guessed.

#include "Marks.h"
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

// Page `page` (0-based) of a marked sheet, straightened: as the marking
// kept it (whole or compressed), or read again from its scan; empty for a page
// not scanned.
cv::Mat markedPage(const MarkedSheet &sheet, int page, int questions);

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

// Where the exam of a pile was found: the first sheet in the scans, the
// pages before it (none of them a sheet) refused with their reasons, and
// that sheet's page as decoded, so the marking does not decode it again.
struct PileStart
{
    qint64 exam = 0; // 0: no sheet in the scans
    QList<Refusal> refused;
    ScanPage found;
    cv::Mat page;
};

// The exam the first sheet found in the scans names. Once `stop` is set no
// page more is read.
PileStart examOfScans(const QStringList &scans, const std::atomic<bool> *stop = nullptr);

class SheetMarking
{
public:
    explicit SheetMarking(AnswerKey key, double penalty = 1.0);

    // What each sheet keeps of its straightened pages, for the crops of its
    // doubtful marks and the review: nothing, the images, or images within
    // kKeptBytes for the whole pile. Within that bound the first pages are
    // kept as they are while they fill no more than half of it (about a
    // hundred pages); the later ones are compressed with zlib at its fastest
    // (a tenth of the memory for a clean scan, half for a phone's photo),
    // which costs a few milliseconds a page where a PNG costs 20 to 50; and
    // beyond the bound pages are not kept and are read again from their scans.
    enum class Images
    {
        None,
        Whole,
        Bounded
    };
    static constexpr qint64 kKeptBytes = 512LL * 1024 * 1024;
    // Another bound for Images::Bounded.
    void keepWithin(qint64 bytes) { m_keptBytes = bytes; }

    // Reads every page of the scans, applies the teacher's decisions (by
    // sheet name) and grades. progress(done, total) is called from the
    // calling thread as pages are done. `start`, when given, is where
    // examOfScans() found the exam: its pages are not decoded again. Once
    // `stop` is set, no page more is read and the result is empty with
    // `stopped` set.
    MarkingResult mark(const QStringList &scans, const QHash<QString, Decisions> &decisions,
                       Images images = Images::None,
                       const std::function<void(int, int)> &progress = {},
                       const std::atomic<bool> *stop = nullptr,
                       const PileStart *start = nullptr) const;

    // Grades a sheet from its answers (and DNI): counts, points, grade, pending.
    void grade(MarkedSheet &sheet) const;

    const AnswerKey &key() const { return m_key; }

private:
    std::optional<int> check(const SheetCode &code, QString *refusal) const;

    AnswerKey m_key;
    double m_penalty;
    qint64 m_keptBytes = kKeptBytes;
};
