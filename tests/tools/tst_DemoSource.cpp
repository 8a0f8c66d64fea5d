// Parsing of the demo bank's source files: the lines that fit and what they
// become, and every kind of line that does not fit, reported with its file
// and line.

#include "DemoSource.h"

#include <QTest>

Q_DECLARE_METATYPE(DemoSourceKind)

namespace {
const QString kPath = QStringLiteral("demo/fuente.txt");

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}
} // namespace

class tst_DemoSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trueFalseLineGivesItsFields_data();
    void trueFalseLineGivesItsFields();
    void expositionLineGivesChapterAndText_data();
    void expositionLineGivesChapterAndText();
    void textFillingItsFieldIsAccepted_data();
    void textFillingItsFieldIsAccepted();
    void commentsBlankLinesAndLineEndsAreSkipped();
    void badLineIsReportedWithFileAndLine_data();
    void badLineIsReportedWithFileAndLine();
    void everyBadLineIsReportedAndGoodOnesKept();
    void questionsPastTheIndexCapacityAreReported_data();
    void questionsPastTheIndexCapacityAreReported();
    void unreadableFileIsAProblemOfTheWholeFile();
};

void tst_DemoSource::trueFalseLineGivesItsFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("chapter");
    QTest::addColumn<int>("topic");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("text");

    QTest::newRow("yes") << "1|1|S|El precio genera ingresos." << 1 << 1 << 1
                         << "El precio genera ingresos.";
    QTest::newRow("no") << "22|4|N|Otra afirmación." << 22 << 4 << 0 << "Otra afirmación.";
    QTest::newRow("leading zero") << "04|04|S|Cuarto tema." << 4 << 4 << 1 << "Cuarto tema.";
    QTest::newRow("last topic of the largest chapter")
        << "1|9|N|Noveno tema." << 1 << 9 << 0 << "Noveno tema.";
    QTest::newRow("bar inside the text") << "3|2|S|Uno | dos" << 3 << 2 << 1 << "Uno | dos";
    QTest::newRow("Windows-1252 punctuation")
        << QStringLiteral("5|1|N|¿Cuesta 9,95 € «o» 10 €? Sí – o no… “quizá”") << 5 << 1 << 0
        << QStringLiteral("¿Cuesta 9,95 € «o» 10 €? Sí – o no… “quizá”");
    QTest::newRow("inner double spaces stay")
        << "2|3|S|Dos  espacios" << 2 << 3 << 1 << "Dos  espacios";
}

void tst_DemoSource::trueFalseLineGivesItsFields()
{
    QFETCH(QString, line);
    QFETCH(int, chapter);
    QFETCH(int, topic);
    QFETCH(int, answer);
    QFETCH(QString, text);

    const DemoSource source = DemoSource::parse(DemoSourceKind::TrueFalse, kPath, utf8(line));
    QVERIFY2(source.ok(), qPrintable(source.problems().value(0).toString()));
    QCOMPARE(source.questions().size(), 1);
    const DemoQuestion &question = source.questions().first();
    QCOMPARE(question.line, 1);
    QCOMPARE(question.chapter, chapter);
    QCOMPARE(question.topic, topic);
    QCOMPARE(question.answer, answer);
    QCOMPARE(question.text, text);
}

void tst_DemoSource::expositionLineGivesChapterAndText_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("chapter");
    QTest::addColumn<QString>("text");

    QTest::newRow("conceptual") << DemoSourceKind::Conceptual << "7|Explique el posicionamiento."
                                << 7 << "Explique el posicionamiento.";
    QTest::newRow("practical, bars and figures")
        << DemoSourceKind::Practical << "11|Coste 8 | precio 17,50: calcule el margen." << 11
        << "Coste 8 | precio 17,50: calcule el margen.";
    QTest::newRow("brief, last chapter")
        << DemoSourceKind::Brief << "22|¿Qué es una licencia?" << 22 << "¿Qué es una licencia?";
}

void tst_DemoSource::expositionLineGivesChapterAndText()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(QString, line);
    QFETCH(int, chapter);
    QFETCH(QString, text);

    const DemoSource source = DemoSource::parse(kind, kPath, utf8(line));
    QVERIFY2(source.ok(), qPrintable(source.problems().value(0).toString()));
    QCOMPARE(source.questions().size(), 1);
    QCOMPARE(source.questions().first().chapter, chapter);
    QCOMPARE(source.questions().first().text, text);
}

void tst_DemoSource::textFillingItsFieldIsAccepted_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("width");

    QTest::newRow("true/false, 250") << DemoSourceKind::TrueFalse << "1|1|S|" << 250;
    QTest::newRow("conceptual, 500") << DemoSourceKind::Conceptual << "1|" << 500;
    QTest::newRow("practical, 1000") << DemoSourceKind::Practical << "1|" << 1000;
    QTest::newRow("brief, 150") << DemoSourceKind::Brief << "1|" << 150;
}

