// The reading of one scanned page: the sheet's code, the printed marking
// rule, and generated scans (every pen, moved and degraded as copiers and
// phones do, 150 to 600 dpi, one and two pages) read back as they were
// marked: never a mark read wrongly.

#include "ScanGenerator.h"
#include "SheetCode.h"
#include "SheetLayout.h"
#include "SheetReader.h"

#include <QTest>

using scanGenerator::Distortion;
Q_DECLARE_METATYPE(Distortion)
using scanGenerator::Pen;
using sheetReader::BoxState;

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

    void boxesReadByThePrintedRule_data()
    {
        QTest::addColumn<double>("yesInked");
        QTest::addColumn<double>("yesFaint");
        QTest::addColumn<double>("noInked");
        QTest::addColumn<double>("yesSpread");
        QTest::addColumn<QString>("answer");
        QTest::newRow("cross on Sí") << 0.3 << 0.4 << 0.0 << 0.9 << "S";
        QTest::newRow("cross on No") << 0.0 << 0.0 << 0.12 << 0.9 << "N";
        QTest::newRow("nothing") << 0.01 << 0.02 << 0.0 << 0.9 << "-";
        QTest::newRow("both crossed") << 0.3 << 0.4 << 0.3 << 0.9 << "X";
        QTest::newRow("Sí filled, No crossed") << 0.95 << 0.98 << 0.3 << 0.9 << "N";
        QTest::newRow("Sí filled alone: cancelled") << 0.95 << 0.98 << 0.0 << 0.9 << "-";
        QTest::newRow("a dot") << 0.07 << 0.08 << 0.0 << 0.9 << "?";
        QTest::newRow("faint only") << 0.02 << 0.08 << 0.0 << 0.9 << "?";
        QTest::newRow("light pen cross") << 0.05 << 0.2 << 0.0 << 0.9 << "S";
        QTest::newRow("between cross and fill") << 0.82 << 0.9 << 0.0 << 0.9 << "?";
        QTest::newRow("a dot beside a cross") << 0.3 << 0.4 << 0.07 << 0.9 << "?";
        QTest::newRow("a big dot") << 0.2 << 0.25 << 0.0 << 0.4 << "?";
    }
    void boxesReadByThePrintedRule()
    {
        QFETCH(double, yesInked);
        QFETCH(double, yesFaint);
        QFETCH(double, noInked);
        QFETCH(double, yesSpread);
        QFETCH(QString, answer);
        const BoxState yes = sheetReader::stateOf({yesInked, yesFaint, yesSpread, yesSpread});
        const BoxState no = sheetReader::stateOf({noInked, noInked * 1.2});
        QCOMPARE(QString(sheetReader::answerOf(yes, no)), answer);
    }

    void scansReadAsMarked_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pen");
        QTest::addColumn<Distortion>("distortion");
        QTest::addColumn<int>("mostDoubtful");
        const auto d = [](double degrees, double scale, double shift, double perspective,
                          double blur, double noise, int jpeg) {
            return Distortion{degrees, scale, shift, perspective, blur, noise, jpeg};
        };
        QTest::newRow("150 dpi, JPEG 60")
            << 40 << 0 << 150.0 << int(Pen::Cross) << d(0.5, 1, 0, 0, 0.6, 4, 60) << 0;
        QTest::newRow("200 dpi, ticks, turned 3°")
            << 40 << 0 << 200.0 << int(Pen::Tick) << d(3, 1.02, 3, 0, 0.5, 5, 85) << 0;
        QTest::newRow("300 dpi, corrected, upside down")
            << 40 << 0 << 300.0 << int(Pen::Corrected) << d(181.5, 0.98, -3, 0, 0.8, 6, 75) << 0;
        QTest::newRow("600 dpi, cancelled, perspective")
            << 40 << 0 << 600.0 << int(Pen::Cancelled) << d(-2, 1.0, 2, 0.008, 1, 3, 0) << 0;
        QTest::newRow("200 dpi, light pen, blurred")
            << 40 << 0 << 200.0 << int(Pen::LightCross) << d(1, 1, 0, 0.004, 1, 8, 80) << 2;
        QTest::newRow("second page of 100")
            << 100 << 1 << 200.0 << int(Pen::Cross) << d(-1, 1.01, 1, 0.003, 0.5, 4, 90) << 0;
    }
    void scansReadAsMarked()
    {
        QFETCH(int, questions);
        QFETCH(int, page);
        QFETCH(double, dpi);
        QFETCH(int, pen);
        QFETCH(Distortion, distortion);
        QFETCH(int, mostDoubtful);
        QRandomGenerator random(quint32(questions * 1000 + int(dpi)));
        const SheetSet set{12, 0x7F2A91C4u, QStringLiteral("Parcial"), 2, questions, 1, 1};
        QString answers;
        for (int q = 0; q < questions; ++q)
            answers += QStringLiteral("SN-SNNS")[q % 7];
        const SheetLayout layout(questions);
        answers = answers.mid(layout.pageQuestions(page).first);
        const scanGenerator::Marked marked =
            scanGenerator::scan(set, 1, 7, page, answers, QStringLiteral("30571946"), dpi,
                                {Pen(pen)}, distortion, random);
        const sheetReader::PageReading reading =
            sheetReader::read(marked.scan, [&](const SheetCode &code, QString *) {
                return code.exam == 12 && code.version == 1 && code.serial == 7 &&
                               code.page == page && code.pages == layout.pages()
                           ? std::optional<int>(questions)
                           : std::nullopt;
            });
        QCOMPARE(reading.refusal, QString());
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
