#include "EstadisticasOrder.h"

#include "ControlCharacters.h"
#include "FiguresTable.h"
#include "MarkedSheets.h"
#include "MarkingSession.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue jsonOf(const std::optional<double> &value)
{
    return value ? QJsonValue(std::round(*value * 10000) / 10000) : QJsonValue();
}

} // namespace

int EstadisticasOrder::run(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments, {QStringLiteral("--examen"), QStringLiteral("--penalizacion")},
               {QStringLiteral("--json")}, &parsed))
        return Failure;
    QString folder;
    if (!folderFrom(parsed, 0, &folder))
        return Failure;
    const std::optional<qint64> chosen = examNumberFrom(parsed);
    if (!chosen)
        return Failure;
    const qint64 number = *chosen;
    const std::optional<double> chosenPenalty = penaltyFrom(parsed);
    if (!chosenPenalty)
        return Failure;
    const double penalty = *chosenPenalty;

    ExamHistory history(QDir(folder).filePath(ExamHistory::kFileName));
    QString error = history.open(ExamHistory::Access::ReadOnly);
    QList<MarkedExam> exams;
    if (error.isEmpty())
        exams = markedSheets::read(history, number, &error);
    if (!error.isEmpty()) {
        printError(QStringLiteral("%1: no se puede leer el historial: %2.\n").arg(kProgram, error));
        return Failure;
    }
    if (number > 0 && exams.isEmpty()) {
        printError(QStringLiteral("%1: el examen %2 no tiene hojas corregidas en el historial.\n")
                       .arg(kProgram)
                       .arg(number));
        return ProblemsFound;
    }

    const bool json = parsed.flags.contains(QStringLiteral("--json"));
    QJsonArray list;
    int status = Success;
    for (const MarkedExam &marked : std::as_const(exams)) {
        // The key in the teacher's order (version A's): the answers the
        // history kept, the bank's for an exam recorded before it kept them.
        QString why;
        QString bankError;
        const std::optional<AnswerKey> key = answerKey::of(
            marked.exam, 0, questionAnswers::inBank(folder, &bankError), &why, &bankError);
        const AnswerOf answerOf = [&](const HistoryQuestion &question) -> std::optional<bool> {
            const qsizetype n = marked.exam.questions.indexOf(question);
            if (!key || n < 0)
                return std::nullopt;
            return key->answers.value(0).value(n);
        };
        const std::optional<ExamFigures> figures =
            key ? markedSheets::figures(marked, answerOf, penalty) : std::nullopt;
        const QString heading = QStringLiteral("Examen %1. %2")
                                    .arg(marked.exam.id)
                                    .arg(controlCharacters::escaped(marked.exam.title));
        if (!figures) {
            printError(QStringLiteral("%1: sin cifras del examen %2: %3.\n")
                           .arg(kProgram)
                           .arg(marked.exam.id)
                           .arg(why));
            status = ProblemsFound;
            continue;
        }
        const figuresTable::Table table = figuresTable::table(*figures, marked.pending);
        QJsonObject entry{{QStringLiteral("numero"), marked.exam.id},
                          {QStringLiteral("titulo"), marked.exam.title},
                          {QStringLiteral("hojas"), figures->sheets},
                          {QStringLiteral("pendientes"), marked.pending},
                          {QStringLiteral("penalizacion"), penalty}};
        if (figures->sheets > 0) {
            entry.insert(QStringLiteral("media"), jsonOf(figures->mean));
            entry.insert(QStringLiteral("mediana"), jsonOf(figures->median));
        }
        entry.insert(QStringLiteral("desviacion"), jsonOf(figures->deviation));
        entry.insert(QStringLiteral("kr20"), jsonOf(figures->kr20));
        QJsonArray bands;
        for (int count : figures->bands)
            bands.append(count);
        entry.insert(QStringLiteral("notas"), bands);
        QJsonArray questions;
        for (qsizetype q = 0; q < figures->questions.size(); ++q) {
            const QuestionFigures &item = figures->questions[q];
            const HistoryQuestion &question = marked.exam.questions[q];
            questions.append(
                QJsonObject{{QStringLiteral("numero"), q + 1},
                            {QStringLiteral("capitulo"), question.chapter},
                            {QStringLiteral("tema"), question.topic},
                            {QStringLiteral("texto"), question.text},
                            {QStringLiteral("aciertos"), item.right},
                            {QStringLiteral("facilidad"), jsonOf(item.facility)},
                            {QStringLiteral("discriminacion"), jsonOf(item.discrimination)}});
        }
        entry.insert(QStringLiteral("preguntas"), questions);
        list.append(entry);
        if (json)
            continue;
        print(heading + QStringLiteral("\n"));
        for (const auto &[label, value] : table.exam)
            print(QStringLiteral("  %1: %2\n").arg(label, value));
        print(QStringLiteral("  Preguntas (acierto, discriminación):\n"));
        for (qsizetype q = 0; q < table.questions.size(); ++q)
            print(QStringLiteral("  %1. %2\n")
                      .arg(q + 1)
                      .arg(table.questions[q] + QStringLiteral(": ") +
                           controlCharacters::escaped(marked.exam.questions[q].text)));
    }
    if (json)
        write((number > 0 && !list.isEmpty() ? QJsonDocument(list.first().toObject())
                                             : QJsonDocument(list))
                  .toJson());
    else if (exams.isEmpty())
        print(QStringLiteral("El historial no tiene ningún examen con hojas corregidas.\n"));
    return status;
}