void tst_DemoSource::textFillingItsFieldIsAccepted()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(QString, prefix);
    QFETCH(int, width);

    QCOMPARE(DemoSource::textWidth(kind), width);
    // Accented letters are one byte in the bank but two in the source file:
    // the limit counts characters.
    const QString text = QString(width, QChar(0x00F1));
    const DemoSource source = DemoSource::parse(kind, kPath, utf8(prefix + text));
    QVERIFY2(source.ok(), qPrintable(source.problems().value(0).toString()));
    QCOMPARE(source.questions().first().text, text);
}

void tst_DemoSource::commentsBlankLinesAndLineEndsAreSkipped()
{
    const QByteArray content = "\xEF\xBB\xBF# Cap\xC3\xADtulo 1\r\n"
                               "\r\n"
                               "   \t \n"
                               "  # comentario sangrado\n"
                               "1|1|S|Primera.\r\n"
                               "\n"
                               "1|2|N|Segunda, sin salto de l\xC3\xADnea al final.";
    const DemoSource source = DemoSource::parse(DemoSourceKind::TrueFalse, kPath, content);
    QVERIFY2(source.ok(), qPrintable(source.problems().value(0).toString()));
    QCOMPARE(source.questions().size(), 2);
    QCOMPARE(source.questions()[0].line, 5);
    QCOMPARE(source.questions()[0].text, QStringLiteral("Primera."));
    QCOMPARE(source.questions()[1].line, 7);
    QCOMPARE(source.questions()[1].text, QStringLiteral("Segunda, sin salto de línea al final."));
}

void tst_DemoSource::badLineIsReportedWithFileAndLine_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    const auto tf = DemoSourceKind::TrueFalse;
    const QByteArray head = "# cabecera\n\n";
    QTest::newRow("chapter 0") << tf << head + "0|1|S|Texto." << 3 << "chapter \"0\"";
    QTest::newRow("chapter 23") << tf << head + "23|1|S|Texto." << 3 << "chapter \"23\"";
    QTest::newRow("chapter not a number")
        << tf << head + "uno|1|S|Texto." << 3 << "is not a number from 1 to 22";
    QTest::newRow("chapter with a space") << tf << head + " 1|1|S|Texto." << 3 << "chapter \" 1\"";
    QTest::newRow("chapter with a sign") << tf << head + "+1|1|S|Texto." << 3 << "chapter \"+1\"";
    QTest::newRow("topic past the chapter's topics")
        << tf << head + "4|5|S|Texto." << 3
        << "topic \"5\" does not exist in chapter 4, which has 4 topics";
    QTest::newRow("topic 0") << tf << head + "1|0|S|Texto." << 3 << "topic \"0\"";
    QTest::newRow("topic missing") << tf << head + "1||S|Texto." << 3 << "topic \"\"";
    QTest::newRow("answer spelled out")
        << tf << head + QString("2|1|Sí|Texto.").toUtf8() << 3 << "answer \"Sí\" is neither S";
    QTest::newRow("answer lower case") << tf << head + "2|1|n|Texto." << 3 << "answer \"n\"";
    QTest::newRow("answer missing") << tf << head + "2|1||Texto." << 3 << "answer \"\"";
    QTest::newRow("fields missing")
        << tf << head + "2|1|Texto sin respuesta." << 3 << "expected chapter|topic|answer|text";
    QTest::newRow("text empty") << tf << head + "2|1|S|" << 3 << "the question text is empty";
    QTest::newRow("text only spaces") << tf << head + "2|1|S|    " << 3 << "empty";
    QTest::newRow("text too long") << tf << head + "2|1|S|" + QByteArray(251, 'a') << 3
                                   << "the text has 251 characters, more than the 250";
    QTest::newRow("text with a tab") << tf << head + "2|1|S|Uno\tdos" << 3 << "U+0009";
    QTest::newRow("text with a C1 control") << tf
                                            << head + "2|1|S|Uno\xC2\x81"
                                                      "dos"
                                            << 3 << "U+0081";
    QTest::newRow("text outside Windows-1252")
        << tf << head + QString("2|1|S|Precio ≤ 10 euros").toUtf8() << 3 << "U+2264";
    QTest::newRow("byte order mark inside the file") << tf
                                                     << head + "\xEF\xBB\xBF"
                                                               "2|1|S|Texto."
                                                     << 3 << "chapter";
    QTest::newRow("text begins with a space")
        << tf << head + "2|1|S| Texto." << 3 << "begins or ends with a space";
    QTest::newRow("text ends with a space")
        << tf << head + "2|1|S|Texto. " << 3 << "begins or ends with a space";
    QTest::newRow("not UTF-8") << tf << head + "2|1|S|Precio en \xE9uros" << 3 << "not valid UTF-8";
    QTest::newRow("UTF-8 cut short at the line's end")
        << tf << head + "2|1|S|Precio en \xC3\n2|1|S|Otra." << 3 << "not valid UTF-8";
    QTest::newRow("question written twice")
        << tf << head + "2|1|S|Repetida.\n2|2|N|Repetida." << 4 << "the same question as line 3";

    QTest::newRow("conceptual chapter 23")
        << DemoSourceKind::Conceptual << head + "23|Texto." << 3 << "chapter \"23\"";
    QTest::newRow("conceptual without bar")
        << DemoSourceKind::Conceptual << head + "Texto." << 3 << "expected chapter|text";
    QTest::newRow("conceptual too long")
        << DemoSourceKind::Conceptual << head + "1|" + QByteArray(501, 'a') << 3
        << "501 characters, more than the 500";
    QTest::newRow("practical too long")
        << DemoSourceKind::Practical << head + "1|" + QByteArray(1001, 'a') << 3
        << "1001 characters, more than the 1000";
    QTest::newRow("brief too long") << DemoSourceKind::Brief << head + "1|" + QByteArray(151, 'a')
                                    << 3 << "151 characters, more than the 150";
    QTest::newRow("brief empty") << DemoSourceKind::Brief << head + "9|" << 3 << "empty";
}

