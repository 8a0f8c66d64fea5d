// The figures of a small marked exam, worked out beforehand by hand and
// with a separate script from the usual formulas (point-biserial of a
// question against the rest of the exam, KR-20 with the variance over the
// sheets, sample standard deviation of the grades). And when a question's
// discrimination earns a warning: the sheets it rests on and how far below
// zero it lies, at the boundaries as the teacher reads them. The marked
// sheets as the statistics read them back from the history: each sheet's
// answers put in the teacher's order from its version's, the teacher's
// decisions over what was read, unsettled sheets counted apart; and one
// question's figures pooled over the exams that held it.
#include "Discrimination.h"
#include "FiguresTable.h"
#include "ItemAnalysis.h"
#include "MarkedSheets.h"
#include "SheetRecords.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Sheets = QList<QList<MarkOutcome>>;
Q_DECLARE_METATYPE(Sheets)

namespace {
// "RWB" → Right, Wrong, Blank.
Sheets sheets(const QStringList &rows)
{
    Sheets result;
    for (const QString &row : rows) {
        QList<MarkOutcome> sheet;
        for (QChar c : row)
            sheet << (c == u'R'   ? MarkOutcome::Right
                      : c == u'W' ? MarkOutcome::Wrong
                                  : MarkOutcome::Blank);
        result << sheet;
    }
    return result;
}

void compareFigure(const std::optional<double> &actual, const QVariant &expected)
{
    QCOMPARE(actual.has_value(), expected.isValid());
    if (actual)
        QVERIFY2(std::abs(*actual - expected.toDouble()) < 1e-6,
                 qPrintable(QStringLiteral("%1 != %2").arg(*actual).arg(expected.toDouble())));
}
} // namespace

