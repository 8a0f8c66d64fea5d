// The help texts as the teacher reads them: each section's heading, blank
// lines and paragraphs in order, the paragraphs two sections share, the
// captions a paragraph sends the teacher to, the count table byte for byte
// with the bank's figures, and no text for a code no window uses.
#include "HelpText.h"

#include <QtTest>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A line ending in "…" is checked for its opening only, and must go on.
bool matches(const QString &line, const QString &expected)
{
    if (expected.endsWith(u'…'))
        return line.startsWith(expected.chopped(1)) && line.size() > expected.size() + 20;
    return line == expected;
}

QStringList linesOf(qint16 code)
{
    return HelpText::composeHelpText(code, BankCounts{4, 2, 3, 12}).split(kCrLf);
}

} // namespace

Q_DECLARE_METATYPE(BankCounts)

class tst_HelpText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theCountTableShowsTheBanksFiguresInFixedColumns_data()
    {
        QTest::addColumn<BankCounts>("counts");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("table");
        QTest::newRow("small bank")
            << BankCounts{4, 2, 3, 12}
            << "    El programa contiene 21 preguntas distribuidas de la forma siguiente:"
            << "    1. Preguntas de exposición ...............     9\r\n\r\n"
               "       a) Conceptuales .............     4\r\n"
               "       b) Prácticas ................     2\r\n"
               "       c) Breves ...................     3\r\n\r\n"
               "    2. Preguntas de tipo test ................    12\r\n"
               "                                               -----\r\n"
               "                        Total ................    21\r\n\r\n\r\n";
        QTest::newRow("more than a thousand")
            << BankCounts{471, 136, 720, 1381}
            << "    El programa contiene 2.708 preguntas distribuidas de la forma siguiente:"
            << "    1. Preguntas de exposición ............... 1.327\r\n\r\n"
               "       a) Conceptuales .............   471\r\n"
               "       b) Prácticas ................   136\r\n"
               "       c) Breves ...................   720\r\n\r\n"
               "    2. Preguntas de tipo test ................ 1.381\r\n"
               "                                               -----\r\n"
               "                        Total ................ 2.708\r\n\r\n\r\n";
        // Past 99.999 a figure no longer fits its field and is written whole.
        QTest::newRow("wider than the field")
            << BankCounts{30000, 0, 999, 99999}
            << "    El programa contiene 130.998 preguntas distribuidas de la forma siguiente:"
            << "    1. Preguntas de exposición ............... 30.999\r\n\r\n"
               "       a) Conceptuales ............. 30.000\r\n"
               "       b) Prácticas ................     0\r\n"
               "       c) Breves ...................   999\r\n\r\n"
               "    2. Preguntas de tipo test ................ 99.999\r\n"
               "                                               -----\r\n"
               "                        Total ................ 130.998\r\n\r\n\r\n";
    }
    void theCountTableShowsTheBanksFiguresInFixedColumns()
    {
        QFETCH(BankCounts, counts);
        QFETCH(QString, sentence);
        QFETCH(QString, table);
        QCOMPARE(HelpText::composeCountTable(counts), table);
        // In the general section the sentence and the table follow each other.
        const QString general = HelpText::composeHelpText(0, counts);
        QVERIFY2(general.contains(sentence + "\r\n\r\n" + table), qPrintable(general));
    }

    void eachSectionOpensWithItsHeadingAndKeepsItsLayout_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("expected");
        // Composed with the small bank's counts; "…": the paragraph goes on.
        QTest::newRow("0 general")
            << qint16(0)
            << "AYUDA GENERAL.    \r\n\r\n"
               "    Este programa facilita al profesor la elaboración de exámenes de Marketing…"
               "\r\n\r\n"
               "    El programa contiene 21 preguntas distribuidas de la forma siguiente:\r\n\r\n"
               "    1. Preguntas de exposición ...............     9\r\n\r\n"
               "       a) Conceptuales .............     4\r\n"
               "       b) Prácticas ................     2\r\n"
               "       c) Breves ...................     3\r\n\r\n"
               "    2. Preguntas de tipo test ................    12\r\n"
               "                                               -----\r\n"
               "                        Total ................    21\r\n\r\n\r\n"
               "    El programa, además de seleccionar las preguntas disponibles…\r\n\r\n"
               "    Para entrar en los módulos de selección o de actualización…\r\n\r\n";
        QTest::newRow("1 exposition selection")
            << qint16(1)
            << "SELECCIÓN DE PREGUNTAS DE EXPOSICIÓN\r\n\r\n"
               "    Elija, en primer lugar, el tipo de pregunta…\r\n\r\n"
               "    A continuación, señale con el puntero del ratón el capítulo del que quiere "
               "seleccionar…\r\n\r\n"
               "    Haga doble clic, en la lista de preguntas disponibles…\r\n\r\n"
               "    Si desea eliminar alguna pregunta seleccionada previamente…\r\n\r\n"
               "    Para incluir preguntas del mismo tipo de otros capítulos…\r\n\r\n"
               "    Puede incluir preguntas de diversos tipos en el mismo examen, hasta 100 de "
               "cada tipo.…\r\n\r\n"
               "    Cuando haya terminado de seleccionar las preguntas…\r\n\r\n"
               "    Al terminar de imprimir y volver al módulo de selección…\r\n\r\n";
        QTest::newRow("2 exposition maintenance")
            << qint16(2)
            << "MODIFICACIÓN DE PREGUNTAS DE EXPOSICIÓN\r\n\r\n"
               "    Elija, en primer lugar, el tipo de pregunta…\r\n\r\n"
               "    A continuación, señale con el puntero del ratón el capítulo que quiere "
               "actualizar.\r\n\r\n"
               "    Si desea añadir una nueva pregunta al capítulo…\r\n\r\n"
               "    Para modificar una pregunta disponible…\r\n\r\n"
               "    Para eliminar una pregunta de la base de datos…\r\n\r\n"
               "    \r\n\r\n";
        QTest::newRow("3 true/false selection")
            << qint16(3)
            << "SELECCIÓN DE PREGUNTAS DE TIPO TEST\r\n\r\n"
               "    Elija, en primer lugar, el capítulo y, a continuación, el tema dentro del "
               "capítulo seleccionado.…\r\n\r\n"
               "    A continuación, haga doble clic sobre aquéllas preguntas…\r\n\r\n"
               "    Si desea eliminar alguna pregunta seleccionada previamente…\r\n\r\n"
               "    Para incluir preguntas de otros temas…\r\n\r\n"
               "    Cuando haya terminado de seleccionar las preguntas…\r\n\r\n"
               "    Si desea imprimir una plantilla con las respuestas correctas, pulse el botón "
               "[Imprimir plantilla ...].\r\n\r\n"
               "    Al terminar de imprimir y volver al módulo de selección…\r\n\r\n";
        QTest::newRow("4 true/false maintenance")
            << qint16(4)
            << "MODIFICACIÓN DE PREGUNTAS DE TIPO TEST\r\n\r\n"
               "    Elija, en primer lugar, el capítulo y, a continuación, el tema dentro del "
               "capítulo que quiera actualizar.…\r\n\r\n"
               "    Si desea añadir una nueva pregunta al tema seleccionado…\r\n\r\n"
               "    Para modificar una pregunta disponible…\r\n\r\n"
               "    Para eliminar una pregunta de la base de datos…\r\n\r\n";
        QTest::newRow("5 printing")
            << qint16(5)
            << "IMPRESIÓN DE LOS EXÁMENES\r\n\r\n"
               "   Se ofrecen tres posibilidades de impresión…\r\n\r\n"
               "   Al terminar, pulse el botón [Salir de impresión].\r\n\r\n";
    }
    void eachSectionOpensWithItsHeadingAndKeepsItsLayout()
    {
        QFETCH(qint16, code);
        QFETCH(QString, expected);
        const QString text = HelpText::composeHelpText(code, BankCounts{4, 2, 3, 12});
        // Every line break is CR LF: no carriage return or line feed stands alone.
        QCOMPARE(text.count(u'\r'), text.count(kCrLf));
        QCOMPARE(text.count(u'\n'), text.count(kCrLf));
        const QStringList shown = text.split(kCrLf);
        const QStringList lines = expected.split(kCrLf);
        QCOMPARE(shown.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(matches(shown.at(i), lines.at(i)),
                     qPrintable(QStringLiteral("line %1: «%2»").arg(i).arg(shown.at(i))));
    }

    void aParagraphTwoSectionsShareReadsTheSameInBoth_data()
    {
        QTest::addColumn<qint16>("firstCode");
        QTest::addColumn<int>("firstLine");
        QTest::addColumn<qint16>("secondCode");
        QTest::addColumn<int>("secondLine");
        QTest::newRow("choosing the kind") << qint16(1) << 2 << qint16(2) << 2;
        QTest::newRow("removing a selected question") << qint16(1) << 8 << qint16(3) << 6;
        QTest::newRow("when the selection is finished") << qint16(1) << 14 << qint16(3) << 10;
        QTest::newRow("after printing") << qint16(1) << 16 << qint16(3) << 14;
        QTest::newRow("deleting a question") << qint16(2) << 10 << qint16(4) << 8;
    }
    void aParagraphTwoSectionsShareReadsTheSameInBoth()
    {
        QFETCH(qint16, firstCode);
        QFETCH(int, firstLine);
        QFETCH(qint16, secondCode);
        QFETCH(int, secondLine);
        const QString first = linesOf(firstCode).value(firstLine);
        QVERIFY(first.size() > 40);
        QCOMPARE(linesOf(secondCode).value(secondLine), first);
    }

    // The paragraphs send the teacher to buttons and limits by their exact
    // names; a caption that drifts from the window's would mislead.
    void aParagraphNamesTheButtonsAndLimitsItTalksAbout_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<int>("line");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("up to 100 of each kind")
            << qint16(1) << 12 << QStringList{"hasta 100 de cada tipo.", "\"Tipo de pregunta\""};
        QTest::newRow("print the examination")
            << qint16(1) << 14 << QStringList{"[Imprimir examen]"};
        QTest::newRow("add an exposition question")
            << qint16(2) << 6
            << QStringList{"[Añadir nueva pregunta]", "\"Pregunta\"", "[Actualizar]", "[Cancelar]"};
        QTest::newRow("delete a question")
            << qint16(2) << 10 << QStringList{"[Eliminar pregunta]", "[Aceptar]", "[Cancelar]"};
        QTest::newRow("up to 500 true/false questions")
            << qint16(3) << 4 << QStringList{"Puede incluir hasta 500 preguntas de tipo test."};
        QTest::newRow("add a true/false question with its answer")
            << qint16(4) << 4
            << QStringList{"[Añadir nueva pregunta]", "\"Sí (verdadero)\"", "\"No (falso)\"",
                           "[Actualizar]", "[Cancelar]"};
        QTest::newRow("modify a true/false question and its answer")
            << qint16(4) << 6 << QStringList{"[Modificar pregunta]", "respuesta correcta"};
        QTest::newRow("the three outputs")
            << qint16(5) << 2 << QStringList{"1) [Portapapeles]", "2) [Impresora]", "3) [Fichero]"};
    }
    void aParagraphNamesTheButtonsAndLimitsItTalksAbout()
    {
        QFETCH(qint16, code);
        QFETCH(int, line);
        QFETCH(QStringList, named);
        const QString paragraph = linesOf(code).value(line);
        for (const QString &name : named)
            QVERIFY2(paragraph.contains(name),
                     qPrintable(QStringLiteral("%1 in «%2»").arg(name, paragraph)));
    }

    void aCodeNoWindowUsesGivesAnEmptyText_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::newRow("help closed") << qint16(-999);
        QTest::newRow("just below the main window") << qint16(-1);
        QTest::newRow("just past the output window") << qint16(6);
        QTest::newRow("largest") << qint16(32767);
    }
    void aCodeNoWindowUsesGivesAnEmptyText()
    {
        QFETCH(qint16, code);
        QCOMPARE(HelpText::composeHelpText(code, BankCounts{471, 136, 720, 1381}), QString());
    }
};

QTEST_APPLESS_MAIN(tst_HelpText)
#include "tst_HelpText.moc"
