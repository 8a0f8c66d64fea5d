#include "SheetReader.h"

#include <opencv2/imgproc.hpp>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <array>

namespace sheetReader {

namespace {

// Corner marks are sought on a copy whose longer side is this many pixels.
constexpr double kSearchSide = 1400.0;

const QString kNotASheet = QStringLiteral("no es una hoja de respuestas");

cv::Rect pixels(const QRectF &mm, double insetMm = 0.0)
{
    const QRectF r = mm.adjusted(insetMm, insetMm, -insetMm, -insetMm);
    return cv::Rect(int(std::lround(r.x() * kPixelsPerMm)), int(std::lround(r.y() * kPixelsPerMm)),
                    int(std::lround(r.width() * kPixelsPerMm)),
                    int(std::lround(r.height() * kPixelsPerMm)));
}

// Centres (in the image's pixels) of every shape that looks like a corner
// mark: a square holding a square hole holding a square, of the size a mark
// has when the page fills the image within a fifth.
std::vector<cv::Point2f> markCandidates(const cv::Mat &grey)
{
    const double scale = kSearchSide / std::max(grey.cols, grey.rows);
    cv::Mat small, binary;
    cv::resize(grey, small, cv::Size(), scale, scale, cv::INTER_AREA);
    cv::threshold(small, binary, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
    std::vector<std::vector<cv::Point>> contours;
    std::vector<cv::Vec4i> hierarchy;
    cv::findContours(binary, contours, hierarchy, cv::RETR_TREE, cv::CHAIN_APPROX_SIMPLE);
    const double side = SheetLayout::kMarkSize * kSearchSide / SheetLayout::kPageHeight;
    const auto largestChild = [&](int parent) {
        int best = -1;
        double bestArea = 0;
        for (int child = hierarchy[parent][2]; child >= 0; child = hierarchy[child][0])
            if (const double area = cv::contourArea(contours[child]); area > bestArea)
                best = child, bestArea = area;
        return best;
    };
    std::vector<cv::Point2f> centres;
    for (size_t i = 0; i < contours.size(); ++i) {
        const double outer = cv::contourArea(contours[i]);
        if (outer < 0.55 * side * side || outer > 1.7 * side * side)
            continue;
        const int hole = largestChild(int(i));
        const int core = hole < 0 ? -1 : largestChild(hole);
        if (core < 0)
            continue;
        const double holeShare = cv::contourArea(contours[hole]) / outer;
        const double coreShare = cv::contourArea(contours[core]) / outer;
        if (holeShare < 0.22 || holeShare > 0.50 || coreShare < 0.03 || coreShare > 0.16)
            continue;
        const cv::RotatedRect box = cv::minAreaRect(contours[i]);
        if (box.size.width < 0.8 * box.size.height || box.size.height < 0.8 * box.size.width ||
            outer < 0.85 * box.size.area())
            continue;
        const cv::Moments moments = cv::moments(contours[i]);
        centres.emplace_back(float(moments.m10 / moments.m00 / scale),
                             float(moments.m01 / moments.m00 / scale));
    }
    return centres;
}

// The mark nearest each corner of the image (top left, top right, bottom
// right, bottom left), each in its own quarter; nullopt if one is missing.
std::optional<std::array<cv::Point2f, 4>> cornerMarks(const std::vector<cv::Point2f> &candidates,
                                                      const cv::Size &size)
{
    const std::array<cv::Point2f, 4> corners{cv::Point2f(0, 0), cv::Point2f(float(size.width), 0),
                                             cv::Point2f(float(size.width), float(size.height)),
                                             cv::Point2f(0, float(size.height))};
    std::array<cv::Point2f, 4> found;
    for (int c = 0; c < 4; ++c) {
        double best = -1;
        for (const cv::Point2f &candidate : candidates) {
            const bool right = candidate.x > size.width / 2.0,
                       bottom = candidate.y > size.height / 2.0;
            if (right != (c == 1 || c == 2) || bottom != (c >= 2))
                continue;
            const double distance = cv::norm(candidate - corners[c]);
            if (best < 0 || distance < best)
                best = distance, found[c] = candidate;
        }
        if (best < 0)
            return std::nullopt;
    }
    return found;
}

// Whether four points are the marks of a page: their quadrilateral has the
// sides of the layout's, within a tenth, in either orientation.
bool pageShaped(const std::array<cv::Point2f, 4> &marks)
{
    const double top = cv::norm(marks[1] - marks[0]), bottom = cv::norm(marks[2] - marks[3]);
    const double left = cv::norm(marks[3] - marks[0]), right = cv::norm(marks[2] - marks[1]);
    const double expected = (SheetLayout::kPageWidth - 24.0) / (SheetLayout::kPageHeight - 24.0);
    const double ratio = (top + bottom) / (left + right);
    return std::abs(top - bottom) < 0.1 * top && std::abs(left - right) < 0.1 * left &&
           std::abs(ratio - expected) < 0.1 * expected;
}

std::optional<SheetCode> decode(const cv::Mat &grey, bool tryHarder)
{
    cv::Mat continuous = grey.isContinuous() ? grey : grey.clone();
    const ZXing::ImageView view(continuous.data, continuous.cols, continuous.rows,
                                ZXing::ImageFormat::Lum);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(tryHarder);
    hints.setTryRotate(tryHarder);
    hints.setMaxNumberOfSymbols(1);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return std::nullopt;
    return SheetCode::parse(QString::fromStdString(result.text()));
}

struct Levels
{
    int ink = 0, faint = 0;
};

// The share of the box's inside that is ink, and how far the ink spreads
// across it (the smaller of the widths and heights it spans, as a share of
// the inside's): a cross or a tick runs across the box, a dot does not.
Ink inkIn(const cv::Mat &straight, const QRectF &box, const Levels &levels)
{
    const cv::Mat inside = straight(pixels(box, 1.0));
    const auto spread = [&inside](const cv::Mat &mask) {
        std::vector<cv::Point> points;
        cv::findNonZero(mask, points);
        if (points.empty())
            return 0.0;
        const cv::Rect extent = cv::boundingRect(points);
        return std::min(double(extent.width) / inside.cols, double(extent.height) / inside.rows);
    };
    cv::Mat dark;
    Ink ink;
    cv::threshold(inside, dark, levels.ink, 255, cv::THRESH_BINARY_INV);
    ink.inked = double(cv::countNonZero(dark)) / double(dark.total());
    ink.spread = spread(dark);
    cv::threshold(inside, dark, levels.faint, 255, cv::THRESH_BINARY_INV);
    ink.faint = double(cv::countNonZero(dark)) / double(dark.total());
    // Lone specks of noise are not a faint stroke.
    cv::morphologyEx(dark, dark, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, {2, 2}));
    ink.faintSpread = spread(dark);
    return ink;
}

} // namespace

BoxState stateOf(const Ink &ink, const Thresholds &t)
{
    if (ink.inked < t.emptyBelow && ink.faint < t.emptyBelow)
        return BoxState::Empty;
    // A light pen's cross is a cross in the fainter level.
    const bool stroke = (ink.inked >= t.markedFrom && ink.spread >= t.spreadFrom) ||
                        (ink.faint >= t.faintMarkedFrom && ink.faintSpread >= t.spreadFrom);
    if (stroke && ink.inked < t.markedBelow && ink.faint < t.filledFrom)
        return BoxState::Marked;
    if (ink.inked >= t.filledFrom)
        return BoxState::Filled;
    return BoxState::Unsure;
}

QChar answerOf(BoxState yes, BoxState no)
{
    if (yes == BoxState::Unsure || no == BoxState::Unsure)
        return u'?';
    const bool yesMarked = yes == BoxState::Marked, noMarked = no == BoxState::Marked;
    if (yesMarked && noMarked)
        return u'X';
    return yesMarked ? u'S' : noMarked ? u'N' : u'-';
}

std::optional<SheetCode> findCode(const cv::Mat &grey, bool tryHarder)
{
    return decode(grey, tryHarder);
}

PageReading read(const cv::Mat &grey, const ExamCheck &check, const Thresholds &thresholds)
{
    PageReading reading;
    if (grey.empty() || grey.type() != CV_8UC1 || grey.cols < 200 || grey.rows < 200) {
        reading.refusal = kNotASheet;
        return reading;
    }
    const std::optional<std::array<cv::Point2f, 4>> marks =
        cornerMarks(markCandidates(grey), grey.size());
    if (!marks || !pageShaped(*marks)) {
        // A code of ours anywhere on it makes it a sheet with a corner
        // missing or covered; without one it is no sheet of ours.
        cv::Mat small;
        const double scale = std::min(1.0, 1600.0 / std::max(grey.cols, grey.rows));
        cv::resize(grey, small, cv::Size(), scale, scale, cv::INTER_AREA);
        reading.refusal =
            decode(small, true) ? QStringLiteral("falta una esquina o está tapada") : kNotASheet;
        return reading;
    }
    std::array<cv::Point2f, 4> target;
    const QList<QPointF> centres = SheetLayout::markCentres();
    for (int c = 0; c < 4; ++c)
        target[c] =
            cv::Point2f(float(centres[c].x() * kPixelsPerMm), float(centres[c].y() * kPixelsPerMm));
    const cv::Mat homography = cv::getPerspectiveTransform(marks->data(), target.data());
    const cv::Size pageSize(int(SheetLayout::kPageWidth * kPixelsPerMm),
                            int(SheetLayout::kPageHeight * kPixelsPerMm));
    cv::warpPerspective(grey, reading.straight, homography, pageSize, cv::INTER_LINEAR,
                        cv::BORDER_CONSTANT, cv::Scalar(255));

    // Upside down, the code is where the layout has nothing: the page is
    // turned round when the code is not found where it belongs.
    const cv::Rect qr = pixels(SheetLayout::qrArea().adjusted(-6, -6, 6, 6));
    std::optional<SheetCode> code = decode(reading.straight(qr), false);
    if (!code) {
        cv::rotate(reading.straight, reading.straight, cv::ROTATE_180);
        code = decode(reading.straight(qr), true);
    }
    if (!code) {
        reading.refusal = QStringLiteral("no se puede leer el código QR");
        return reading;
    }
    reading.code = *code;
    if (code->layout != SheetLayout::kLayoutVersion) {
        reading.refusal = QStringLiteral("es una hoja de otra versión del programa");
        return reading;
    }
    const std::optional<int> questions = check(*code, &reading.refusal);
    if (!questions)
        return reading;
    const SheetLayout layout(*questions);
    if (layout.pages() != code->pages) {
        reading.refusal = QStringLiteral("es una hoja de otro examen");
        return reading;
    }
    reading.questions = *questions;

    // Ink is what lies a fifth of the way from the paper (the page's median)
    // down to the printed black (the marks' cores) or darker; a box is only
    // empty when it holds next to nothing even a tenth of the way down, so
    // that a faint mark is doubtful, never blank.
    const int histogramSize = 256;
    const float range[] = {0, 256};
    const float *ranges[] = {range};
    cv::Mat histogram;
    const int channels[] = {0};
    cv::calcHist(&reading.straight, 1, channels, cv::Mat(), histogram, 1, &histogramSize, ranges);
    double count = 0, paper = 255;
    for (int level = 0; level < 256; ++level)
        if ((count += histogram.at<float>(level)) >= reading.straight.total() / 2.0) {
            paper = level;
            break;
        }
    double ink = 0;
    for (const QPointF &centre : centres)
        ink += cv::mean(reading.straight(pixels(QRectF(centre.x() - 1, centre.y() - 1, 2, 2))))[0];
    ink /= 4;
    if (paper - ink < 60) {
        reading.refusal = QStringLiteral("la imagen no tiene contraste bastante para leerla");
        return reading;
    }
    const Levels levels{int(paper - (paper - ink) / 5.0), int(paper - (paper - ink) / 10.0)};

    if (code->page == 0)
        for (int column = 0; column < SheetLayout::kDniDigits; ++column) {
            int marked = 0, digit = -1;
            bool unsure = false;
            for (int d = 0; d < 10; ++d) {
                const BoxState state = stateOf(
                    inkIn(reading.straight, SheetLayout::dniBox(column, d), levels), thresholds);
                unsure = unsure || state == BoxState::Unsure;
                if (state == BoxState::Marked)
                    ++marked, digit = d;
            }
            reading.dni += !unsure && marked == 1 ? QChar(u'0' + digit) : QChar(u'?');
        }
    const SheetLayout::PageQuestions on = layout.pageQuestions(code->page);
    for (int q = on.first; q < on.first + on.count; ++q) {
        const Ink yes = inkIn(reading.straight, layout.answerBox(q, true), levels);
        const Ink no = inkIn(reading.straight, layout.answerBox(q, false), levels);
        reading.yesInk.append(yes.inked);
        reading.noInk.append(no.inked);
        reading.answers += answerOf(stateOf(yes, thresholds), stateOf(no, thresholds));
    }
    return reading;
}

} // namespace sheetReader
