// Printing an examination text: wrapping at word boundaries, pagination with
// the same margins on every page, portrait orientation, and the printed PDF
// read back with pdftotext.
#include "PdfText.h"
#include "TextPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QFontMetricsF courierMetrics()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(10.0);
    return QFontMetricsF(font);
}

std::unique_ptr<QPrinter> pdfPrinter(const QString &path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    return printer;
}

} // namespace

class tst_TextPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!PdfText::toolsPresent())
            QSKIP("pdftotext (poppler-utils) is needed to read the printed PDF back");
    }

    void wrapsAtTheLastBlankThatFits_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("fits") << QStringLiteral("corta") << QStringList{QStringLiteral("corta")};
        QTest::newRow("exactly ten")
            << QStringLiteral("abcdefghij") << QStringList{QStringLiteral("abcdefghij")};
        QTest::newRow("empty") << QString() << QStringList{QString()};
        QTest::newRow("three words")
            << QStringLiteral("aaaa bbbb cccc")
            << QStringList{QStringLiteral("aaaa bbbb"), QStringLiteral("cccc")};
        QTest::newRow("blank right after the limit")
            << QStringLiteral("aaaaaaaaaa bbb")
            << QStringList{QStringLiteral("aaaaaaaaaa"), QStringLiteral("bbb")};
        QTest::newRow("several blanks at the cut")
            << QStringLiteral("aaaa    bbbbbbbb")
            << QStringList{QStringLiteral("aaaa"), QStringLiteral("bbbbbbbb")};
        QTest::newRow("word longer than the line")
            << QStringLiteral("abcdefghijklmnopqrstuvwxy")
            << QStringList{QStringLiteral("abcdefghij"), QStringLiteral("klmnopqrst"),
                           QStringLiteral("uvwxy")};
        QTest::newRow("indent kept, long word cut")
            << QStringLiteral("    abcdefghijkl")
            << QStringList{QStringLiteral("    abcdef"), QStringLiteral("ghijkl")};
        QTest::newRow("answer boxes stay with their question")
            << QStringLiteral("Sí( ) No( )  -  La oferta crece")
            << QStringList{QStringLiteral("Sí( ) No("), QStringLiteral(")  -  La"),
                           QStringLiteral("oferta"), QStringLiteral("crece")};
    }
    void wrapsAtTheLastBlankThatFits()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, pieces);
        const QFontMetricsF metrics = courierMetrics();
        // Room for ten characters of a fixed-pitch font, not for eleven.
        const qreal width = metrics.horizontalAdvance(QStringLiteral("0123456789")) + 1.0;
        QCOMPARE(TextPrinter::wrapLine(line, metrics, width), pieces);
    }

    void splitsAtEveryLineEndAndDropsOnlyTrailingBlankLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty text is one empty line") << QString() << QStringList{QString()};
        QTest::newRow("heading and blank line")
            << QStringLiteral("EXAMEN\r\n\r\n") << QStringList{QStringLiteral("EXAMEN")};
        QTest::newRow("inner blank line kept")
            << QStringLiteral("A\r\n\r\nB\r\n")
            << QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")};
        QTest::newRow("lone line feeds and returns")
            << QStringLiteral("A\nB\rC")
            << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    }
    void splitsAtEveryLineEndAndDropsOnlyTrailingBlankLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextPrinter::layoutLines(text, courierMetrics(), 1000.0), lines);
    }

    void paginatesFullPagesThenTheRest_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QList<int>>("pageSizes");
        QTest::newRow("one line") << 1 << 60 << QList<int>{1};
        QTest::newRow("exactly one page") << 60 << 60 << QList<int>{60};
        QTest::newRow("one line over") << 61 << 60 << QList<int>{60, 1};
        QTest::newRow("page too short for a line") << 2 << 0 << QList<int>{1, 1};
    }
    void paginatesFullPagesThenTheRest()
    {
        QFETCH(int, lineCount);
        QFETCH(int, perPage);
        QFETCH(QList<int>, pageSizes);
        QStringList lines;
        for (int i = 0; i < lineCount; ++i)
            lines.append(QString::number(i));
        const QList<QStringList> pages = TextPrinter::paginate(lines, perPage);
        QList<int> sizes;
        QStringList joined;
        for (const QStringList &page : pages) {
            sizes.append(int(page.size()));
            joined += page;
        }
        QCOMPARE(sizes, pageSizes);
        QCOMPARE(joined, lines);
    }

    void printsAShortExamOnOnePortraitPage()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("examen.pdf"));
        auto printer = pdfPrinter(pdf);
        printer->setPageOrientation(QPageLayout::Landscape); // the job turns it back
        const QString text = QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n"
                                            "Sí( ) No( )  -  La demanda es elástica.\r\n"
                                            "Sí( ) No( )  -  El precio fija la oferta.\r\n");
        QVERIFY(TextPrinter::print(*printer, text));

        QCOMPARE(PdfText::info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
        const QStringList size =
            PdfText::info(pdf, QStringLiteral("Page size")).split(QLatin1Char(' '));
        QVERIFY(size.size() >= 3);
        QVERIFY2(size.at(0).toDouble() < size.at(2).toDouble(), "the page is not portrait");

        const QList<QStringList> pages = PdfText::pages(pdf);
        QCOMPARE(pages.size(), 1);
        // pdftotext rebuilds blanks from positions and may widen a run of
        // blanks, so runs are compared as one.
        QStringList lines = pages.first();
        for (QString &line : lines)
            line = line.simplified();
        lines.removeAll(QString());
        QCOMPARE(lines, (QStringList{QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test"),
                                     QStringLiteral("Sí( ) No( ) - La demanda es elástica."),
                                     QStringLiteral("Sí( ) No( ) - El precio fija la oferta.")}));
    }

    void wrapsALineWiderThanThePaperWithoutLosingAWord()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("ancho.pdf"));
        auto printer = pdfPrinter(pdf);
        QStringList words;
        for (int i = 1; i <= 60; ++i)
            words.append(QStringLiteral("palabra%1").arg(i));
        QVERIFY(TextPrinter::print(*printer, QStringLiteral("Sí( ) No( )  -  ") +
                                                 words.join(QLatin1Char(' '))));

        const QList<QStringList> pages = PdfText::pages(pdf);
        QCOMPARE(pages.size(), 1);
        QStringList printed;
        int printedLines = 0;
        for (const QString &line : pages.first()) {
            if (line.trimmed().isEmpty())
                continue;
            ++printedLines;
            printed += line.simplified().split(QLatin1Char(' '));
        }
        QVERIFY2(printedLines >= 5, qPrintable(QString::number(printedLines)));
        // Every word whole and in order: no word was cut at the right edge.
        QCOMPARE(printed.mid(5), words);
    }

    void startsNewPagesWithTheSameMarginsAndLosesNoLine()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("largo.pdf"));
        auto printer = pdfPrinter(pdf);
        QStringList lines;
        for (int i = 1; i <= 200; ++i)
            lines.append(QStringLiteral("Sí( ) No( )  -  Pregunta número %1")
                             .arg(i, 3, 10, QLatin1Char('0')));
        QVERIFY(TextPrinter::print(*printer, lines.join(QStringLiteral("\r\n"))));

        const QList<QStringList> pages = PdfText::pages(pdf);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        QCOMPARE(PdfText::info(pdf, QStringLiteral("Pages")), QString::number(pages.size()));
        QStringList printed;
        for (const QStringList &page : pages)
            for (const QString &line : page)
                if (!line.trimmed().isEmpty())
                    printed.append(line.simplified());
        for (QString &line : lines)
            line = line.simplified();
        QCOMPARE(printed, lines);

        // Every page starts at the same place: 900 twips (45 pt) right of and
        // 700 twips (35 pt) below the printable area's corner.
        const QList<QPointF> corners = PdfText::firstWordCorners(pdf);
        QCOMPARE(corners.size(), pages.size());
        const QRectF printable = printer->pageLayout().paintRect(QPageLayout::Point);
        for (const QPointF &corner : corners) {
            QVERIFY2(qAbs(corner.x() - (printable.left() + 45.0)) < 2.0,
                     qPrintable(QString::number(corner.x())));
            QVERIFY(qAbs(corner.y() - corners.first().y()) < 0.5);
            QVERIFY(corner.y() >= printable.top() + 35.0 - 0.5);
            QVERIFY(corner.y() < printable.top() + 35.0 + 12.0);
        }
    }

    void anEmptyTextPrintsOneBlankPage()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("vacio.pdf"));
        auto printer = pdfPrinter(pdf);
        QVERIFY(TextPrinter::print(*printer, QString()));
        QCOMPARE(PdfText::info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    }

    void aPrinterThatCannotStartIsReportedNotFatal()
    {
        auto printer = pdfPrinter(QStringLiteral("/no/existe/examen.pdf"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
        QVERIFY(!TextPrinter::print(*printer, QStringLiteral("texto")));
    }
};

QTEST_MAIN(tst_TextPrinter)
#include "tst_TextPrinter.moc"
