// orvalis-banco hojas and corregir on a bank folder with its history: the
// sheets printed for every version and copy (read back with pdftotext), and
// a pile of generated scans marked into the grades' CSV, with the
// penalty, the list of students, the teacher's decisions, a sheet scanned
// twice, pages refused one line each, the review, and the history left as
// it was by marking the same scans again.

#include "BancoCommand.h"
#include "BankBytes.h"
#include "ExamHistory.h"
#include "ScanGenerator.h"
#include "SheetRecords.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

using namespace bankBytes;
using namespace testFiles;
using scanGenerator::Pen;

class tst_SheetOrders : public QObject
{
    Q_OBJECT

    struct Run
    {
        int status = -1;
        QString out, err;
    };
    Run run(const QStringList &arguments)
    {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = BancoCommand(out, err).run(arguments);
        // The identifier is drawn at random: the texts name it ID.
        const auto plain = [this](const QByteArray &bytes) {
            return QString::fromUtf8(bytes).replace(m_id, QStringLiteral("ID"));
        };
        return {status, plain(out.data()), plain(err.data())};
    }

    static QString pdfText(const QString &file, int *pages = nullptr)
    {
        const QString text = outputOf(QStringLiteral("pdftotext"), {"-layout", file, "-"});
        if (pages)
            *pages = int(text.count(u'\f'));
        return text.simplified();
    }

    // Sheet `serial` of exam 1 (of another history's if `identifier`) marked
    // and scanned at 200 dpi, askew unless `straight`.
    cv::Mat sheet(int serial, const QString &answers, const QString &dni, quint32 identifier = 0,
                  bool straight = false)
    {
        QRandomGenerator random{quint32(serial)};
        const SheetSet set{1, identifier ? identifier : m_identifier, "Parcial", 2, 6, 1, 1};
        return scanGenerator::scan(set, 0, serial, 0, answers, dni, 200, {Pen::Cross}, {},
                                   straight
                                       ? scanGenerator::Distortion{}
                                       : scanGenerator::Distortion{0.8, 1.0, 1, 0.002, 0.5, 3, 85},
                                   false, random)
            .scan;
    }
    // Scans put in one PDF, as a copier's feeder makes them.
    bool savePdf(const QString &name, const QList<cv::Mat> &scans)
    {
        QPdfWriter writer(name);
        writer.setResolution(200);
        QPainter painter(&writer);
        for (qsizetype i = 0; i < scans.size(); ++i) {
            if (i > 0)
                writer.newPage();
            const QImage image(scans[i].data, scans[i].cols, scans[i].rows, int(scans[i].step),
                               QImage::Format_Grayscale8);
            painter.drawImage(QRect(0, 0, writer.width(), writer.height()), image);
        }
        return painter.end();
    }
    QString sheetTables()
    {
        ExamHistory history("historial.sqlite");
        if (!history.open().isEmpty())
            return {};
        QSqlQuery query(history.database());
        QStringList rows;
        for (const char *sql : {"SELECT * FROM sheet ORDER BY id",
                                "SELECT * FROM sheet_answer ORDER BY sheet_id, number",
                                "SELECT * FROM sheet_decision ORDER BY sheet_id, item"}) {
            query.exec(QString::fromLatin1(sql));
            while (query.next()) {
                QStringList values;
                for (int c = 0; c < query.record().count(); ++c)
                    values << query.value(c).toString();
                rows << values.join(u'|');
            }
        }
        return rows.join(u'\n');
    }

