#include "SheetKey.h"

#include "ExamExport.h"

namespace sheetKey {

std::optional<AnswerKey> of(const HistoryExam &exam, quint32 identifier, const QString &folder,
                            QString *error)
{
    if (exam.exposition) {
        *error = QStringLiteral("el examen %1 es de exposición y no tiene hojas de respuestas")
                     .arg(exam.id);
        return std::nullopt;
    }
    AnswerKey key;
    key.exam = exam.id;
    key.identifier = identifier;
    key.title = exam.title;
    for (int version = 0; version < std::max(1, exam.versions); ++version) {
        const examExport::Result questions = examExport::questions(exam, version, folder);
        if (!questions.error.isEmpty()) {
            *error = questions.error;
            return std::nullopt;
        }
        if (!questions.skipped.isEmpty()) {
            *error =
                QStringLiteral("no se sabe la respuesta de la %1").arg(questions.skipped.first());
            return std::nullopt;
        }
        QList<bool> answers;
        for (const ExportQuestion &question : questions.questions)
            answers.append(question.answer);
        QList<int> positions;
        for (const qsizetype position : examExport::versionOrder(exam, version))
            positions.append(int(position) + 1);
        key.answers.append(answers);
        key.positions.append(positions);
    }
    return key;
}

} // namespace sheetKey
