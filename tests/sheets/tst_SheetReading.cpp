// The reading of one scanned page: the sheet's code, the printed marking
// rule, and generated scans (every pen, moved and degraded as copiers and
// phones do, 150 to 600 dpi, one and two pages, in the layout printed now and
// in the one sheets already printed have) read back as they were marked:
// never a mark read wrongly.

#include "ScanGenerator.h"
#include "SheetCode.h"
#include "SheetLayout.h"
#include "SheetPdf.h"
#include "SheetReader.h"

#include <QPainter>
#include <QTest>

using scanGenerator::Distortion;
Q_DECLARE_METATYPE(Distortion)
using scanGenerator::Capture;
using scanGenerator::Pen;

class tst_SheetReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codesAreOursOrNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fields"); // exam|identifier|version|serial|page|pages
        QTest::newRow("one page") << "ORVL1-12-7F2A91C4-B-003-1/1"
                                  << "12|7f2a91c4|1|3|0|1";
        QTest::newRow("second of two") << "ORVL1-7-00000001-D-12345-2/2"
                                       << "7|1|3|12345|1|2";
        // A page beyond the last, serial 0, a short identifier, a space after,
        // another program's code.
        for (const char *bad : {"ORVL1-12-7F2A91C4-B-003-3/2", "ORVL1-12-7F2A91C4-A-000-1/1",
                                "ORVL1-12-7F2A91C-A-001-1/1", "ORVL1-12-7F2A91C4-A-001-1/1 ",
                                "https://example.org/1"})
            QTest::newRow(bad) << QString::fromLatin1(bad) << QString();
    }
    void codesAreOursOrNothing()
    {
        QFETCH(QString, text);
        QFETCH(QString, fields);
        const std::optional<SheetCode> code = SheetCode::parse(text);
        QCOMPARE(code.has_value(), !fields.isEmpty());
        if (!code)
            return;
        QCOMPARE(QStringLiteral("%1|%2|%3|%4|%5|%6")
                     .arg(code->exam)
                     .arg(code->identifier, 0, 16)
                     .arg(code->version)
                     .arg(code->serial)
                     .arg(code->page)
                     .arg(code->pages),
                 fields);
        QCOMPARE(code->text(), text);
    }

    // Each question of a sheet is printed with both its boxes: four edges of
    // ink around a blank square.
    void everyQuestionIsPrintedWithBothBoxes()
    {
        const SheetSet set{1, 1, "Parcial", 1, 100};
        const SheetLayout layout(set.questions, set.layout);
        const double px = 8; // pixels a millimetre
        QImage page(int(SheetLayout::kPageWidth * px), int(SheetLayout::kPageHeight * px),
                    QImage::Format_Grayscale8);
        page.fill(255);
        {
            QPainter painter(&page);
            painter.scale(px, px);
            sheetPdf::drawPage(painter, set, SheetCode{set.layout, 1, 1, 0, 1, 0, layout.pages()});
        }
        const auto darkest = [&page, px](double x, double y) { // within a quarter millimetre
            int least = 255;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    least = std::min(least, qGray(page.pixel(int(x * px) + dx, int(y * px) + dy)));
            return least;
        };
        const SheetLayout::PageQuestions on = layout.pageQuestions(0);
        QString seen;
        for (int q = on.first; q < on.first + on.count; ++q)
            for (const bool yes : {true, false}) {
                const QRectF b = layout.answerBox(q, yes);
                const QPointF c = b.center();
                const bool drawn = darkest(c.x(), b.top()) < 128 &&
                                   darkest(c.x(), b.bottom()) < 128 &&
                                   darkest(b.left(), c.y()) < 128 &&
                                   darkest(b.right(), c.y()) < 128 && darkest(c.x(), c.y()) > 200;
                seen += drawn ? u'#' : u'?';
            }
        QCOMPARE(seen, QString(2 * on.count, u'#'));
    }

    // Two boxes judged together, from what the ink in each looks like.
    void boxesReadByThePrintedRule_data()
    {
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::addColumn<QString>("answer");
        const auto row = [](const char *name, const char *yes, const char *no, const char *answer) {
            QTest::newRow(name) << QString(yes) << QString(no) << QString(answer);
        };
        row("cross on Sí", "cross", "empty", "S");
        row("tick on No", "empty", "tick", "N");
        row("nothing", "empty", "empty", "-");
        row("both crossed", "cross", "cross", "X");
        row("bold cross past the box", "bold", "empty", "S");
        row("bold with one side clear", "bold, one side clear", "empty", "S");
        row("bold with no side clear", "bold, all sides dark", "empty", "?");
        row("a small cross", "small", "empty", "S");
        row("Sí filled, No crossed", "filled", "cross", "N");
        row("Sí filled alone: cancelled", "filled", "empty", "-");
        row("erased Sí beside a crossed No", "ghost", "cross", "N");
        row("an erasure alone", "ghost", "empty", "?");
        row("a very light cross alone", "barely", "empty", "?");
        row("specks of noise", "specks", "empty", "-");
        row("a dot in the middle", "dot", "empty", "?");
        row("a digit's tail at the edge", "tail", "cross", "N");
        row("hatched in a hurry beside a cross", "hurried", "cross", "?");
        row("hatched in a hurry alone", "empty", "hurried", "?");
        row("shaded lightly all over", "shaded lightly", "empty", "?");
        row("a dark cross blurred wide", "blurred", "empty", "S");
        row("a blot", "blot", "empty", "?");
        row("a stroke a photo blurred lighter", "blurred light", "empty", "S");
        row("as light as an erasure", "ghost stroke", "empty", "?");
        row("a plus through every side", "plus", "empty", "?");
    }
    void boxesReadByThePrintedRule()
    {
        QFETCH(QString, yes);
        QFETCH(QString, no);
        QFETCH(QString, answer);
        // inked, faint, centre, spread, peak, clear sides, strokes, faint spread
        static const QHash<QString, sheetReader::Ink> kinds{
            {"empty", {0.0, 0.01, 0, 0, 0.05, 4, 0}},
            {"cross", {0.22, 0.3, 0.45, 0.9, 1, 4, 2}},
            {"tick", {0.15, 0.2, 0.2, 0.85, 1, 1, 2}},
            {"bold", {0.72, 0.8, 0.95, 1, 1.1, 2, 2}},
            {"filled", {0.96, 1, 1, 1, 1.1, 0, 1}},
            {"ghost", {0.01, 0.2, 0, 0, 0.3, 4, 0}},
            {"dot", {0.05, 0.06, 0.2, 0.2, 1, 4, 1}},
            {"tail", {0.04, 0.05, 0, 0.25, 1, 3, 1}},
            {"hurried", {0.45, 0.6, 0.5, 1, 1, 1, 4}},
            {"blot", {0.3, 0.35, 0.9, 0.25, 1, 4, 1}},
            {"small", {0.06, 0.08, 0.2, 0.5, 1, 4, 2}},
            {"plus", {0.2, 0.25, 0.4, 0.9, 1, 0, 1}},
            {"bold, one side clear", {0.6, 0.7, 0.9, 1, 1, 1, 2}},
            {"bold, all sides dark", {0.6, 0.7, 0.9, 1, 1, 0, 2}},
            {"shaded lightly", {0.17, 0.57, 0.37, 0.8, 0.6, 4, 2}},
            {"blurred", {0.16, 0.43, 0.33, 0.54, 0.91, 3, 2}},
            {"blurred light", {0.035, 0.3, 0.1, 0.21, 0.48, 4, 1, 0.8}},
            {"ghost stroke", {0.035, 0.3, 0.1, 0.21, 0.3, 4, 1, 0.8}},
            {"barely", {0.0, 0.04, 0, 0, 0.3, 4, 0, 0.6}},
            {"specks", {0.0, 0.04, 0, 0, 0.3, 4, 0, 0.1}}};
        QCOMPARE(QString(sheetReader::answerOf(sheetReader::stateOf(kinds.value(yes)),
                                               sheetReader::stateOf(kinds.value(no)))),
                 answer);
    }

    void scansReadAsMarked_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pen");
        QTest::addColumn<int>("capture"); // -1: the distortion given
        QTest::addColumn<Distortion>("distortion");
        QTest::addColumn<int>("mostDoubtful");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("pages");
        const auto d = [](double degrees, double scale, double shift, double perspective,
                          double blur, double noise, int jpeg) {
            return Distortion{degrees, scale, shift, perspective, blur, noise, jpeg};
        };
        QTest::newRow("150 dpi, JPEG 60") << 40 << 0 << 150.0 << int(Pen::Cross) << -1
                                          << d(0.5, 1, 0, 0, 0.6, 4, 60) << 0 << 1 << 1;
        QTest::newRow("200 dpi, ticks, turned 3°") << 40 << 0 << 200.0 << int(Pen::Tick) << -1
                                                   << d(3, 1.02, 3, 0, 0.5, 5, 85) << 0 << 1 << 1;
        QTest::newRow("300 dpi, corrected, upside down")
            << 40 << 0 << 300.0 << int(Pen::Corrected) << -1 << d(181.5, 0.98, -3, 0, 0.8, 6, 75)
            << 0 << 1 << 1;
        QTest::newRow("600 dpi, cancelled, perspective")
            << 40 << 0 << 600.0 << int(Pen::Cancelled) << -1 << d(-2, 1.0, 2, 0.008, 1, 3, 0) << 0
            << 1 << 1;
        QTest::newRow("second page of 100") << 100 << 1 << 200.0 << int(Pen::Cross) << -1
                                            << d(-1, 1.01, 1, 0.003, 0.5, 4, 90) << 0 << 1 << 2;
        QTest::newRow("bold crosses past the box, copier")
            << 40 << 0 << 200.0 << int(Pen::BoldCross) << int(Capture::Copier) << Distortion{} << 0
            << 1 << 1;
        QTest::newRow("small crosses, 150 dpi")
            << 40 << 0 << 150.0 << int(Pen::SmallCross) << int(Capture::Scan) << Distortion{} << 0
            << 1 << 1;
        QTest::newRow("strokes from outside, turned a quarter")
            << 40 << 0 << 200.0 << int(Pen::OutsideStroke) << int(Capture::Turned) << Distortion{}
            << 0 << 1 << 1;
        // An erasure alone is doubtful: at most the six questions left blank.
        QTest::newRow("erasures beside the answers, phone on a desk")
            << 40 << 0 << 200.0 << int(Pen::Erased) << int(Capture::PhoneOnDesk) << Distortion{}
            << 6 << 1 << 1;
        QTest::newRow("filled in a hurry, phone with a shadow")
            << 40 << 0 << 200.0 << int(Pen::HurriedFill) << int(Capture::Phone) << Distortion{}
            << 40 << 1 << 1;
        QTest::newRow("light crosses, colour JPEG")
            << 40 << 0 << 200.0 << int(Pen::LightCross) << int(Capture::Colour) << Distortion{}
            << 40 << 1 << 1;
        Distortion curl;
        curl.curlMm = 1.2;
        QTest::newRow("a page not lying flat, 1.2 mm off in the middle")
            << 40 << 0 << 200.0 << int(Pen::Cross) << -1 << curl << 0 << 1 << 1;
        QTest::newRow("layout 2, 40 questions, 150 dpi")
            << 40 << 0 << 150.0 << int(Pen::Cross) << int(Capture::Scan) << Distortion{} << 0 << 2
            << 1;
        QTest::newRow("layout 2, 100 questions on one page, phone on a desk")
            << 100 << 0 << 200.0 << int(Pen::Tick) << int(Capture::PhoneOnDesk) << Distortion{} << 0
            << 2 << 1;
        QTest::newRow("a corner covered")
            << 40 << 0 << 200.0 << int(Pen::Cross) << int(Capture::CoveredCorner) << Distortion{}
            << 0 << 1 << 1;
    }
    void scansReadAsMarked()
    {
        QFETCH(int, questions);
        QFETCH(int, page);
        QFETCH(double, dpi);
        QFETCH(int, pen);
        QFETCH(int, capture);
        QFETCH(Distortion, distortion);
        QFETCH(int, mostDoubtful);
        QFETCH(int, layout);
        QFETCH(int, pages);
        QRandomGenerator random(quint32(questions * 1000 + int(dpi) + pen * 7 + capture));
        if (capture >= 0)
            distortion = scanGenerator::distortionFor(Capture(capture), random);
        SheetSet set{12, 0x7F2A91C4u, QStringLiteral("Parcial"), 2, questions, 1, 1};
        set.layout = layout;
        QString answers;
        for (int q = 0; q < questions; ++q)
            answers += QStringLiteral("SN-SNNS")[q % 7];
        const SheetLayout sheet(questions, layout);
        answers = answers.mid(sheet.pageQuestions(page).first);
        const scanGenerator::Marked marked = scanGenerator::scan(
            set, 1, 7, page, answers, QStringLiteral("30571946"), dpi, {Pen(pen)},
            scanGenerator::randomHand(random, distortion.colour), distortion, true, random);
        const sheetReader::PageReading reading =
            sheetReader::read(marked.scan, [&](const SheetCode &code, QString *) {
                return code.exam == 12 && code.version == 1 && code.serial == 7 &&
                               code.page == page && code.layout == layout && code.pages == pages
                           ? std::optional<int>(questions)
                           : std::nullopt;
            });
        QCOMPARE(reading.refusal, QString());
        QCOMPARE(reading.note.isEmpty(), distortion.coveredCorner < 0);
        QCOMPARE(reading.dni, page == 0 ? QStringLiteral("30571946") : QString());
        QCOMPARE(reading.answers.size(), marked.answers.size());
        int doubtful = 0;
        for (qsizetype q = 0; q < marked.answers.size(); ++q) {
            if (reading.answers[q] == u'?') {
                ++doubtful;
                continue;
            }
            QVERIFY2(reading.answers[q] == marked.answers[q],
                     qPrintable(QStringLiteral("pregunta %1: %2 en vez de %3")
                                    .arg(q + 1)
                                    .arg(reading.answers[q])
                                    .arg(marked.answers[q])));
        }
        QVERIFY2(doubtful <= mostDoubtful, qPrintable(QString::number(doubtful)));
    }
};

QTEST_MAIN(tst_SheetReading)
#include "tst_SheetReading.moc"
