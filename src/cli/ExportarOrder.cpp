#include "ExportarOrder.h"

#include "CountedNoun.h"
#include "DurableFile.h"
#include "ExamHistory.h"
#include "ExamVersions.h"
#include "ExamWording.h"
#include "OutputFile.h"
#include "TopicCatalogue.h"

#include <QDir>
#include <QFileInfo>

int ExportarOrder::run(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments,
               {QStringLiteral("--formato"), QStringLiteral("--tipo"), QStringLiteral("--capitulo"),
                QStringLiteral("--salida"), QStringLiteral("--examen"),
                QStringLiteral("--version")},
               {}, &parsed))
        return Failure;

    const QString formatName = parsed.values.value(QStringLiteral("--formato"));
    if (formatName.isEmpty())
        return usageError(QStringLiteral("falta --formato (moodle-xml, gift, csv o texto)."));
    const std::optional<ExportFormat> format = bankExport::formatFromName(formatName);
    if (!format)
        return usageError(QStringLiteral("formato desconocido «%1»; los formatos son moodle-xml, "
                                         "gift, csv y texto.")
                              .arg(formatName));

    // An exam of the history goes to Moodle as a quiz: its own questions.
    const bool ofExam = parsed.values.contains(QStringLiteral("--examen"));
    if (ofExam && *format != ExportFormat::MoodleXml && *format != ExportFormat::Gift)
        return usageError(QStringLiteral("un examen se exporta en moodle-xml o gift."));
    if (ofExam && (parsed.values.contains(QStringLiteral("--tipo")) ||
                   parsed.values.contains(QStringLiteral("--capitulo"))))
        return usageError(QStringLiteral("--tipo y --capitulo no van con --examen, que exporta "
                                         "las preguntas del examen."));
    if (!ofExam && parsed.values.contains(QStringLiteral("--version")))
        return usageError(QStringLiteral("--version va con --examen."));

    const std::optional<QList<QuestionKind>> kinds = kindsFrom(parsed);
    if (!kinds)
        return Failure;
    if (*format == ExportFormat::Text && kinds->size() > 1) {
        return usageError(QStringLiteral("el formato texto lleva un solo tipo de pregunta por "
                                         "fichero: indique --tipo %1.")
                              .arg(kKindChoices));
    }

    int chapter = 0;
    if (parsed.values.contains(QStringLiteral("--capitulo"))) {
        const QString value = parsed.values.value(QStringLiteral("--capitulo"));
        chapter = int(digitsValue(value, 2));
        if (chapter < 1 || chapter > TopicCatalogue::kChapters)
            return usageError(
                QStringLiteral("el capítulo debe ser un número del 1 al 22, no «%1».").arg(value));
    }

    const QString output = parsed.values.value(QStringLiteral("--salida"));
    if (parsed.values.contains(QStringLiteral("--salida")) && output.isEmpty())
        return usageError(QStringLiteral("--salida necesita el nombre de un fichero."));

    QString folder;
    if (!folderFrom(parsed, 0, &folder))
        return Failure;
    if (output.endsWith(QLatin1Char('/')) || QFileInfo(output).isDir())
        return usageError(
            QStringLiteral("--salida necesita el nombre de un fichero, y %1 es una carpeta.")
                .arg(output));
    if (const QString kept = output.isEmpty() ? QString() : outputFile::keptFileAt(folder, output);
        !kept.isEmpty()) {
        printError(QStringLiteral("%1: %2 es uno de los ficheros que Orvalis guarda en la carpeta "
                                  "del banco (%3); la exportación lo sustituiría. Elija otro "
                                  "nombre para --salida; no se ha escrito nada.\n")
                       .arg(kProgram, output, kept));
        return Failure;
    }

    const std::optional<bankExport::Result> exported =
        ofExam ? examToExport(parsed, folder, *format)
               : bankExport::run(folder, *format, *kinds, chapter);
    if (!exported)
        return Failure;
    const bankExport::Result &result = *exported;
    if (!result.ok()) {
        printError(QStringLiteral("%1: no se puede exportar: %2.\n").arg(kProgram, result.error));
        return Failure;
    }
    for (const ExportSkip &skip : result.skipped)
        printError(QStringLiteral("aviso: no se exporta %1.\n").arg(skip.toString()));

    if (output.isEmpty()) {
        write(result.bytes);
    } else if (const QString error = DurableFile::write(output, result.bytes); !error.isEmpty()) {
        printError(
            QStringLiteral("%1: no se puede escribir %2: %3.\n").arg(kProgram, output, error));
        return Failure;
    } else {
        print(QStringLiteral("%1 %2 a %3.\n")
                  .arg(result.exported == 1 ? QStringLiteral("Se ha exportado")
                                            : QStringLiteral("Se han exportado"),
                       counted(result.exported, u"pregunta", u"preguntas"), output));
    }
    if (result.skipped.isEmpty())
        return Success;
    if (ofExam) {
        printError(QStringLiteral("%1 del examen %2.\n")
                       .arg(counted(result.skipped.size(), u"pregunta", u"preguntas"),
                            result.skipped.size() == 1 ? QStringLiteral("no se ha exportado")
                                                       : QStringLiteral("no se han exportado")));
        return ProblemsFound;
    }
    printError(
        QStringLiteral("%1; «%2 comprobar» explica qué les pasa.\n")
            .arg(
                result.skipped.size() == 1
                    ? QStringLiteral("1 registro no se ha exportado")
                    : QStringLiteral("%1 registros no se han exportado").arg(result.skipped.size()),
                kProgram));
    return ProblemsFound;
}

