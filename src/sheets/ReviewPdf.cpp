#include "ReviewPdf.h"

#include "GradesReport.h"
#include "SheetLayout.h"
#include "SheetPdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace reviewPdf {

namespace {

void drawRead(QPainter &painter, const QRectF &box, QChar verdict)
{
    const QRectF around = box.adjusted(-1.2, -1.2, 1.2, 1.2);
    painter.setBrush(Qt::NoBrush);
    switch (verdict.unicode()) {
    case u'R': // right
        painter.setPen(QPen(QColor(0, 140, 0), 0.6));
        painter.drawEllipse(around);
        break;
    case u'W': // wrong
        painter.setPen(QPen(QColor(210, 0, 0), 0.7));
        painter.drawLine(around.topLeft(), around.bottomRight());
        painter.drawLine(around.topRight(), around.bottomLeft());
        break;
    default: // doubtful
        painter.setPen(QPen(QColor(0, 60, 220), 0.6));
        painter.drawRect(around);
        sheetPdf::drawText(painter, QRectF(around.right() + 0.3, around.top(), 3, around.height()),
                           Qt::AlignCenter, QStringLiteral("?"), 3.5, true);
    }
}

// Two lines in the margin between the top corner marks: first what the
// student asks about, the sheet's points and grade, never cut; then the
// exam's title, shortened to fit, and the counts.
void drawHeader(QPainter &painter, const MarkedSheet &sheet, const QString &title)
{
    const auto pendingOr = [&sheet](double value) {
        return sheet.pointsPending() ? QStringLiteral("pendiente") : gradesReport::decimal(value);
    };
    const QString grade = QStringLiteral("Hoja %1 · DNI %2 · puntos %3 · nota %4")
                              .arg(sheet.code.sheetName(), sheet.dni, pendingOr(sheet.points),
                                   pendingOr(sheet.grade));
    const QString counts = QStringLiteral("aciertos %1, errores %2, blancos %3, dudosas %4")
                               .arg(sheet.right)
                               .arg(sheet.wrong)
                               .arg(sheet.blank)
                               .arg(sheet.doubtful);
    const double left = SheetLayout::kMarkSize + 8, width = SheetLayout::kPageWidth - 2 * left;
    const double textHeight = 3.2;
    painter.fillRect(QRectF(left - 1, 0.5, width + 2, 12), Qt::white);
    sheetPdf::drawText(painter, QRectF(left, 1, width, 5), Qt::AlignLeft | Qt::AlignVCenter, grade,
                       textHeight, true);
    // The title's room is measured with the font drawText uses, in the
    // device's pixels.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, int(std::lround(textHeight * painter.transform().m22()))));
    const QFontMetricsF metrics(font, painter.device());
    const QString separator = QStringLiteral(" · ");
    const double room = width * painter.transform().m11() -
                        metrics.horizontalAdvance(separator + counts) - metrics.averageCharWidth();
    const QString line =
        metrics.elidedText(title, Qt::ElideRight, std::max(0.0, room)) + separator + counts;
    sheetPdf::drawText(painter, QRectF(left, 6.5, width, 5), Qt::AlignLeft | Qt::AlignVCenter, line,
                       textHeight);
}

} // namespace

QByteArray pdf(const MarkingResult &result, const AnswerKey &key)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QPainter painter;
    sheetPdf::beginPages(writer, painter, QStringLiteral("Revisión: %1").arg(key.title), 600);
    bool first = true;
    for (const MarkedSheet &sheet : result.sheets) {
        const SheetLayout layout(key.questions(), sheet.code.layout);
        const QList<bool> &answers = key.answers.value(sheet.code.version);
        for (int page = 0; page < sheet.pages.size(); ++page) {
            const cv::Mat &image = sheet.pages[page].straight;
            if (image.empty())
                continue;
            if (!first)
                writer.newPage();
            first = false;
            const QImage scanned(image.data, image.cols, image.rows, int(image.step),
                                 QImage::Format_Grayscale8);
            painter.drawImage(QRectF(0, 0, SheetLayout::kPageWidth, SheetLayout::kPageHeight),
                              scanned);
            const SheetLayout::PageQuestions on = layout.pageQuestions(page);
            for (int q = on.first; q < on.first + on.count; ++q) {
                const QChar read = q < sheet.answers.size() ? sheet.answers[q] : QChar(u'?');
                if (read == u'S' || read == u'N') {
                    const bool yes = read == u'S';
                    drawRead(painter, layout.answerBox(q, yes),
                             yes == answers.value(q) ? u'R' : u'W');
                } else if (read == u'?' || read == u'X') {
                    drawRead(painter, layout.answerBox(q, true).united(layout.answerBox(q, false)),
                             u'?');
                }
            }
            drawHeader(painter, sheet, key.title);
        }
    }
    painter.end();
    return buffer.data();
}

} // namespace reviewPdf
