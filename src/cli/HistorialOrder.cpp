#include "HistorialOrder.h"

#include "BankKinds.h"
#include "ControlCharacters.h"
#include "CountedNoun.h"
#include "ExamHistory.h"
#include "ExamWording.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int HistorialOrder::run(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments, {QStringLiteral("--examen")}, {QStringLiteral("--json")}, &parsed))
        return Failure;
    QString folder;
    if (!folderFrom(parsed, 0, &folder))
        return Failure;
    const std::optional<qint64> chosen = examNumberFrom(parsed);
    if (!chosen)
        return Failure;
    const qint64 number = *chosen;

    ExamHistory history(QDir(folder).filePath(ExamHistory::kFileName));
    QString error = history.open(ExamHistory::Access::ReadOnly);
    if (const QString note = history.takeSetAsideNote(); !note.isEmpty())
        printError(note + QLatin1Char('\n'));
    QList<HistoryExam> exams;
    if (error.isEmpty() && number > 0) {
        if (const std::optional<HistoryExam> exam = history.exam(number, &error))
            exams.append(*exam);
        else if (error.isEmpty()) {
            printError(QStringLiteral("%1: no hay ningún examen número %2 en el historial.\n")
                           .arg(kProgram)
                           .arg(number));
            return Failure;
        }
    } else if (error.isEmpty()) {
        exams = history.exams(&error);
    }
    if (!error.isEmpty()) {
        printError(QStringLiteral("%1: no se puede leer el historial: %2.\n").arg(kProgram, error));
        return Failure;
    }
    const bool json = parsed.flags.contains(QStringLiteral("--json"));
    QJsonArray list;
    for (const HistoryExam &exam : std::as_const(exams)) {
        QJsonObject entry{{QStringLiteral("numero"), exam.id},
                          {QStringLiteral("fecha"), exam.madeAt.toString(Qt::ISODate)},
                          {QStringLiteral("titulo"), exam.title},
                          {QStringLiteral("tipo"), exam.kindName()},
                          {QStringLiteral("preguntas"), exam.questionCount}};
        if (exam.versions > 1) {
            entry.insert(QStringLiteral("versiones"), exam.versions);
            entry.insert(QStringLiteral("clave"), qint64(exam.seed));
        }
        QString line = QStringLiteral("%1. %2, %3, %4, %5")
                           .arg(exam.id)
                           .arg(exam.madeAt.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                controlCharacters::escaped(exam.title), exam.kindName(),
                                counted(exam.questionCount, u"pregunta", u"preguntas"));
        if (exam.versions > 1)
            line += QStringLiteral(", %1 versiones (clave %2)").arg(exam.versions).arg(exam.seed);
        if (!json)
            print(line + QLatin1Char('\n'));
        QJsonArray questions;
        for (qsizetype i = 0; i < exam.questions.size(); ++i) {
            const HistoryQuestion &question = exam.questions[i];
            QString where = QStringLiteral("%1, capítulo %2")
                                .arg(bankKinds::optionName(question.kind))
                                .arg(question.chapter);
            QJsonObject item{{QStringLiteral("tipo"), bankKinds::optionName(question.kind)},
                             {QStringLiteral("capitulo"), question.chapter},
                             {QStringLiteral("texto"), question.text}};
            if (question.kind == QuestionKind::TrueFalse) {
                where += QStringLiteral(", tema %1").arg(question.topic);
                item.insert(QStringLiteral("tema"), question.topic);
            }
            if (question.answer)
                item.insert(QStringLiteral("respuesta"), *question.answer);
            questions.append(item);
            if (!json)
                print(QStringLiteral("  %1. %2: %3\n")
                          .arg(i + 1)
                          .arg(where, controlCharacters::escaped(question.text)));
        }
        if (number > 0) {
            entry.insert(QStringLiteral("preguntas_del_examen"), questions);
            // Each version's questions as numbers of the list above, in the
            // order that version printed them.
            QJsonObject versions;
            const QList<QList<qsizetype>> orders = exam.versionOrders();
            for (qsizetype v = 0; v < orders.size(); ++v) {
                QJsonArray order;
                for (const qsizetype position : orders[v])
                    order.append(qint64(position + 1));
                versions.insert(ExamWording::versionLetter(int(v)), order);
            }
            entry.insert(QStringLiteral("versiones"), versions);
        }
        list.append(entry);
    }
    if (json)
        write((number > 0 ? QJsonDocument(list.first().toObject()) : QJsonDocument(list)).toJson());
    else if (exams.isEmpty())
        print(QStringLiteral("El historial no tiene ningún examen.\n"));
    return Success;
}
