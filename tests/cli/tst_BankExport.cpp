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
        QTest::addColumn<QString>("text");    // Moodle XML: its types, fractions and texts
        QTest::addColumn<QStringList>("skipped");
        QTest::addColumn<int>("exported");
        const QByteArray three = trueFalse(2, 2, "Proveedores: \xbf{todos} = \"socios\" ~ #1?") +
                                 trueFalse(1, 1, "A & B < C, 's\xed' \\ no", 0) +
                                 trueFalse(2, 2, "La demanda\r\ncrece.");
        const QString tf = "$course$/top/Orvalis/Verdadero o falso/Capítulo 0";
        const QString one = "1. El marketing y su función en la empresa";
        const QString two = "2. El entorno del marketing/Tema 2. El microentorno: proveedores e "
                            "intermediarios";
        QTest::newRow("gift")
            << "gift" << 0 << three
            << "// Preguntas del banco de Orvalis exportadas por orvalis-banco.\n\n$CATEGORY: " +
                   tf + one +
                   "/Tema 1. Concepto de marketing\n\n::Capítulo 1, tema 1, registro 2::"
                   "[plain]A & B < C, 'sí' \\\\ no{FALSE}\n\n$CATEGORY: " +
                   tf + two +
                   "\n\n::Capítulo 2, tema 2, registro 1::[plain]Proveedores\\: ¿\\{todos\\} \\= "
                   "\"socios\" \\~ \\#1?{TRUE}\n\n::Capítulo 2, tema 2, registro 3::[plain]La "
                   "demanda\\ncrece.{TRUE}\n\n$CATEGORY: "
                   "$course$/top/Orvalis/Conceptuales/Capítulo "
                   "0" +
                   one +
                   "\n\n::Conceptual, capítulo 1, registro 1::[plain]Explique\\: ]]> y "
                   "\\{\\}.{}\n"
            << QStringList() << 4;
        const QString csvTwo = "test,2,El entorno del marketing,2,El microentorno: proveedores e "
                               "intermediarios,";
        QTest::newRow("csv, chapter 2")
            << "csv" << 2 << three
            << "tipo,capítulo,título del capítulo,tema,título del "
               "tema,registro,respuesta,texto\r\n" +
                   csvTwo + "1,Sí,\"Proveedores: ¿{todos} = \"\"socios\"\" ~ #1?\"\r\n" + csvTwo +
                   "3,Sí,\"La demanda\r\ncrece.\"\r\n"
            << QStringList() << 2;
        QTest::newRow("moodle-xml")
            << "moodle-xml" << 0
            << three + trueFalse(0, 1, "Cero.") + trueFalse(1, 1, "") + trueFalse(1, 1, "Un \x01.")
            << "category|" + tf + one +
                   "/Tema 1. Concepto de marketing|truefalse|Capítulo 1, "
                   "tema 1, registro 2|A &amp; B &lt; C, 'sí' \\ no|0|true|100|false|category|" +
                   tf + two +
                   "|truefalse|Capítulo 2, tema 2, registro 1|Proveedores: ¿{todos} = "
                   "&quot;socios&quot; ~ #1?|100|true|0|false|truefalse|Capítulo 2, tema 2, "
                   "registro 3|La demanda\r\ncrece.|100|true|0|false|category|$course$/top/Orvalis/"
                   "Conceptuales/Capítulo 0" +
                   one +
                   "|essay|Conceptual, capítulo 1, registro 1|"
                   "Explique: ]]&gt; y {}."
            << QStringList{"QELMEXT2.DAT, registro 4: el capítulo 0 está fuera de 1 a 22",
                           "QELMEXT2.DAT, registro 5: el texto está vacío",
                           "QELMEXT2.DAT, registro 6: el texto contiene caracteres de control que "
                           "XML no admite"}
            << 4;
        QTest::newRow("texto")
            << "texto" << 0
            << trueFalse(1, 1, "A.") + trueFalse(2, 2, "La demanda\r\ncrece.") +
                   trueFalse(0, 1, "Cero.") + trueFalse(1, 1, "Dos.", 2) + trueFalse(1, 1, "") +
                   trueFalse(1, 1,
                             "  Con sangr\xed"
                             "a.") +
                   trueFalse(1, 1, "A.", 0)
            << "# Verdadero o falso: preguntas exportadas de QELMEXT2.DAT por orvalis-banco.\n# "
               "Una "
               "pregunta por línea: capítulo|tema|respuesta (S = Sí, N = No)|texto\n1|1|S|A.\n"
            << QStringList{"QELMEXT2.DAT, registro 2: el texto contiene caracteres de control, que "
                           "el formato texto no puede escribir",
                           "QELMEXT2.DAT, registro 3: el capítulo 0 está fuera de 1 a 22",
                           "QELMEXT2.DAT, registro 4: la respuesta es 2, que el formato texto no "
                           "puede escribir (solo S o N)",
                           "QELMEXT2.DAT, registro 5: el texto de la pregunta está vacío",
                           "QELMEXT2.DAT, registro 6: el texto empieza o termina con un espacio",
                           "QELMEXT2.DAT, registro 7: la misma pregunta que la línea 3"}
            << 1;
    }
    void eachFormatWritesItsText()
    {
        QFETCH(QString, format);
        QFETCH(int, chapter);
        QFETCH(QByteArray, bank);
        QFETCH(QString, text);
        QFETCH(QStringList, skipped);
        QFETCH(int, exported);
        QTemporaryDir dir;
        QVERIFY(testFiles::writeFile(dir.filePath("QELMEXT2.DAT"), bank));
        QVERIFY(testFiles::writeFile(dir.filePath("QELMEXE1.DAT"),
                                     conceptual(1, "Explique: ]]> y {}.")));
        QList<DemoSourceKind> kinds{DemoSourceKind::TrueFalse};
        if (format != "texto")
            kinds += {DemoSourceKind::Conceptual, DemoSourceKind::Practical, DemoSourceKind::Brief};
        const bankExport::Result result =
            bankExport::run(dir.path(), *bankExport::formatFromName(format), kinds, chapter);
        QString got = QString::fromUtf8(result.bytes);
        if (format == "moodle-xml") {
            QStringList values;
            static const QRegularExpression value(
                "type=\"(\\w+)\"|fraction=\"(\\d+)\"|<text>([^<]+)<");
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

    void slashesInCategoryNamesAreDoubled_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringList{"A", "B"} << "$course$/top/A/B";
        QTest::newRow("inner slash") << QStringList{"Precio/valor"} << "$course$/top/Precio//valor";
        QTest::newRow("slash at both ends") << QStringList{"/x/"} << "$course$/top/ //x// ";
    }
    void slashesInCategoryNamesAreDoubled()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, text);
        QCOMPARE(moodleXmlExport::categoryText(path), text);
    }
};

QTEST_GUILESS_MAIN(tst_BankExport)
#include "tst_BankExport.moc"
