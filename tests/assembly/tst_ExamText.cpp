// The examination text and the answer template, compared byte for byte in
// UTF-8 so that a lost accent, blank or line end shows.
#include "ExamText.h"

#include <QtTest>

Q_DECLARE_METATYPE(SelectedQuestion)

class tst_ExamText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void examTextHasHeadingBlankLineAndOneBoxedLinePerQuestion_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray heading = "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n";
        const QByteArray boxes = "S\xC3\xAD( ) No( )  -  ";
        QTest::newRow("no question") << QStringList() << heading;
        QTest::newRow("one question") << QStringList{QStringLiteral("La demanda es elástica.")}
                                      << heading + boxes + "La demanda es el\xC3\xA1stica.\r\n";
        QTest::newRow("two questions in order")
            << QStringList{QStringLiteral("Segunda"), QStringLiteral("Primera")}
            << heading + boxes + "Segunda\r\n" + boxes + "Primera\r\n";
        QTest::newRow("the same question twice")
            << QStringList{QStringLiteral("Igual"), QStringLiteral("Igual")}
            << heading + boxes + "Igual\r\n" + boxes + "Igual\r\n";
        QTest::newRow("an empty text keeps its line")
            << QStringList{QString()} << heading + boxes + "\r\n";
    }
    void examTextHasHeadingBlankLineAndOneBoxedLinePerQuestion()
    {
        QFETCH(QStringList, texts);
        QFETCH(QByteArray, expected);
        QCOMPARE(composeExamText(texts).toUtf8(), expected);
    }

    void answerTemplateMarksTheCorrectBox_data()
    {
        QTest::addColumn<QList<SelectedQuestion>>("questions");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray heading = "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las "
                                   "respuestas correctas\r\n\r\n";
        const QByteArray yes = "S\xC3\xAD(\xE2\x80\xA2) No( )  -  ";
        const QByteArray no = "S\xC3\xAD( ) No(\xE2\x80\xA2)  -  ";
        QTest::newRow("no question") << QList<SelectedQuestion>() << heading;
        QTest::newRow("yes then no")
            << QList<SelectedQuestion>{{QStringLiteral("Cierta"), QStringLiteral("Sí")},
                                       {QStringLiteral("Falsa"), QStringLiteral("No")}}
            << heading + yes + "Cierta\r\n" + no + "Falsa\r\n";
        // Only the exact label "Sí" marks the first box.
        QTest::newRow("labels other than Sí mark No")
            << QList<SelectedQuestion>{{QStringLiteral("a"), QStringLiteral("Si")},
                                       {QStringLiteral("b"), QStringLiteral("sí")},
                                       {QStringLiteral("c"), QString()},
                                       {QStringLiteral("d"), QStringLiteral("Sí ")}}
            << heading + no + "a\r\n" + no + "b\r\n" + no + "c\r\n" + no + "d\r\n";
    }
    void answerTemplateMarksTheCorrectBox()
    {
        QFETCH(QList<SelectedQuestion>, questions);
        QFETCH(QByteArray, expected);
        QCOMPARE(composeAnswerTemplate(questions).toUtf8(), expected);
    }
};

QTEST_APPLESS_MAIN(tst_ExamText)
#include "tst_ExamText.moc"
