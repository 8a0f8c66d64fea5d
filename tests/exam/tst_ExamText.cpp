// The selection's limits, the examination texts and the answer template,
// and their versions, compared byte for byte.
#include "ExamText.h"

#include <QtTest>

using Answered = QList<std::pair<QString, bool>>;
Q_DECLARE_METATYPE(Answered)
Q_DECLARE_METATYPE(ExamDescription)
Q_DECLARE_METATYPE(QuestionKind)

namespace {

ExamSelection trueFalse(const Answered &questions)
{
    ExamSelection selection;
    for (const auto &[text, answer] : questions)
        selection.add({QuestionKind::TrueFalse, 1, 1, text, answer});
    return selection;
}

ExamSelection exposition(const QStringList &conceptual, const QStringList &practical,
                         const QStringList &brief)
{
    ExamSelection selection;
    for (const QString &text : brief) // kinds added out of order keep their sections
        selection.add({QuestionKind::Brief, 1, 0, text});
    for (const QString &text : conceptual)
        selection.add({QuestionKind::Conceptual, 1, 0, text});
    for (const QString &text : practical)
        selection.add({QuestionKind::Practical, 1, 0, text});
    return selection;
}

const QByteArray kHeader = "EXAMEN DE MARKETING - PREGUNTAS DE EXPOSICI\xC3\x93N  "
                           "\r\n================================================\r\n\r\n";
const QByteArray kB = "\r\nB. PREGUNTAS PR\xC3\x81"
                      "CTICAS:\r\n\r\n 1. P1\r\n\r\n";
const QByteArray kC = "\r\nC. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:\r\n\r\n";
} // namespace

