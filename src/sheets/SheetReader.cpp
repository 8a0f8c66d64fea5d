#include "SheetReader.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>

namespace sheetReader {

using pageFinder::pixels;

namespace {

// How far (in straightened pixels) a printed box is sought around the place
// the corner marks give it: a phone's lens and a curled page move it a little.
constexpr int kSearch = 8;

const cv::Size kPageSize(int(SheetLayout::kPageWidth *kPixelsPerMm),
                         int(SheetLayout::kPageHeight *kPixelsPerMm));

// The paper's own brightness all over the straightened page, a pixel a
// millimetre: the brightest of the neighbourhood, so that no pen mark or box
// (none is wider than this) darkens it, while a shadow or grey paper does.
cv::Mat paperOf(const cv::Mat &straight)
{
    cv::Mat small, paper;
    cv::resize(straight, small,
               cv::Size(int(SheetLayout::kPageWidth), int(SheetLayout::kPageHeight)), 0, 0,
               cv::INTER_AREA);
    cv::morphologyEx(small, paper, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, cv::Size(9, 9)));
    cv::blur(paper, paper, cv::Size(3, 3));
    return paper;
}

double paperAt(const cv::Mat &paper, const QRectF &mm)
{
    const int x = std::clamp(int(mm.center().x()), 0, paper.cols - 1);
    const int y = std::clamp(int(mm.center().y()), 0, paper.rows - 1);
    return std::max(1.0, double(paper.at<uchar>(y, x)));
}

// Lines the printed boxes up with the picture. Each box is sought within
// kSearch pixels of where the marks put it, as the offset at which its
// printed edge is darkest against the paper beside it; a smooth correction
// (second degree in x and y) is fitted to the offsets of the boxes found
// surely, so that one box's mark cannot pull it astray.
class Registration
{
public:
    Registration(const cv::Mat &straight, const cv::Mat &paper, const QList<QRectF> &boxes)
    {
        cv::integral(straight, m_sum, CV_32S);
        std::vector<cv::Point2f> places;
        std::vector<cv::Point2f> offsets;
        for (const QRectF &box : boxes) {
            const cv::Rect r = pixels(box);
            double best = 0;
            cv::Point2f bestOffset;
            for (int dy = -kSearch; dy <= kSearch; ++dy)
                for (int dx = -kSearch; dx <= kSearch; ++dx)
                    if (const double score = edgeScore(r + cv::Point(dx, dy)); score > best)
                        best = score, bestOffset = cv::Point2f(float(dx), float(dy));
            if (best / paperAt(paper, box) >= 0.12) {
                places.emplace_back(float(r.x + r.width / 2), float(r.y + r.height / 2));
                offsets.push_back(bestOffset);
            }
        }
        m_found = double(places.size()) / std::max<qsizetype>(1, boxes.size());
        fit(places, offsets);
    }

    // The share of boxes whose edge was found.
    double found() const { return m_found; }

    cv::Rect place(const QRectF &box) const
    {
        const cv::Rect r = pixels(box);
        const std::array<double, 6> terms = termsAt(r.x + r.width / 2.0, r.y + r.height / 2.0);
        double dx = 0, dy = 0;
        for (int i = 0; i < 6; ++i)
            dx += m_x[i] * terms[i], dy += m_y[i] * terms[i];
        return r + cv::Point(int(std::lround(std::clamp(dx, -double(kSearch), double(kSearch)))),
                             int(std::lround(std::clamp(dy, -double(kSearch), double(kSearch)))));
    }

private:
    double sum(const cv::Rect &r) const
    {
        const cv::Rect inside = r & cv::Rect(0, 0, m_sum.cols - 1, m_sum.rows - 1);
        if (inside.area() <= 0)
            return 0;
        return double(
            m_sum.at<int>(inside.y, inside.x) + m_sum.at<int>(inside.br().y, inside.br().x) -
            m_sum.at<int>(inside.y, inside.br().x) - m_sum.at<int>(inside.br().y, inside.x));
    }

    static cv::Rect grown(const cv::Rect &r, int by)
    {
        return {r.x - by, r.y - by, r.width + 2 * by, r.height + 2 * by};
    }

    // Mean brightness of a band from `inner` out to `outer` pixels past the box's edge.
    double band(const cv::Rect &r, int inner, int outer) const
    {
        const cv::Rect a = grown(r, outer), b = grown(r, inner);
        return (sum(a) - sum(b)) / std::max(1, a.area() - b.area());
    }

    double edgeScore(const cv::Rect &r) const
    {
        const double edge = band(r, -1, 1);
        return std::max(band(r, 2, 4), band(r, -4, -2)) - edge;
    }

    static std::array<double, 6> termsAt(double x, double y)
    {
        x /= kPageSize.width, y /= kPageSize.height;
        return {1, x, y, x * x, x * y, y * y};
    }

