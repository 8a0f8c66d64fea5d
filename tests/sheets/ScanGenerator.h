#pragma once
// Scans and photos as copiers and phones make them, for the tests and the
// accuracy run: a sheet page drawn by the program's own printer code, marked
// by a student's hand (one pen for the sheet: ballpoint, felt tip or pencil,
// black, blue or red) the ways students mark (crosses and ticks, bold ones
// past the box, small ones, strokes from outside, corrections, boxes filled
// neatly or in a hurry, erased marks), with a name and handwritten digits
// on it and stray ink around, then moved the way paper moves (rotation by
// any quarter turn and a little, scale, shift, perspective), lit the way
// rooms light it (light falling off, a shadow, grey paper, a desk around
// it) and degraded (blur, noise, JPEG). The distortion is the generator's
// own (OpenCV's warps of its own points), not the reader's corner finding.

#include "SheetPdf.h"

#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <QString>

#include <opencv2/core/mat.hpp>

namespace scanGenerator {

// How a question's answer is marked. The first six are clear marks, which a
// reader must read as meant; the rest may be left doubtful, never misread.
enum class Pen
{
    Cross,
    Tick,
    BoldCross,     // felt tip, past the box's edges
    SmallCross,    // half the box
    OutsideStroke, // strokes starting well outside the box
    Corrected,     // the other box filled, this one crossed
    LightCross,    // barely pressed, a light pen
    Cancelled,     // a box filled and nothing else: reads blank
    HurriedFill,   // the other box filled in a hurry, this one crossed
    Erased         // the other box's cross erased; with no answer, the only cross erased
};
constexpr int kPens = 10;

// The student's hand, the same for the whole sheet.
struct Hand
{
    int ink = 30;       // grey level of the pen on white paper
    int hue = 0;        // 0 black, 1 blue, 2 red
    double width = 0.4; // millimetres
};

struct Distortion
{
    double degrees = 0; // rotation (90, 180, 270 and more: turned)
    double scale = 1.0;
    double shiftMm = 0;      // in x and y
    double perspective = 0;  // share of the page the far corners move
    double blur = 0;         // Gaussian sigma, pixels
    double noise = 0;        // Gaussian sigma, grey levels
    int jpegQuality = 0;     // 0: no JPEG
    double pageShare = 0;    // a photo: the page's share of the frame's longer side (0: a scan)
    double lightFalloff = 0; // how much darker the far side of the page is (0 to 1)
    double shadow = 0;       // depth of a soft shadow across part of the page (0 to 1)
    int paper = 245;         // the paper's grey
    bool colour = false;     // captured in colour (read as the program reads it, in grey)
    int coveredCorner = -1;  // a corner mark covered (0 top left … 3 bottom left)
    double curlMm = 0;       // a page not lying flat: its middle moved this far, smoothly
};

struct Marked
{
    QString answers; // S, N or - per question of the page, what the student meant
    QList<Pen> pens; // how each was marked
    QString dni;
    cv::Mat scan; // grey
};

// Draws page `page` of sheet `serial` of version `version` in the set's
// layout at `dpi`, marks
// `answers` (S/N/-, for the page's questions) in `hand` with the pens `odd`
// gives (by question of the page) and the rest drawn from `random` among
// `pens`, writes `dni` (page 1), a name and handwritten
// digits, and with `strayInk` doodles around, and distorts it.
Marked scan(const SheetSet &set, int version, int serial, int page, const QString &answers,
            const QString &dni, double dpi, const QList<Pen> &pens, const Hand &hand,
            const Distortion &distortion, bool strayInk, QRandomGenerator &random,
            const QMap<int, Pen> &odd = {});

// The kinds of capture the accuracy run draws from.
enum class Capture
{
    Scan,
    Copier,
    UpsideDown,
    Turned,      // a quarter turn or three, and a little
    Phone,       // the page filling the frame, light falling off, a shadow
    PhoneOnDesk, // the page on a desk, half the frame or more, in perspective
    Colour,      // a colour capture of a colour pen
    CoveredCorner
};
constexpr int kCaptures = 8;

Distortion distortionFor(Capture capture, QRandomGenerator &random);
Hand randomHand(QRandomGenerator &random, bool colour);

} // namespace scanGenerator
