#include "TextPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

namespace {

constexpr double kTwipsPerInch = 1440.0;

// Where the widest piece that fits ends: the number of leading characters of
// `line` no wider than `width`, at least 1 so that every cut makes progress.
qsizetype fittingLength(const QString &line, const QFontMetricsF &metrics, qreal width)
{
    qsizetype low = 1;
    qsizetype high = line.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(line.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    // Never split a surrogate pair.
    if (low < line.size() && low > 1 && line.at(low - 1).isHighSurrogate())
        --low;
    return low;
}

} // namespace

QStringList TextPrinter::wrapLine(const QString &line, const QFontMetricsF &metrics, qreal width)
{
    QStringList pieces;
    QString rest = line;
    while (metrics.horizontalAdvance(rest) > width && rest.size() > 1) {
        const qsizetype fit = fittingLength(rest, metrics, width);
        // The blank at or before the first character that no longer fits.
        const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), fit);
        qsizetype cutEnd = fit;    // end of the piece printed on this line
        qsizetype nextStart = fit; // start of what goes on the next line
        if (blank > 0) {
            cutEnd = blank;
            while (cutEnd > 0 && rest.at(cutEnd - 1) == QLatin1Char(' '))
                --cutEnd;
            nextStart = blank;
            while (nextStart < rest.size() && rest.at(nextStart) == QLatin1Char(' '))
                ++nextStart;
            if (cutEnd == 0) { // only blanks before the cut: keep them, cut the word
                cutEnd = fit;
                nextStart = fit;
            }
        }
        pieces.append(rest.left(cutEnd));
        rest = rest.mid(nextStart);
        if (rest.isEmpty())
            return pieces;
    }
    pieces.append(rest);
    return pieces;
}

QStringList TextPrinter::layoutLines(const QString &text, const QFontMetricsF &metrics, qreal width)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString &line : text.split(lineEnd))
        lines.append(wrapLine(line, metrics, width));
    // The line end after the last line only ends it; blank lines at the end
    // would otherwise start a page of their own.
    while (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QList<QStringList> TextPrinter::paginate(const QStringList &lines, int linesPerPage)
{
    linesPerPage = qMax(1, linesPerPage);
    QList<QStringList> pages;
    for (qsizetype start = 0; start < lines.size(); start += linesPerPage)
        pages.append(lines.mid(start, linesPerPage));
    if (pages.isEmpty())
        pages.append(QStringList{QString()});
    return pages;
}

bool TextPrinter::print(QPrinter &printer, const QString &text)
{
    printer.setPageOrientation(QPageLayout::Portrait);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(10.0);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &printer);

    // The painter's origin is the printable area's top-left corner.
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const qreal left = kLeftTwips * printer.resolution() / kTwipsPerInch;
    const qreal top = kTopTwips * printer.resolution() / kTwipsPerInch;
    const qreal width = printable.width() - left;
    const qreal lineHeight = metrics.lineSpacing();
    const int linesPerPage = int((printable.height() - top) / lineHeight);

    const QList<QStringList> pages = paginate(layoutLines(text, metrics, width), linesPerPage);
    bool ok = true;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage())
            ok = false;
        qreal y = top;
        for (const QString &line : pages.at(p)) {
            painter.drawText(QPointF(left, y + metrics.ascent()), line);
            y += lineHeight;
        }
    }
    return painter.end() && ok;
}