class tst_ItemAnalysis : public QObject
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
    void figuresOfAMarkedExam_data()
    {
        QTest::addColumn<Sheets>("marks");
        QTest::addColumn<double>("penalty");
        QTest::addColumn<QList<double>>("facility");
        QTest::addColumn<QVariantList>("discrimination");
        QTest::addColumn<QList<double>>("meanMedian");
        QTest::addColumn<QVariant>("deviation");
        QTest::addColumn<QVariant>("kr20");
        QTest::addColumn<QList<int>>("bands");
        const Sheets five = sheets({"RRRR", "RRWR", "RWBR", "WRWB", "RWWW"});
        // clang-format off
        QTest::newRow("five sheets, a wrong answer takes a point") << five << 1.0
            << QList<double>{0.8, 0.6, 0.2, 0.6}
            << QVariantList{0.19611613513818402, 0.08006407690254355, 0.5590169943749473, 0.6123724356957945}
            << QList<double>{3.5, 2.5} << QVariant(4.183300132670378) << QVariant(0.5490196078431373)
            << QList<int>{2, 0, 1, 0, 0, 1, 0, 0, 0, 1};
        QTest::newRow("everybody right: nothing to correlate")
            << sheets({"RR", "RR", "RB"}) << 0.5 << QList<double>{1.0, 2.0 / 3}
            << QVariantList{QVariant(), QVariant()} << QList<double>{25.0 / 3, 10.0}
            << QVariant(2.886751345948129) << QVariant(0.0)
            << QList<int>{0, 0, 0, 0, 0, 1, 0, 0, 0, 2};
        QTest::newRow("one sheet") << sheets({"RW"}) << 0.25 << QList<double>{1.0, 0.0}
            << QVariantList{QVariant(), QVariant()} << QList<double>{3.75, 3.75} << QVariant()
            << QVariant() << QList<int>{0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
        // clang-format on
    }
    void figuresOfAMarkedExam()
    {
        QFETCH(Sheets, marks);
        QFETCH(double, penalty);
        QFETCH(QList<double>, facility);
        QFETCH(QVariantList, discrimination);
        QFETCH(QList<double>, meanMedian);
        const ExamFigures exam = ItemAnalysis::analyse(marks, penalty);
        QCOMPARE(exam.sheets, marks.size());
        QCOMPARE(exam.questions.size(), facility.size());
        for (qsizetype q = 0; q < facility.size(); ++q) {
            QCOMPARE(exam.questions[q].facility, facility[q]);
            compareFigure(exam.questions[q].discrimination, discrimination[q]);
        }
        QCOMPARE(exam.mean, meanMedian[0]);
        QCOMPARE(exam.median, meanMedian[1]);
        QFETCH(QVariant, deviation);
        compareFigure(exam.deviation, deviation);
        QFETCH(QVariant, kr20);
        compareFigure(exam.kr20, kr20);
        QTEST(QList<int>(exam.bands.begin(), exam.bands.end()), "bands");
    }

    void summaryOverSeveralExams_data()
    {
        QTest::addColumn<QList<QuestionFigures>>("perExam");
        QTest::addColumn<QString>("summary");
        // clang-format off
        QTest::newRow("two exams, weighted")
            << QList<QuestionFigures>{{180, 120, 0, 0.5}, {200, 116, 0, 0.33}}
            << "Acertada por el 62 % (2 exámenes, 380 alumnos) · discrimina 0,41";
        QTest::newRow("one of each, not computed") << QList<QuestionFigures>{{1, 0, 0, {}}}
            << "Acertada por el 0 % (1 examen, 1 alumno)";
        QTest::newRow("never marked") << QList<QuestionFigures>{{0, 0, 0, {}}} << "";
        // clang-format on
    }
    void summaryOverSeveralExams()
    {
        QFETCH(QList<QuestionFigures>, perExam);
        QTEST(ItemAnalysis::summary(ItemAnalysis::pool(perExam)), "summary");
    }

    void onlyAClearlyNegativeFigureOverEnoughSheetsIsFlagged_data()
    {
        QTest::addColumn<int>("sheets");
        QTest::addColumn<double>("value"); // NaN: not worked out
        QTest::addColumn<bool>("flagged");
        QTest::newRow("29 sheets, far below") << 29 << -0.90 << false;
        QTest::newRow("30 sheets, reads -0,20") << 30 << -0.195 << true;
        QTest::newRow("30 sheets, reads -0,19") << 30 << -0.1949 << false;
        QTest::newRow("many sheets, not worked out") << 400 << qQNaN() << false;
    }
    void onlyAClearlyNegativeFigureOverEnoughSheetsIsFlagged()
    {
        QFETCH(int, sheets);
        QFETCH(double, value);
        const std::optional<double> figure =
            std::isnan(value) ? std::nullopt : std::optional<double>(value);
        QTEST(discrimination::clearlyNegative(sheets, figure), "flagged");
    }

    // Question "b" in two exams. In the first, against the key a Sí, b No,
    // sheets SN, NN, SS: b right 1, 1, 0 and the rest 1, 0, 1, a correlation
    // of −0,5. In the second (b, c: No, Sí) sheets NS, SS: b right 1, 0, the
    // rest 1, 1 does not vary, no correlation. Pooled: 3 right of 5, −0,5.
    // The first exam's sheets as read: SN from version B (b, a), read N?
    // and its question 2 (a, in that version) decided S; NN read SN with a
    // decision over its clear first mark; SS; and ?S, unsettled, counted apart.
    void aQuestionIsPooledOverTheExamsThatHeldIt()
    {
        QTemporaryDir dir;
        ExamHistory history(dir.filePath("historial.sqlite"));
        HistoryExam first = exam({"a", "b"}), second = exam({"b", "c"}), unmarked = exam({"b"});
        QVERIFY(history.record(first).isEmpty() && history.record(second).isEmpty() &&
                history.record(unmarked).isEmpty());
        QVERIFY(sheetRecords::store(history, first.id,
                                    {{1, 1, "1", "N?", {2, 1}, "f", 1},
                                     {0, 2, "2", "SN", {1, 2}, "f", 2},
                                     {0, 3, "3", "SS", {1, 2}, "f", 3},
                                     {0, 4, "4", "?S", {1, 2}, "f", 4}},
                                    {{{1, 1}, {{"2", "S"}}}, {{0, 2}, {{"1", "N"}}}})
                    .isEmpty());
        QVERIFY(sheetRecords::store(
                    history, second.id,
                    {{0, 1, "1", "NS", {1, 2}, "g", 1}, {0, 2, "2", "SS", {1, 2}, "g", 2}}, {})
                    .isEmpty());
        QString error;
        const QList<MarkedExam> exams = markedSheets::read(history, 0, &error);
        QCOMPARE(exams.size(), 2);
        QCOMPARE(exams[0].sheets, (QList<QString>{"SN", "NN", "SS"}));
        QCOMPARE(exams[0].pending, 1);
        QCOMPARE(markedSheets::read(history, second.id, &error).value(0).exam.id, second.id);
        const AnswerOf key = [](const HistoryQuestion &question) -> std::optional<bool> {
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

QTEST_GUILESS_MAIN(tst_ItemAnalysis)
#include "tst_ItemAnalysis.moc"
