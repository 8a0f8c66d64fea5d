#include "FiguresReport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace figuresReport {

namespace {

constexpr int kDpi = 300;

// The document is laid out in the writer's own pixels, so that a font's
// points are points on paper. Its other lengths (margins, padding, borders,
// an image's size) QTextDocument takes in pixels of the screen's logical
// dpi, reckoned as Qt's font code does, and scales them to the writer.
double layoutDpi()
{
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        return 96;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 100;
}

double mm(double millimetres)
{
    return millimetres * layoutDpi() / 25.4;
}

QTextCharFormat textFormat(double points, bool bold = false)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

void insertHeading(QTextCursor &cursor, const QString &text)
{
    QTextBlockFormat block;
    block.setTopMargin(mm(5));
    block.setBottomMargin(mm(2));
    cursor.insertBlock(block, textFormat(12, true));
    cursor.insertText(text);
}

QTextTable *insertTable(QTextCursor &cursor, int rows, const QList<double> &percentages,
                        bool heading)
{
    QTextTableFormat format;
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QList<QTextLength> widths;
    for (const double percentage : percentages)
        widths << QTextLength(QTextLength::PercentageLength, percentage);
    format.setColumnWidthConstraints(widths);
    format.setCellPadding(mm(1.2));
    format.setCellSpacing(0);
    format.setBorder(mm(0.2));
    format.setBorderBrush(Qt::gray);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setHeaderRowCount(heading ? 1 : 0); // repeated on every page
    return cursor.insertTable(rows, int(percentages.size()), format);
}

void setCell(QTextTable *table, int row, int column, const QString &text, bool bold = false)
{
    QTextCursor cell = table->cellAt(row, column).firstCursorPosition();
    cell.insertText(text, textFormat(10, bold));
}

} // namespace

QByteArray pdf(const QString &heading, const figuresTable::Table &table,
               const QStringList &questionTexts, const QImage &chart,
               const QStringList &refusedPages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    writer.setTitle(heading);
    writer.setCreator(QStringLiteral("Orvalis"));
    const QSizeF page = writer.pageLayout().paintRectPixels(kDpi).size();

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setPageSize(page);
    document.setDocumentMargin(0);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);

    QTextCursor cursor(&document);
    QTextBlockFormat titleBlock;
    titleBlock.setBottomMargin(mm(2));
    cursor.setBlockFormat(titleBlock);
    cursor.insertText(heading, textFormat(16, true));

    insertHeading(cursor, QStringLiteral("Cifras del examen"));
    QTextTable *figures = insertTable(cursor, int(table.exam.size()), {35, 65}, false);
    for (int row = 0; row < table.exam.size(); ++row) {
        setCell(figures, row, 0, table.exam[row].first, true);
        setCell(figures, row, 1, table.exam[row].second);
    }
    cursor.movePosition(QTextCursor::End);

    if (!chart.isNull()) {
        insertHeading(cursor, QStringLiteral("Notas"));
        cursor.insertBlock(QTextBlockFormat());
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("grafico")), chart);
        // The page's width, unless that makes it taller than half a page.
        const QSizeF room = page * layoutDpi() / kDpi;
        const double width =
            std::min(room.width(), room.height() / 2 * chart.width() / std::max(1, chart.height()));
        QTextImageFormat image;
        image.setName(QStringLiteral("grafico"));
        image.setWidth(width);
        image.setHeight(width * chart.height() / std::max(1, chart.width()));
        cursor.insertImage(image);
    }

    insertHeading(cursor, QStringLiteral("Preguntas"));
    QTextTable *questions =
        insertTable(cursor, int(table.questions.size()) + 1, {11, 33, 56}, true);
    const QStringList headings{QStringLiteral("Pregunta"),
                               QStringLiteral("Acierto y discriminación"), QStringLiteral("Texto")};
    for (int column = 0; column < 3; ++column)
        setCell(questions, 0, column, headings[column], true);
    for (int q = 0; q < table.questions.size(); ++q) {
        setCell(questions, q + 1, 0, QString::number(q + 1));
        setCell(questions, q + 1, 1, table.questions[q]);
        setCell(questions, q + 1, 2, questionTexts.value(q));
    }
    cursor.movePosition(QTextCursor::End);

    if (!refusedPages.isEmpty()) {
        insertHeading(cursor, QStringLiteral("Páginas rechazadas"));
        for (const QString &line : refusedPages) {
            cursor.insertBlock(QTextBlockFormat(), textFormat(10));
            cursor.insertText(line);
        }
    }

    QPainter painter(&writer);
    for (int p = 0; p < document.pageCount(); ++p) {
        if (p > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -p * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, p * page.height()), page));
        painter.restore();
    }
    painter.end();
    return bytes;
}

} // namespace figuresReport