    void fit(std::vector<cv::Point2f> places, std::vector<cv::Point2f> offsets)
    {
        const int terms = places.size() >= 24 ? 6 : places.size() >= 6 ? 3 : 1;
        for (int round = 0; round < 2 && !places.empty(); ++round) {
            cv::Mat a(int(places.size()), terms, CV_64F), bx(int(places.size()), 1, CV_64F),
                by(int(places.size()), 1, CV_64F);
            for (int i = 0; i < int(places.size()); ++i) {
                const std::array<double, 6> t = termsAt(places[i].x, places[i].y);
                for (int j = 0; j < terms; ++j)
                    a.at<double>(i, j) = t[j];
                bx.at<double>(i) = offsets[i].x;
                by.at<double>(i) = offsets[i].y;
            }
            cv::Mat x, y;
            cv::solve(a, bx, x, cv::DECOMP_SVD);
            cv::solve(a, by, y, cv::DECOMP_SVD);
            m_x.fill(0), m_y.fill(0);
            for (int j = 0; j < terms; ++j)
                m_x[j] = x.at<double>(j), m_y[j] = y.at<double>(j);
            // Once more without the boxes the first fit does not explain.
            std::vector<cv::Point2f> keptPlaces, keptOffsets;
            for (size_t i = 0; i < places.size(); ++i) {
                const std::array<double, 6> t = termsAt(places[i].x, places[i].y);
                double dx = 0, dy = 0;
                for (int j = 0; j < 6; ++j)
                    dx += m_x[j] * t[j], dy += m_y[j] * t[j];
                if (std::abs(dx - offsets[i].x) <= 2 && std::abs(dy - offsets[i].y) <= 2)
                    keptPlaces.push_back(places[i]), keptOffsets.push_back(offsets[i]);
            }
            if (keptPlaces.size() < 6)
                break;
            places.swap(keptPlaces);
            offsets.swap(keptOffsets);
        }
    }

    cv::Mat m_sum;
    double m_found = 0;
    std::array<double, 6> m_x{}, m_y{};
};

// One box as measured before the page's pen is known.
struct Box
{
    cv::Mat inside; // the box less half a millimetre all round, clear of its printed edge
    double paper = 255;
    double peak = 0; // darkness of its darkest twentieth
};

Box measure(const cv::Mat &straight, const cv::Mat &paper, const Registration &registration,
            const QRectF &box)
{
    const int inset = kPixelsPerMm / 2;
    const cv::Rect r = registration.place(box);
    Box measured;
    measured.inside =
        straight(cv::Rect(r.x + inset, r.y + inset, r.width - 2 * inset, r.height - 2 * inset) &
                 cv::Rect(0, 0, straight.cols, straight.rows));
    measured.paper = paperAt(paper, box);
    std::vector<uchar> values(measured.inside.begin<uchar>(), measured.inside.end<uchar>());
    if (values.empty())
        return measured;
    const auto twentieth = values.begin() + long(values.size() / 20);
    std::nth_element(values.begin(), twentieth, values.end());
    measured.peak = std::max(0.0, 1.0 - *twentieth / measured.paper);
    return measured;
}

// The share of a mask's pixels set within a part of it given in shares of its sides.
double shareIn(const cv::Mat &mask, double x0, double y0, double x1, double y1)
{
    const cv::Rect part(int(x0 * mask.cols), int(y0 * mask.rows),
                        std::max(1, int((x1 - x0) * mask.cols)),
                        std::max(1, int((y1 - y0) * mask.rows)));
    const cv::Mat region = mask(part & cv::Rect(0, 0, mask.cols, mask.rows));
    return region.empty() ? 0.0 : double(cv::countNonZero(region)) / double(region.total());
}

// The ink levels of a page: darker than `ink` (a share of the paper's
// brightness) is the student's pen; darker than `faint`, a trace of it.
struct Levels
{
    double pen = 0.7; // darkness of the page's pen (see penOf)
    double ink = 0.35, faint = 0.15;
};

Ink inkOf(const Box &box, const Levels &levels)
{
    Ink ink;
    if (box.inside.empty())
        return ink;
    cv::Mat mask, faint;
    cv::threshold(box.inside, mask, box.paper * (1 - levels.ink), 255, cv::THRESH_BINARY_INV);
    cv::threshold(box.inside, faint, box.paper * (1 - levels.faint), 255, cv::THRESH_BINARY_INV);
    // Specks of noise or of a copier's dust are not ink: what is left, and
    // the extent it spans.
    const auto clean = [](cv::Mat &ink) {
        cv::Mat labels, stats, centroids;
        const int count =
            cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_16U);
        cv::Rect extent;
        for (int label = 1; label < count; ++label) {
            if (stats.at<int>(label, cv::CC_STAT_AREA) < 5) {
                ink.setTo(0, labels == label);
                continue;
            }
            const cv::Rect part(
                stats.at<int>(label, cv::CC_STAT_LEFT), stats.at<int>(label, cv::CC_STAT_TOP),
                stats.at<int>(label, cv::CC_STAT_WIDTH), stats.at<int>(label, cv::CC_STAT_HEIGHT));
            extent = extent.area() == 0 ? part : (extent | part);
        }
        return std::min(double(extent.width) / ink.cols, double(extent.height) / ink.rows);
    };
    ink.spread = clean(mask);
    ink.faintSpread = clean(faint);
    ink.inked = double(cv::countNonZero(mask)) / double(mask.total());
    ink.faint = double(cv::countNonZero(faint)) / double(faint.total());
    ink.centre = shareIn(mask, 0.25, 0.25, 0.75, 0.75);
    // The middle of each side, right at the edge: the place farthest from
    // both strokes of a cross, however bold, and inked in a box filled or
    // hatched.
    // A cross or a tick meets a line across the box at a third of its
    // height or width twice at most; hatching, three times or more.
    const auto runs = [](const cv::Mat &line) {
        int count = 0, gap = 2;
        for (int i = 0; i < int(line.total()); ++i) {
            if (line.at<uchar>(i) != 0) {
                count += gap >= 2 ? 1 : 0;
                gap = 0;
            } else {
                ++gap;
            }
        }
        return count;
    };
    for (const double at : {1.0 / 3, 2.0 / 3}) {
        ink.strokes = std::max(ink.strokes, runs(mask.row(int(at * mask.rows)).clone()));
        ink.strokes = std::max(ink.strokes, runs(mask.col(int(at * mask.cols)).clone()));
    }