std::optional<bankExport::Result>
ExportarOrder::examToExport(const Arguments &arguments, const QString &folder, ExportFormat format)
{
    const qint64 number = examNumber(arguments.values.value(QStringLiteral("--examen")));
    if (number < 1)
        return std::nullopt;
    int version = 0;
    if (arguments.values.contains(QStringLiteral("--version"))) {
        const QString letter = arguments.values.value(QStringLiteral("--version")).toUpper();
        version = letter.size() == 1 ? letter[0].unicode() - u'A' : -1;
        if (version < 0 || version >= ExamVersions::kMaxVersions) {
            usageError(QStringLiteral("--version es una letra de la A a la D, no «%1».")
                           .arg(arguments.values.value(QStringLiteral("--version"))));
            return std::nullopt;
        }
    }

    ExamHistory history(QDir(folder).filePath(ExamHistory::kFileName));
    QString error = history.open(ExamHistory::Access::ReadOnly);
    if (const QString note = history.takeSetAsideNote(); !note.isEmpty())
        printError(note + QLatin1Char('\n'));
    std::optional<HistoryExam> exam;
    if (error.isEmpty())
        exam = history.exam(number, &error);
    if (!error.isEmpty()) {
        printError(QStringLiteral("%1: no se puede leer el historial: %2.\n").arg(kProgram, error));
        return std::nullopt;
    }
    if (!exam) {
        printError(QStringLiteral("%1: no hay ningún examen número %2 en el historial.\n")
                       .arg(kProgram)
                       .arg(number));
        return std::nullopt;
    }
    if (version >= exam->versions) {
        QStringList letters;
        for (int v = 0; v < exam->versions; ++v)
            letters.append(ExamWording::versionLetter(v));
        const QString last = letters.takeLast();
        printError(QStringLiteral("%1: el examen %2 no tiene versión %3: %4.\n")
                       .arg(kProgram)
                       .arg(number)
                       .arg(ExamWording::versionLetter(version),
                            letters.isEmpty()
                                ? QStringLiteral("se hizo sin versiones, en el orden del profesor "
                                                 "(A)")
                                : QStringLiteral("tiene las versiones %1 y %2")
                                      .arg(letters.join(QStringLiteral(", ")), last)));
        return std::nullopt;
    }
    return bankExport::exam(folder, format, *exam, version);
}