    QTemporaryDir m_dir;
    quint32 m_identifier = 0;
    QString m_id;

private Q_SLOTS:
    void initTestCase()
    {
        // Files are named as a teacher types them, within the bank's folder.
        QVERIFY(m_dir.isValid() && QDir::setCurrent(m_dir.path()));
        // Exam 1: six questions, answers S N S N S N. Exam 2: two versions
        // of the same. Exam 3: exposition.
        QVERIFY(writeFile("QELMEXT2.DAT", trueFalse(1, 1, "a", 1) + trueFalse(1, 1, "b", 0) +
                                              trueFalse(1, 1, "c", 1) + trueFalse(1, 1, "d", 0) +
                                              trueFalse(1, 1, "e", 1) + trueFalse(1, 1, "f", 0)));
        ExamHistory history("historial.sqlite");
        HistoryExam one{0, {}, false, "Parcial", 1, 0, {}};
        for (const char *text : {"a", "b", "c", "d", "e", "f"})
            one.questions.append({QuestionKind::TrueFalse, 1, 1, text, text[0] % 2 == 1});
        HistoryExam two = one;
        two.versions = 2;
        two.seed = 99;
        HistoryExam three{
            0, {}, true, "Final", 1, 0, {{QuestionKind::Brief, 1, 0, "x", std::nullopt}}};
        QVERIFY(history.record(one).isEmpty() && history.record(two).isEmpty() &&
                history.record(three).isEmpty());
        QString error;
        const std::optional<quint32> identifier = sheetRecords::identifier(history, 1, &error);
        QVERIFY2(identifier, qPrintable(error));
        m_identifier = *identifier;
        m_id = QStringLiteral("%1").arg(m_identifier, 8, 16, QLatin1Char('0')).toUpper();
        const cv::Mat first = sheet(1, "SNSNSN", "12345678");
        QVERIFY(cv::imwrite("hoja1.png", first) && cv::imwrite("otra-vez.jpg", first));
        // A dot in question 2's Sí box and a second cross, in question 6's No
        // box, by hand on a straight scan (the page 10 mm into it).
        cv::Mat doubtful = sheet(3, "N-NSNS", "11111111", 0, true);
        const auto at = [](double x, double y) {
            return cv::Point(int((10 + x) * 200 / 25.4), int((10 + y) * 200 / 25.4));
        };
        cv::circle(doubtful, at(33.5, 141.5), 4, cv::Scalar(20), cv::FILLED);
        cv::line(doubtful, at(42.6, 167.6), at(46.4, 171.4), cv::Scalar(30), 4);
        cv::line(doubtful, at(46.4, 167.6), at(42.6, 171.4), cv::Scalar(30), 4);
        QVERIFY(savePdf("pila.pdf", {sheet(2, "SSSN--", "87654321"), doubtful,
                                     cv::Mat(2339, 1654, CV_8UC1, cv::Scalar(250))}));
    }