    ink.clearSides = 0;
    for (const double share :
         {shareIn(mask, 0.42, 0.0, 0.58, 0.14), shareIn(mask, 0.42, 0.86, 0.58, 1.0),
          shareIn(mask, 0.0, 0.42, 0.14, 0.58), shareIn(mask, 0.86, 0.42, 1.0, 0.58)})
        ink.clearSides += share < 0.25 ? 1 : 0;
    // Hatching drawn slanting is met three times or more along a diagonal
    // of the box too. A cross lies along the diagonals, and a line of pixels
    // may meet its stroke more than once, so they count only for a box
    // whose sides are mostly inked.
    const int side = std::min(mask.rows, mask.cols);
    cv::Mat down(1, side, CV_8U), up(1, side, CV_8U);
    for (int i = 0; i < side; ++i) {
        down.at<uchar>(i) = mask.at<uchar>(i, i);
        up.at<uchar>(i) = mask.at<uchar>(side - 1 - i, i);
    }
    if (ink.clearSides <= 2)
        ink.strokes = std::max({ink.strokes, runs(down), runs(up)});
    ink.peak = box.peak / levels.pen;
    return ink;
}

// The darkness of the student's pen on this page: the typical darkest part
// of the boxes holding something clearly darker than paper. A page with
// hardly a mark takes a dark pen's.
double penOf(const QList<Box> &boxes)
{
    std::vector<double> peaks;
    for (const Box &box : boxes)
        if (box.peak >= 0.2)
            peaks.push_back(box.peak);
    if (peaks.size() < 3)
        return 0.7;
    const auto quarter = peaks.begin() + long(peaks.size() * 3 / 4);
    std::nth_element(peaks.begin(), quarter, peaks.end());
    return std::max(0.2, *quarter);
}

} // namespace

