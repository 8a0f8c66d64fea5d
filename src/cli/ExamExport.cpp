#include "ExamExport.h"

#include "ExamWording.h"
#include "QuestionAnswers.h"

namespace examExport {

QList<qsizetype> versionOrder(const HistoryExam &exam, int version)
{
    const QList<QList<qsizetype>> orders = exam.versionOrders();
    return orders.value(version, orders.first());
}

Result questions(const HistoryExam &exam, int version, const QString &folder)
{
    Result result;
    // Histories keep the answers; those recorded before they did are looked
    // up in the bank (questionAnswers::of).
    QString bankError;
    const AnswerOf bank = questionAnswers::inBank(folder, &bankError);
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
        if (asked.kind == QuestionKind::TrueFalse) {
            const std::optional<bool> answer = questionAnswers::of(asked, bank);
            if (!bankError.isEmpty()) {
                result.error = bankError;
                result.questions.clear();
                return result;
            }
            if (!answer) {
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
