#include "SheetPdf.h"

#include "SheetLayout.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

namespace sheetPdf {

namespace {

// Text sizes are given in millimetres, since the painter draws in them.
QFont fontOf(double heightMm, bool bold = false,
             const QString &family = QStringLiteral("Liberation Sans"))
{
    QFont font(family);
    font.setPointSizeF(heightMm * 72.0 / 25.4);
    font.setBold(bold);
    return font;
}

void drawMark(QPainter &painter, const QPointF &centre)
{
    const auto square = [&centre](double side) {
        return QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
    };
    painter.fillRect(square(SheetLayout::kMarkSize), Qt::black);
    painter.fillRect(square(SheetLayout::kMarkHole), Qt::white);
    painter.fillRect(square(SheetLayout::kMarkCore), Qt::black);
}

void drawQr(QPainter &painter, const QString &text)
{
    const ZXing::BitMatrix bits = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode)
                                      .setMargin(0)
                                      .setEccLevel(4)
                                      .encode(text.toStdString(), 0, 0);
    const QRectF area = SheetLayout::qrArea();
    const double module = area.width() / bits.width();
    for (int y = 0; y < bits.height(); ++y)
        for (int x = 0; x < bits.width(); ++x) {
            if (!bits.get(x, y))
                continue;
            int run = 1;
            while (x + run < bits.width() && bits.get(x + run, y))
                ++run;
            // A hair wider, so that neighbouring modules leave no seam.
            painter.fillRect(QRectF(area.x() + x * module, area.y() + y * module,
                                    run * module + 0.01, module + 0.01),
                             Qt::black);
            x += run - 1;
        }
}

void drawBox(QPainter &painter, const QRectF &box)
{
    painter.setPen(QPen(Qt::black, 0.25));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
}

} // namespace

QString instructions()
{
    return QStringLiteral("Marque cada respuesta con una X dentro de su casilla. Para cambiarla, "
                          "rellene entera la casilla equivocada y marque la otra con una X.");
}

void drawPage(QPainter &painter, const SheetSet &set, const SheetCode &code)
{
    const SheetLayout layout(set.questions);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QPointF &centre : SheetLayout::markCentres())
        drawMark(painter, centre);
    drawQr(painter, code.text());
    painter.setPen(Qt::black);
    painter.setFont(fontOf(2.6, false, QStringLiteral("DejaVu Sans Mono")));
    painter.drawText(SheetLayout::codeTextArea(), Qt::AlignRight | Qt::AlignVCenter, code.text());

    if (code.page == 0) {
        painter.setFont(fontOf(5.0, true));
        painter.drawText(SheetLayout::titleArea(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         set.title);
        const QRectF version = SheetLayout::versionArea();
        painter.setFont(fontOf(3.0));
        painter.drawText(version, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("VERSIÓN"));
        painter.setFont(fontOf(16.0, true));
        painter.drawText(version.adjusted(0, 4, 0, 0), Qt::AlignCenter,
                         QString(QChar(u'A' + code.version)));
        painter.setFont(fontOf(3.5));
        const QRectF name = SheetLayout::nameArea();
        painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Nombre y apellidos:"));
        painter.setPen(QPen(Qt::black, 0.25));
        painter.drawLine(QPointF(name.left() + 38, name.center().y() + 2),
                         QPointF(name.right(), name.center().y() + 2));
        painter.setFont(fontOf(3.0));
        painter.drawText(QRectF(24, 62, 95, 7), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("DNI o NIE, 8 cifras (NIE: X=0, Y=1, Z=2):"));
        for (int column = 0; column < SheetLayout::kDniDigits; ++column) {
            drawBox(painter, SheetLayout::dniWriteBox(column));
            for (int digit = 0; digit < 10; ++digit)
                drawBox(painter, SheetLayout::dniBox(column, digit));
        }
        painter.setFont(fontOf(2.8));
        for (int digit = 0; digit < 10; ++digit) {
            const QRectF box = SheetLayout::dniBox(0, digit);
            painter.drawText(QRectF(box.left() - 6, box.top(), 5, box.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(digit));
        }
    } else {
        painter.setFont(fontOf(3.5, true));
        painter.drawText(SheetLayout::titleArea(), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("%1 — versión %2, hoja %3, página %4 de %5")
                             .arg(set.title, QString(QChar(u'A' + code.version)))
                             .arg(code.serial)
                             .arg(code.page + 1)
                             .arg(code.pages));
    }
    painter.setFont(fontOf(2.9, true));
    painter.drawText(SheetLayout::instructionArea(code.page), Qt::AlignLeft | Qt::AlignVCenter,
                     instructions());

    const SheetLayout::PageQuestions on = layout.pageQuestions(code.page);
    const int rows = layout.rowsOn(code.page);
    painter.setFont(fontOf(3.0, true));
    for (int column = 0; column * rows < on.count; ++column) {
        const QRectF heading = layout.columnHeading(code.page, column);
        painter.drawText(heading, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" Sí"));
        painter.drawText(heading, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("No "));
    }
    painter.setFont(fontOf(3.2));
    for (int question = on.first; question < on.first + on.count; ++question) {
        painter.setPen(Qt::black);
        painter.drawText(layout.numberArea(question), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(question + 1));
        drawBox(painter, layout.answerBox(question, true));
        drawBox(painter, layout.answerBox(question, false));
    }
}

QByteArray pdf(const SheetSet &set)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Hojas de respuestas: %1").arg(set.title));
        writer.setCreator(QStringLiteral("Orvalis"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(1200);
        QPainter painter(&writer);
        const double scale = writer.resolution() / 25.4;
        painter.scale(scale, scale);
        const SheetLayout layout(set.questions);
        bool first = true;
        for (int version = 0; version < set.versions; ++version)
            for (int copy = 0; copy < set.copies; ++copy)
                for (int page = 0; page < layout.pages(); ++page) {
                    if (!first)
                        writer.newPage();
                    first = false;
                    const SheetCode code{
                        SheetLayout::kLayoutVersion, set.exam, set.identifier, version,
                        set.firstSerial + copy,      page,     layout.pages()};
                    drawPage(painter, set, code);
                }
    }
    return buffer.data();
}

} // namespace sheetPdf
