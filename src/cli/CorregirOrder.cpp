#include "CorregirOrder.h"

#include "DurableFile.h"
#include "ExamHistory.h"
#include "GradesReport.h"
#include "OutputFile.h"
#include "ReviewPdf.h"
#include "SheetKey.h"
#include "SheetLayout.h"
#include "SheetMarking.h"
#include "SheetRecords.h"
#include "StudentList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

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
    if (examValue.isEmpty()) {
        // The exam is the one the first sheet found names.
        QStringList refused;
        const PileStart start = examOfScans(scans);
        for (const Refusal &refusal : start.refused)
            refused << refusal.line();
        if (start.exam != 0)
            examValue = QString::number(start.exam);
        if (examValue.isEmpty()) {
            printError(QStringLiteral("%1: no se ha encontrado ninguna hoja de respuestas que "
                                      "leer en los escaneos.\n")
                           .arg(kProgram));
            for (const QString &line : refused)
                printError(line + u'\n');
            return ProblemsFound;
        }
    }
    const std::optional<HistoryExam> exam = sheetExam(history, examValue);
    if (!exam)
        return Failure;
    QString error;
    const std::optional<quint32> identifier = sheetRecords::identifier(history, exam->id, &error);
    std::optional<AnswerKey> key;
    if (identifier)
        key = sheetKey::of(*exam, *identifier, folder, &error);
    if (!key) {
        printError(QStringLiteral("%1: no se puede corregir el examen %2: %3.\n")
                       .arg(kProgram)
                       .arg(exam->id)
                       .arg(error));
        return Failure;
    }

    // The teacher's decisions: those kept in the history, then the file's.
    QHash<QString, Decisions> decisions;
    QHash<QPair<int, int>, sheetRecords::Decisions> stored =
        sheetRecords::decisions(history, exam->id, &error);
    const auto nameOf = [&key](int version, int serial) {
        return SheetCode{SheetLayout::kLayoutVersion, key->exam, key->identifier, version, serial}
            .sheetName();
    };
    for (auto sheet = stored.cbegin(); sheet != stored.cend(); ++sheet)
        decisions.insert(nameOf(sheet.key().first, sheet.key().second), *sheet);
    if (parsed.values.contains(QStringLiteral("--resolver"))) {
        const QString path = parsed.values.value(QStringLiteral("--resolver"));
        const std::optional<QStringList> lines = studentList::csvLines(path, &error);
        if (!lines) {
            printError(QStringLiteral("%1: %2.\n").arg(kProgram, error));
            return Failure;
        }
        static const QRegularExpression sheetName(
            QStringLiteral("^([0-9]+)-([0-9A-F]{8})-([A-D])-([0-9]{3,5})$"));
        for (qsizetype n = 0; n < lines->size(); ++n) {
            const QStringList fields = studentList::csvFields(lines->at(n));
            if (fields.join(QString()).isEmpty() ||
                (n == 0 && fields.value(0).toLower() == QStringLiteral("hoja")))
                continue;
            const QRegularExpressionMatch match = sheetName.match(fields.value(0).toUpper());
            const QString item = fields.value(1).toLower();
            QString value = fields.value(2).toUpper();
            bool good = match.hasMatch() && fields.size() == 3;
            if (good && item == QStringLiteral("dni"))
                good = !(value = studentList::dniDigits(value)).isEmpty();
            else if (good)
                good = item.toInt() >= 1 && item.toInt() <= key->questions() &&
                       item == QString::number(item.toInt()) &&
                       QStringList{QStringLiteral("S"), QStringLiteral("N"), QStringLiteral("-")}
                           .contains(value);
            if (!good) {
                printError(QStringLiteral("%1: %2:%3: se esperaba «hoja;pregunta;respuesta» "
                                          "(12-7F2A91C4-B-003;7;S, N o -; o …;dni;12345678).\n")
                               .arg(kProgram, path)
                               .arg(n + 1));
                return Failure;
            }
            decisions[fields.value(0).toUpper()].insert(item, value);
        }
    }

    const SheetMarking marking(*key, penalty);
    QElapsedTimer clock;
    clock.start();
    qint64 lastShown = 0;
    MarkingResult result = marking.mark(
        scans, decisions,
        parsed.values.contains(QStringLiteral("--revision")) ? SheetMarking::Images::Whole
                                                             : SheetMarking::Images::None,
        [&](int done, int total) {
            // Long runs only: a few pages are done before anyone waits.
            if (total < 20 || clock.elapsed() - lastShown < 1000 || done == total)
                return;
            lastShown = clock.elapsed();
            printError(QStringLiteral("páginas leídas: %1 de %2\n").arg(done).arg(total));
        });
    for (MarkedSheet &sheet : result.sheets) {
        if (students.isEmpty())
            continue;
        sheet.name = students.value(sheet.dni);
        if (!sheet.dni.contains(u'?') && !students.contains(sheet.dni))
            result.notes.append(QStringLiteral("el DNI %1 de la hoja %2 no está en la lista de "
                                               "alumnos")
                                    .arg(sheet.dni, sheet.code.sheetName()));
    }

    for (const Refusal &refusal : result.refusals)
        printError(refusal.line() + u'\n');
    for (const QString &note : result.notes)
        printError(QStringLiteral("aviso: %1\n").arg(note));
    for (const Doubt &doubt : result.doubts)
        printError(QStringLiteral("dudosa: página %1 de %2, hoja %3, %4\n")
                       .arg(doubt.page)
                       .arg(doubt.file, doubt.sheet,
                            doubt.item == QStringLiteral("dni")
                                ? QStringLiteral("DNI")
                                : QStringLiteral("pregunta %1").arg(doubt.item)));

    QList<sheetRecords::StoredSheet> toStore;
    QHash<QPair<int, int>, sheetRecords::Decisions> toDecide;
    for (const MarkedSheet &sheet : result.sheets) {
        toStore.append({sheet.code.version, sheet.code.serial, sheet.readDni, sheet.read,
                        key->positions.value(sheet.code.version), sheet.file, sheet.page});
        if (decisions.contains(sheet.code.sheetName()))
            toDecide.insert({sheet.code.version, sheet.code.serial},
                            decisions.value(sheet.code.sheetName()));
    }
    if (const QString failed = sheetRecords::store(history, exam->id, toStore, toDecide);
        !failed.isEmpty())
        printError(QStringLiteral("%1: no se ha podido anotar la corrección en el historial: %2.\n")
                       .arg(kProgram, failed));

    const QByteArray csv = gradesReport::csv(result, key->questions(),
                                             parsed.values.contains(QStringLiteral("--alumnos")));
    const QString output = parsed.values.value(QStringLiteral("--salida"));
    if (!output.isEmpty()) {
        if (const QString failed = DurableFile::write(output, csv); !failed.isEmpty()) {
            printError(
                QStringLiteral("%1: no se puede escribir %2: %3.\n").arg(kProgram, output, failed));
            return Failure;
        }
    }
    const QString review = parsed.values.value(QStringLiteral("--revision"));
    if (!review.isEmpty()) {
        if (const QString failed = DurableFile::write(review, reviewPdf::pdf(result, *key));
            !failed.isEmpty()) {
            printError(
                QStringLiteral("%1: no se puede escribir %2: %3.\n").arg(kProgram, review, failed));
            return Failure;
        }
    }
    if (parsed.flags.contains(QStringLiteral("--json")))
        write(gradesReport::json(result, *key, penalty));
    else if (output.isEmpty())
        write(csv);
    int pending = 0;
    for (const MarkedSheet &sheet : result.sheets)
        pending += sheet.pending ? 1 : 0;
    printError(QStringLiteral("%1 hojas corregidas (%2 pendientes), %3 marcas dudosas, %4 "
                              "páginas rechazadas.\n")
                   .arg(result.sheets.size())
                   .arg(pending)
                   .arg(result.doubts.size())
                   .arg(result.refusals.size()));
    return result.refusals.isEmpty() && pending == 0 ? Success : ProblemsFound;
}
