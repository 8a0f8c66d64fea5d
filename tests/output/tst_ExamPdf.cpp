// The exam's PDF read back with poppler's tools, and its OpenDocument copy
// with a real OpenDocument reader (odt2txt): what each page says, in order,
// and that the PDF's fonts travel with it.
#include "ExamOdt.h"
#include "ExamPdf.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ExamDescription)

namespace {

// The document's non-empty lines with their blanks collapsed, a PDF's page
// ending in "--".
QStringList readBack(const QString &file, bool odt)
{
    QStringList lines;
    const QString text = odt ? testFiles::outputOf("odt2txt", {"--width=-1", file})
                             : testFiles::outputOf("pdftotext", {"-layout", file, "-"});
    for (const QString &line : QString(text).replace(u'\f', "\n--\n").split(u'\n'))
        if (const QString simple = line.simplified(); !simple.isEmpty())
            lines.append(simple);
    return lines;
}

ExamDescription trueFalse(ExamDescription::Kind kind, int count, int versions = 1, quint32 seed = 0)
{
    ExamDescription exam{kind, {}, versions, seed};
    for (int i = 1; i <= count; ++i)
        exam.selection.add({QuestionKind::TrueFalse, 1, 1,
                            QStringLiteral("Pregunta %1 sobre el precio.").arg(i), i % 2 == 1});
    return exam;
}

} // namespace

