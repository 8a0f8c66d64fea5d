#pragma once
// Scans as a copier or a phone makes them, for the tests and the accuracy
// run: a sheet page drawn by the program's own printer code, marked by a
// student with a pen (a cross, a tick, a light cross, a filled box, an
// answer corrected by filling one box and crossing the other), then moved
// the way paper moves (rotation, upside down, scale, shift, perspective)
// and degraded (blur, noise, JPEG). The distortion is the generator's own
// (OpenCV's affine and perspective warps of its own points), not the
// reader's corner finding.

#include "SheetPdf.h"

#include <QRandomGenerator>
#include <QString>

#include <opencv2/core/mat.hpp>

namespace scanGenerator {

enum class Pen
{
    Cross,
    Tick,
    LightCross,
    Corrected, // the other box filled, this one crossed
    Cancelled  // a box filled and nothing else: reads blank
};

struct Distortion
{
    double degrees = 0; // rotation (180 and more: upside down)
    double scale = 1.0;
    double shiftMm = 0;     // in x and y
    double perspective = 0; // share of the page the far corners move
    double blur = 0;        // Gaussian sigma, pixels
    double noise = 0;       // Gaussian sigma, grey levels
    int jpegQuality = 0;    // 0: no JPEG
};

struct Marked
{
    QString answers; // S, N or - per question of the page, what the student meant
    QString dni;
    cv::Mat scan; // grey
};

// Draws page `page` of sheet `serial` of version `version` at `dpi`, marks
// `answers` (S/N/-, for the page's questions) with the pens drawn from
// `random` among `pens`, writes `dni` (page 1) and distorts it.
Marked scan(const SheetSet &set, int version, int serial, int page, const QString &answers,
            const QString &dni, double dpi, const QList<Pen> &pens, const Distortion &distortion,
            QRandomGenerator &random);

// A distortion drawn at random within what office copiers and phones do.
Distortion randomDistortion(QRandomGenerator &random);

} // namespace scanGenerator
