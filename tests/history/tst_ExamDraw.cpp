// Exams drawn to a plan from a small bank: true/false chapter 1 holds a1-a4
// in topic 1 and b1, b2 in topic 2, chapter 2 holds c1, a second b2 and a
// second c1; practical chapter 3 holds p1-p3. A plan is written "1.2:3"
// (chapter 1, topic 2, three questions), "1:5" (the whole chapter) or "p3:2"
// (practical, chapter 3). Earlier exams used a1 two months before the draw,
// a3 thirteen and p2 one. A line ending in f, m, d or ? asks for easy,
// medium, hard or never-marked questions: marked sheets found a1 easy (4 of
// 4 right), a2 medium (2 of 4) and a3 hard (1 of 4).
#include "ExamDraw.h"
#include "MarkedSheets.h"
#include "UsedQuestions.h"

#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 6, 15), QTime(12, 0));

// clang-format off
const QList<DrawQuestion> kBank = {
    {QuestionKind::TrueFalse, 1, 1, 1, "a1", true}, {QuestionKind::TrueFalse, 1, 1, 2, "a2", false},
    {QuestionKind::TrueFalse, 1, 1, 3, "a3", true}, {QuestionKind::TrueFalse, 1, 1, 4, "a4", false},
    {QuestionKind::TrueFalse, 1, 2, 1, "b1", true}, {QuestionKind::TrueFalse, 1, 2, 2, "b2", false},
    {QuestionKind::TrueFalse, 2, 1, 1, "c1", true}, {QuestionKind::TrueFalse, 2, 1, 2, "b2", false},
    {QuestionKind::Practical, 3, 0, 1, "p1", false}, {QuestionKind::Practical, 3, 0, 2, "p2", false},
    {QuestionKind::Practical, 3, 0, 3, "p3", false}, {QuestionKind::TrueFalse, 2, 1, 3, "c1", true}};
// clang-format on

DrawLine lineFor(QString written)
{
    const qsizetype band = QStringLiteral("-fmd?").indexOf(written.back());
    if (band > 0)
        written.chop(1);
    const bool practical = written.startsWith(u'p');
    const QStringList n = written.mid(practical ? 1 : 0).split(QRegularExpression("[.:]"));
    DrawLine line{practical ? QuestionKind::Practical : QuestionKind::TrueFalse,
                  qint16(n[0].toInt()),
                  qint16(n.size() == 3 ? n[1].toInt() : 0),
                  n.last().toInt(),
                  {},
                  {},
                  Difficulty(std::max<qsizetype>(band, 0))};
    for (const DrawQuestion &q : kBank)
        if (q.kind == line.kind && q.chapter == line.chapter &&
            (line.topic == 0 || q.topic == line.topic))
            line.candidates.append(q);
    return line;
}

} // namespace

class tst_ExamDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aPlanDrawsWhatItAsksLeavingOutUsedAndSelected_data()
    {
        QTest::addColumn<QString>("plan");
        QTest::addColumn<int>("months");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("seed");
        QTest::addColumn<QStringList>("drawn");
        QTest::addColumn<QStringList>("shortages");
        // clang-format off
        QTest::newRow("seed 7") << "1.1:2 2:1" << 0 << QStringList() << 7 << QStringList{"a2", "a3", "c1"} << QStringList();
        QTest::newRow("chapter beyond its topics") << "1:5 1.1:4" << 0 << QStringList() << 1 << QStringList{"a1", "a2", "a3", "a4", "b1", "b2"} << QStringList{"Capítulo 1: se piden 5 y quedan 2 (4 ya elegidas en otras líneas del plan)"};
        QTest::newRow("never twice") << "1.2:3 2:2" << 0 << QStringList() << 1 << QStringList{"b1", "b2", "c1"} << QStringList{"Capítulo 1, tema 2: se piden 3 y hay 2", "Capítulo 2: se piden 2 y quedan 1 (1 ya elegida en otra línea del plan)"};
        QTest::newRow("used within the months") << "1.1:4" << 12 << QStringList() << 1 << QStringList{"a2", "a3", "a4"} << QStringList{"Capítulo 1, tema 1: se piden 4 y quedan 3 (1 usada en los últimos meses)"};
        QTest::newRow("already selected") << "1.1:4" << 0 << QStringList{" a2 "} << 1 << QStringList{"a1", "a3", "a4"} << QStringList{"Capítulo 1, tema 1: se piden 4 y quedan 3 (1 ya seleccionada)"};
        QTest::newRow("practical, used a month ago") << "p3:3" << 1 << QStringList() << 1 << QStringList{"p1", "p3"} << QStringList{"Capítulo 3 (prácticas): se piden 3 y quedan 2 (1 usada en los últimos meses)"};
        QTest::newRow("easy ones") << "1.1:2f" << 0 << QStringList() << 1 << QStringList{"a1"} << QStringList{"Capítulo 1, tema 1 (fáciles): se piden 2 y hay 1"};
        QTest::newRow("medium and hard") << "1.1:1m 1:1d" << 0 << QStringList() << 1 << QStringList{"a2", "a3"} << QStringList();
        QTest::newRow("never marked") << "1:9?" << 12 << QStringList() << 1 << QStringList{"a4", "b1", "b2"} << QStringList{"Capítulo 1 (sin corregir): se piden 9 y hay 3"};
        // clang-format on
    }
    void aPlanDrawsWhatItAsksLeavingOutUsedAndSelected()
    {
        QFETCH(QString, plan);
        QFETCH(int, months);
        QFETCH(QStringList, selected);
        QFETCH(int, seed);
        UsedQuestions uses;
        uses.add(QuestionKind::TrueFalse, "a1", {"Examen", kNow.addMonths(-2)});
        uses.add(QuestionKind::TrueFalse, "a3", {"Examen", kNow.addMonths(-13)});
        uses.add(QuestionKind::Practical, "p2", {"Examen", kNow.addMonths(-1)});
        MarkedExam marked{{}, {"SSS", "SSN", "SNN", "SNN"}, 0};
        for (const char *text : {"a1", "a2", "a3"})
            marked.exam.questions.append({QuestionKind::TrueFalse, 1, 1, text, true});
        const QuestionStatistics statistics =
            QuestionStatistics::of({marked}, [](const HistoryQuestion &) { return true; });
        DrawPlan draw{{}, &uses, ExamDraw::cutOff(kNow, months), {}, quint64(seed), &statistics};
        for (const QString &line : plan.split(u' '))
            draw.lines.append(lineFor(line));
        for (const QString &text : selected)
            draw.selected.append({QuestionKind::TrueFalse, text});

        const DrawOutcome outcome = ExamDraw::draw(draw);
        QStringList texts;
        for (const DrawQuestion &q : outcome.drawn)
            texts << q.text;
        QTEST(texts, "drawn");
        QTEST(outcome.shortages, "shortages");
    }
};

QTEST_APPLESS_MAIN(tst_ExamDraw)
#include "tst_ExamDraw.moc"
