#pragma once
// Reads one scanned or photographed page of an answer sheet: the page found
// and straightened by PageFinder, its code checked against the exam, every
// printed box lined up with where it really lies, and judges the ink
// in each box against the paper right around it. What it cannot read surely
// is never guessed: a page it cannot place is refused with a reason, and a
// box neither clearly empty nor clearly marked makes its question (or DNI
// digit) doubtful.
//
// The marking rule printed on the sheet: a cross (or a tick) marks a box; a
// box filled completely is cancelled. A question is read from its two boxes
// together: the one box marked; blank when none is (cancelled boxes count as
// unmarked); both ('X') when both are; doubtful ('?') when either box is
// neither empty, marked nor filled. A faint trace far lighter than the
// student's pen on the rest of the page (an erasure, a smudge) is no mark:
// beside a clear mark in the other box it is ignored, alone it is doubtful.

#include "PageFinder.h"
#include "SheetCode.h"
#include "SheetLayout.h"

#include <QByteArray>
#include <QString>

#include <opencv2/core/mat.hpp>

#include <functional>
#include <optional>

namespace sheetReader {

using pageFinder::findCode;
using pageFinder::kPixelsPerMm;

enum class BoxState
{
    Empty,
    Faint, // a trace much lighter than the page's pen: an erasure or a smudge
    Marked,
    Filled,
    Unsure
};

// What the ink inside a box (clear of its printed edge) looks like. Shares
// are of the inside's area; darkness is 1 - grey / paper, the paper being
// the paper right around the box.
struct Ink
{
    double inked = 0;       // share darker than the page's ink level
    double faint = 0;       // share darker than the faint level
    double centre = 0;      // share of the middle quarter that is inked
    double spread = 0;      // the smaller of the inked extent's width and height, as a share
    double peak = 0;        // darkness of the darkest part, as a share of the page's pen
    int clearSides = 4;     // how many of the middles of the four sides are clear of ink
    int strokes = 0;        // the most separate strokes a line across the box meets
    double faintSpread = 1; // as spread, of the faint level's ink
};

BoxState stateOf(const Ink &ink);
// 'S', 'N', '-' (blank), 'X' (both marked) or '?' (doubtful).
QChar answerOf(BoxState yes, BoxState no);

struct PageReading
{
    QString refusal; // Spanish, empty when the page was read
    QString note;    // Spanish, what a person checking the page should know (three corners)
    SheetCode code;
    int questions = 0;
    QString dni;       // page 1: 8 characters, '?' for a digit not read surely
    QString answers;   // one character per question of this page
    cv::Mat straight;  // the page straightened, kPixelsPerMm, grey
    QByteArray packed; // or that page's pixels compressed (see SheetMarking::Images)
};

// The number of questions of the exam the code names, or nullopt when the
// sheet is of another exam (the reason then in *refusal).
using ExamCheck = std::function<std::optional<int>(const SheetCode &, QString *refusal)>;

// Reads a grey (CV_8UC1) page. Thread-safe.
PageReading read(const cv::Mat &grey, const ExamCheck &check);

} // namespace sheetReader
