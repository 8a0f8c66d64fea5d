#include "PageFinder.h"
#include "SheetLayout.h"

#include <opencv2/imgproc.hpp>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <array>

namespace pageFinder {

namespace {

// Corner marks are sought on a copy whose longer side is this many pixels.
constexpr double kSearchSide = 1600.0;

const QString kNotASheet = QStringLiteral("no es una hoja de respuestas");
const QString kThreeCorners =
    QStringLiteral("leída con tres esquinas: la cuarta falta o está tapada");

using Quad = std::array<cv::Point2f, 4>;

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

} // namespace

cv::Rect pixels(const QRectF &mm, double insetMm)
{
    const QRectF r = mm.adjusted(insetMm, insetMm, -insetMm, -insetMm);
    return cv::Rect(int(std::lround(r.x() * kPixelsPerMm)), int(std::lround(r.y() * kPixelsPerMm)),
                    int(std::lround(r.width() * kPixelsPerMm)),
                    int(std::lround(r.height() * kPixelsPerMm)));
}

std::optional<SheetCode> findCode(const cv::Mat &grey, bool tryHarder)
{
    const std::optional<Decoded> decoded = decode(grey, tryHarder);
    return decoded ? std::optional<SheetCode>(decoded->code) : std::nullopt;
}

Found find(const cv::Mat &grey)
{
    Found page;
    if (grey.empty() || grey.type() != CV_8UC1 || grey.cols < 200 || grey.rows < 200) {
        page.refusal = kNotASheet;
        return page;
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
                cv::warpPerspective(grey, page.straight, homography, kPageSize, cv::INTER_LINEAR,
                                    cv::BORDER_CONSTANT, cv::Scalar(255));
                decoded = decode(page.straight(qr), harder || tried.threeCorners);
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
                    cv::warpPerspective(grey, page.straight, homography, kPageSize,
                                        cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(255));
                    decoded = decode(page.straight(qr), true);
                    if (decoded && cv::norm(decoded->corners[0] - qrCorner) > 4 * kPixelsPerMm)
                        decoded.reset();
                    if (decoded && marksSeen == 3)
                        page.note = kThreeCorners;
                }
            }
        }
    }
    if (!decoded) {
        // A code of ours anywhere on it makes it a sheet with corners
        // missing or covered; without one it is no sheet of ours.
        if (fourFound)
            page.refusal = QStringLiteral("no se puede leer el código QR");
        else
            page.refusal = decode(small, true) ? QStringLiteral("faltan esquinas o están tapadas")
                                               : kNotASheet;
        page.straight.release();
        return page;
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
            page.refusal = QStringLiteral("faltan esquinas o están tapadas");
            return page;
        }
        cv::warpPerspective(grey, page.straight, homography, kPageSize, cv::INTER_LINEAR,
                            cv::BORDER_CONSTANT, cv::Scalar(255));
        page.note = kThreeCorners;
    }
    page.code = decoded->code;
    return page;
}

} // namespace pageFinder
