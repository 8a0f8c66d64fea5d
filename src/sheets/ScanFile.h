#pragma once
// The pages of a scan as grey images: a PDF's pages rendered by poppler at
// 200 dots per inch, the pages of a TIFF, or a PNG or JPEG image (OpenCV).
// Pages are counted first and rendered one at a time, so that a pile of
// scans is read page by page on every core without holding it all.

#include <QByteArray>
#include <QString>

#include <opencv2/core/mat.hpp>

namespace scanFile {

constexpr double kPdfDpi = 200.0;

// Whether a file starting with `head` (its first four bytes) is a PNG, JPEG
// or TIFF image: the only images read as scans.
bool isScanImage(const QByteArray &head);

// The number of pages, or -1 when the file cannot be read as a scan (the
// reason then in *error, Spanish).
int pageCount(const QString &path, QString *error);

// Page `page` (0-based) as a CV_8UC1 image; empty when it cannot be read.
cv::Mat page(const QString &path, int page);

} // namespace scanFile
