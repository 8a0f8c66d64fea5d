#include "ReviewPdf.h"

#include "GradesReport.h"
#include "SheetLayout.h"
#include "SheetPdf.h"

#include <QBuffer>
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
            const QString summary =
                QStringLiteral("Hoja %1 · DNI %2 · aciertos %3, errores %4, blancos %5, dudosas "
                               "%6 · puntos %7 · nota %8")
                    .arg(sheet.code.sheetName(), sheet.dni)
                    .arg(sheet.right)
                    .arg(sheet.wrong)
                    .arg(sheet.blank)
                    .arg(sheet.doubtful)
                    .arg(sheet.pointsPending() ? QStringLiteral("pendiente")
                                               : gradesReport::decimal(sheet.points),
                         sheet.pointsPending() ? QStringLiteral("pendiente")
                                               : gradesReport::decimal(sheet.grade));
            painter.fillRect(QRectF(16, 1, 182, 6), Qt::white);
            sheetPdf::drawText(painter, QRectF(18, 1.5, 178, 5), Qt::AlignLeft | Qt::AlignVCenter,
                               summary, 3.2, true);
        }
    }
    painter.end();
    return buffer.data();
}

} // namespace reviewPdf
