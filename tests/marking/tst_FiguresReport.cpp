// The report of a marked exam read back with pdftotext -bbox: A4 pages
// filled from margin to margin in type a teacher can read, a long exam
// flowing over several pages, the pages refused listed at the end.

#include "FiguresReport.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class tst_FiguresReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theReportIsReadableOnA4Pages_data()
    {
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("listed"); // after "Páginas rechazadas", at the end
        QTest::newRow("pages refused")
            << QStringList{"página 3 de pila.pdf: no es una hoja de respuestas",
                           "página 1 de foto.jpg: faltan esquinas o están tapadas"}
            << "página 3 de pila.pdf: no es una hoja de respuestas página 1 de foto.jpg: faltan "
               "esquinas o están tapadas";
        QTest::newRow("none refused") << QStringList{} << "";
    }
    void theReportIsReadableOnA4Pages()
    {
        QFETCH(QStringList, refused);
        QFETCH(QString, listed);
        figuresTable::Table table{{{"Hojas", "40"}, {"Consistencia (KR-20)", "0,71"}}, {}};
        QStringList texts;
        for (int q = 1; q <= 40; ++q) {
            table.questions << "60 % (24 de 40) · discrimina −0,12 · " +
                                   figuresTable::kNegativeNote;
            texts << QString("Una campaña de precios bajos aumenta la cuota de mercado de una "
                             "marca en el primer semestre (pregunta %1)")
                         .arg(q);
        }
        QImage chart(400, 300, QImage::Format_RGB32);
        chart.fill(Qt::gray);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("informe.pdf");
        QVERIFY(testFiles::writeFile(
            pdf, figuresReport::pdf("Examen 7. Parcial", table, texts, chart, refused)));
        const QString xml = testFiles::outputOf("pdftotext", {"-bbox", pdf, "-"});

        QStringList pages, words;
        const QRegularExpression page(R"x(<page width="([\d.]+)" height="([\d.]+)")x");
        for (const auto &match : page.globalMatch(xml))
            pages << QString("%1 × %2")
                         .arg(match.captured(1).toDouble(), 0, 'f', 0)
                         .arg(match.captured(2).toDouble(), 0, 'f', 0);
        double left = 1000, right = 0, smallest = 1000, first = 0;
        const QRegularExpression box(
            R"x(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)x");
        for (const auto &word : box.globalMatch(xml)) {
            const double height = word.captured(4).toDouble() - word.captured(2).toDouble();
            first = words.isEmpty() ? height : first;
            smallest = std::min(smallest, height);
            left = std::min(left, word.captured(1).toDouble());
            right = std::max(right, word.captured(3).toDouble());
            words << word.captured(5);
        }
        QVERIFY2(pages.size() >= 2 && pages.count("595 × 842") == pages.size(),
                 qPrintable(pages.join(", ")));
        // Text at 9 pt or more (a word's box is taller than its point size),
        // the title larger, the lines running from margin to margin (20 mm).
        QVERIFY2(smallest >= 9 && first >= 14,
                 qPrintable(QString("%1 %2").arg(smallest).arg(first)));
        QVERIFY2(left < 60 && right > 480, qPrintable(QString("%1 %2").arg(left).arg(right)));
        QCOMPARE(words.join(u' ').section("Páginas rechazadas ", 1), listed);
    }
};

QTEST_MAIN(tst_FiguresReport)
#include "tst_FiguresReport.moc"
