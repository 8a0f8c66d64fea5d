#pragma once
// Finds an answer sheet's page in a scan or a photo and straightens it onto
// the layout: the corner marks sought at any size on any background (a desk,
// a shadow), the set of four that frames a page in the layout's proportions
// (or three and the QR code, when a corner is covered or cut off), any
// quarter turn told by where the code stands. A page it cannot place is
// refused with a reason, in Spanish; the marks on it are read by
// SheetReader.

#include "SheetCode.h"

#include <QRectF>
#include <QString>

#include <opencv2/core/mat.hpp>

#include <optional>

namespace pageFinder {

// Pixels per millimetre of a straightened page.
constexpr int kPixelsPerMm = 6;

struct Found
{
    QString refusal;  // empty when the page was found
    QString note;     // "leída con tres esquinas…" when three marks and the code placed it
    SheetCode code;   // read from its QR code
    cv::Mat straight; // the page straightened, kPixelsPerMm, grey
};

// Finds the page in a grey (CV_8UC1) picture. Thread-safe.
Found find(const cv::Mat &grey);

// Decodes our QR code anywhere in a grey image; nullopt when there is none.
std::optional<SheetCode> findCode(const cv::Mat &grey, bool tryHarder);

// A rectangle of the layout, in millimetres, in a straightened page's pixels.
cv::Rect pixels(const QRectF &mm, double insetMm = 0.0);

} // namespace pageFinder
