// The exam's PDF read back with poppler's tools: what each page says, in
// order, and that its fonts travel with it.
#include "ExamPdf.h"
#include "TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ExamDescription)

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The document's non-empty lines with their blanks collapsed, a page ending in "--".
QStringList readBack(const QString &pdf)
{
    QStringList lines;
    for (const QString &line :
         run("pdftotext", {"-layout", pdf, "-"}).replace(u'\f', "\n--\n").split(u'\n'))
        if (const QString simple = line.simplified(); !simple.isEmpty())
            lines.append(simple);
    return lines;
}

ExamDescription trueFalse(ExamDescription::Kind kind, int count)
{
    ExamDescription exam{kind, {}, 1, 0};
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
    // Each expected piece is in a line of the document, in this order.
    void laysTheExamOutFromItsQuestions_data()
    {
        QTest::addColumn<ExamDescription>("exam");
        QTest::addColumn<ExamFormat>("format");
        QTest::addColumn<QStringList>("expected");
        const ExamFormat plain;
        ExamFormat dated{"Economía", "Escuela de Comercio", "9 de enero de 2027", 2};
        ExamDescription exposition{ExamDescription::Kind::Exposition, {}, 1, 0};
        for (const char *text : {"El ciclo de vida.", "La marca."})
            exposition.selection.add({QuestionKind::Conceptual, 1, 0, text});
        exposition.selection.add({QuestionKind::Brief, 1, 0, "Nicho."});
        ExamDescription versions = trueFalse(ExamDescription::Kind::AnswerTemplate, 4);
        versions.versions = 2;
        versions.seed = 1234567;
        ExamDescription longLast = trueFalse(ExamDescription::Kind::TrueFalse, 33);
        longLast.selection.add(
            {QuestionKind::TrueFalse, 1, 1,
             QString("Una pregunta larga sobre la distribución. ").repeated(30) + "Fin.", true});
        // clang-format off
        QTest::newRow("true/false exam: header, numbers, empty boxes") << trueFalse(ExamDescription::Kind::TrueFalse, 2) << plain << QStringList{"Marketing", "Nombre y apellidos: ____________________", "Fecha: __________", "Examen de Marketing — Preguntas tipo test", "1. Sí ☐ No ☐ Pregunta 1 sobre el precio.", "2. Sí ☐ No ☐ Pregunta 2 sobre el precio.", "Página 1 de 1", "--"};
        QTest::newRow("template: the right box filled") << trueFalse(ExamDescription::Kind::AnswerTemplate, 2) << plain << QStringList{"Plantilla de respuestas", "1. Sí ☒ No ☐ Pregunta 1", "2. Sí ☐ No ☒ Pregunta 2", "Página 1 de 1"};
        QTest::newRow("exposition: sections keep their letters, numbered within") << exposition << dated << QStringList{"Escuela de Comercio", "Economía", "Fecha: 9 de enero de 2027", "Examen de Economía — Preguntas de exposición", "A. PREGUNTAS CONCEPTUALES:", "1. El ciclo de vida.", "2. La marca.", "C. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:", "1. Nicho.", "Página 1 de 1"};
        QTest::newRow("two pages, each numbered") << trueFalse(ExamDescription::Kind::TrueFalse, 60) << plain << QStringList{"1. Sí", "Página 1 de 2", "--", "60. Sí ☐ No ☐ Pregunta 60", "Página 2 de 2", "--"};
        QTest::newRow("a long question kept whole on the next page") << longLast << plain << QStringList{"33. Sí", "Página 1 de 2", "--", "34. Sí ☐ No ☐ Una pregunta larga", "distribución. Fin.", "Página 2 de 2"};
        QTest::newRow("versions: each on its own pages, then the key") << versions << plain << QStringList{"VERSIÓN A", "Plantilla de respuestas", "1. Sí ☒ No ☐ Pregunta 1", "Página 1 de 1", "--", "VERSIÓN B", "Plantilla de respuestas", "1. Sí ☒ No ☐ Pregunta 1", "2. Sí ☒ No ☐ Pregunta 3", "3. Sí ☐ No ☒ Pregunta 4", "4. Sí ☐ No ☒ Pregunta 2", "Claves de las versiones", "Versión A: 1 Sí, 2 No, 3 Sí, 4 No", "Versión B: 1 Sí, 2 Sí, 3 No, 4 No", "Página 1 de 1", "--"};
        // clang-format on
    }
    void laysTheExamOutFromItsQuestions()
    {
        QFETCH(ExamDescription, exam);
        QFETCH(ExamFormat, format);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("examen.pdf");
        QVERIFY(testFiles::writeFile(pdf, ExamPdf::write(exam, format)));
        const QStringList lines = readBack(pdf);
        qsizetype at = 0;
        for (const QString &line : expected) {
            while (at < lines.size() && !lines.at(at).contains(line))
                ++at;
            QVERIFY2(at < lines.size(),
                     qPrintable(line + " not found in order in:\n" + lines.join('\n')));
            ++at;
        }
        // Every font is embedded (no "no" in the emb column), the text's among them.
        const QString fonts = run("pdffonts", {pdf});
        QVERIFY2(fonts.contains("LiberationSerif") &&
                     !fonts.contains(QRegularExpression(" no +(yes|no) +(yes|no) +\\d+ +\\d+\n")),
                 qPrintable(fonts));
    }
};

QTEST_MAIN(tst_ExamPdf)
#include "tst_ExamPdf.moc"
