#include "TextPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

#include <array>

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The widths of the leading pieces of lines in one font. Laying out a text
// asks for many of them (a binary search for every cut), and measuring a
// piece shapes it anew each time. In a fixed-pitch font such as the printer's
// a piece is as wide as the sum of its characters, so each character is
// measured once and a line's pieces are added up from those; a probe checks
// that the font really measures that way, and any other font or a character
// outside the plain Latin range is measured whole, as before.
class PieceWidths
{
public:
    explicit PieceWidths(const QFontMetricsF &metrics) : m_metrics(metrics)
    {
        const QString probe = QStringLiteral("Mi.,¿Qué? ñÑ áéíóú 0123 –—“”");
        qreal sum = 0;
        for (const QChar c : probe)
            sum += m_metrics.horizontalAdvance(c);
        m_byCharacter = sum == m_metrics.horizontalAdvance(probe) &&
                        m_metrics.horizontalAdvance(QLatin1Char('i')) ==
                            m_metrics.horizontalAdvance(QLatin1Char('M'));
    }

    // Prepares the widths of every leading piece of `line`.
    void setLine(const QString &line)
    {
        m_line = line;
        m_added = m_byCharacter && simple(line);
        if (!m_added)
            return;
        m_prefix.resize(line.size() + 1);
        m_prefix[0] = 0;
        for (qsizetype i = 0; i < line.size(); ++i)
            m_prefix[i + 1] = m_prefix[i] + advance(line.at(i));
    }

    // The width of line.mid(from, length).
    qreal width(qsizetype from, qsizetype length) const
    {
        if (m_added)
            return m_prefix[from + length] - m_prefix[from];
        return m_metrics.horizontalAdvance(m_line.mid(from, length));
    }

private:
    static bool simple(const QString &line)
    {
        for (const QChar c : line) {
            const char16_t u = c.unicode();
            // Printable Latin, and the punctuation of the Windows code page.
            if (!((u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u < 0x180) ||
                  (u >= 0x2010 && u < 0x2040) || u == 0x20AC || u == 0x2122))
                return false;
        }
        return true;
    }

    qreal advance(QChar c)
    {
        const char16_t u = c.unicode();
        if (u < 0x180) {
            if (!m_known[u]) {
                m_latin[u] = m_metrics.horizontalAdvance(c);
                m_known[u] = true;
            }
            return m_latin[u];
        }
        return m_metrics.horizontalAdvance(c);
    }

    const QFontMetricsF &m_metrics;
    bool m_byCharacter = false;
    bool m_added = false;
    QString m_line;
    QList<qreal> m_prefix;
    std::array<qreal, 0x180> m_latin{};
    std::array<bool, 0x180> m_known{};
};

// Where the widest piece that fits ends: the number of leading characters of
// line.mid(start) no wider than `width`, at least 1 so that every cut makes
// progress.
qsizetype fittingLength(const QString &line, qsizetype start, const PieceWidths &widths,
                        qreal width)
{
    qsizetype low = 1;
    qsizetype high = line.size() - start;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (widths.width(start, middle) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    // Never split a surrogate pair.
    if (low < line.size() - start && low > 1 && line.at(start + low - 1).isHighSurrogate())
        --low;
    return low;
}

// One line cut into pieces no wider than `width`: at the last blank that lets
// the piece fit (the blanks at the cut are dropped), or inside a word longer
// than the whole width.
QStringList wrap(const QString &line, PieceWidths &widths, qreal width)
{
    widths.setLine(line);
    QStringList pieces;
    qsizetype start = 0; // where the rest of the line begins
    while (widths.width(start, line.size() - start) > width && line.size() - start > 1) {
        const qsizetype fit = fittingLength(line, start, widths, width);
        // The blank at or before the first character that no longer fits.
        const qsizetype blank = line.lastIndexOf(QLatin1Char(' '), start + fit) - start;
        qsizetype cutEnd = fit;    // end of the piece printed on this line
        qsizetype nextStart = fit; // start of what goes on the next line
        if (blank > 0) {
            cutEnd = blank;
            while (cutEnd > 0 && line.at(start + cutEnd - 1) == QLatin1Char(' '))
                --cutEnd;
            nextStart = blank;
            while (start + nextStart < line.size() &&
                   line.at(start + nextStart) == QLatin1Char(' '))
                ++nextStart;
            if (cutEnd == 0) { // only blanks before the cut: keep them, cut the word
                cutEnd = fit;
                nextStart = fit;
            }
        }
        pieces.append(line.mid(start, cutEnd));
        start += nextStart;
        if (start >= line.size())
            return pieces;
    }
    pieces.append(line.mid(start));
    return pieces;
}

} // namespace

QStringList TextPrinter::layoutLines(const QString &text, const QFontMetricsF &metrics, qreal width)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    PieceWidths widths(metrics);
    QStringList lines;
    for (const QString &line : text.split(lineEnd))
        lines.append(wrap(line, widths, width));
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

    QList<QStringList> pages;
    for (const QString &part : text.split(u'\f'))
        pages += paginate(layoutLines(part, metrics, width), linesPerPage);
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
