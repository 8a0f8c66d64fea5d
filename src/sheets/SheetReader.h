#pragma once
// Reads one scanned page of an answer sheet: finds the four corner marks,
// straightens the page onto the layout (a homography), reads its QR code
// and measures every box. What it cannot read surely is never guessed: a
// page it cannot place is refused with a reason, and a box neither clearly
// empty nor clearly marked makes its question (or DNI digit) doubtful.
//
// The marking rule printed on the sheet: a cross (or a tick) marks a box; a
// box filled completely is cancelled. So a question reads as the one box
// marked; blank when no box is marked (cancelled boxes count as unmarked);
// both ('X') when both are marked; doubtful ('?') when either box is
// neither empty, marked nor filled by the measures below.

#include "SheetCode.h"
#include "SheetLayout.h"

#include <QList>
#include <QString>

#include <opencv2/core/mat.hpp>

#include <functional>
#include <optional>

namespace sheetReader {

// Pixels per millimetre of a straightened page.
constexpr int kPixelsPerMm = 6;

// What the ink in a box's inside (the box less a millimetre all round, clear
// of its printed edge) says, by the share of it that is ink (see Ink).
enum class BoxState
{
    Empty,
    Marked,
    Filled,
    Unsure
};

struct Thresholds
{
    double emptyBelow = 0.05;      // under this share: nothing written
    double markedFrom = 0.10;      // a cross or a tick covers at least this
    double faintMarkedFrom = 0.15; // … or this of the fainter level (a light pen)
    double spreadFrom = 0.5;       // … running across half the box at least
    double markedBelow = 0.78;     // … and less than this
    double filledFrom = 0.88;      // a filled box covers at least this
};

// The share of a box's inside darker than the page's ink level, and darker
// than a fainter level.
struct Ink
{
    double inked = 0;
    double faint = 0;
    double spread = 1.0;      // of the ink across the box (see inkIn)
    double faintSpread = 1.0; // of the fainter level's
};

BoxState stateOf(const Ink &ink, const Thresholds &thresholds = {});
// 'S', 'N', '-' (blank), 'X' (both marked) or '?' (doubtful).
QChar answerOf(BoxState yes, BoxState no);

struct PageReading
{
    QString refusal; // Spanish, empty when the page was read
    SheetCode code;
    int questions = 0;
    QString dni;                 // page 1: 8 characters, '?' for a digit not read surely
    QString answers;             // one character per question of this page
    QList<double> yesInk, noInk; // the share inked of each box, for the review
    cv::Mat straight;            // the page straightened, kPixelsPerMm, grey
};

// The number of questions of the exam the code names, or nullopt when the
// sheet is of another exam (the reason then in *refusal).
using ExamCheck = std::function<std::optional<int>(const SheetCode &, QString *refusal)>;

// Reads a grey (CV_8UC1) page. Thread-safe.
PageReading read(const cv::Mat &grey, const ExamCheck &check, const Thresholds &thresholds = {});

// Decodes our QR code anywhere in a grey image; nullopt when there is none.
std::optional<SheetCode> findCode(const cv::Mat &grey, bool tryHarder);

} // namespace sheetReader