class tst_ExamText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A kind takes questions up to its limit and refuses the next, whatever
    // the other kinds hold.
    void eachKindHoldsUpToItsLimit_data()
    {
        QTest::addColumn<QuestionKind>("kind");
        QTest::addColumn<int>("limit");
        QTest::newRow("true/false") << QuestionKind::TrueFalse << 500;
        QTest::newRow("conceptual") << QuestionKind::Conceptual << 100;
        QTest::newRow("brief") << QuestionKind::Brief << 100;
    }
    void eachKindHoldsUpToItsLimit()
    {
        QFETCH(QuestionKind, kind);
        QFETCH(int, limit);
        ExamSelection selection;
        for (int i = 0; i < limit; ++i)
            QVERIFY(selection.add({kind, 1, 0, QString::number(i)}));
        QVERIFY(!selection.add({kind, 1, 0, "one more"}));
        QCOMPARE(selection.count(kind), limit);
        QCOMPARE(selection.of(kind).last().text, QString::number(limit - 1));
        QVERIFY(selection.add({QuestionKind::Practical, 1, 0, "another kind"}));
        QVERIFY(selection.removeAt(kind, 0) && !selection.removeAt(kind, limit - 1));
        QCOMPARE(selection.of(kind).first().text, "1");
    }

    void composesHeadingAndOneBoxedLinePerQuestion_data()
    {
        QTest::addColumn<Answered>("questions");
        QTest::addColumn<QByteArray>("exam");
        QTest::addColumn<QByteArray>("answers");
        const QByteArray exam = "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n";
        const QByteArray answers = "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las "
                                   "respuestas correctas\r\n\r\n";
        const QByteArray open = "S\xC3\xAD( ) No( )  -  ",
                         yes = "S\xC3\xAD(\xE2\x80\xA2) No( )  -  ",
                         no = "S\xC3\xAD( ) No(\xE2\x80\xA2)  -  ";
        // clang-format off
        QTest::newRow("empty selection") << Answered() << exam << answers;
        QTest::newRow("in order; the answer marks its box") << Answered{{"La demanda es elástica.", true}, {"Falsa", false}, {"c", false}} << exam + open + "La demanda es el\xC3\xA1stica.\r\n" + open + "Falsa\r\n" + open + "c\r\n" << answers + yes + "La demanda es el\xC3\xA1stica.\r\n" + no + "Falsa\r\n" + no + "c\r\n";
        // clang-format on
    }
    void composesHeadingAndOneBoxedLinePerQuestion()
    {
        QFETCH(Answered, questions);
        QFETCH(QByteArray, exam);
        QFETCH(QByteArray, answers);
        QCOMPARE(composeText({ExamDescription::Kind::TrueFalse, trueFalse(questions)}).toUtf8(),
                 exam);
        QCOMPARE(
            composeText({ExamDescription::Kind::AnswerTemplate, trueFalse(questions)}).toUtf8(),
            answers);
    }

    void composesExpositionSectionsWithFixedLetters_data()
    {
        QTest::addColumn<QStringList>("conceptual");
        QTest::addColumn<QStringList>("practical");
        QTest::addColumn<QStringList>("brief");
        QTest::addColumn<QByteArray>("expected");
        QStringList twelve;
        for (int i = 1; i <= 12; ++i)
            twelve << QStringLiteral("b%1").arg(i);
        // clang-format off
        QTest::newRow("nothing selected: the header alone") << QStringList() << QStringList() << QStringList() << kHeader;
        QTest::newRow("B and C keep their letters") << QStringList() << QStringList{"P1"} << QStringList{"B1"} << kHeader + kB + kC + " 1. B1\r\n";
        QTest::newRow("A, B and C, each numbered from 1") << QStringList{"Q1", "Q2"} << QStringList{"P1"} << QStringList{"B1"} << kHeader + "A. PREGUNTAS CONCEPTUALES:\r\n\r\n 1. Q1\r\n\r\n 2. Q2\r\n\r\n" + kB + kC + " 1. B1\r\n";
        QTest::newRow("two-digit numbers take the whole field") << QStringList() << QStringList() << twelve << kHeader + kC + " 1. b1\r\n 2. b2\r\n 3. b3\r\n 4. b4\r\n 5. b5\r\n 6. b6\r\n 7. b7\r\n 8. " "b8\r\n 9. b9\r\n10. b10\r\n11. b11\r\n12. b12\r\n";
        // clang-format on
    }
    void composesExpositionSectionsWithFixedLetters()
    {
        QFETCH(QStringList, conceptual);
        QFETCH(QStringList, practical);
        QFETCH(QStringList, brief);
        QFETCH(QByteArray, expected);
        QCOMPARE(composeText(
                     {ExamDescription::Kind::Exposition, exposition(conceptual, practical, brief)})
                     .toUtf8(),
                 expected);
    }

    // Version A is the teacher's order under its "VERSIÓN A" line; the
    // others follow the seed through the documented generator (orders worked
    // out by hand from it), each question with its answer, sections apart.
    void versionsFollowTheSeed_data()
    {
        QTest::addColumn<ExamDescription>("exam");
        QTest::addColumn<QByteArray>("expected");
        const ExamSelection four =
            trueFalse({{"a", true}, {"b", false}, {"c", false}, {"d", true}});
        const QByteArray exam = "EXAMEN DE MARKETING - Preguntas tipo test\r\n\r\n";
        const QByteArray answers = "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las "
                                   "respuestas correctas\r\n\r\n";
        const QByteArray o = "S\xC3\xAD( ) No( )  -  ", y = "S\xC3\xAD(\xE2\x80\xA2) No( )  -  ",
                         n = "S\xC3\xAD( ) No(\xE2\x80\xA2)  -  ";
        const QByteArray v = "VERSI\xC3\x93N ";
        const ExamDescription sections{ExamDescription::Kind::Exposition,
                                       exposition({"c1", "c2", "c3"}, {"p1", "p2"}, {"b1"}), 2, 7};
        // clang-format off
        QTest::newRow("exam, 2 versions") << ExamDescription{ExamDescription::Kind::TrueFalse, four, 2, 1234567} << v + "A\r\n" + exam + o + "a\r\n" + o + "b\r\n" + o + "c\r\n" + o + "d\r\n\f" + v + "B\r\n" + exam + o + "a\r\n" + o + "c\r\n" + o + "d\r\n" + o + "b\r\n";
        QTest::newRow("template, 3 versions and their key") << ExamDescription{ExamDescription::Kind::AnswerTemplate, four, 3, 1234567} << v + "A\r\n" + answers + y + "a\r\n" + n + "b\r\n" + n + "c\r\n" + y + "d\r\n\f" + v + "B\r\n" + answers + y + "a\r\n" + n + "c\r\n" + y + "d\r\n" + n + "b\r\n\f" + v + "C\r\n" + answers + n + "b\r\n" + y + "a\r\n" + n + "c\r\n" + y + "d\r\n\r\nVersi\xC3\xB3n A: 1 S\xC3\xAD, 2 No, 3 No, 4 S\xC3\xAD\r\nVersi\xC3\xB3n B: 1 S\xC3\xAD, 2 No, 3 S\xC3\xAD, 4 No\r\nVersi\xC3\xB3n C: 1 No, 2 S\xC3\xAD, 3 No, 4 S\xC3\xAD\r\n";
        QTest::newRow("exposition: shuffled within each section") << sections << v + "A\r\n" + kHeader + "A. PREGUNTAS CONCEPTUALES:\r\n\r\n 1. c1\r\n\r\n 2. c2\r\n\r\n 3. c3\r\n\r\n\r\nB. PREGUNTAS PR\xC3\x81" "CTICAS:\r\n\r\n 1. p1\r\n\r\n 2. p2\r\n\r\n" + kC + " 1. b1\r\n\f" + v + "B\r\n" + kHeader + "A. PREGUNTAS CONCEPTUALES:\r\n\r\n 1. c2\r\n\r\n 2. c3\r\n\r\n 3. c1\r\n\r\n\r\nB. PREGUNTAS PR\xC3\x81" "CTICAS:\r\n\r\n 1. p2\r\n\r\n 2. p1\r\n\r\n" + kC + " 1. b1\r\n";
        // clang-format on
    }
    void versionsFollowTheSeed()
    {
        QFETCH(ExamDescription, exam);
        QFETCH(QByteArray, expected);
        QCOMPARE(composeText(exam).toUtf8(), expected);
    }
};

QTEST_APPLESS_MAIN(tst_ExamText)
#include "tst_ExamText.moc"
