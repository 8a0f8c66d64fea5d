#include "FiguresReport.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace figuresReport {

QByteArray pdf(const QString &heading, const figuresTable::Table &table,
               const QStringList &questionTexts, const QImage &chart)
{
    QTextDocument document;
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    QTextCursor cursor(&document);
    QTextCharFormat title;
    title.setFontPointSize(14);
    title.setFontWeight(QFont::Bold);
    cursor.insertText(heading, title);
    cursor.insertBlock();
    cursor.setCharFormat({});
    QTextTableFormat grid;
    grid.setCellPadding(3);
    grid.setBorder(0.5);
    QTextTable *figures = cursor.insertTable(int(table.exam.size()), 2, grid);
    for (int row = 0; row < table.exam.size(); ++row) {
        figures->cellAt(row, 0).firstCursorPosition().insertText(table.exam[row].first);
        figures->cellAt(row, 1).firstCursorPosition().insertText(table.exam[row].second);
    }
    cursor.movePosition(QTextCursor::End);
    if (!chart.isNull()) {
        cursor.insertBlock();
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("grafico")), chart);
        QTextImageFormat image;
        image.setName(QStringLiteral("grafico"));
        image.setWidth(420);
        image.setHeight(420.0 * chart.height() / std::max(1, chart.width()));
        cursor.insertImage(image);
    }
    cursor.insertBlock();
    QTextTable *questions = cursor.insertTable(int(table.questions.size()) + 1, 3, grid);
    const QStringList headings{QStringLiteral("Pregunta"),
                               QStringLiteral("Acierto y discriminación"), QStringLiteral("Texto")};
    for (int column = 0; column < 3; ++column)
        questions->cellAt(0, column).firstCursorPosition().insertText(headings[column]);
    for (int q = 0; q < table.questions.size(); ++q) {
        questions->cellAt(q + 1, 0).firstCursorPosition().insertText(QString::number(q + 1));
        questions->cellAt(q + 1, 1).firstCursorPosition().insertText(table.questions[q]);
        questions->cellAt(q + 1, 2).firstCursorPosition().insertText(questionTexts.value(q));
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setTitle(heading);
    writer.setCreator(QStringLiteral("Orvalis"));
    document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
    document.print(&writer);
    return bytes;
}

} // namespace figuresReport
