#pragma once
// Reads back a printed PDF with poppler's command-line tools: its text laid
// out as on paper (pages separated by form feeds), its page count and size,
// and where each page's first word lies.

#include <QList>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace PdfText {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool toolsPresent()
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    return process.waitForFinished(10000) && process.error() == QProcess::UnknownError;
}

// The pages' text, each a list of lines with trailing blanks removed.
inline QList<QStringList> pages(const QString &pdf)
{
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QList<QStringList> result;
    QStringList pageTexts = text.split(QLatin1Char('\f'));
    if (!pageTexts.isEmpty() && pageTexts.constLast().trimmed().isEmpty())
        pageTexts.removeLast();
    for (const QString &page : pageTexts) {
        QStringList lines;
        for (const QString &line : page.split(QLatin1Char('\n'))) {
            QString trimmed = line;
            while (trimmed.endsWith(QLatin1Char(' ')))
                trimmed.chop(1);
            lines.append(trimmed);
        }
        while (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        result.append(lines);
    }
    return result;
}

inline QString info(const QString &pdf, const QString &field)
{
    const QString text = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(text).captured(1).trimmed();
}

// Top-left corner, in points, of the first word of every page.
inline QList<QPointF> firstWordCorners(const QString &pdf)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<QPointF> corners;
    const QRegularExpression page(QStringLiteral("<page [^>]*>(.*?)</page>"),
                                  QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\""));
    auto pages = page.globalMatch(html);
    while (pages.hasNext()) {
        const QRegularExpressionMatch first = word.match(pages.next().captured(1));
        if (first.hasMatch())
            corners.append(QPointF(first.captured(1).toDouble(), first.captured(2).toDouble()));
    }
    return corners;
}

} // namespace PdfText
