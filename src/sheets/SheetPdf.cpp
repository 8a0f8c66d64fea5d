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

// Draws text in a rectangle given in millimetres, at a height in
// millimetres: in the device's own pixels, so that the font is laid out at
// its real size and not at a fraction of a point magnified.
void drawText(QPainter &painter, const QRectF &mm, int flags, const QString &text, double heightMm,
              bool bold, const QString &family)
{
    painter.save();
    const QTransform transform = painter.transform();
    painter.resetTransform();
    QFont font(family);
    font.setPixelSize(std::max(1, int(std::lround(heightMm * transform.m22()))));
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(transform.mapRect(mm), flags, text);
    painter.restore();
}

QString instructions()
{
    return QStringLiteral("Marque cada respuesta con una X dentro de su casilla. Para cambiarla, "
                          "rellene entera la casilla equivocada y marque la otra con una X.");
}

QString copyWarning()
{
    return QStringLiteral("No fotocopie esta hoja: cada alumno necesita la suya.");
}

namespace {

void drawNameLine(QPainter &painter)
{
    const QRectF name = SheetLayout::nameArea();
    drawText(painter, name, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Nombre y apellidos:"),
             3.5);
    painter.setPen(QPen(Qt::black, 0.25));
    painter.drawLine(QPointF(name.left() + 38, name.center().y() + 2),
                     QPointF(name.right(), name.center().y() + 2));
}

} // namespace

void drawPage(QPainter &painter, const SheetSet &set, const SheetCode &code)
{
    const SheetLayout layout(set.questions, code.layout);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QPointF &centre : SheetLayout::markCentres())
        drawMark(painter, centre);
    drawQr(painter, code.text());
    drawText(painter, SheetLayout::codeTextArea(), Qt::AlignRight | Qt::AlignVCenter, code.text(),
             2.6, false, QStringLiteral("DejaVu Sans Mono"));
    const QString letter(QChar(u'A' + code.version));

    if (code.page == 0) {
        drawText(painter, SheetLayout::titleArea(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                 set.title, 5.0, true);
        const QRectF version = SheetLayout::versionArea();
        drawText(painter, version, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("VERSIÓN"), 3.0);
        drawText(painter, version.adjusted(0, 4, 0, 0), Qt::AlignCenter, letter, 16.0, true);
        drawText(painter, QRectF(24, 62, 95, 7), Qt::AlignRight | Qt::AlignVCenter,
                 QStringLiteral("DNI o NIE, 8 cifras (NIE: X=0, Y=1, Z=2):"), 3.0);
        for (int column = 0; column < SheetLayout::kDniDigits; ++column) {
            drawBox(painter, SheetLayout::dniWriteBox(column));
            for (int digit = 0; digit < 10; ++digit)
                drawBox(painter, SheetLayout::dniBox(column, digit));
        }
        for (int digit = 0; digit < 10; ++digit) {
            const QRectF box = SheetLayout::dniBox(0, digit);
            drawText(painter, QRectF(box.left() - 6, box.top(), 5, box.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(digit), 2.8);
        }
    } else {
        drawText(painter, SheetLayout::titleArea(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                 QStringLiteral("%1 — versión %2, hoja %3, página %4 de %5")
                     .arg(set.title, letter)
                     .arg(code.serial)
                     .arg(code.page + 1)
                     .arg(code.pages),
                 3.5, true);
    }
    if (layout.hasNameLine(code.page))
        drawNameLine(painter);
    drawText(painter, layout.instructionArea(code.page),
             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, instructions(), 2.9, true);
    if (const QRectF warning = layout.warningArea(code.page); !warning.isEmpty())
        drawText(painter, warning, Qt::AlignLeft | Qt::AlignTop, copyWarning(), 2.6);

    const SheetLayout::PageQuestions on = layout.pageQuestions(code.page);
    const int rows = layout.rowsOn(code.page);
    for (int column = 0; column * rows < on.count; ++column) {
        const QRectF heading = layout.columnHeading(code.page, column);
        drawText(painter, heading, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral(" Sí"), 3.0,
                 true);
        drawText(painter, heading, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("No "), 3.0,
                 true);
    }
    for (int question = on.first; question < on.first + on.count; ++question) {
        drawText(painter, layout.numberArea(question), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(question + 1), 3.2);
        drawBox(painter, layout.answerBox(question, true));
        drawBox(painter, layout.answerBox(question, false));
    }
}

void beginPages(QPdfWriter &writer, QPainter &painter, const QString &title, int dpi)
{
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Orvalis"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(dpi);
    painter.begin(&writer);
    painter.scale(dpi / 25.4, dpi / 25.4);
}

QByteArray pdf(const SheetSet &set)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter painter;
        beginPages(writer, painter, QStringLiteral("Hojas de respuestas: %1").arg(set.title), 1200);
        const SheetLayout layout(set.questions, set.layout);
        const int sheets = set.versions * set.copies;
        for (int sheet = 0; sheet < sheets; ++sheet) {
            const int version = set.interleaved ? sheet % set.versions : sheet / set.copies;
            const int copy = set.interleaved ? sheet / set.versions : sheet % set.copies;
            for (int page = 0; page < layout.pages(); ++page) {
                if (sheet > 0 || page > 0)
                    writer.newPage();
                const SheetCode code{
                    set.layout, set.exam,      set.identifier, version, set.firstSerial + copy,
                    page,       layout.pages()};
                drawPage(painter, set, code);
            }
        }
    }
    return buffer.data();
}

} // namespace sheetPdf
