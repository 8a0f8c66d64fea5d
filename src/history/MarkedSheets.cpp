#include "MarkedSheets.h"

#include "Marks.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace markedSheets {

QList<MarkedExam> read(const ExamHistory &history, qint64 only, QString *error)
{
    QList<MarkedExam> found;
    if (!history.database().isOpen())
        return found; // a folder without a history yet: no sheets to tell of
    QSqlQuery query(history.database());
    if (!query.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                                   "'sheet_decision'")))
        return found; // a history not readable: no sheets to tell of
    if (!query.next())
        return found;
    // One row a question of a sheet, the sheet's decision about it (if any)
    // beside it; a sheet's rows in a run.
    if (!query.prepare(QStringLiteral(
            "SELECT s.exam_id, s.id, a.position, a.answer, d.value FROM sheet s "
            "JOIN sheet_answer a ON a.sheet_id = s.id LEFT JOIN sheet_decision d ON "
            "d.sheet_id = s.id AND d.item = CAST(a.number AS TEXT) WHERE ? = 0 OR s.exam_id = ? "
            "ORDER BY s.exam_id, s.id, a.position")))
        return found;
    query.addBindValue(only);
    query.addBindValue(only);
    if (!query.exec()) {
        *error = ExamHistory::reasonOfError(query.lastError());
        return found;
    }
    qint64 sheetId = 0;
    QString answers;
    const auto endSheet = [&found, &answers] {
        if (answers.isEmpty() || found.isEmpty())
            return;
        MarkedExam &exam = found.last();
        const bool settled = answers.size() == exam.exam.questions.size() &&
                             std::none_of(answers.cbegin(), answers.cend(), [](QChar letter) {
                                 return letter == u' ' || marks::unsettled(marks::of(letter));
                             });
        if (settled)
            exam.sheets.append(answers);
        else
            ++exam.pending;
        answers.clear();
    };
    while (query.next()) {
        const qint64 examId = query.value(0).toLongLong();
        if (query.value(1).toLongLong() != sheetId) {
            endSheet();
            sheetId = query.value(1).toLongLong();
        }
        if (found.isEmpty() || found.last().exam.id != examId) {
            const std::optional<HistoryExam> exam = history.exam(examId, error);
            if (!error->isEmpty())
                return {};
            found.append({exam.value_or(HistoryExam{}), {}, 0});
            found.last().exam.id = examId;
        }
        const int position = query.value(2).toInt();
        const QString value =
            query.value(4).isNull() ? query.value(3).toString() : query.value(4).toString();
        // Positions run 1, 2, 3…; one missing leaves a space, and the sheet
        // is not taken as settled.
        while (answers.size() < position - 1)
            answers.append(u' ');
        answers.append(value.isEmpty() ? QChar(u' ') : value.at(0));
    }
    endSheet();
    found.removeIf([](const MarkedExam &exam) { return exam.exam.questions.isEmpty(); });
    return found;
}

std::optional<ExamFigures> figures(const MarkedExam &marked, const AnswerOf &bank, double penalty)
{
    QList<bool> key;
    for (const HistoryQuestion &question : marked.exam.questions) {
        const std::optional<bool> answer = questionAnswers::of(question, bank);
        if (!answer)
            return std::nullopt;
        key.append(*answer);
    }
    QList<QList<MarkOutcome>> sheets;
    for (const QString &answers : marked.sheets) {
        QList<MarkOutcome> outcomes;
        for (qsizetype n = 0; n < answers.size(); ++n)
            outcomes.append(marks::of(answers[n]) == Mark::Blank ? MarkOutcome::Blank
                            : (marks::of(answers[n]) == Mark::Yes) == key.value(n)
                                ? MarkOutcome::Right
                                : MarkOutcome::Wrong);
        sheets.append(outcomes);
    }
    return ItemAnalysis::analyse(sheets, penalty);
}

} // namespace markedSheets

QString QuestionStatistics::key(QuestionKind kind, const QString &text)
{
    return QString::number(int(kind)) + QLatin1Char('|') + text.trimmed();
}

QuestionStatistics QuestionStatistics::of(const QList<MarkedExam> &exams, const AnswerOf &answerOf,
                                          double penalty)
{
    QuestionStatistics statistics;
    for (const MarkedExam &marked : exams) {
        if (marked.sheets.isEmpty())
            continue;
        const std::optional<ExamFigures> figures = markedSheets::figures(marked, answerOf, penalty);
        if (!figures)
            continue;
        for (qsizetype q = 0; q < figures->questions.size(); ++q) {
            const HistoryQuestion &question = marked.exam.questions.at(q);
            statistics.m_figures[key(question.kind, question.text)].append(
                figures->questions.at(q));
        }
    }
    return statistics;
}

ItemAnalysis::Pooled QuestionStatistics::pooled(QuestionKind kind, const QString &text) const
{
    return ItemAnalysis::pool(m_figures.value(key(kind, text)));
}