    void sheetsArePrintedForEveryVersionAndCopy_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("codes");
        QTest::newRow("one copy") << "--examen=1" << 0
                                  << "1 hoja de respuestas (1 copia de la versión A) en "
                                     "hojas-examen-1.pdf.\n"
                                  << 1 << "ORVL2-1-ID-A-001-1/1";
        QTest::newRow("two versions, two copies from 40")
            << "--examen=2 --copias=2 --primera=40 --salida=h.pdf" << 0
            << "4 hojas de respuestas (2 copias de cada una de las 2 versiones) en h.pdf.\n"
            << 4
            << "ORVL2-2-*-A-040-1/1 ORVL2-2-*-A-041-1/1 ORVL2-2-*-B-040-1/1 ORVL2-2-*-B-041-1/1";
        QTest::newRow("exposition") << "--examen=3" << 2
                                    << "orvalis-banco: el examen 3 es de exposición; las hojas de "
                                       "respuestas son para los de tipo test.\n"
                                    << 0 << "";
        QTest::newRow("over the history")
            << "--examen=1 --salida=historial.sqlite" << 2
            << "orvalis-banco: historial.sqlite es uno de los ficheros que Orvalis guarda en la "
               "carpeta del banco (historial.sqlite); no se ha escrito nada.\n"
            << 0 << "";
    }
    void sheetsArePrintedForEveryVersionAndCopy()
    {
        QFETCH(QString, options);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run result = run(QStringList{"hojas", "."} + options.split(u' '));
        QCOMPARE(status == 0 ? result.out : result.err, message);
        QCOMPARE(result.status, status);
        if (status != 0)
            return;
        int printed = 0;
        const QString text =
            pdfText(options.contains("--salida") ? "h.pdf" : "hojas-examen-1.pdf", &printed);
        QTEST(printed, "pages");
        QStringList found;
        static const QRegularExpression code("ORVL2-[0-9]+-[0-9A-F]{8}-[A-D]-[0-9]+-[0-9]/[0-9]");
        for (const QRegularExpressionMatch &match : code.globalMatch(text))
            found << match.captured().replace(m_id, "ID");
        QTEST(found.join(u' ').replace(QRegularExpression("-2-[0-9A-F]{8}-"), "-2-*-"), "codes");
        QVERIFY(text.contains("Parcial VERSIÓN"));
        QVERIFY(text.contains("Nombre y apellidos:"));
        QVERIFY(text.contains("Sí No 1 2 3 4 5 6")); // the questions, numbered under the heading
        QVERIFY(text.contains("(NIE: X=0, Y=1, Z=2):"));
        // The rule wraps within the margins: its words in order, on whatever lines.
        const QString rule =
            "Marque cada respuesta con una X dentro de su casilla. Para cambiarla, "
            "rellene entera la casilla equivocada y marque la otra con una X.";
        QStringList words = rule.split(u' ');
        for (QString &word : words)
            word = QRegularExpression::escape(word);
        QVERIFY(text.contains(QRegularExpression(words.join(QStringLiteral("[\\s\\S]*")))));
    }

    // Half a point off, the doubts decided from a file, the students named
    // from another and the review asked for; marked again, the same scans
    // change nothing in the history.
    void marksBecomeGrades()
    {
        QVERIFY(writeFile("decisiones.csv", "hoja;pregunta;respuesta\n1-" + m_id.toUtf8() +
                                                "-A-003;2;en blanco\n1-" + m_id.toUtf8() +
                                                "-a-003;6;-\n"));
        QVERIFY(writeFile(
            "alumnos.csv",
            "DNI,Nombre\n12345678-Z,Ana Pérez\n\"87654321\",\"Ruiz; Luis\"\n99999999,Eva\n"));
        // Marked as read first: each doubt is named in a line, and its sheet waits.
        const QString asRead =
            run(QString("corregir hoja1.png pila.pdf otra-vez.jpg .").split(u' ')).err;
        QVERIFY2(asRead.endsWith("dudosa: página 2 de pila.pdf, hoja 1-ID-A-003, pregunta 2\n"
                                 "dudosa: página 2 de pila.pdf, hoja 1-ID-A-003, pregunta 6\n"
                                 "3 hojas corregidas (1 pendiente), 2 marcas dudosas, 1 página "
                                 "rechazada.\n"),
                 qPrintable(asRead));
        const QStringList arguments =
            QString("corregir hoja1.png pila.pdf otra-vez.jpg . --penalizacion=0,5 "
                    "--resolver=decisiones.csv --alumnos=alumnos.csv --revision=revision.pdf")
                .split(u' ');
        const Run result = run(arguments);
        QCOMPARE(result.err,
                 "página 3 de pila.pdf: no es una hoja de respuestas\n"
                 "aviso: la hoja 1-ID-A-001 (página 1) está escaneada dos veces, en la página 1 de "
                 "hoja1.png y en la página 1 de otra-vez.jpg: se cuenta una vez\n"
                 "aviso: el DNI 11111111 de la hoja 1-ID-A-003 no está en la lista de alumnos\n"
                 "aviso: 99999999 Eva, de la lista de alumnos, no tiene hoja\n"
                 "3 hojas corregidas (0 pendientes), 0 marcas dudosas, 1 página rechazada.\n");
        QCOMPARE(result.out,
                 "dni;nombre;versión;aciertos;errores;blancos;dudosas;puntos;nota;fichero;página;"
                 "r1;r2;r3;r4;r5;r6\r\n"
                 "12345678;Ana Pérez;A;6;0;0;0;6,00;10,00;hoja1.png;1;S;N;S;N;S;N\r\n"
                 "87654321;\"Ruiz; Luis\";A;3;1;2;0;2,50;4,17;pila.pdf;1;S;S;S;N;-;-\r\n"
                 "11111111;;A;0;4;2;0;0,00;0,00;pila.pdf;2;N;-;N;S;N;-\r\n");
        QCOMPARE(result.status, 1); // a page refused
        int pages = 0;
        const QString review = pdfText("revision.pdf", &pages);
        QCOMPARE(pages, 3);
        QVERIFY(review.contains("Hoja 1-" + m_id +
                                "-A-002 · DNI 87654321 · puntos 2,50 · nota 4,17 Parcial · "
                                "aciertos 3, errores 1, blancos 2, dudosas 0"));
        const QString tables = sheetTables();
        QCOMPARE(tables.count(u'\n') + 1, 3 + 18 + 2);
        run(arguments);
        QCOMPARE(sheetTables(), tables);
    }

    // One page in r.png, its last answer wrong (a whole point off unless the
    // teacher says otherwise), marked against exam 1 unless the row says not: a
    // page placed by three corner marks and its code is read and said so; a
    // page that is no sheet is refused in one line, and named when alone.
    void whatALonePageTellsIsSaid_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("out"); // the grades, without their heading
        QTest::addColumn<int>("status");
        const QStringList exam{"--examen=1"};
        const QString none = "\n0 hojas corregidas (0 pendientes), 0 marcas dudosas, 1 página "
                             "rechazada.\n";
        const auto refused = [&](const char *row, const char *spoil, const QString &line) {
            QTest::newRow(row) << spoil << exam << line + none << QString() << 1;
        };
        refused("another history", "identifier",
                "página 1 de r.png: es una hoja del examen 1 de otro historial");
        refused("two corners covered", "corners",
                "página 1 de r.png: faltan esquinas o están tapadas");
        refused("code covered", "code", "página 1 de r.png: no se puede leer el código QR");
        // OpenCV would hand this one to a reader that aborts the program.
        refused("a medical image's mark", "dicm",
                "r.png: no es un PDF ni una imagen PNG, JPEG o TIFF");
        QTest::newRow("a corner covered")
            << "corner" << exam
            << "aviso: página 1 de r.png: leída con tres esquinas: la cuarta falta o está "
               "tapada\n"
               "1 hoja corregida (0 pendientes), 0 marcas dudosas, 0 páginas rechazadas.\n"
            << "12345678;A;5;1;0;0;4,00;6,67;r.png;1;S;N;S;N;S;S\r\n"
            << 0;
        // The owner is unknown; the points are not.
        QTest::newRow("a DNI left blank")
            << "dni" << exam
            << "dudosa: página 1 de r.png, hoja 1-ID-A-005, DNI\n"
               "1 hoja corregida (1 pendiente), 1 marca dudosa, 0 páginas rechazadas.\n"
            << "pendiente;A;5;1;0;0;4,00;6,67;r.png;1;S;N;S;N;S;S\r\n"
            << 1;
        QTest::newRow("a page that is no sheet, alone")
            << "noise" << QStringList{}
            << "orvalis-banco: no se ha encontrado ninguna hoja de respuestas que leer en los "
               "escaneos.\npágina 1 de r.png: no es una hoja de respuestas\n"
            << "" << 1;
    }
    void whatALonePageTellsIsSaid()
    {
        QFETCH(QString, spoil);
        QFETCH(QStringList, options);
        cv::Mat scan = sheet(5, "SNSNSS", spoil == "dni" ? "" : "12345678",
                             spoil == "identifier" ? m_identifier + 1 : 0, true);
        const double mm = 200 / 25.4;
        if (spoil == "corners") // three marks and the code would do; two do not
            for (const int y : {0, scan.rows - int(30 * mm)})
                cv::rectangle(scan, cv::Rect(0, y, int(30 * mm), int(30 * mm)), cv::Scalar(250),
                              cv::FILLED);
        if (spoil == "corner") // a thumb over the bottom right mark
            cv::circle(scan, cv::Point(scan.cols - int(22 * mm), scan.rows - int(22 * mm)),
                       int(12 * mm), cv::Scalar(170), cv::FILLED);
        if (spoil == "code") // a coffee stain over the middle of the code
            cv::circle(scan, cv::Point(int((10 + 177) * mm), int((10 + 37) * mm)), int(7 * mm),
                       cv::Scalar(60), cv::FILLED);
        if (spoil == "noise")
            cv::randu(scan, 0, 255);
        QVERIFY(spoil == "dicm" ? writeFile("r.png", QByteArray(128, 'x') + "DICM\n")
                                : cv::imwrite("r.png", scan));
        const Run result = run(QStringList{"corregir", "r.png", "."} + options);
        QTEST(result.err, "err");
        QTEST(result.out.section(u'\n', 1), "out");
        QTEST(result.status, "status");
    }
};

QTEST_MAIN(tst_SheetOrders)
#include "tst_SheetOrders.moc"
