#pragma once
// Prints an examination text: portrait, "Courier New" 10 pt, starting 900
// twips right of and 700 twips below the printable area's top-left corner.
// A line wider than the room left on the paper is wrapped at a word boundary
// and continues at the left margin, and a new page starts whenever the next
// line would pass the printable area's bottom, with the same margins on every
// page, so nothing of the text is lost on paper. A form feed (between the
// versions of an exam) starts a new page.

#include <QList>
#include <QString>
#include <QStringList>

class QFontMetricsF;
class QPrinter;

class TextPrinter
{
public:
    static constexpr int kLeftTwips = 900;
    static constexpr int kTopTwips = 700;

    // Prints on any printer (the default one, or a PDF file in tests);
    // false when the printer could not be started or the job failed.
    static bool print(QPrinter &printer, const QString &text);

    // The text's lines as they go on paper: split at CR LF (or a lone CR or
    // LF), each wrapped to `width`; at least one line.
    static QStringList layoutLines(const QString &text, const QFontMetricsF &metrics, qreal width);
    // Lines grouped into pages of at most `linesPerPage` (at least 1).
    static QList<QStringList> paginate(const QStringList &lines, int linesPerPage);
};
