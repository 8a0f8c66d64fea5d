#include "ScanGenerator.h"

#include "SheetLayout.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace scanGenerator {

namespace {

double jitter(QRandomGenerator &random, double amount)
{
    return (random.generateDouble() * 2 - 1) * amount;
}

double between(QRandomGenerator &random, double low, double high)
{
    return low + random.generateDouble() * (high - low);
}

QColor inkColour(const Hand &hand, int alpha = 255)
{
    const int v = hand.ink;
    switch (hand.hue) {
    case 1: // blue ballpoint: as dark as black in a grey scan's eyes, or lighter
        return QColor(v / 3, v / 2 + 10, std::min(255, 90 + v * 2), alpha);
    case 2:
        return QColor(std::min(255, 110 + v * 2), v / 3, v / 3 + 10, alpha);
    default:
        return QColor(v, v, v + 10, alpha);
    }
}

QPen penOf(const Hand &hand, double width, int alpha = 255)
{
    return QPen(inkColour(hand, alpha), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A hand-drawn line: a little bowed, its ends a little off.
void stroke(QPainter &painter, QPointF from, QPointF to, QRandomGenerator &random)
{
    QPainterPath path(from);
    const QPointF middle = (from + to) / 2 + QPointF(jitter(random, 0.25), jitter(random, 0.25));
    path.quadTo(middle, to);
    painter.drawPath(path);
}

void cross(QPainter &painter, const QRectF &r, QRandomGenerator &random)
{
    stroke(painter, r.topLeft(), r.bottomRight(), random);
    stroke(painter, r.topRight(), r.bottomLeft(), random);
}

QRectF jittered(const QRectF &box, double inset, double amount, QRandomGenerator &random)
{
    return box.adjusted(inset + jitter(random, amount), inset + jitter(random, amount),
                        -inset + jitter(random, amount), -inset + jitter(random, amount));
}

// Fills a box the way a pen does, neatly (strokes to and fro over the edge)
// or in a hurry (a slanted scribble, wider apart, leaving slivers).
void fill(QPainter &painter, const QRectF &box, const Hand &hand, bool hurried,
          QRandomGenerator &random)
{
    painter.setPen(penOf(hand, std::max(0.7, hand.width * 1.4)));
    const QRectF r = box.adjusted(-0.2, -0.2, 0.2, 0.2);
    const double step = hurried ? between(random, 0.55, 0.75) : 0.45;
    const double slant = hurried ? between(random, 0.5, 1.5) : 0.2;
    QPainterPath path(QPointF(r.left() + jitter(random, 0.2), r.top()));
    bool right = true;
    for (double y = r.top(); y <= r.bottom() + 0.1; y += step) {
        path.lineTo(QPointF((right ? r.right() : r.left()) + jitter(random, hurried ? 0.35 : 0.1),
                            std::min(r.bottom(), y + (right ? slant : 0))));
        right = !right;
    }
    painter.drawPath(path);
}

void drawMark(QPainter &painter, const QRectF &box, Pen pen, const Hand &hand,
              QRandomGenerator &random)
{
    painter.setPen(penOf(hand, hand.width));
    switch (pen) {
    case Pen::Tick: {
        const QRectF r = jittered(box, 0.4, 0.3, random);
        QPainterPath tick(QPointF(r.left(), r.center().y()));
        tick.lineTo(r.left() + r.width() * 0.4, r.bottom());
        tick.lineTo(r.right() + 0.5, r.top() - 0.5);
        painter.drawPath(tick);
        return;
    }
    case Pen::BoldCross: {
        painter.setPen(penOf(hand, between(random, 0.8, 1.3)));
        const double past = between(random, 0.3, 2.0);
        cross(painter, jittered(box, -past, 0.4, random), random);
        return;
    }
    case Pen::SmallCross: {
        const double side = box.width() * between(random, 0.4, 0.6);
        const QPointF centre = box.center() + QPointF(jitter(random, 0.5), jitter(random, 0.5));
        cross(painter, QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side), random);
        return;
    }
    case Pen::OutsideStroke: {
        // Each stroke starts a few millimetres out and ends inside or past the box.
        const QRectF r = jittered(box, 0.3, 0.3, random);
        const double out = between(random, 1.5, 3.5);
        stroke(painter, r.topLeft() - QPointF(out, out), r.bottomRight(), random);
        stroke(painter, r.topRight() + QPointF(out * 0.6, -out * 0.6),
               r.bottomLeft() + QPointF(-0.3, 0.3), random);
        return;
    }
    case Pen::LightCross:
        painter.setPen(penOf(hand, 0.3, int(between(random, 70, 130))));
        cross(painter, jittered(box, 0.4, 0.3, random), random);
        return;
    default:
        cross(painter, jittered(box, 0.4, 0.3, random), random);
    }
}

// What an eraser leaves of a cross: a ghost of its strokes and a grey haze.
void erased(QPainter &painter, const QRectF &box, const Hand &hand, QRandomGenerator &random)
{
    painter.setPen(penOf(hand, hand.width * 1.5, int(between(random, 20, 60))));
    cross(painter, jittered(box, 0.4, 0.3, random), random);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 90, int(between(random, 8, 22))));
    painter.drawEllipse(box.center(), box.width() * between(random, 0.5, 0.9),
                        box.height() * between(random, 0.4, 0.8));
    painter.setBrush(Qt::NoBrush);
}

