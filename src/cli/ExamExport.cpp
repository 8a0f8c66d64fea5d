#include "ExamExport.h"

#include "BankSnapshot.h"
#include "ExamVersions.h"

#include <QHash>

namespace examExport {

namespace {

QString placeKey(int chapter, int topic, const QString &text)
{
    return QStringLiteral("%1|%2|%3").arg(chapter).arg(topic).arg(text);
}

// The answer of each true/false question of the bank by chapter, topic and
// text, the first listed record's when several share them: the history
// keeps the question, not its answer.
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
    // The shuffles are the output window's own (ExamVersions): the exam is
    // described to it with each question's position for its text, so that
    // the version it makes says where each of its questions came from.
    ExamDescription described;
    described.kind =
        exam.exposition ? ExamDescription::Kind::Exposition : ExamDescription::Kind::TrueFalse;
    described.versions = exam.versions;
    described.seed = exam.seed;
    for (qsizetype i = 0; i < exam.questions.size(); ++i) {
        const QString position = QString::number(i);
        if (exam.exposition)
            described.sections[int(questionKind::expositionKind(exam.questions[i].kind))].append(
                position);
        else
            described.questions.append({position, {}, 0, 0});
    }
    const QList<ExamDescription> versions = ExamVersions::make(described);
    const ExamDescription &chosen = versions.value(version, versions.first());
    QList<qsizetype> order;
    for (const SelectedQuestion &question : chosen.questions)
        order.append(question.text.toLongLong());
    for (const QStringList &section : chosen.sections)
        for (const QString &position : section)
            order.append(position.toLongLong());
    return order;
}

Result questions(const HistoryExam &exam, int version, const QString &folder)
{
    Result result;
    std::optional<QHash<QString, bool>> answers;
    if (!exam.exposition && !(answers = bankAnswers(folder, &result.error)))
        return result;
    QStringList category{QStringLiteral("Examen: %1").arg(exam.title)};
    if (version > 0)
        category.first() += QStringLiteral(", versión %1").arg(ExamVersions::letter(version));
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
