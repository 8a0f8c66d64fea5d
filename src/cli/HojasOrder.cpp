#include "HojasOrder.h"

#include "DurableFile.h"
#include "ExamHistory.h"
#include "OutputFile.h"
#include "SheetPdf.h"
#include "SheetRecords.h"

#include <QDir>

#include <algorithm>

namespace {

constexpr int kMaxCopies = 2000;

} // namespace

int HojasOrder::run(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments,
               {QStringLiteral("--examen"), QStringLiteral("--copias"), QStringLiteral("--salida"),
                QStringLiteral("--primera")},
               {}, &parsed))
        return Failure;
    if (!parsed.values.contains(QStringLiteral("--examen")))
        return usageError(QStringLiteral("hojas necesita --examen N, el número del examen en el "
                                         "historial."));
    const auto count = [&](const QString &option, int fallback, int most) {
        if (!parsed.values.contains(option))
            return fallback;
        const QString value = parsed.values.value(option);
        const int number = value.toInt();
        return value == QString::number(number) && number >= 1 && number <= most ? number : -1;
    };
    const int copies = count(QStringLiteral("--copias"), 1, kMaxCopies);
    if (copies < 0)
        return usageError(QStringLiteral("--copias es un número de 1 a %1.").arg(kMaxCopies));
    const int first = count(QStringLiteral("--primera"), 1, 99999 - kMaxCopies);
    if (first < 0)
        return usageError(QStringLiteral("--primera es el número de la primera hoja, de 1 a %1.")
                              .arg(99999 - kMaxCopies));
    QString folder;
    if (!folderFrom(parsed, 0, &folder))
        return Failure;
    const QString examValue = parsed.values.value(QStringLiteral("--examen"));
    const QString output = parsed.values.value(
        QStringLiteral("--salida"), QStringLiteral("hojas-examen-%1.pdf").arg(examValue));
    if (const QString kept = outputFile::keptFileAt(folder, output); !kept.isEmpty()) {
        printError(QStringLiteral("%1: %2 es uno de los ficheros que Orvalis guarda en la carpeta "
                                  "del banco (%3); no se ha escrito nada.\n")
                       .arg(kProgram, output, kept));
        return Failure;
    }
    ExamHistory history(QDir(folder).filePath(ExamHistory::kFileName));
    const std::optional<HistoryExam> exam = sheetExam(history, examValue);
    if (!exam)
        return Failure;
    QString error;
    const std::optional<quint32> identifier = sheetRecords::identifier(history, exam->id, &error);
    if (!identifier) {
        printError(QStringLiteral("%1: no se puede leer el historial: %2.\n").arg(kProgram, error));
        return Failure;
    }
    SheetSet set;
    set.exam = exam->id;
    set.identifier = *identifier;
    set.title = exam->title;
    set.versions = std::max(1, exam->versions);
    set.questions = int(exam->questions.size());
    set.copies = copies;
    set.firstSerial = first;
    if (const QString failed = DurableFile::write(output, sheetPdf::pdf(set)); !failed.isEmpty()) {
        printError(
            QStringLiteral("%1: no se puede escribir %2: %3.\n").arg(kProgram, output, failed));
        return Failure;
    }
    const int sheets = set.versions * copies;
    print(QStringLiteral("%1 %2 de respuestas (%3 %4 de %5) en %6.\n")
              .arg(sheets)
              .arg(sheets == 1 ? QStringLiteral("hoja") : QStringLiteral("hojas"))
              .arg(copies)
              .arg(copies == 1 ? QStringLiteral("copia") : QStringLiteral("copias"))
              .arg(set.versions == 1
                       ? QStringLiteral("la versión A")
                       : QStringLiteral("cada una de las %1 versiones").arg(set.versions),
                   output));
    return Success;
}
