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

void drawPen(QPainter &painter, const QRectF &box, Pen pen, QRandomGenerator &random)
{
    const int ink = pen == Pen::LightCross ? 120 + random.bounded(50) : random.bounded(70);
    const double width = pen == Pen::LightCross ? 0.3 : 0.35 + random.generateDouble() * 0.3;
    painter.setPen(QPen(QColor(ink, ink, ink + 20), width, Qt::SolidLine, Qt::RoundCap));
    const QRectF r = box.adjusted(0.4 + jitter(random, 0.3), 0.4 + jitter(random, 0.3),
                                  -0.4 + jitter(random, 0.3), -0.4 + jitter(random, 0.3));
    if (pen == Pen::Tick) {
        QPainterPath tick(QPointF(r.left(), r.center().y()));
        tick.lineTo(r.left() + r.width() * 0.4, r.bottom());
        tick.lineTo(r.right() + 0.5, r.top() - 0.5);
        painter.drawPath(tick);
        return;
    }
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomLeft());
}

// Fills a box the way a pen does: strokes to and fro, over the edge.
void fill(QPainter &painter, const QRectF &box, QRandomGenerator &random)
{
    const int ink = random.bounded(60);
    painter.setPen(QPen(QColor(ink, ink, ink), 0.7, Qt::SolidLine, Qt::RoundCap));
    const QRectF r = box.adjusted(0.1, 0.1, -0.1, -0.1);
    for (double y = r.top(); y <= r.bottom(); y += 0.45)
        painter.drawLine(QPointF(r.left() + jitter(random, 0.1), y),
                         QPointF(r.right() + jitter(random, 0.1), y + 0.2));
}

cv::Mat distort(const cv::Mat &page, const Distortion &d, double pixelsPerMm,
                QRandomGenerator &random)
{
    const float w = float(page.cols), h = float(page.rows);
    std::vector<cv::Point2f> from{{0, 0}, {w, 0}, {w, h}, {0, h}}, to;
    const double radians = d.degrees * M_PI / 180.0;
    const double shift = d.shiftMm * pixelsPerMm;
    for (const cv::Point2f &corner : from) {
        const double x = (corner.x - w / 2) * d.scale, y = (corner.y - h / 2) * d.scale;
        const double px = d.perspective * w * random.generateDouble();
        const double py = d.perspective * h * random.generateDouble();
        to.emplace_back(float(w / 2 + x * std::cos(radians) - y * std::sin(radians) + shift + px),
                        float(h / 2 + x * std::sin(radians) + y * std::cos(radians) + shift + py));
    }
    // The page lies on a glass (or a table) a little larger than itself.
    const int margin = int(10 * pixelsPerMm);
    for (cv::Point2f &point : to)
        point += cv::Point2f(float(margin), float(margin));
    cv::Mat moved;
    cv::warpPerspective(page, moved, cv::getPerspectiveTransform(from, to),
                        cv::Size(page.cols + 2 * margin, page.rows + 2 * margin), cv::INTER_LINEAR,
                        cv::BORDER_CONSTANT, cv::Scalar(250));
    if (d.blur > 0)
        cv::GaussianBlur(moved, moved, cv::Size(0, 0), d.blur);
    if (d.noise > 0) {
        cv::Mat noise(moved.size(), CV_16SC1);
        cv::randn(noise, 0, d.noise);
        cv::Mat wide;
        moved.convertTo(wide, CV_16SC1);
        wide += noise;
        wide.convertTo(moved, CV_8UC1);
    }
    if (d.jpegQuality > 0) {
        std::vector<uchar> bytes;
        cv::imencode(".jpg", moved, bytes, {cv::IMWRITE_JPEG_QUALITY, d.jpegQuality});
        moved = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
    }
    return moved;
}

} // namespace

Marked scan(const SheetSet &set, int version, int serial, int page, const QString &answers,
            const QString &dni, double dpi, const QList<Pen> &pens, const Distortion &distortion,
            QRandomGenerator &random)
{
    const double pixelsPerMm = dpi / 25.4;
    QImage image(int(SheetLayout::kPageWidth * pixelsPerMm),
                 int(SheetLayout::kPageHeight * pixelsPerMm), QImage::Format_RGB32);
    image.fill(QColor(245, 245, 240));
    const SheetLayout layout(set.questions);
    Marked marked;
    {
        QPainter painter(&image);
        painter.scale(pixelsPerMm, pixelsPerMm);
        sheetPdf::drawPage(painter, set,
                           SheetCode{SheetLayout::kLayoutVersion, set.exam, set.identifier, version,
                                     serial, page, layout.pages()});
        painter.setRenderHint(QPainter::Antialiasing);
        const SheetLayout::PageQuestions on = layout.pageQuestions(page);
        for (int q = 0; q < on.count; ++q) {
            const QChar meant = q < answers.size() ? answers[q] : QChar(u'-');
            const Pen pen = pens.at(random.bounded(int(pens.size())));
            const QRectF yes = layout.answerBox(on.first + q, true);
            const QRectF no = layout.answerBox(on.first + q, false);
            if (meant == u'-') {
                if (pen == Pen::Cancelled)
                    fill(painter, random.bounded(2) ? yes : no, random);
                continue;
            }
            const QRectF chosen = meant == u'S' ? yes : no;
            if (pen == Pen::Corrected || pen == Pen::Cancelled) {
                fill(painter, meant == u'S' ? no : yes, random);
                drawPen(painter, chosen, Pen::Cross, random);
            } else {
                drawPen(painter, chosen, pen, random);
            }
        }
        if (page == 0)
            for (int column = 0; column < dni.size(); ++column)
                drawPen(painter, SheetLayout::dniBox(column, dni[column].digitValue()), Pen::Cross,
                        random);
        marked.answers = answers.mid(0, on.count);
        marked.dni = page == 0 ? dni : QString();
    }
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat page0(grey.height(), grey.width(), CV_8UC1, const_cast<uchar *>(grey.constBits()),
                        size_t(grey.bytesPerLine()));
    marked.scan = distort(page0, distortion, pixelsPerMm, random);
    return marked;
}

Distortion randomDistortion(QRandomGenerator &random)
{
    Distortion d;
    d.degrees = jitter(random, 3.0) + (random.bounded(8) == 0 ? 180.0 : 0.0);
    d.scale = 1.0 + jitter(random, 0.03);
    d.shiftMm = jitter(random, 4.0);
    d.perspective = random.generateDouble() * 0.008;
    d.blur = random.generateDouble() * 1.0;
    d.noise = random.generateDouble() * 8.0;
    d.jpegQuality = random.bounded(3) == 0 ? 0 : 60 + random.bounded(36);
    return d;
}

} // namespace scanGenerator