void write(QPainter &painter, const QRectF &area, const QString &text, const Hand &hand,
           double heightMm, QRandomGenerator &random)
{
    painter.save();
    const QTransform transform = painter.transform();
    painter.resetTransform();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setItalic(true);
    font.setPixelSize(std::max(1, int(heightMm * transform.m22())));
    painter.setFont(font);
    painter.setPen(inkColour(hand));
    painter.translate(transform.map(area.center()));
    painter.rotate(jitter(random, 4));
    const QRectF mapped = transform.mapRect(area);
    painter.drawText(mapped.translated(-mapped.center()), Qt::AlignCenter, text);
    painter.restore();
}

// Doodles and stray ink where students leave them: in the margins, beside
// the question numbers, under the title; never inside a box.
void strayInk(QPainter &painter, const SheetLayout &layout, int page, const Hand &hand,
              QRandomGenerator &random)
{
    painter.setPen(penOf(hand, hand.width));
    const SheetLayout::PageQuestions on = layout.pageQuestions(page);
    for (int i = 0; i < 6 && on.count > 0; ++i) {
        const QRectF number = layout.numberArea(on.first + int(random.bounded(on.count)));
        // A question number circled or underlined.
        if (random.bounded(2))
            painter.drawEllipse(number.adjusted(2, -0.8, 0.5, 0.8));
        else
            stroke(painter, number.bottomLeft() + QPointF(2, 0.6),
                   number.bottomRight() + QPointF(0.5, 0.6), random);
    }
    // A spiral in the left margin and a blot between the columns.
    QPainterPath spiral;
    const QPointF centre(8, between(random, 80, 250));
    for (double t = 0; t < 12; t += 0.3)
        spiral.lineTo(centre + QPointF(std::cos(t), std::sin(t)) * (0.3 * t));
    painter.drawPath(spiral.translated(0, 0));
    painter.setBrush(inkColour(hand));
    const QRectF first = layout.answerBox(on.first, false);
    painter.drawEllipse(QPointF(first.right() + 4.5, first.center().y() + 14), 0.6, 0.4);
    painter.setBrush(Qt::NoBrush);
}

cv::Mat toMat(const QImage &image)
{
    if (image.format() == QImage::Format_Grayscale8)
        return cv::Mat(image.height(), image.width(), CV_8UC1,
                       const_cast<uchar *>(image.constBits()), size_t(image.bytesPerLine()))
            .clone();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888).rgbSwapped();
    return cv::Mat(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar *>(rgb.constBits()),
                   size_t(rgb.bytesPerLine()))
        .clone();
}