class tst_ExamPdf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each expected piece is in the document, in this order.
    void laysTheExamOutFromItsQuestions_data()
    {
        QTest::addColumn<ExamDescription>("exam");
        QTest::addColumn<ExamFormat>("format");
        QTest::addColumn<bool>("odt");
        QTest::addColumn<QStringList>("expected");
        const ExamFormat plain;
        ExamFormat dated{"Economía", "Escuela de Comercio", "9 de enero de 2027", 2};
        ExamFormat full = plain;
        full.course = "Marketing e Investigación de Mercados (Grado en Administración y Dirección "
                      "de Empresas, segundo curso, grupos de mañana y de tarde) — Convocatoria "
                      "ordinaria de enero, Facultad de Ciencias Económicas y Empresariales";
        full.instructions = "Cada acierto suma 1 punto y cada error resta 1 punto; en blanco, 0.";
        full.dniLine = true;
        ExamFormat grouped = full;
        grouped.dniLine = false;
        grouped.groupLine = true;
        ExamFormat oddStarts = plain;
        oddStarts.oddPageStarts = true;
        QStringList wholeCourse{"Marketing e Investigación"};
        wholeCourse += full.course.split(' ').mid(3);
        wholeCourse +=
            QStringList{"Nombre y apellidos: ____________________",
                        "DNI: ____",
                        "Fecha: __",
                        "VERSIÓN A",
                        "Examen — Preguntas tipo test",
                        "Cada acierto suma 1 punto y cada error resta 1 punto; en blanco, 0.",
                        "1. Sí ☐ No ☐",
                        "… — Tipo test — Versión A — Página 1 de 2",
                        "— Versión A — Página 2 de 2",
                        "VERSIÓN B",
                        "— Versión B — Página 2 de 2"};
        const ExamDescription twoVersions = trueFalse(ExamDescription::Kind::TrueFalse, 40, 2);
        const ExamDescription oneEach = trueFalse(ExamDescription::Kind::TrueFalse, 3, 3);
        ExamDescription exposition{ExamDescription::Kind::Exposition, {}, 1, 0};
        for (const char *text : {"El ciclo de vida.", "La marca."})
            exposition.selection.add({QuestionKind::Conceptual, 1, 0, text});
        exposition.selection.add({QuestionKind::Brief, 1, 0, "Nicho."});
        const ExamDescription versions =
            trueFalse(ExamDescription::Kind::AnswerTemplate, 4, 2, 1234567);
        ExamDescription longLast = trueFalse(ExamDescription::Kind::TrueFalse, 29);
        longLast.selection.add(
            {QuestionKind::TrueFalse, 1, 1,
             QString("Una pregunta larga sobre la distribución. ").repeated(30) + "Fin.", true});
        ExamFormat echoed = full;
        echoed.institution = full.course;
        const QStringList echoedWords = full.course.split(' ') + full.course.split(' ');
        const QString answerLine(80, u'_'); // two lines a question, each whole
        // clang-format off
        QTest::newRow("exposition: sections keep their letters, numbered within") << exposition << dated << false << QStringList{"Escuela de Comercio", "Economía", "Fecha: 9 de enero de 2027", "Examen — Preguntas de exposición", "A. PREGUNTAS CONCEPTUALES:", "1. El ciclo de vida.", "2. La marca.", "C. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:", "1. Nicho.", "Economía — Exposición — Página 1 de 1"};
        QTest::newRow("a long question kept whole on the next page") << longLast << plain << false << QStringList{"29. Sí", "Página 1 de 2", "--", "30. Sí ☐ No ☐ Una pregunta larga", "distribución. Fin.", "Página 2 de 2"};
        QTest::newRow("versions: each on its own pages, then the key with its seed") << versions << plain << false << QStringList{"VERSIÓN A", "Plantilla de respuestas", "1. Sí ☒ No ☐ Pregunta 1", "Marketing — Plantilla de respuestas — Versión A — Página 1 de 1", "--", "VERSIÓN B", "Plantilla de respuestas", "1. Sí ☒ No ☐ Pregunta 1", "2. Sí ☒ No ☐ Pregunta 3", "3. Sí ☐ No ☒ Pregunta 4", "4. Sí ☐ No ☒ Pregunta 2", "Versión B — Página 1 de 1", "--", "Claves de las versiones", "Clave de barajado: 1234567", "Versión A", "1 Sí 2 No 3 Sí 4 No", "Versión B", "1 Sí 2 Sí 3 No 4 No", "Marketing — Claves — Página 1 de 1", "--"};
        QTest::newRow("a long header whole, every page naming its version") << twoVersions << full << false << wholeCourse;
        QTest::newRow("the same words in the institution and the course, each wrapped to its own font") << trueFalse(ExamDescription::Kind::TrueFalse, 1) << echoed << false << echoedWords;
        QTest::newRow("each version on an odd page") << oneEach << oddStarts << false << QStringList{"VERSIÓN A", "Versión A — Página 1 de 1", "--", "Página en blanco", "--", "VERSIÓN B", "Versión B — Página 1 de 1", "--", "Página en blanco", "--", "VERSIÓN C"};
        QTest::newRow("OpenDocument: header, versions, questions, key") << versions << grouped << true << QStringList{"Marketing e Investigación de Mercados", "Nombre y apellidos: ____", "Grupo: ____", "VERSIÓN A", "Plantilla de respuestas", "Cada acierto suma", "1. Sí ☒ No ☐ Pregunta 1", "VERSIÓN B", "2. Sí ☒ No ☐ Pregunta 3", "4. Sí ☐ No ☒ Pregunta 2", "Claves de las versiones", "Clave de barajado: 1234567", "Versión A", "4 No", "Versión B", "1 Sí", "2 Sí", "3 No", "4 No"};
        QTest::newRow("OpenDocument: exposition sections and answer lines") << exposition << dated << true << QStringList{"Escuela de Comercio", "Economía", "Examen — Preguntas de exposición", "A. PREGUNTAS CONCEPTUALES:", "1. El ciclo de vida.", answerLine, answerLine, "2. La marca.", "C. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:", "1. Nicho."};
        // clang-format on
    }
    void laysTheExamOutFromItsQuestions()
    {
        QFETCH(ExamDescription, exam);
        QFETCH(ExamFormat, format);
        QFETCH(bool, odt);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(odt ? "examen.odt" : "examen.pdf");
        QVERIFY(testFiles::writeFile(pdf, odt ? ExamOdt::write(exam, format)
                                              : ExamPdf::write(exam, format)));
        const QStringList lines = readBack(pdf, odt);
        // Found in order: on the same line after the piece before, or later.
        qsizetype at = 0;
        qsizetype from = 0;
        for (const QString &piece : expected) {
            qsizetype found = -1;
            for (; at < lines.size() && (found = lines.at(at).indexOf(piece, from)) < 0; from = 0)
                ++at;
            QVERIFY2(at < lines.size(),
                     qPrintable(piece + " not found in order in:\n" + lines.join('\n')));
            from = found + piece.size();
        }
        if (odt) { // the date on a line of its own, under the names
            QVERIFY2(!lines.filter(QRegularExpression("^\\s*Fecha: ")).isEmpty(),
                     qPrintable(lines.join('\n')));
            return;
        }
        // Every font is embedded (no "no" in the emb column), the text's among them.
        const QString fonts = testFiles::outputOf("pdffonts", {pdf});
        QVERIFY2(fonts.contains("LiberationSerif") &&
                     !fonts.contains(QRegularExpression(" no +(yes|no) +(yes|no) +\\d+ +\\d+\n")),
                 qPrintable(fonts));
    }

    // The key's table is ruled on every side, in groups of five; a key of
    // 100 questions a version takes one page for both versions.
    void theKeyIsRuledOnBothSides()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("claves.pdf");
        QVERIFY(testFiles::writeFile(
            pdf, ExamPdf::write(trueFalse(ExamDescription::Kind::AnswerTemplate, 100, 2), {})));
        const QString pages =
            testFiles::outputOf("pdfinfo", {pdf}).section("Pages:", 1).section(u'\n', 0, 0);
        testFiles::outputOf("pdftoppm", {"-r", "200", "-gray", "-aaVector", "no", "-singlefile",
                                         "-f", pages.trimmed(), pdf, dir.filePath("clave")});
        const QImage key(dir.filePath("clave.pgm"));
        QVERIFY(!key.isNull());
        // The rules across one axis, in order: H a heavy one, T a thin one.
        const auto rules = [&key](bool vertical) {
            const int across = vertical ? key.width() : key.height();
            const int along = vertical ? key.height() : key.width();
            QString found;
            int thickness = 0;
            for (int i = 0; i <= across; ++i) {
                int dark = 0, longest = 0;
                for (int j = 0; i < across && j < along; ++j)
                    longest = std::max(
                        longest, dark = qGray(vertical ? key.pixel(i, j) : key.pixel(j, i)) < 128
                                            ? dark + 1
                                            : 0);
                if (longest > 300) {
                    ++thickness;
                } else if (thickness > 0) {
                    found += thickness >= 3 ? u'H' : u'T';
                    thickness = 0;
                }
            }
            return found;
        };
        // Ten rows of ten answers, a heavier rule after every five each way;
        // the last page holds the tables of both versions, one above the other.
        QCOMPARE(rules(true), "HTTTTHTTTTH");
        QCOMPARE(rules(false), "HTTTTHTTTTH"
                               "HTTTTHTTTTH");
    }
};

QTEST_MAIN(tst_ExamPdf)
#include "tst_ExamPdf.moc"
