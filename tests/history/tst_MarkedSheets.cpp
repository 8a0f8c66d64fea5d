// The marked sheets as the statistics read them back from the history: each
// sheet's answers put in the teacher's order from its version's, the
// teacher's decisions over what was read, unsettled sheets counted apart;
// and one question's figures pooled over the exams that held it.

#include "FiguresTable.h"
#include "MarkedSheets.h"
#include "SheetRecords.h"

#include <QTemporaryDir>
#include <QTest>

class tst_MarkedSheets : public QObject
{
    Q_OBJECT

    static HistoryExam exam(const QStringList &texts)
    {
        HistoryExam made{0, QDateTime({2026, 6, 12}, {9, 0}), false, "Parcial", 1, 0, {}};
        for (const QString &text : texts)
            made.questions.append({QuestionKind::TrueFalse, 1, 1, text, std::nullopt});
        return made;
    }

private Q_SLOTS:
    void sheetsComeBackInTheTeachersOrderWithTheDecisions_data()
    {
        QTest::addColumn<QString>("read"); // in the version's order
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QString>("dni");
        QTest::addColumn<QString>("decisions"); // "item=value,…"
        QTest::addColumn<QString>("settled");   // teacher's order; empty: pending
        const auto row = [](const char *tag, const char *read, const QList<int> &positions,
                            const char *settled, const char *decisions = "",
                            const char *dni = "12345678") {
            QTest::newRow(tag) << read << positions << dni << decisions << settled;
        };
        row("version A as read", "SN-", {1, 2, 3}, "SN-");
        row("a shuffled version put back", "SN-", {3, 1, 2}, "N-S");
        row("a doubtful mark holds the sheet back", "S?-", {1, 2, 3}, "");
        row("both boxes marked hold it back", "SNX", {1, 2, 3}, "");
        row("a decision settles it, by the version's number", "S?-", {2, 3, 1}, "-SN", "2=N");
        row("a decision over a clear mark wins", "SNS", {1, 2, 3}, "-NN", "1=-,3=N");
        row("a doubtful DNI alone does not hold it back", "SNS", {1, 2, 3}, "SNS", "", "1234567?");
    }
    void sheetsComeBackInTheTeachersOrderWithTheDecisions()
    {
        QFETCH(QString, read);
        QFETCH(QList<int>, positions);
        QFETCH(QString, dni);
        QFETCH(QString, decisions);
        QFETCH(QString, settled);
        QTemporaryDir dir;
        ExamHistory history(dir.filePath("historial.sqlite"));
        HistoryExam made = exam({"a", "b", "c"});
        QCOMPARE(history.record(made), QString());
        sheetRecords::Decisions decided;
        for (const QString &pair : decisions.split(',', Qt::SkipEmptyParts))
            decided.insert(pair.section('=', 0, 0), pair.section('=', 1));
        QCOMPARE(sheetRecords::store(history, made.id, {{1, 7, dni, read, positions, "e.pdf", 1}},
                                     {{{1, 7}, decided}}),
                 QString());
        QString error;
        const QList<MarkedExam> exams = markedSheets::read(history, 0, &error);
        QCOMPARE(error, QString());
        QCOMPARE(exams.size(), 1);
        QCOMPARE(exams[0].exam.questions, made.questions);
        QCOMPARE(exams[0].sheets, settled.isEmpty() ? QList<QString>() : QList<QString>{settled});
        QCOMPARE(exams[0].pending, settled.isEmpty() ? 1 : 0);
    }

    // Question "b" in two exams. In the first, against the key a Sí, b No,
    // sheets SN, NN, SS: b right 1, 1, 0 and the rest 1, 0, 1, a correlation
    // of −0,5. In the second (b, c: No, Sí) sheets NS, SS: b right 1, 0, the
    // rest 1, 1 does not vary, no correlation. Pooled: 3 right of 5, −0,5.
    void aQuestionIsPooledOverTheExamsThatHeldIt()
    {
        QTemporaryDir dir;
        ExamHistory history(dir.filePath("historial.sqlite"));
        HistoryExam first = exam({"a", "b"}), second = exam({"b", "c"}), unmarked = exam({"b"});
        QVERIFY(history.record(first).isEmpty() && history.record(second).isEmpty() &&
                history.record(unmarked).isEmpty());
        QVERIFY(sheetRecords::store(history, first.id,
                                    {{0, 1, "1", "SN", {1, 2}, "f", 1},
                                     {0, 2, "2", "NN", {1, 2}, "f", 2},
                                     {0, 3, "3", "SS", {1, 2}, "f", 3},
                                     {0, 4, "4", "?S", {1, 2}, "f", 4}},
                                    {})
                    .isEmpty());
        QVERIFY(sheetRecords::store(
                    history, second.id,
                    {{0, 1, "1", "NS", {1, 2}, "g", 1}, {0, 2, "2", "SS", {1, 2}, "g", 2}}, {})
                    .isEmpty());
        QString error;
        const QList<MarkedExam> exams = markedSheets::read(history, 0, &error);
        QCOMPARE(exams.size(), 2);
        QCOMPARE(exams[0].pending, 1);
        QCOMPARE(markedSheets::read(history, second.id, &error).value(0).exam.id, second.id);
        const AnswerOf key = [](const HistoryQuestion &question) -> std::optional<bool> {
            if (question.text == "d")
                return std::nullopt;
            return question.text != "b";
        };
        const QuestionStatistics statistics = QuestionStatistics::of(exams, key);
        const ItemAnalysis::Pooled b = statistics.pooled(QuestionKind::TrueFalse, " b ");
        QCOMPARE(ItemAnalysis::summary(b),
                 "Acertada por el 60 % (2 exámenes, 5 alumnos) · discrimina -0,50");
        QCOMPARE(statistics.pooled(QuestionKind::Conceptual, "b").sheets, 0);
        // An exam one of whose answers is not known gives no figures at all.
        QVERIFY(!markedSheets::figures(
            exams[0],
            [](const HistoryQuestion &q) {
                return q.text == "a" ? std::optional<bool>() : std::optional<bool>(true);
            },
            1.0));
    }
};

QTEST_GUILESS_MAIN(tst_MarkedSheets)
#include "tst_MarkedSheets.moc"