// Light over the captured frame: falling off along a random direction, and
// a soft-edged shadow over a part of it.
void light(cv::Mat &frame, const Distortion &d, double pixelsPerMm, QRandomGenerator &random)
{
    if (d.lightFalloff <= 0 && d.shadow <= 0)
        return;
    cv::Mat factor(frame.size(), CV_32F);
    const double angle = between(random, 0, 2 * M_PI);
    const double cx = std::cos(angle), cy = std::sin(angle);
    const double span = std::abs(cx) * frame.cols + std::abs(cy) * frame.rows;
    const double edge = between(random, 0.3, 0.7) * span,
                 penumbra = between(random, 10, 30) * pixelsPerMm;
    const double shadowAngle = between(random, 0, 2 * M_PI);
    const double sx = std::cos(shadowAngle), sy = std::sin(shadowAngle);
    const double shadowSpan = std::abs(sx) * frame.cols + std::abs(sy) * frame.rows;
    const double shadowAt = between(random, 0.55, 0.85) * shadowSpan;
    for (int y = 0; y < frame.rows; ++y) {
        float *row = factor.ptr<float>(y);
        for (int x = 0; x < frame.cols; ++x) {
            const double along =
                (cx > 0 ? x : x - frame.cols) * cx + (cy > 0 ? y : y - frame.rows) * cy;
            double f = 1.0 - d.lightFalloff * std::clamp(along / span, 0.0, 1.0);
            const double into =
                (sx > 0 ? x : x - frame.cols) * sx + (sy > 0 ? y : y - frame.rows) * sy - shadowAt;
            f *= 1.0 - d.shadow * std::clamp(0.5 + into / penumbra, 0.0, 1.0);
            row[x] = float(f);
        }
    }
    (void)edge;
    cv::Mat wide;
    frame.convertTo(wide, CV_32F);
    if (frame.channels() == 3)
        cv::cvtColor(factor, factor, cv::COLOR_GRAY2BGR);
    cv::multiply(wide, factor, wide);
    wide.convertTo(frame, frame.type());
}

// A page that does not lie flat: every point moved smoothly, up to `mm` in
// the middle and nothing at the corners, which no homography undoes.
cv::Mat curled(const cv::Mat &page, double mm, double pixelsPerMm)
{
    cv::Mat mapX(page.size(), CV_32F), mapY(page.size(), CV_32F);
    const double amount = mm * pixelsPerMm;
    for (int y = 0; y < page.rows; ++y)
        for (int x = 0; x < page.cols; ++x) {
            const double bulge = std::sin(M_PI * x / page.cols) * std::sin(M_PI * y / page.rows);
            mapX.at<float>(y, x) = float(x + amount * bulge);
            mapY.at<float>(y, x) = float(y + amount * bulge);
        }
    cv::Mat moved;
    cv::remap(page, moved, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return moved;
}

cv::Mat distort(const cv::Mat &flat, const Distortion &d, double pixelsPerMm,
                QRandomGenerator &random)
{
    const cv::Mat page = d.curlMm > 0 ? curled(flat, d.curlMm, pixelsPerMm) : flat;
    const float w = float(page.cols), h = float(page.rows);
    std::vector<cv::Point2f> from{{0, 0}, {w, 0}, {w, h}, {0, h}}, to;
    const double radians = d.degrees * M_PI / 180.0;
    // A photo: the frame is 4:3 with the page's share of its longer side;
    // a scan: the glass a little larger than the page.
    cv::Size frame;
    double scale = d.scale;
    if (d.pageShare > 0) {
        const bool landscape = std::abs(std::sin(radians)) > 0.7;
        const double longer = std::max(w, h) / d.pageShare;
        frame = landscape ? cv::Size(int(longer), int(longer * 0.75))
                          : cv::Size(int(longer * 0.75), int(longer));
    } else {
        // The glass holds the page whole, however it lies on it.
        const int margin = int(10 * pixelsPerMm);
        const double c = std::abs(std::cos(radians)), s = std::abs(std::sin(radians));
        frame = cv::Size(int((w * c + h * s) * scale) + 2 * margin,
                         int((w * s + h * c) * scale) + 2 * margin);
    }
    for (const cv::Point2f &corner : from) {
        const double x = (corner.x - w / 2) * scale, y = (corner.y - h / 2) * scale;
        const double px = d.perspective * w * jitter(random, 1.0);
        const double py = d.perspective * h * jitter(random, 1.0);
        const double shift = d.shiftMm * pixelsPerMm;
        to.emplace_back(
            float(frame.width / 2.0 + x * std::cos(radians) - y * std::sin(radians) + shift + px),
            float(frame.height / 2.0 + x * std::sin(radians) + y * std::cos(radians) + shift + py));
    }
    cv::Mat moved;
    const int desk = d.pageShare > 0 ? int(between(random, 50, 140)) : 250;
    cv::warpPerspective(page, moved, cv::getPerspectiveTransform(from, to), frame, cv::INTER_LINEAR,
                        cv::BORDER_CONSTANT, cv::Scalar(desk * 0.8, desk * 0.9, desk));
    if (d.pageShare > 0) {
        // A desk's grain: the page's outside gets a texture of its own.
        cv::Mat mask(page.size(), CV_8UC1, cv::Scalar(255)), outside;
        cv::warpPerspective(mask, outside, cv::getPerspectiveTransform(from, to), frame,
                            cv::INTER_NEAREST, cv::BORDER_CONSTANT, cv::Scalar(0));
        cv::Mat grain(frame, moved.type());
        cv::randn(grain, cv::Scalar::all(desk), cv::Scalar::all(18));
        cv::GaussianBlur(grain, grain, cv::Size(0, 0), 3, 0.5);
        grain.copyTo(moved, outside == 0);
    }
    light(moved, d, pixelsPerMm, random);
    if (d.blur > 0)
        cv::GaussianBlur(moved, moved, cv::Size(0, 0), d.blur);
    if (d.noise > 0) {
        cv::Mat noise(moved.size(), CV_16SC(moved.channels()));
        cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(d.noise));
        cv::Mat wide;
        moved.convertTo(wide, CV_16SC(moved.channels()));
        wide += noise;
        wide.convertTo(moved, CV_8UC(moved.channels()));
    }
    // Read back as the program reads a file: JPEG decoded straight to grey.
    if (d.jpegQuality > 0 || moved.channels() == 3) {
        std::vector<uchar> bytes;
        cv::imencode(".jpg", moved, bytes,
                     {cv::IMWRITE_JPEG_QUALITY, d.jpegQuality > 0 ? d.jpegQuality : 95});
        moved = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
    }
    return moved;
}

} // namespace

