// Question files written by hand as Moodle documents its XML and GIFT
// formats, read by the two readers into the questions each bank file would
// get, the questions refused and those left out: every question type, HTML
// texts with entities, paragraphs and white space, categories, a GIFT
// question over several lines with escapes, and what the command line's
// options change.

#include "GiftImport.h"
#include "MoodleXmlImport.h"

#include <QTest>

Q_DECLARE_METATYPE(ImportOptions)

class tst_ImportedFile : public QObject
{
    Q_OBJECT

    // One line per question, by line: "3 test 4.2 N «text»", "3 ✗ reason",
    // "3 fuera: type".
    static QString described(const ImportedFile &file)
    {
        QMultiMap<int, QString> lines;
        static const char *const kinds[] = {"test", "conceptual", "practica", "breve"};
        for (const QuestionKind kind : file.kinds())
            for (const DemoQuestion &question : file.questions(kind))
                lines.insert(
                    question.line,
                    QStringLiteral("%1 %2 %3.%4 %5«%6»")
                        .arg(question.line)
                        .arg(kinds[int(kind)])
                        .arg(question.chapter)
                        .arg(question.topic)
                        .arg(kind == QuestionKind::TrueFalse ? (question.answer ? "S " : "N ") : "")
                        .arg(question.text));
        for (const DemoSourceProblem &problem : file.problems())
            lines.insert(problem.line,
                         QStringLiteral("%1 ✗ %2").arg(problem.line).arg(problem.message));
        for (const DemoSourceProblem &left : file.leftOut())
            lines.insert(left.line, QStringLiteral("%1 fuera: %2")
                                        .arg(left.line)
                                        .arg(left.message.section(u':', 0, 0).mid(30)));
        return lines.values().join(u'\n');
    }

private Q_SLOTS:
    void eachQuestionFindsItsPlaceOrItsReason_data()
    {
        QTest::addColumn<QByteArray>("content");    // Moodle XML when it starts "<?xml", else GIFT
        QTest::addColumn<ImportOptions>("options"); // --tipo --capitulo --tema
        QTest::addColumn<QString>("expected");
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
        const QByteArray tf41 = "$course$/top/Orvalis/Verdadero o falso/Capítulo 04. La demanda/"
                                "Tema 1. Concepto y tipos de demanda";
        const auto category = [](const QByteArray &path) {
            return "<question type=\"category\"><category><text>" + path +
                   "</text></category></question>\n";
        };
        const auto trueFalse = [](const QByteArray &text, const char *right, const char *wrong,
                                  const QByteArray &format = "html") {
            return "<question type=\"truefalse\"><name><text>P</text></name>\n<questiontext "
                   "format=\"" +
                   format + "\"><text>" + text +
                   "</text></questiontext>\n<answer fraction=\"100\"><text>" + right +
                   "</text></answer><answer fraction=\"0\"><text>" + wrong +
                   "</text></answer></question>\n";
        };
        const auto essay = [](const QByteArray &text, const QByteArray &format = "plain_text") {
            return "<question type=\"essay\"><questiontext format=\"" + format + "\"><text>" +
                   text + "</text></questiontext></question>\n";
        };

        QTest::newRow("xml: HTML with entities, paragraphs, breaks and white space")
            << head + category(tf41) +
                   trueFalse("<![CDATA[<p>La  demanda\n  &laquo;<i>deri</i>vada&raquo; de &lt;B&gt;"
                             "</p><p>no&nbsp;&nbsp;existe<br>&iquest;seguro?&#8364;</p>]]>",
                             "false", "true") +
                   trueFalse("&lt;b&gt;Sí&lt;/b&gt; &amp;amp; $$x^2$$ [[1]] \\(y\\)", "true",
                             "false") +
                   trueFalse("<![CDATA[<ul><li>uno</li><li>dos</li></ul><pre>a   b</pre>"
                             "<table><tr><td>c</td><td>d</td></tr></table><script>x</script>]]>",
                             "TRUE", "False", "moodle_auto_format") +
                   "</quiz>"
            << ImportOptions{}
            << "4 test 4.1 N «La demanda «derivada» de <B> no  existe ¿seguro?€»\n"
               "8 test 4.1 S «Sí & $$x^2$$ [[1]] \\(y\\)»\n"
               "11 test 4.1 S «uno dos a   b c d»";
        QTest::newRow("xml: essays by category, moved or old-style, and plain text as typed")
            << head + category("$course$/top/Orvalis/Prácticas/Capítulo 04. La demanda") +
                   essay("  Dos  espacios&#13;  y una línea.  ") +
                   "<question type=\"category\"><category>$course$/Dpto/Orvalis/Breves/Capítulo "
                   "04. La demanda</category></question>\n" +
                   essay("<![CDATA[**Breve** en _markdown_.]]>", "markdown") +
                   essay("Sin formato.", "") + "</quiz>"
            << ImportOptions{}
            << "4 practica 4.0 «Dos  espacios y una línea.»\n6 breve 4.0 «**Breve** en "
               "_markdown_.»\n7 breve 4.0 «Sin formato.»";
        QTest::newRow("xml: what the bank cannot hold, and no known place")
            << head + category("$course$/top/Orvalis/Conceptuales/Capítulo 04. La demanda") +
                   essay("<![CDATA[<p><img src=\"@@PLUGINFILE@@/a.png\"></p>]]>", "html") +
                   essay("<![CDATA[<a href=\"@@PLUGINFILE@@/a.pdf\">a</a>]]>", "html") +
                   essay("<![CDATA[<video src=\"v.mp4\"></video>]]>", "html") +
                   essay("<![CDATA[<math><mi>x</mi></math>]]>", "html") +
                   "<question type=\"essay\"><questiontext format=\"html\"><text>Vea</text><file "
                   "name=\"a.png\" path=\"/\" encoding=\"base64\">AA==</file></questiontext>"
                   "</question>\n" +
                   trueFalse("Sin tema.", "true", "false") +
                   "<question type=\"truefalse\"><questiontext><text>Dos "
                   "correctas.</text></questiontext><answer fraction=\"100\"><text>true</text>"
                   "</answer><answer fraction=\"100\"><text>false</text></answer></question>\n" +
                   category("$course$/top/Otra") + essay("Sin tipo.") + "</quiz>"
            << ImportOptions{}
            << "4 ✗ la pregunta tiene una imagen, y el banco solo guarda texto\n"
               "5 ✗ la pregunta usa un fichero guardado en Moodle (@@PLUGINFILE@@), y el banco "
               "solo guarda texto\n"
               "6 ✗ la pregunta tiene un vídeo, un sonido u otro objeto incrustado (<video>), y "
               "el banco solo guarda texto\n"
               "7 ✗ la pregunta tiene una ecuación (MathML), y el banco solo guarda texto\n"
               "8 ✗ la pregunta trae un fichero (a.png), y el banco solo guarda texto\n"
               "9 ✗ no se sabe en qué capítulo y tema va: su categoría, «$course$/top/Orvalis/"
               "Conceptuales/Capítulo 04. La demanda», es de preguntas de otro tipo; indique "
               "--capitulo N --tema T\n"
               "12 ✗ no se sabe cuál es la respuesta correcta: una pregunta de verdadero o falso "
               "lleva las respuestas «true» y «false», una con fraction=\"100\" y la otra con "
               "\"0\"\n"
               "14 ✗ no se sabe de qué tipo es esta pregunta de ensayo: su categoría, "
               "«$course$/top/Otra», no es una de las que escribe orvalis-banco; indique --tipo "
               "conceptual, practica o breve";
        QTest::newRow("xml: other types left out; the command line places the rest")
            << head + "<question type=\"multichoice\"/>\n<question/>\n" + category(tf41) +
                   trueFalse("Verdad.", "true", "false") + essay("Ensayo.") + "</quiz>"
            << ImportOptions{QuestionKind::Brief, 9, 3}
            << "3 fuera: opción múltiple (multichoice)\n4 fuera: tipo sin nombre\n"
               "6 test 9.3 S «Verdad.»\n9 breve 9.0 «Ensayo.»";
        QTest::newRow("xml: not well-formed")
            << head + essay("Uno.") + "<question type=\"essay\">\n</quiz>"
            << ImportOptions{QuestionKind::Brief, 1, 0}
            << "3 breve 1.0 «Uno.»\n5 ✗ el XML no es válido: Opening and ending tag mismatch.";
        QTest::newRow("xml: not a quiz")
            << QByteArray("<?xml version=\"1.0\"?>\n<html><quiz/></html>")
            << ImportOptions{QuestionKind::Brief, 1, 0}
            << "2 ✗ no es un fichero XML de preguntas de Moodle: empieza con <html> y no con "
               "<quiz>";

        QTest::newRow("gift: a question over lines, escapes, comments, categories, formats")
            << "\n// Escrito a mano\n$CATEGORY: $course$/top/Orvalis/Breves/Capítulo 04. La "
               "demanda\n\n::Uno\\: el título::[plain]  Defina \\{demanda\\}\n// en medio\n"
               "  derivada\\: a \\~ b \\= c \\# d \\\\ e\\nfin.\n{####Sin\n  nota.\n}\n\n"
               "$CATEGORY: " +
                   tf41 +
                   "\n::V::[html]<p>Es &quot;A&quot;</p><p>y B.</p>{T}\n\nF corto.{F}\n\n"
                   "Verdadero largo. {TRUE #Mal. #Bien.}\n\nFalso en\nmoodle.{false}"
            << ImportOptions{}
            << "5 breve 4.0 «Defina {demanda} derivada: a ~ b = c # d \\ e fin.»\n"
               "13 test 4.1 S «Es \"A\" y B.»\n15 test 4.1 N «F corto.»\n"
               "17 test 4.1 S «Verdadero largo.»\n19 test 4.1 N «Falso en moodle.»";
        QTest::newRow("gift: other types left out, broken questions refused")
            << QByteArray("Elija.{=a ~b}\n\nEscriba.{=uno =dos}\n\nUna.{=a -> b =c -> d}\n\n"
                          "Número.{#3:1}\n\nSolo texto.\n\nEl {T} en medio.\n\n::Sin cierre\n\n"
                          "Abierta {T\n\nRara.{x}\n\n\xC3(.{}\n")
            << ImportOptions{QuestionKind::Conceptual, 2, 0}
            << "1 fuera: opción múltiple\n3 fuera: respuesta corta\n5 fuera: emparejamiento\n"
               "7 fuera: respuesta numérica\n9 fuera: descripción (un texto sin respuestas)\n"
               "11 fuera: palabra que falta (respuestas en medio del texto)\n"
               "13 ✗ falta el «::» que cierra el nombre de la pregunta\n"
               "15 ✗ falta la «}» que cierra las respuestas\n"
               "17 ✗ no se entienden las respuestas «{x}»\n"
               "19 ✗ la línea no está escrita en UTF-8 válido";
    }
    void eachQuestionFindsItsPlaceOrItsReason()
    {
        QFETCH(QByteArray, content);
        QFETCH(ImportOptions, options);
        const ImportedFile file = content.startsWith("<?xml")
                                      ? moodleXmlImport::read("f", content, options)
                                      : giftImport::read("f", content, options);
        QTEST(described(file), "expected");
    }
};

QTEST_GUILESS_MAIN(tst_ImportedFile)
#include "tst_ImportedFile.moc"
