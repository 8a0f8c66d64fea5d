#include "ExamExport.h"

#include "BankSnapshot.h"
#include "ExamWording.h"

#include <QHash>

namespace examExport {

namespace {

QString placeKey(int chapter, int topic, const QString &text)
{
    return QStringLiteral("%1|%2|%3").arg(chapter).arg(topic).arg(text);
}

// The answer of each true/false question of the bank by chapter, topic and
// text, the first listed record's when several share them, for exams
// recorded before the history kept answers.
std::optional<QHash<QString, bool>> bankAnswers(const QString &folder, QString *error)
{
    const BankSnapshot snapshot = BankSnapshot::read(folder, QuestionKind::TrueFalse);
    if (!snapshot.ok()) {
        *error = snapshot.error();
        return std::nullopt;
    }
    QHash<QString, bool> answers;
    for (const SnapshotRecord &record : snapshot.records()) {
        const QString key = placeKey(record.chapter, record.topic, record.displayText());
        if (record.listed() && (record.answer == 0 || record.answer == 1) && !answers.contains(key))
            answers.insert(key, record.answer == 1);
    }
    return answers;
}

} // namespace

QList<qsizetype> versionOrder(const HistoryExam &exam, int version)
{
    const QList<QList<qsizetype>> orders = exam.versionOrders();
    return orders.value(version, orders.first());
}

Result questions(const HistoryExam &exam, int version, const QString &folder)
{
    Result result;
    // Histories keep the answers; those recorded before they did are looked
    // up in the bank.
    std::optional<QHash<QString, bool>> answers;
    const bool allKnown = std::all_of(
        exam.questions.cbegin(), exam.questions.cend(), [](const HistoryQuestion &question) {
            return question.kind != QuestionKind::TrueFalse || question.answer.has_value();
        });
    if (!allKnown && !(answers = bankAnswers(folder, &result.error)))
        return result;
    QStringList category{QStringLiteral("Examen: %1").arg(exam.title)};
    if (version > 0)
        category.first() += QStringLiteral(", versión %1").arg(ExamWording::versionLetter(version));
    const QList<qsizetype> order = versionOrder(exam, version);
    const int width = int(QString::number(order.size()).size());
    for (qsizetype n = 0; n < order.size(); ++n) {
        const HistoryQuestion &asked = exam.questions.at(order[n]);
        ExportQuestion question;
        question.kind = asked.kind;
        question.chapter = asked.chapter;
        question.topic = asked.topic;
        question.text = asked.text;
        question.category = category;
        question.name = QStringLiteral("Pregunta %1").arg(n + 1, width, 10, QLatin1Char('0'));
        if (asked.kind == QuestionKind::TrueFalse && asked.answer) {
            question.answer = *asked.answer;
        } else if (asked.kind == QuestionKind::TrueFalse) {
            const auto answer =
                answers->constFind(placeKey(asked.chapter, asked.topic, asked.text));
            if (answer == answers->constEnd()) {
                result.skipped.append(
                    QStringLiteral("pregunta %1 (test, capítulo %2, tema %3): ya no está en el "
                                   "banco, y sin él no se sabe su respuesta")
                        .arg(n + 1)
                        .arg(asked.chapter)
                        .arg(asked.topic));
                continue;
            }
            question.answer = *answer;
        }
        result.questions.append(question);
    }
    return result;
}

} // namespace examExport