Marked scan(const SheetSet &set, int version, int serial, int page, const QString &answers,
            const QString &dni, double dpi, const QList<Pen> &pens, const Hand &hand,
            const Distortion &distortion, bool withStrayInk, QRandomGenerator &random,
            const QMap<int, Pen> &odd)
{
    const double pixelsPerMm = dpi / 25.4;
    QImage image(int(SheetLayout::kPageWidth * pixelsPerMm),
                 int(SheetLayout::kPageHeight * pixelsPerMm), QImage::Format_RGB32);
    image.fill(QColor(distortion.paper, distortion.paper, distortion.paper - 5));
    const SheetLayout layout(set.questions, set.layout);
    Marked marked;
    {
        QPainter painter(&image);
        painter.scale(pixelsPerMm, pixelsPerMm);
        sheetPdf::drawPage(
            painter, set,
            SheetCode{set.layout, set.exam, set.identifier, version, serial, page, layout.pages()});
        painter.setRenderHint(QPainter::Antialiasing);
        const SheetLayout::PageQuestions on = layout.pageQuestions(page);
        for (int q = 0; q < on.count; ++q) {
            const QChar meant = q < answers.size() ? answers[q] : QChar(u'-');
            const Pen drawn = pens.at(random.bounded(int(pens.size())));
            const Pen pen = odd.value(q, drawn);
            marked.pens.append(pen);
            const QRectF yes = layout.answerBox(on.first + q, true);
            const QRectF no = layout.answerBox(on.first + q, false);
            const QRectF &other = meant == u'S' ? no : yes;
            if (pen == Pen::Cancelled || pen == Pen::Corrected)
                fill(painter, meant == u'-' ? (random.bounded(2) ? yes : no) : other, hand, false,
                     random);
            else if (pen == Pen::HurriedFill)
                fill(painter, meant == u'-' ? (random.bounded(2) ? yes : no) : other, hand, true,
                     random);
            else if (pen == Pen::Erased)
                erased(painter, meant == u'-' ? (random.bounded(2) ? yes : no) : other, hand,
                       random);
            if (meant == u'-')
                continue;
            const QRectF chosen = meant == u'S' ? yes : no;
            const bool plain = pen == Pen::Corrected || pen == Pen::Cancelled ||
                               pen == Pen::HurriedFill || pen == Pen::Erased;
            drawMark(painter, chosen, plain ? Pen::Cross : pen, hand, random);
        }
        if (page == 0) {
            for (int column = 0; column < dni.size(); ++column) {
                const Pen pen = random.bounded(3) == 0 ? Pen::Tick : Pen::Cross;
                drawMark(painter, SheetLayout::dniBox(column, dni[column].digitValue()), pen, hand,
                         random);
                // The digit written by hand above its column, now and then past its box.
                write(painter, SheetLayout::dniWriteBox(column).adjusted(0, 0, 0, 0.6),
                      dni.mid(column, 1), hand, between(random, 4.0, 6.5), random);
            }
        }
        if (layout.hasNameLine(page)) {
            const QRectF name = SheetLayout::nameArea();
            write(painter, QRectF(name.left() + 40, name.top() - 1, 70, name.height()),
                  QStringLiteral("Lucía Ferrer Campos"), hand, between(random, 4.0, 5.5), random);
        }
        if (withStrayInk)
            strayInk(painter, layout, page, hand, random);
        if (distortion.coveredCorner >= 0) {
            // A thumb over a corner mark.
            const QPointF mark = SheetLayout::markCentres().at(distortion.coveredCorner);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(205, 160, 140));
            painter.drawEllipse(mark, 11.0, 8.0);
        }
        marked.answers = answers.mid(0, on.count);
        marked.dni = page == 0 ? dni : QString();
    }
    marked.scan =
        distort(toMat(distortion.colour ? image : image.convertToFormat(QImage::Format_Grayscale8)),
                distortion, pixelsPerMm, random);
    return marked;
}

