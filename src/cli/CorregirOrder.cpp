#include "CorregirOrder.h"

#include "CountedNoun.h"
#include "DurableFile.h"
#include "ExamHistory.h"
#include "GradesReport.h"
#include "MarkingSession.h"
#include "OutputFile.h"
#include "ReviewPdf.h"
#include "StudentList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <opencv2/core/utils/logger.hpp>

int CorregirOrder::run(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments,
               {QStringLiteral("--examen"), QStringLiteral("--penalizacion"),
                QStringLiteral("--alumnos"), QStringLiteral("--salida"),
                QStringLiteral("--revision"), QStringLiteral("--resolver")},
               {QStringLiteral("--json")}, &parsed))
        return Failure;
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    QStringList scans = parsed.positional;
    QString folder = QStringLiteral(".");
    if (!scans.isEmpty() && QFileInfo(scans.last()).isDir())
        folder = scans.takeLast();
    if (scans.isEmpty())
        return usageError(QStringLiteral("corregir necesita los ficheros escaneados (PDF, PNG, "
                                         "JPEG o TIFF)."));
    const std::optional<double> chosenPenalty = penaltyFrom(parsed);
    if (!chosenPenalty)
        return Failure;
    const double penalty = *chosenPenalty;
    for (const QString &option : {QStringLiteral("--salida"), QStringLiteral("--revision")})
        if (const QString kept = outputFile::keptFileAt(folder, parsed.values.value(option));
            parsed.values.contains(option) && !kept.isEmpty()) {
            printError(QStringLiteral("%1: %2 es uno de los ficheros que Orvalis guarda en la "
                                      "carpeta del banco (%3); no se ha corregido nada.\n")
                           .arg(kProgram, parsed.values.value(option), kept));
            return Failure;
        }

    // The students, by DNI.
    QHash<QString, QString> students;
    if (parsed.values.contains(QStringLiteral("--alumnos"))) {
        QString error;
        const std::optional<QHash<QString, QString>> list =
            studentList::read(parsed.values.value(QStringLiteral("--alumnos")), &error);
        if (!list) {
            printError(QStringLiteral("%1: %2.\n").arg(kProgram, error));
            return Failure;
        }
        students = *list;
    }

    ExamHistory history(QDir(folder).filePath(ExamHistory::kFileName));
    QString examValue = parsed.values.value(QStringLiteral("--examen"));
    PileStart start;
    if (examValue.isEmpty()) {
        // The exam is the one the first sheet found names.
        start = examOfScans(scans);
        if (start.exam == 0) {
            printError(QStringLiteral("%1: no se ha encontrado ninguna hoja de respuestas que "
                                      "leer en los escaneos.\n")
                           .arg(kProgram));
            for (const Refusal &refusal : std::as_const(start.refused))
                printError(refusal.line() + u'\n');
            return ProblemsFound;
        }
        examValue = QString::number(start.exam);
    }
    const std::optional<HistoryExam> exam = sheetExam(history, examValue);
    if (!exam)
        return Failure;
    MarkingSession::Failure failure;
    QString error;
    std::optional<MarkingSession> session =
        MarkingSession::open(history, exam->id, folder, penalty, &failure, &error);
    if (!session) {
        printError(QStringLiteral("%1: no se puede corregir el examen %2: %3.\n")
                       .arg(kProgram)
                       .arg(exam->id)
                       .arg(error));
        return Failure;
    }

    // The teacher's decisions: those kept in the history, then the file's.
    if (parsed.values.contains(QStringLiteral("--resolver"))) {
        const QString path = parsed.values.value(QStringLiteral("--resolver"));
        const std::optional<QStringList> lines = studentList::csvLines(path, &error);
        if (!lines) {
            printError(QStringLiteral("%1: %2.\n").arg(kProgram, error));
            return Failure;
        }
        int wrong = 0;
        const std::optional<QHash<QString, Decisions>> decisions =
            decisionsFile::parse(*lines, session->key().questions(), &wrong);
        if (!decisions) {
            printError(QStringLiteral("%1: %2:%3: se esperaba «hoja;pregunta;respuesta» "
                                      "(12-7F2A91C4-B-003;7;S, N o -; o …;dni;12345678).\n")
                           .arg(kProgram, path)
                           .arg(wrong));
            return Failure;
        }
        session->addDecisions(*decisions);
    }
    session->setStudents(students);

    QElapsedTimer clock;
    clock.start();
    qint64 lastShown = 0;
    const bool withReview = parsed.values.contains(QStringLiteral("--revision"));
    const MarkingResult &result = session->mark(
        scans, withReview ? SheetMarking::Images::Whole : SheetMarking::Images::None,
        [&](int done, int total) {
            // Long runs only: a few pages are done before anyone waits.
            if (total < 20 || clock.elapsed() - lastShown < 1000 || done == total)
                return;
            lastShown = clock.elapsed();
            printError(QStringLiteral("páginas leídas: %1 de %2\n").arg(done).arg(total));
        },
        nullptr, start.exam != 0 ? &start : nullptr);

    for (const Refusal &refusal : result.refusals)
        printError(refusal.line() + u'\n');
    for (const QString &note : result.notes)
        printError(QStringLiteral("aviso: %1\n").arg(note));
    for (const QString &student : session->absent())
        printError(
            QStringLiteral("aviso: %1, de la lista de alumnos, no tiene hoja\n").arg(student));
    for (const Doubt &doubt : result.doubts)
        printError(QStringLiteral("dudosa: página %1 de %2, hoja %3, %4\n")
                       .arg(doubt.page)
                       .arg(doubt.file, doubt.sheet,
                            doubt.item == QStringLiteral("dni")
                                ? QStringLiteral("DNI")
                                : QStringLiteral("pregunta %1").arg(doubt.item)));

    if (const QString failed = session->record(history); !failed.isEmpty())
        printError(QStringLiteral("%1: no se ha podido anotar la corrección en el historial: %2.\n")
                       .arg(kProgram, failed));

    const bool withNames = parsed.values.contains(QStringLiteral("--alumnos"));
    const QString output = parsed.values.value(QStringLiteral("--salida"));
    if (!output.isEmpty()) {
        QString failed;
        const std::optional<QByteArray> grades =
            gradesReport::forFile(output, result, session->key().questions(), withNames, &failed);
        if (grades)
            failed = DurableFile::write(output, *grades);
        if (!failed.isEmpty()) {
            printError(
                QStringLiteral("%1: no se puede escribir %2: %3.\n").arg(kProgram, output, failed));
            return Failure;
        }
    }
    const QString review = parsed.values.value(QStringLiteral("--revision"));
    if (!review.isEmpty()) {
        if (const QString failed =
                DurableFile::write(review, reviewPdf::pdf(result, session->key()));
            !failed.isEmpty()) {
            printError(
                QStringLiteral("%1: no se puede escribir %2: %3.\n").arg(kProgram, review, failed));
            return Failure;
        }
    }
    if (parsed.flags.contains(QStringLiteral("--json")))
        write(gradesReport::json(result, session->key(), penalty));
    else if (output.isEmpty()) // a pipe, not a spreadsheet: no byte-order mark
        write(gradesReport::csv(result, session->key().questions(), withNames)
                  .sliced(gradesReport::kByteOrderMark.size()));
    const int pending = session->pendingSheets();
    printError(
        QStringLiteral("%1 (%2), %3, %4.\n")
            .arg(counted(result.sheets.size(), u"hoja corregida", u"hojas corregidas"),
                 counted(pending, u"pendiente", u"pendientes"),
                 counted(result.doubts.size(), u"marca dudosa", u"marcas dudosas"),
                 counted(result.refusals.size(), u"página rechazada", u"páginas rechazadas")));
    return result.refusals.isEmpty() && pending == 0 ? Success : ProblemsFound;
}
