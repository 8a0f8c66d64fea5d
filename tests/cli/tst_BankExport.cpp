// A bank folder exported in each format: literal output for texts holding the
// characters each format has to take care of, and every record left out named.

#include "BankBytes.h"
#include "BankExport.h"
#include "MoodleXmlExport.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace bankBytes;

class tst_BankExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachFormatWritesItsText_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("chapter");     // 0: all
        QTest::addColumn<QByteArray>("bank"); // QELMEXT2.DAT; QELMEXE1.DAT holds one question
        // The text (Moodle XML: its types, fractions and CDATA texts), the number of questions
        // exported and the records left out.
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("exported");
        QTest::addColumn<QStringList>("skipped");
        const QByteArray three = trueFalse(4, 1, "{a} = \"b\" \"c\" ~ #1: c?") +
                                 trueFalse(2, 5, "A & B < C, 's\xed' \\ no", 0) +
                                 trueFalse(4, 1, "L1\r\nL2");
        const QString tf = "$course$/top/Orvalis/Verdadero o falso/Capítulo 0";
        const QString two = tf + "2. El entorno del marketing/Tema 5. El entorno económico";
        const QString four = "4. La demanda";
        const QString one = tf + four + "/Tema 1. Concepto y tipos de demanda";
        const QString essay = "$course$/top/Orvalis/Conceptuales/Capítulo 0" + four;
        QTest::newRow("gift")
            << "gift" << 0 << three
            << "// Preguntas del banco de Orvalis exportadas por orvalis-banco.\n"
               "\n$CATEGORY: " +
                   two +
                   "\n\n::Capítulo 2, tema 5, registro 2::"
                   "[plain]A & B < C, 'sí' \\\\ no{FALSE}\n\n$CATEGORY: " +
                   one +
                   "\n\n::Capítulo 4, tema 1, registro 1::[plain]\\{a\\} \\= \"b\" \"c\" "
                   "\\~ \\#1\\: c?{TRUE}\n\n::Capítulo 4, tema 1, registro 3::[plain]"
                   "L1\\nL2{TRUE}\n\n$CATEGORY: " +
                   essay +
                   "\n\n::Conceptual, "
                   "capítulo 4, registro 1::[plain]Diga\\: ]]> y \\{\\}.{}\n"
            << 4 << QStringList();
        const QString csv = "test,4,La demanda,1,Concepto y tipos de demanda,";
        QTest::newRow("csv, chapter 4")
            << "csv" << 4 << three
            << "tipo,capítulo,título del capítulo,tema,título del "
               "tema,registro,respuesta,texto\r\n" +
                   csv + "1,Sí,\"{a} = \"\"b\"\" \"\"c\"\" ~ #1: c?\"\r\n" + csv +
                   "3,Sí,\"L1\r\nL2\"\r\nconceptual,4,La demanda,,,1,,Diga: ]]> y {}.\r\n"
            << 3 << QStringList();
        QTest::newRow("moodle-xml")
            << "moodle-xml" << 0
            << three + trueFalse(1, 1, "Un \x01.") + trueFalse(1, 1, "Siete.", 7)
            << "category|" + two +
                   "|truefalse|Capítulo 2, tema 5, registro 2|A & B < C, "
                   "'sí' \\ no|0|true|100|false|category|" +
                   one +
                   "|truefalse|Capítulo 4, tema 1, "
                   "registro 1|{a} = \"b\" \"c\" ~ #1: c?|100|true|0|false|truefalse|Capítulo 4, "
                   "tema 1, registro 3|L1\r\nL2|100|true|0|false|category|" +
                   essay +
                   "|essay|"
                   "Conceptual, capítulo 4, registro 1|Diga: ]]]]><![CDATA[> y {}."
            << 4
            << QStringList{
                   "QELMEXT2.DAT, registro 5: la respuesta es 7 y solo valen 0 (No) y 1 (Sí)",
                   "QELMEXT2.DAT, registro 4: el texto contiene caracteres de control que "
                   "XML no admite"};
        QTest::newRow("texto")
            << "texto" << 0
            << trueFalse(1, 1, "A.") + trueFalse(4, 1, "L1\r\nL2") + trueFalse(0, 1, "Cero.") +
                   trueFalse(1, 1, "Dos.", 2) + trueFalse(1, 1, "A.", 0)
            << "# Verdadero o falso: preguntas exportadas de QELMEXT2.DAT por orvalis-banco.\n# "
               "Una "
               "pregunta por línea: capítulo|tema|respuesta (S = Sí, N = No)|texto\n1|1|S|A.\n"
            << 1
            << QStringList{"QELMEXT2.DAT, registro 2: el texto contiene caracteres de control, que "
                           "el formato texto no puede escribir",
                           "QELMEXT2.DAT, registro 3: el capítulo 0 está fuera de 1 a 22",
                           "QELMEXT2.DAT, registro 4: la respuesta es 2, que el formato texto no "
                           "puede escribir (solo S o N)",
                           "QELMEXT2.DAT, registro 5: la misma pregunta que la línea 3"};
    }
    void eachFormatWritesItsText()
    {
        QFETCH(QString, format);
        QFETCH(int, chapter);
        QFETCH(QByteArray, bank);
        QFETCH(QString, text);
        QFETCH(int, exported);
        QFETCH(QStringList, skipped);
        QTemporaryDir dir;
        QVERIFY(testFiles::writeFile(dir.filePath("QELMEXT2.DAT"), bank));
        QVERIFY(
            testFiles::writeFile(dir.filePath("QELMEXE1.DAT"), conceptual(4, "Diga: ]]> y {}.")));
        QList<DemoSourceKind> kinds{DemoSourceKind::TrueFalse};
        if (format != "texto")
            kinds += {DemoSourceKind::Conceptual, DemoSourceKind::Practical, DemoSourceKind::Brief};
        const bankExport::Result result =
            bankExport::run(dir.path(), *bankExport::formatFromName(format), kinds, chapter);
        QString got = QString::fromUtf8(result.bytes);
        if (format == "moodle-xml") {
            QStringList values;
            static const QRegularExpression value("type=\"(\\w+)\"|fraction=\"(\\d+)\"|<text><!\\["
                                                  "CDATA\\[([\\s\\S]*?)\\]\\]></text>");
            for (const QRegularExpressionMatch &match : value.globalMatch(got))
                values.append(match.captured(match.lastCapturedIndex()));
            got = values.join('|');
        }
        QStringList left;
        for (const ExportSkip &skip : result.skipped)
            left.append(skip.toString());
        QCOMPARE(got, text);
        QCOMPARE(left, skipped);
        QCOMPARE(result.exported, exported);
    }

    void slashesInCategoryNamesAreDoubled()
    {
        QCOMPARE(moodleXmlExport::categoryText({"A", "B/C", "/x/"}), "$course$/top/A/B//C/ //x// ");
    }
};

QTEST_GUILESS_MAIN(tst_BankExport)
#include "tst_BankExport.moc"