Distortion distortionFor(Capture capture, QRandomGenerator &random)
{
    Distortion d;
    d.degrees = jitter(random, 3.0);
    d.scale = 1.0 + jitter(random, 0.03);
    d.shiftMm = jitter(random, 4.0);
    d.perspective = random.generateDouble() * 0.004;
    d.blur = random.generateDouble() * 0.8;
    d.noise = random.generateDouble() * 6.0;
    d.jpegQuality = random.bounded(3) == 0 ? 0 : 60 + random.bounded(36);
    d.paper = random.bounded(4) == 0 ? 205 + random.bounded(25) : 235 + random.bounded(15);
    switch (capture) {
    case Capture::Scan:
        d.noise = random.generateDouble() * 3.0;
        d.blur = random.generateDouble() * 0.5;
        break;
    case Capture::Copier:
        d.blur = 0.4 + random.generateDouble() * 0.8;
        d.noise = 4 + random.generateDouble() * 6.0;
        d.perspective = random.generateDouble() * 0.006;
        d.lightFalloff = random.generateDouble() * 0.15;
        break;
    case Capture::UpsideDown:
        d.degrees += 180;
        break;
    case Capture::Turned:
        d.degrees = (random.bounded(2) ? 90 : 270) + jitter(random, 10.0);
        break;
    case Capture::Colour:
        d.colour = true;
        d.jpegQuality = 50 + random.bounded(40);
        break;
    case Capture::CoveredCorner:
        d.coveredCorner = random.bounded(4);
        d.jpegQuality = 60 + random.bounded(30);
        break;
    case Capture::PhoneOnDesk:
        d.pageShare = between(random, 0.55, 0.9);
        d.degrees = random.bounded(4) * 90 + jitter(random, 10.0);
        [[fallthrough]];
    case Capture::Phone:
        d.colour = true;
        d.perspective = between(random, 0.01, 0.04);
        d.lightFalloff = between(random, 0.1, 0.45);
        d.shadow = random.bounded(2) ? between(random, 0.15, 0.4) : 0.0;
        d.blur = 0.5 + random.generateDouble() * 0.8;
        d.noise = 3 + random.generateDouble() * 5.0;
        d.jpegQuality = 50 + random.bounded(35);
        if (capture == Capture::Phone)
            d.pageShare = between(random, 0.85, 0.92); // the whole page in the frame
        break;
    }
    return d;
}

Hand randomHand(QRandomGenerator &random, bool colour)
{
    Hand hand;
    hand.hue = colour || random.bounded(3) == 0 ? int(random.bounded(3)) : 0;
    const int kind = random.bounded(10);
    if (kind < 6) { // a ballpoint
        hand.ink = random.bounded(60);
        hand.width = between(random, 0.3, 0.55);
    } else if (kind < 9) { // a felt tip
        hand.ink = random.bounded(40);
        hand.width = between(random, 0.6, 1.0);
    } else { // a pencil
        hand.ink = 80 + random.bounded(40);
        hand.width = between(random, 0.35, 0.5);
        hand.hue = 0;
    }
    return hand;
}

} // namespace scanGenerator
