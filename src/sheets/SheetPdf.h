#pragma once
// The PDF of answer sheets of one exam of the history: for each version, as
// many copies as asked (each student needs a sheet of their own: every
// sheet's code is unique), each sheet one or more A4 pages laid out by
// SheetLayout, with its code in a QR code (ZXing) and printed beside it.

#include "SheetCode.h"
#include "SheetLayout.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

class QPainter;
class QPdfWriter;

struct SheetSet
{
    qint64 exam = 0;
    quint32 identifier = 0;
    QString title;
    int versions = 1;
    int questions = 0;
    int copies = 1;
    int firstSerial = 1;
    // A, B, C, A, B, C… (the order a class is handed them) rather than every
    // copy of A, then of B…
    bool interleaved = false;
    int layout = SheetLayout::kLayoutVersion; // an older one only to draw sheets already printed
};

namespace sheetPdf {

// Draws `text` in `mm` (the painter's unit being a millimetre) at a height in
// millimetres, laid out in the device's own pixels so that the font is used
// at its real size, not at a fraction of a point magnified.
void drawText(QPainter &painter, const QRectF &mm, int flags, const QString &text, double heightMm,
              bool bold = false, const QString &family = QStringLiteral("Liberation Sans"));

// Sets `writer` up for the sheets' pages (A4, no margins, `dpi`, titled
// `title`) and begins `painter` on it with a millimetre as its unit.
void beginPages(QPdfWriter &writer, QPainter &painter, const QString &title, int dpi);

// The line of instructions printed on every page.
QString instructions();
// The warning under it (layout 2 on).
QString copyWarning();

// The PDF of the sheets: every version's copies one after another, or
// interleaved.
QByteArray pdf(const SheetSet &set);

// Draws one page of one sheet with the painter's unit being one millimetre;
// the scan generator of the tests draws pages with it.
void drawPage(QPainter &painter, const SheetSet &set, const SheetCode &code);

} // namespace sheetPdf