void tst_DemoSource::badLineIsReportedWithFileAndLine()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(QByteArray, content);
    QFETCH(int, line);
    QFETCH(QString, reason);

    const DemoSource source = DemoSource::parse(kind, kPath, content);
    QVERIFY(!source.ok());
    QCOMPARE(source.problems().size(), 1);
    const DemoSourceProblem &problem = source.problems().first();
    QCOMPARE(problem.file, kPath);
    QCOMPARE(problem.line, line);
    QVERIFY2(problem.message.contains(reason), qPrintable(problem.message));
    QVERIFY(problem.toString().startsWith(kPath + QLatin1Char(':') + QString::number(line) +
                                          QStringLiteral(": ")));
    for (const DemoQuestion &question : source.questions())
        QVERIFY(question.line != line);
}

void tst_DemoSource::everyBadLineIsReportedAndGoodOnesKept()
{
    const QByteArray content = "1|1|S|Buena.\n"
                               "1|1|X|Mala respuesta.\n"
                               "1|2|N|Otra buena.\n"
                               "30|1|S|Mal cap\xC3\xADtulo.\n";
    const DemoSource source = DemoSource::parse(DemoSourceKind::TrueFalse, kPath, content);
    QCOMPARE(source.problems().size(), 2);
    QCOMPARE(source.problems()[0].line, 2);
    QCOMPARE(source.problems()[1].line, 4);
    QCOMPARE(source.questions().size(), 2);
    QCOMPARE(source.questions()[1].line, 3);
}

void tst_DemoSource::questionsPastTheIndexCapacityAreReported_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("most");

    QTest::newRow("true/false, 50 a topic") << DemoSourceKind::TrueFalse << "3|2|S|" << 50;
    QTest::newRow("conceptual, 100 a chapter") << DemoSourceKind::Conceptual << "3|" << 100;
    QTest::newRow("practical, 100 a chapter") << DemoSourceKind::Practical << "3|" << 100;
    QTest::newRow("brief, 200 a chapter") << DemoSourceKind::Brief << "3|" << 200;
}

void tst_DemoSource::questionsPastTheIndexCapacityAreReported()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(QString, prefix);
    QFETCH(int, most);

    QByteArray content;
    for (int i = 1; i <= most + 2; ++i)
        content += utf8(prefix) + "Pregunta " + QByteArray::number(i) + ".\n";
    const DemoSource source = DemoSource::parse(kind, kPath, content);
    QCOMPARE(source.problems().size(), 2);
    QCOMPARE(source.problems()[0].line, most + 1);
    QCOMPARE(source.problems()[1].line, most + 2);
    QVERIFY2(source.problems()[0].message.contains(QString::number(most)),
             qPrintable(source.problems()[0].message));

    // The same number of questions, spread over two topics or chapters, fits.
    QByteArray spread;
    for (int i = 1; i <= most + 2; ++i) {
        const QString filed =
            i <= most ? prefix : QString(prefix).replace(0, 1, QStringLiteral("4"));
        spread += utf8(filed) + "Pregunta " + QByteArray::number(i) + ".\n";
    }
    QVERIFY(DemoSource::parse(kind, kPath, spread).ok());
}

void tst_DemoSource::unreadableFileIsAProblemOfTheWholeFile()
{
    const QString path = QStringLiteral("/nonexistent/folder/breves.txt");
    const DemoSource source = DemoSource::read(DemoSourceKind::Brief, path);
    QCOMPARE(source.problems().size(), 1);
    QCOMPARE(source.problems().first().line, 0);
    QVERIFY(source.problems().first().toString().startsWith(path + QStringLiteral(": ")));
    QVERIFY(source.questions().isEmpty());
}

QTEST_APPLESS_MAIN(tst_DemoSource)
#include "tst_DemoSource.moc"
