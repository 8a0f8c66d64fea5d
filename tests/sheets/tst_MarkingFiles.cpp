// The files a marking gives the teacher, read back by real readers: the
// grades' workbook through unzip (its cells, their styles, the frozen
// heading) and the review's page header through pdftotext.

#include "GradesReport.h"
#include "ReviewPdf.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

class tst_MarkingFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Every cell of the workbook's first sheet as a reader sees it ("texto
    // dni negrita", "número 2.5 formato 0.00"), and the frozen pane as "pane".
    static QHash<QString, QString> cells(const QString &file)
    {
        const auto part = [&file](const char *name) {
            return testFiles::outputOf(QStringLiteral("unzip"), {"-p", file, name});
        };
        QStringList strings, fonts;
        QHash<QString, QString> formats;   // id → code, when not built in
        QList<QPair<QString, int>> styles; // number format, font
        for (QXmlStreamReader xml(part("xl/sharedStrings.xml")); !xml.atEnd();)
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"t")
                strings << xml.readElementText();
        bool inCellStyles = false;
        for (QXmlStreamReader xml(part("xl/styles.xml")); !xml.atEnd();) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"numFmt")
                formats[xml.attributes().value("numFmtId").toString()] =
                    xml.attributes().value("formatCode").toString();
            else if (xml.isStartElement() && xml.name() == u"font")
                fonts << QString();
            else if (xml.isStartElement() && xml.name() == u"b")
                fonts.last() = QStringLiteral(" negrita");
            else if (xml.name() == u"cellXfs")
                inCellStyles = xml.isStartElement();
            else if (xml.isStartElement() && xml.name() == u"xf" && inCellStyles)
                styles.append({xml.attributes().value("numFmtId").toString(),
                               xml.attributes().value("fontId").toInt()});
        }
        QHash<QString, QString> cells;
        for (QXmlStreamReader xml(part("xl/worksheets/sheet1.xml")); !xml.atEnd();) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == u"pane") {
                cells["pane"] =
                    a.value("state").toString() + u' ' + a.value("topLeftCell").toString();
            } else if (xml.name() == u"c") {
                const auto [format, font] = styles.value(a.value("s").toInt());
                xml.readNextStartElement(); // <v>
                const QString value = xml.readElementText();
                cells[a.value("r").toString()] =
                    (a.value("t") == u"s" ? "texto " + strings.value(value.toInt())
                                          : "número " + value) +
                    (format == "0" ? QString() : " formato " + formats.value(format, format)) +
                    fonts.value(font);
            }
        }
        return cells;
    }

private Q_SLOTS:
    void theWorkbookKeepsWhatTheCsvLoses_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("read");
        QTest::newRow("heading in bold") << "I1"
                                         << "texto nota negrita";
        QTest::newRow("a DNI's leading zero") << "A2"
                                              << "texto 05995040";
        QTest::newRow("an accented name") << "B2"
                                          << "texto José Núñez";
        QTest::newRow("a count") << "D2"
                                 << "número 3";
        QTest::newRow("points, two decimals") << "H2"
                                              << "número 2.5 formato 0.00";
        QTest::newRow("a DNI read in part") << "A3"
                                            << "texto pendiente (0599?040)";
        QTest::newRow("a pending grade, as in the CSV") << "I3"
                                                        << "texto pendiente";
        QTest::newRow("no name") << "B3"
                                 << "";
        QTest::newRow("the heading stays put") << "pane"
                                               << "frozen A2";
    }
    void theWorkbookKeepsWhatTheCsvLoses()
    {
        QFETCH(QString, cell);
        MarkingResult result;
        result.sheets.resize(2);
        MarkedSheet &graded = result.sheets[0], &pending = result.sheets[1];
        graded.dni = "05995040";
        graded.name = "José Núñez";
        graded.right = 3;
        graded.points = 2.5;
        pending.dni = "0599?040";
        pending.doubtful = 1;
        QVERIFY(gradesReport::forFile("notas.csv", result, 2, true)
                    ->startsWith("\xEF\xBB\xBF"
                                 "dni;nombre;"));
        const QString file = m_dir.filePath("notas.xlsx");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) &&
                out.write(gradesReport::forFile("Notas.XLSX", result, 2, true).value()) > 0);
        out.close();
        QTEST(cells(file).value(cell), "read");
    }

    // However long the exam's title, the header of each page shows the
    // sheet's grade whole; the title gives way.
    void theReviewHeaderShowsTheGradeWhole()
    {
        MarkingResult result;
        MarkedSheet &sheet = result.sheets.emplace_back();
        sheet.code = {1, 12, 0x7F2A91C4, 1, 3, 0, 1};
        sheet.dni = "12345678";
        sheet.answers = "S?";
        sheet.right = sheet.doubtful = 1;
        sheet.pages.emplace_back().straight = cv::Mat(594, 420, CV_8UC1, 255);
        AnswerKey key;
        key.title = "Segundo examen parcial de Dirección Comercial y Marketing Estratégico, "
                    "convocatoria extraordinaria de julio, grupos de mañana y de tarde";
        key.answers = {{true, false}, {true, false}};
        const QString file = m_dir.filePath("revision.pdf");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(reviewPdf::pdf(result, key)) > 0);
        out.close();
        // What is printed above the sheet, left of the top right corner mark
        // (193 mm): whatever runs further is lost.
        const QString text = testFiles::outputOf(
            "pdftotext", {"-layout", "-x", "0", "-y", "0", "-W", "547", "-H", "40", file, "-"});
        QVERIFY2(text.contains("Hoja 12-7F2A91C4-B-003 · DNI 12345678 · puntos pendiente · "
                               "nota pendiente") &&
                     text.contains(QRegularExpression(
                         "Segundo examen parcial de Dirección [^\n]*… · aciertos 1, errores 0, "
                         "blancos 0, dudosas 1\n")),
                 qPrintable(text));
    }
};

QTEST_MAIN(tst_MarkingFiles)
#include "tst_MarkingFiles.moc"
