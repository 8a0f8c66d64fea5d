// The examination text and the answer template, compared byte for byte.
#include "ExamText.h"

#include <QtTest>

Q_DECLARE_METATYPE(SelectedQuestion)

class tst_ExamText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void composesHeadingAndOneBoxedLinePerQuestion_data()
    {
        QTest::addColumn<QList<SelectedQuestion>>("questions");
        QTest::addColumn<QByteArray>("exam");
        QTest::addColumn<QByteArray>("answers");
        const QByteArray examHeading = "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n";
        const QByteArray answerHeading = "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla "
                                         "con las respuestas correctas\r\n\r\n";
        const QByteArray open = "S\xC3\xAD( ) No( )  -  ";
        const QByteArray yes = "S\xC3\xAD(\xE2\x80\xA2) No( )  -  ";
        const QByteArray no = "S\xC3\xAD( ) No(\xE2\x80\xA2)  -  ";
        QTest::newRow("empty selection")
            << QList<SelectedQuestion>() << examHeading << answerHeading;
        QTest::newRow("yes, no, in order; only the exact label Sí marks Sí")
            << QList<SelectedQuestion>{{QStringLiteral("La demanda es elástica."),
                                        QStringLiteral("Sí")},
                                       {QStringLiteral("Falsa"), QStringLiteral("No")},
                                       {QStringLiteral("c"), QStringLiteral("Si")}}
            << examHeading + open + "La demanda es el\xC3\xA1stica.\r\n" + open + "Falsa\r\n" +
                   open + "c\r\n"
            << answerHeading + yes + "La demanda es el\xC3\xA1stica.\r\n" + no + "Falsa\r\n" + no +
                   "c\r\n";
    }
    void composesHeadingAndOneBoxedLinePerQuestion()
    {
        QFETCH(QList<SelectedQuestion>, questions);
        QFETCH(QByteArray, exam);
        QFETCH(QByteArray, answers);
        QStringList texts;
        for (const SelectedQuestion &q : questions)
            texts.append(q.text);
        QCOMPARE(composeExamText(texts).toUtf8(), exam);
        QCOMPARE(composeAnswerTemplate(questions).toUtf8(), answers);
    }
};

QTEST_APPLESS_MAIN(tst_ExamText)
#include "tst_ExamText.moc"
