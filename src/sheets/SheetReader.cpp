#include "SheetReader.h"

#include <opencv2/imgproc.hpp>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <array>

namespace sheetReader {

namespace {

// Corner marks are sought on a copy whose longer side is this many pixels.
constexpr double kSearchSide = 1600.0;
// How far (in straightened pixels) a printed box is sought around the place
// the corner marks give it: a phone's lens and a curled page move it a little.
constexpr int kSearch = 8;

const QString kNotASheet = QStringLiteral("no es una hoja de respuestas");
const QString kThreeCorners =
    QStringLiteral("leída con tres esquinas: la cuarta falta o está tapada");

using Quad = std::array<cv::Point2f, 4>;

cv::Rect pixels(const QRectF &mm, double insetMm = 0.0)
{
    const QRectF r = mm.adjusted(insetMm, insetMm, -insetMm, -insetMm);
    return cv::Rect(int(std::lround(r.x() * kPixelsPerMm)), int(std::lround(r.y() * kPixelsPerMm)),
                    int(std::lround(r.width() * kPixelsPerMm)),
                    int(std::lround(r.height() * kPixelsPerMm)));
}

struct Candidate
{
    cv::Point2f centre;   // in the image's pixels
    double side = 0;      // likewise
    bool guessed = false; // not seen: put where the three seen imply
};

// Every shape that looks like a corner mark (a square holding a square hole
// holding a square) in a binary picture of ink, at any size from a page
// filling a third of the picture to one filling it whole.
std::vector<Candidate> markCandidates(const cv::Mat &binary, double scale)
{
    std::vector<std::vector<cv::Point>> contours;
    std::vector<cv::Vec4i> hierarchy;
    cv::findContours(binary, contours, hierarchy, cv::RETR_TREE, cv::CHAIN_APPROX_SIMPLE);
    const double full = SheetLayout::kMarkSize * kSearchSide / SheetLayout::kPageHeight;
    const double smallest = std::max(12.0, 0.3 * full), largest = 1.3 * full;
    const auto largestChild = [&](int parent) {
        int best = -1;
        double bestArea = 0;
        for (int child = hierarchy[parent][2]; child >= 0; child = hierarchy[child][0])
            if (const double area = cv::contourArea(contours[child]); area > bestArea)
                best = child, bestArea = area;
        return best;
    };
    std::vector<Candidate> found;
    for (size_t i = 0; i < contours.size(); ++i) {
        const double outer = cv::contourArea(contours[i]);
        if (outer < smallest * smallest || outer > largest * largest)
            continue;
        // A mark cut by the picture's edge has its centre elsewhere.
        const cv::Rect bounds = cv::boundingRect(contours[i]);
        if (bounds.x <= 1 || bounds.y <= 1 || bounds.br().x >= binary.cols - 1 ||
            bounds.br().y >= binary.rows - 1)
            continue;
        const int hole = largestChild(int(i));
        const int core = hole < 0 ? -1 : largestChild(hole);
        if (core < 0)
            continue;
        const double holeShare = cv::contourArea(contours[hole]) / outer;
        const double coreShare = cv::contourArea(contours[core]) / outer;
        // A QR code's finder patterns (7 : 5 : 3) have a larger hole and core.
        if (holeShare < 0.2 || holeShare > 0.47 || coreShare < 0.03 || coreShare > 0.15)
            continue;
        const cv::RotatedRect box = cv::minAreaRect(contours[i]);
        if (box.size.width < 0.7 * box.size.height || box.size.height < 0.7 * box.size.width ||
            outer < 0.8 * box.size.area())
            continue;
        const cv::Moments moments = cv::moments(contours[i]);
        found.push_back({cv::Point2f(float(moments.m10 / moments.m00 / scale),
                                     float(moments.m01 / moments.m00 / scale)),
                         std::sqrt(outer) / scale});
    }
    return found;
}

// Four points in the order top left, top right, bottom right, bottom left of
// the page they frame, as far as the picture tells: clockwise, starting so
// that the first side is a short one (the page's width) running rightwards.
// Which way up the page is the QR code tells later.
std::array<Candidate, 4> clockwise(std::array<Candidate, 4> marks)
{
    cv::Point2f centre(0, 0);
    for (const Candidate &mark : marks)
        centre += mark.centre / 4;
    std::sort(marks.begin(), marks.end(), [&centre](const Candidate &a, const Candidate &b) {
        return std::atan2(a.centre.y - centre.y, a.centre.x - centre.x) <
               std::atan2(b.centre.y - centre.y, b.centre.x - centre.x);
    });
    const auto at = [&marks](int i) { return marks[size_t(i)].centre; };
    if (cv::norm(at(1) - at(0)) + cv::norm(at(3) - at(2)) >
        cv::norm(at(2) - at(1)) + cv::norm(at(0) - at(3)))
        std::rotate(marks.begin(), marks.begin() + 1, marks.end());
    if (at(1).x - at(0).x < at(3).x - at(2).x)
        std::rotate(marks.begin(), marks.begin() + 2, marks.end());
    return marks;
}

Quad pointsOf(const std::array<Candidate, 4> &marks)
{
    Quad quad;
    for (size_t i = 0; i < 4; ++i)
        quad[i] = marks[i].centre;
    return quad;
}

constexpr double kMarkSpanX = SheetLayout::kPageWidth - 24.0;  // between the marks' centres
constexpr double kMarkSpanY = SheetLayout::kPageHeight - 24.0; // likewise

// How well four marks frame a page, 0 when they do not: their quadrilateral
// is convex, has the layout's proportions within what a hand-held phone's
// perspective gives, and each mark has the size the page's width gives it.
double pageScore(const std::array<Candidate, 4> &marks)
{
    const Quad quad = pointsOf(clockwise(marks));
    for (int i = 0; i < 4; ++i) {
        const cv::Point2f a = quad[(i + 1) % 4] - quad[i],
                          b = quad[(i + 2) % 4] - quad[(i + 1) % 4];
        if (a.x * b.y - a.y * b.x <= 0)
            return 0;
    }
    const double top = cv::norm(quad[1] - quad[0]), bottom = cv::norm(quad[2] - quad[3]);
    const double left = cv::norm(quad[3] - quad[0]), right = cv::norm(quad[2] - quad[1]);
    const double expected = kMarkSpanX / kMarkSpanY;
    const double ratio = (top + bottom) / (left + right);
    if (std::min(top, bottom) < 0.7 * std::max(top, bottom) ||
        std::min(left, right) < 0.7 * std::max(left, right) || ratio < 0.8 * expected ||
        ratio > 1.25 * expected)
        return 0;
    // The four alike (a phone's perspective makes the nearer ones a little
    // larger), each the size the page's sides beside it give it.
    std::array<double, 4> sides{marks[0].side, marks[1].side, marks[2].side, marks[3].side};
    std::sort(sides.begin(), sides.end());
    const double typical = (sides[1] + sides[2]) / 2;
    for (const double side : sides)
        if (side < 0.75 * typical || side > 1.33 * typical)
            return 0;
    const std::array<Candidate, 4> ordered = clockwise(marks);
    for (int i = 0; i < 4; ++i) {
        const double across = cv::norm(quad[(i + 1) % 4] - quad[i]),
                     back = cv::norm(quad[(i + 3) % 4] - quad[i]);
        const double shortSide = i % 2 == 0 ? across : back, longSide = i % 2 == 0 ? back : across;
        const double side =
            SheetLayout::kMarkSize * (shortSide / kMarkSpanX + longSide / kMarkSpanY) / 2;
        if (ordered[size_t(i)].side < 0.75 * side || ordered[size_t(i)].side > 1.35 * side)
            return 0;
    }
    return (top + bottom) * (left + right);
}

// Three marks framing a corner of the page (the fourth covered): the middle
// one is the corner, at a right angle within what perspective gives, its
// sides in the page's proportions. Returns the four, the fourth put where a
// parallelogram puts it.
std::optional<std::array<Candidate, 4>> completed(const Candidate &a, const Candidate &corner,
                                                  const Candidate &c)
{
    const cv::Point2f u = a.centre - corner.centre, v = c.centre - corner.centre;
    const double lu = cv::norm(u), lv = cv::norm(v);
    if (lu < 1 || lv < 1 || std::abs(u.dot(v)) > 0.3 * lu * lv)
        return std::nullopt;
    const double expected = kMarkSpanX / kMarkSpanY, ratio = std::min(lu, lv) / std::max(lu, lv);
    if (ratio < 0.8 * expected || ratio > 1.25 * expected)
        return std::nullopt;
    const double markSide = SheetLayout::kMarkSize *
                            (std::min(lu, lv) / kMarkSpanX + std::max(lu, lv) / kMarkSpanY) / 2;
    for (const Candidate *mark : {&a, &corner, &c})
        if (mark->side < 0.7 * markSide || mark->side > 1.4 * markSide)
            return std::nullopt;
    return std::array<Candidate, 4>{
        a, corner, c, {a.centre + c.centre - corner.centre, corner.side, true}};
}

struct Placement
{
    std::array<Candidate, 4> marks; // top left, top right, bottom right, bottom left
    bool threeCorners = false;
};

// The ways to frame the page, the likelier first: the largest set of four
// marks, then the largest set of three (a fourth mark may be something else
// shaped like one, beside a corner covered).
std::vector<Placement> placeMarks(std::vector<Candidate> candidates)
{
    // Corner marks are alike: keep the dozen nearest the candidates' median size.
    if (candidates.size() > 12) {
        std::vector<double> sides;
        for (const Candidate &candidate : candidates)
            sides.push_back(candidate.side);
        std::nth_element(sides.begin(), sides.begin() + long(sides.size() / 2), sides.end());
        const double median = sides[sides.size() / 2];
        std::sort(candidates.begin(), candidates.end(), [median](const auto &a, const auto &b) {
            return std::abs(a.side - median) < std::abs(b.side - median);
        });
        candidates.resize(12);
    }
    const size_t n = candidates.size();
    std::vector<Placement> placements;
    double best = 0;
    std::optional<Placement> placement;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k)
                for (size_t l = k + 1; l < n; ++l) {
                    const std::array<Candidate, 4> four{candidates[i], candidates[j], candidates[k],
                                                        candidates[l]};
                    if (const double score = pageScore(four); score > best)
                        best = score, placement = Placement{clockwise(four), false};
                }
    if (placement)
        placements.push_back(*placement);
    best = 0;
    placement.reset();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            for (size_t k = i + 1; k < n; ++k) {
                if (j == i || j == k)
                    continue;
                const auto four = completed(candidates[i], candidates[j], candidates[k]);
                if (!four)
                    continue;
                if (const double score = pageScore(*four); score > best)
                    best = score, placement = Placement{clockwise(*four), true};
            }
    if (placement)
        placements.push_back(*placement);
    return placements;
}

// Every mark-like shape the two ways of telling ink find.
std::vector<Candidate> allCandidates(const cv::Mat &small, double scale)
{
    cv::Mat binary;
    cv::threshold(small, binary, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
    std::vector<Candidate> found = markCandidates(binary, scale);
    cv::adaptiveThreshold(small, binary, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV,
                          2 * int(kSearchSide / 60) + 1, 15);
    const std::vector<Candidate> more = markCandidates(binary, scale);
    found.insert(found.end(), more.begin(), more.end());
    return found;
}

// Finds the page's corner marks two ways in turn, as `attempt` asks: 0,
// ink as a scan's even light shows it (the quicker); 1, ink judged against
// its neighbourhood, for photos with a desk around the page or a shadow.
std::vector<Placement> findPage(const cv::Mat &small, double scale, int attempt)
{
    cv::Mat binary;
    if (attempt == 0)
        cv::threshold(small, binary, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
    else
        cv::adaptiveThreshold(small, binary, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV,
                              2 * int(kSearchSide / 60) + 1, 15);
    return placeMarks(markCandidates(binary, scale));
}

struct Decoded
{
    SheetCode code;
    Quad corners; // of the symbol, in the image decoded: its top left first, clockwise
};

std::optional<Decoded> decode(const cv::Mat &grey, bool tryHarder)
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
    const std::optional<SheetCode> code = SheetCode::parse(QString::fromStdString(result.text()));
    if (!code)
        return std::nullopt;
    Decoded decoded{*code, {}};
    for (int i = 0; i < 4; ++i)
        decoded.corners[i] =
            cv::Point2f(float(result.position()[i].x), float(result.position()[i].y));
    return decoded;
}

// The homography taking `from` to `to` (four points or more) by least
// squares, h33 = 1.
cv::Mat homographyOf(const std::vector<cv::Point2f> &from, const std::vector<cv::Point2f> &to)
{
    const int n = int(from.size());
    cv::Mat a(2 * n, 8, CV_64F, cv::Scalar(0)), b(2 * n, 1, CV_64F);
    for (int i = 0; i < n; ++i) {
        const double x = from[size_t(i)].x, y = from[size_t(i)].y;
        const double u = to[size_t(i)].x, v = to[size_t(i)].y;
        double *r = a.ptr<double>(2 * i), *s = a.ptr<double>(2 * i + 1);
        r[0] = x, r[1] = y, r[2] = 1, r[6] = -u * x, r[7] = -u * y;
        s[3] = x, s[4] = y, s[5] = 1, s[6] = -v * x, s[7] = -v * y;
        b.at<double>(2 * i) = u, b.at<double>(2 * i + 1) = v;
    }
    cv::Mat h;
    if (!cv::solve(a, b, h, cv::DECOMP_SVD))
        return {};
    h.push_back(1.0);
    return h.reshape(1, 3);
}

const cv::Size kPageSize(int(SheetLayout::kPageWidth *kPixelsPerMm),
                         int(SheetLayout::kPageHeight *kPixelsPerMm));

Quad markTargets()
{
    Quad target;
    const QList<QPointF> centres = SheetLayout::markCentres();
    for (int c = 0; c < 4; ++c)
        target[c] =
            cv::Point2f(float(centres[c].x() * kPixelsPerMm), float(centres[c].y() * kPixelsPerMm));
    return target;
}

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

std::optional<SheetCode> findCode(const cv::Mat &grey, bool tryHarder)
{
    const std::optional<Decoded> decoded = decode(grey, tryHarder);
    return decoded ? std::optional<SheetCode>(decoded->code) : std::nullopt;
}

PageReading read(const cv::Mat &grey, const ExamCheck &check)
{
    PageReading reading;
    if (grey.empty() || grey.type() != CV_8UC1 || grey.cols < 200 || grey.rows < 200) {
        reading.refusal = kNotASheet;
        return reading;
    }
    // The copy the marks are sought on, kSearchSide long: halved while more
    // than twice too large (quick, and it averages), then scaled linearly.
    cv::Mat small = grey;
    while (std::max(small.cols, small.rows) > 2 * kSearchSide)
        cv::pyrDown(small, small);
    const double shrink = kSearchSide / std::max(small.cols, small.rows);
    if (shrink != 1)
        cv::resize(small, small, cv::Size(), shrink, shrink, cv::INTER_LINEAR);
    const double scale = double(small.cols) / grey.cols;
    // Upside down, the code is where the layout has nothing: the page is
    // turned round when the code is not found where it belongs, upright.
    const cv::Rect qr = pixels(SheetLayout::qrArea().adjusted(-6, -6, 6, 6));
    const cv::Point2f qrCorner(float(6 * kPixelsPerMm), float(6 * kPixelsPerMm)); // in the crop
    const Quad target = markTargets();
    std::optional<Placement> placement;
    std::optional<Decoded> decoded;
    std::array<Candidate, 4> found;
    cv::Mat homography;
    bool fourFound = false;
    for (int attempt = 0; attempt < 2 && !decoded; ++attempt)
        for (const Placement &tried : findPage(small, scale, attempt)) {
            fourFound = fourFound || !tried.threeCorners;
            // Upright and quickly first; then turned round, and upright again,
            // looking harder (a photo's code is less sharp once straightened).
            for (const auto &[turn, harder] : {std::pair{0, false}, {2, true}, {0, true}}) {
                if (decoded)
                    break;
                found = tried.marks;
                std::rotate(found.begin(), found.begin() + turn, found.end());
                const Quad marks = pointsOf(found);
                homography = cv::getPerspectiveTransform(marks.data(), target.data());
                cv::warpPerspective(grey, reading.straight, homography, kPageSize, cv::INTER_LINEAR,
                                    cv::BORDER_CONSTANT, cv::Scalar(255));
                decoded = decode(reading.straight(qr), harder || tried.threeCorners);
                // The code read must stand upright where the layout has it.
                if (decoded && cv::norm(decoded->corners[0] - qrCorner) > 4 * kPixelsPerMm)
                    decoded.reset();
            }
            if (decoded) {
                placement = tried;
                break;
            }
        }
    if (!decoded) {
        // The code itself, found anywhere in the picture, places the page
        // roughly; the corner marks near where it puts them (three at
        // least) and the code's corners then place it surely.
        if (const std::optional<Decoded> code = decode(small, true)) {
            std::vector<cv::Point2f> seen, onPage;
            const QRectF area = SheetLayout::qrArea();
            const std::array<QPointF, 4> symbol{area.topLeft(), area.topRight(), area.bottomRight(),
                                                area.bottomLeft()};
            for (int c = 0; c < 4; ++c) {
                seen.push_back(code->corners[size_t(c)] / float(scale));
                onPage.emplace_back(float(symbol[size_t(c)].x() * kPixelsPerMm),
                                    float(symbol[size_t(c)].y() * kPixelsPerMm));
            }
            const cv::Mat rough = cv::getPerspectiveTransform(seen.data(), onPage.data());
            const std::vector<Candidate> candidates = allCandidates(small, scale);
            int marksSeen = 0;
            for (const cv::Point2f &mark : target) {
                double nearest = 30 * kPixelsPerMm;
                std::optional<cv::Point2f> at;
                for (const Candidate &candidate : candidates) {
                    std::vector<cv::Point2f> mapped;
                    cv::perspectiveTransform(std::vector<cv::Point2f>{candidate.centre}, mapped,
                                             rough);
                    if (const double d = cv::norm(mapped[0] - mark); d < nearest)
                        nearest = d, at = candidate.centre;
                }
                if (at) {
                    seen.push_back(*at);
                    onPage.push_back(mark);
                    ++marksSeen;
                }
            }
            if (marksSeen >= 3) {
                homography = homographyOf(seen, onPage);
                if (!homography.empty()) {
                    cv::warpPerspective(grey, reading.straight, homography, kPageSize,
                                        cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(255));
                    decoded = decode(reading.straight(qr), true);
                    if (decoded && cv::norm(decoded->corners[0] - qrCorner) > 4 * kPixelsPerMm)
                        decoded.reset();
                    if (decoded && marksSeen == 3)
                        reading.note = kThreeCorners;
                }
            }
        }
    }
    if (!decoded) {
        // A code of ours anywhere on it makes it a sheet with corners
        // missing or covered; without one it is no sheet of ours.
        if (fourFound)
            reading.refusal = QStringLiteral("no se puede leer el código QR");
        else
            reading.refusal = decode(small, true)
                                  ? QStringLiteral("faltan esquinas o están tapadas")
                                  : kNotASheet;
        reading.straight.release();
        return reading;
    }
    if (placement && placement->threeCorners) {
        // The fourth corner was only guessed: the code's own corners, where
        // the layout has them, place the page again with the three marks.
        const QRectF area = SheetLayout::qrArea();
        const std::array<QPointF, 4> symbol{area.topLeft(), area.topRight(), area.bottomRight(),
                                            area.bottomLeft()};
        std::vector<cv::Point2f> straightCorners;
        for (const cv::Point2f &corner : decoded->corners)
            straightCorners.push_back(corner + cv::Point2f(float(qr.x), float(qr.y)));
        std::vector<cv::Point2f> imageCorners;
        cv::perspectiveTransform(straightCorners, imageCorners, homography.inv());
        // The guessed mark is left out: the three seen and the code's four.
        std::vector<cv::Point2f> from, to;
        for (size_t c = 0; c < 4; ++c)
            if (!found[c].guessed) {
                from.push_back(found[c].centre);
                to.push_back(target[c]);
            }
        for (int c = 0; c < 4; ++c) {
            from.push_back(imageCorners[size_t(c)]);
            to.emplace_back(float(symbol[size_t(c)].x() * kPixelsPerMm),
                            float(symbol[size_t(c)].y() * kPixelsPerMm));
        }
        homography = homographyOf(from, to);
        if (homography.empty()) {
            reading.refusal = QStringLiteral("faltan esquinas o están tapadas");
            return reading;
        }
        cv::warpPerspective(grey, reading.straight, homography, kPageSize, cv::INTER_LINEAR,
                            cv::BORDER_CONSTANT, cv::Scalar(255));
        reading.note = kThreeCorners;
    }
    const SheetCode code = decoded->code;
    reading.code = code;
    if (code.layout != SheetLayout::kLayoutVersion) {
        reading.refusal = QStringLiteral("es una hoja de otra versión del programa");
        return reading;
    }
    const std::optional<int> questions = check(code, &reading.refusal);
    if (!questions)
        return reading;
    const SheetLayout layout(*questions);
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