BoxState stateOf(const Ink &ink)
{
    if (ink.inked < 0.02)
        // A trace spread across the box, however light, is worth a look.
        return ink.faint >= 0.08 || (ink.faint >= 0.03 && ink.faintSpread >= 0.4) ? BoxState::Faint
                                                                                  : BoxState::Empty;
    // A stroke a photo has blurred lighter than the pen: hardly any of it
    // reaches the ink level, but its lighter part runs right across the
    // box, as dark as half the page's pen, leaving a side clear.
    if (ink.spread < 0.3 && ink.inked < 0.08 && ink.faintSpread >= 0.6 && ink.faint >= 0.15 &&
        ink.faint < 0.5 && ink.peak >= 0.4 && ink.clearSides >= 2)
        return BoxState::Marked;
    if (ink.spread < 0.3) {
        // A short stroke at the box's edge that reaches nowhere near the
        // middle is ink from outside (a stroke of the next box, a digit's
        // tail); a dot in the middle may be the start of a mark.
        return ink.centre == 0 && ink.inked < 0.08 ? BoxState::Empty : BoxState::Unsure;
    }
    if (ink.inked < 0.04)
        return BoxState::Unsure;
    // A cross or a tick, however bold, leaves the middle of a side of the
    // box clear (two, once it covers most of the box); a box filled leaves
    // none, and one hatched or scribbled over in a hurry crosses a line
    // across it three times or more: that is no cross, and only a box dark
    // all over is surely cancelled.
    // A box shaded all over in a lighter stroke than the pen's is no cross
    // either (a dark stroke blurred by a far photo has a wide halo too).
    const bool shaded = ink.faint >= 0.4 && ink.faint > 2.5 * ink.inked && ink.peak < 0.75;
    if (ink.strokes <= 2 && !shaded &&
        ((ink.clearSides >= 1 && ink.inked < 0.75) || (ink.clearSides >= 2 && ink.inked < 0.9)))
        return BoxState::Marked;
    if (ink.inked >= 0.75 && ink.clearSides == 0)
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
    if (yesMarked || noMarked)
        return yesMarked ? u'S' : u'N';
    // No mark but a trace: an answer erased, or one too faint to tell.
    return yes == BoxState::Faint || no == BoxState::Faint ? u'?' : u'-';
}

PageReading read(const cv::Mat &grey, const ExamCheck &check)
{
    PageReading reading;
    pageFinder::Found found = pageFinder::find(grey);
    reading.refusal = found.refusal;
    reading.note = found.note;
    reading.straight = std::move(found.straight);
    if (!reading.refusal.isEmpty())
        return reading;
    const SheetCode code = found.code;
    reading.code = code;
    if (!SheetLayout::isKnown(code.layout)) {
        reading.refusal = QStringLiteral("es una hoja de otra versión del programa");
        return reading;
    }
    const std::optional<int> questions = check(code, &reading.refusal);
    if (!questions)
        return reading;
    // A sheet is read in the layout it was printed in, which its code names.
    const SheetLayout layout(*questions, code.layout);
    if (layout.pages() != code.pages) {
        reading.refusal = QStringLiteral("es una hoja de otro examen");
        return reading;
    }
    reading.questions = *questions;

    const cv::Mat paper = paperOf(reading.straight);
    double black = 0;
    for (const QPointF &centre : SheetLayout::markCentres())
        black +=
            cv::mean(reading.straight(pixels(QRectF(centre.x() - 1, centre.y() - 1, 2, 2))))[0] / 4;
    std::vector<uchar> paperLevels(paper.begin<uchar>(), paper.end<uchar>());
    std::nth_element(paperLevels.begin(), paperLevels.begin() + long(paperLevels.size() / 2),
                     paperLevels.end());
    const double paperLevel = paperLevels[paperLevels.size() / 2];
    if (paperLevel - black < 60) {
        reading.refusal = QStringLiteral("la imagen no tiene contraste bastante para leerla");
        return reading;
    }

    const SheetLayout::PageQuestions on = layout.pageQuestions(code.page);
    QList<QRectF> boxes;
    if (code.page == 0)
        for (int column = 0; column < SheetLayout::kDniDigits; ++column)
            for (int d = 0; d < 10; ++d)
                boxes.append(SheetLayout::dniBox(column, d));
    const qsizetype firstAnswer = boxes.size();
    for (int q = on.first; q < on.first + on.count; ++q)
        boxes << layout.answerBox(q, true) << layout.answerBox(q, false);
    const Registration registration(reading.straight, paper, boxes);
    if (registration.found() < 0.5) {
        reading.refusal = QStringLiteral("la página está deformada o no se ve entera");
        return reading;
    }
    QList<Box> measured;
    for (const QRectF &box : boxes)
        measured.append(measure(reading.straight, paper, registration, box));
    Levels levels;
    levels.pen = penOf(measured);
    levels.ink = std::clamp(0.5 * levels.pen, 0.18, 0.45);
    levels.faint = std::clamp(0.15 * levels.pen, 0.07, 0.2);
    const auto stateAt = [&](qsizetype i) { return stateOf(inkOf(measured[i], levels)); };

    if (code.page == 0)
        for (int column = 0; column < SheetLayout::kDniDigits; ++column) {
            int marked = 0, digit = -1;
            bool unsure = false;
            for (int d = 0; d < 10; ++d) {
                const BoxState state = stateAt(column * 10 + d);
                unsure = unsure || state == BoxState::Unsure;
                if (state == BoxState::Marked)
                    ++marked, digit = d;
            }
            reading.dni += !unsure && marked == 1 ? QChar(u'0' + digit) : QChar(u'?');
        }
    for (int q = 0; q < on.count; ++q)
        reading.answers += answerOf(stateAt(firstAnswer + 2 * q), stateAt(firstAnswer + 2 * q + 1));
    return reading;
}

} // namespace sheetReader
