#include "BancoCommand.h"

#include "BankCheck.h"
#include "BankExport.h"
#include "BankKinds.h"
#include "BankSnapshot.h"
#include "ControlCharacters.h"
#include "CountedNoun.h"
#include "DurableFile.h"
#include "ExamHistory.h"
#include "ExamVersions.h"
#include "ExamWording.h"
#include "ImportFormat.h"
#include "OutputFile.h"
#include "QuestionImport.h"
#include "QuestionSearch.h"
#include "TopicCatalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <optional>

namespace {

const QString kProgram = QStringLiteral("orvalis-banco");

const QString kKindChoices = QStringLiteral("test, conceptual, practica o breve");

// Bad lines of an import named one by one; the others are only counted.
constexpr qsizetype kShownProblems = 100;

// "registro 7", "registros 7 a 9".
QString recordRange(qint32 first, qint32 last)
{
    if (first == last)
        return QStringLiteral("registro %1").arg(first);
    return QStringLiteral("registros %1 a %2").arg(first).arg(last);
}

// The number a value of digits only spells (at most maxDigits), else 0:
// toLongLong() would also take " 5" or "+5".
qint64 digitsValue(const QString &value, int maxDigits)
{
    const bool digits =
        !value.isEmpty() && value.size() <= maxDigits &&
        std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digits ? value.toLongLong() : 0;
}

} // namespace

QString BancoCommand::helpText()
{
    return QStringLiteral(
        "Uso: orvalis-banco ORDEN [ARGUMENTOS]\n"
        "\n"
        "Comprueba, exporta, importa y busca en el banco de preguntas de Orvalis (los\n"
        "ficheros QELMEXT2.DAT (verdadero o falso), QELMEXE1.DAT (conceptuales),\n"
        "QELMEXE2.DAT (prácticas) y QELMEXE3.DAT (breves) de CARPETA, o de la carpeta\n"
        "actual si no se indica) y lista el historial de exámenes.\n"
        "\n"
        "Órdenes:\n"
        "  comprobar [CARPETA] [--json] [--parecidas]\n"
        "      Lee los cuatro ficheros sin cambiar nada y cuenta lo que encuentra:\n"
        "      registros, un registro incompleto al final, registros que ninguna lista\n"
        "      muestra y por qué, respuestas distintas de 0 y 1, textos vacíos o con\n"
        "      caracteres de control, textos repetidos en un capítulo (y tema) y\n"
        "      ficheros con el mismo nombre en distintas mayúsculas.\n"
        "      --json da el mismo informe en JSON. --parecidas añade los pares de\n"
        "      preguntas muy parecidas de un mismo capítulo (las que solo difieren en\n"
        "      mayúsculas, acentos, signos o unas pocas letras).\n"
        "\n"
        "  exportar [CARPETA] --formato FORMATO [--tipo TIPO] [--capitulo N]\n"
        "           [--salida FICHERO]\n"
        "      Escribe las preguntas en la salida estándar o en FICHERO, que solo se\n"
        "      sustituye cuando el nuevo está completo y guardado en el disco y que no\n"
        "      puede ser uno de los ficheros del banco.\n"
        "      FORMATO: moodle-xml (XML de Moodle), gift (GIFT de Moodle),\n"
        "      csv (UTF-8, separado por comas) o texto (el formato de las fuentes del\n"
        "      banco de demostración, que importar lee).\n"
        "      TIPO: test, conceptual, practica o breve; sin --tipo se exportan los\n"
        "      cuatro, salvo en formato texto, que lleva un solo tipo por fichero.\n"
        "      N: un capítulo, del 1 al 22.\n"
        "\n"
        "  exportar [CARPETA] --examen N --formato moodle-xml|gift [--version V]\n"
        "           [--salida FICHERO]\n"
        "      Escribe el examen N del historial como un cuestionario de Moodle: sus\n"
        "      preguntas en el orden del profesor, o en el de su versión V (A a D),\n"
        "      en la categoría «Examen: título» («Examen: título, versión V» para\n"
        "      B, C y D). La respuesta de cada pregunta de verdadero o falso se toma\n"
        "      del banco; la que ya no está en él se deja fuera y se nombra.\n"
        "\n"
        "  importar FICHERO [CARPETA] [--formato FORMATO] [--tipo TIPO]\n"
        "           [--capitulo N [--tema T]] [--simular] [--estricto]\n"
        "      Añade al banco las preguntas de FICHERO. FORMATO: texto, moodle-xml o\n"
        "      gift; sin --formato se reconoce por el contenido del fichero.\n"
        "      En formato texto va una pregunta por línea: capítulo|tema|S o N|texto\n"
        "      para las de verdadero o falso y capítulo|texto para las demás; el tipo\n"
        "      se deduce del nombre del fichero (verdadero_falso.txt,\n"
        "      conceptuales.txt, practicas.txt, breves.txt) cuando no se da --tipo.\n"
        "      En moodle-xml y gift, las preguntas de verdadero o falso van a\n"
        "      QELMEXT2.DAT y las de ensayo son del tipo que dice --tipo (conceptual,\n"
        "      practica o breve) o su categoría. El capítulo y el tema salen de las\n"
        "      categorías que escribe exportar, o de --capitulo y --tema, que mandan\n"
        "      sobre ellas. Las preguntas de otros tipos se dejan fuera y se nombran.\n"
        "      El HTML se lee como se ve, en una línea; una imagen, un vídeo, una\n"
        "      ecuación o un fichero de Moodle no se pueden guardar.\n"
        "      Comprueba todas las preguntas antes de escribir y, si alguna no vale,\n"
        "      no escribe nada y dice cuáles fallan (fichero:línea: motivo).\n"
        "      --simular comprueba sin escribir. Una pregunta muy parecida a otra del\n"
        "      mismo capítulo (del banco o del fichero) se avisa y se añade; con\n"
        "      --estricto se rechaza. Cada fichero del banco cambia de una vez; si un\n"
        "      fichero de varios tipos se interrumpe entre dos, repetir la orden lo\n"
        "      termina sin añadir nada dos veces.\n"
        "\n"
        "  buscar PALABRAS [CARPETA] [--tipo TIPO] [--json]\n"
        "      Lista las preguntas cuyo texto contiene todas las palabras, sin\n"
        "      distinguir mayúsculas ni acentos (PALABRAS va entre comillas si son\n"
        "      varias), por tipo, capítulo y tema. --json da la lista en JSON.\n"
        "\n"
        "  historial [CARPETA] [--json] [--examen N]\n"
        "      Lista los exámenes que Orvalis ha anotado en historial.sqlite: número,\n"
        "      fecha, título, tipo y número de preguntas. --examen N da además las\n"
        "      preguntas del examen N en su orden. --json da lo mismo en JSON.\n"
        "\n"
        "  hojas --examen N [--copias K] [--primera S] [--salida FICHERO] [CARPETA]\n"
        "      Escribe en un PDF (hojas-examen-N.pdf si no se da --salida) las hojas de\n"
        "      respuestas del examen de tipo test N del historial: K copias (1 si no se\n"
        "      dice) de cada versión, numeradas desde S (1 si no se dice).\n"
        "\n"
        "  corregir ESCANEO... [CARPETA] [--examen N] [--penalizacion P]\n"
        "           [--alumnos LISTA.csv] [--resolver DECISIONES.csv] [--salida NOTAS.csv]\n"
        "           [--revision REVISION.pdf] [--json]\n"
        "      Lee las hojas escaneadas (PDF, PNG, JPEG o TIFF) y escribe las notas en CSV\n"
        "      (separado por «;», coma decimal, UTF-8) en la salida estándar o en\n"
        "      NOTAS.csv. Cada acierto suma 1, cada error resta P (1 si no se dice, de 0\n"
        "      a 1) y un blanco 0; la nota es 10 × puntos / preguntas. Una marca dudosa\n"
        "      no se adivina: se nombra y la nota queda pendiente hasta que\n"
        "      DECISIONES.csv (hoja;pregunta;respuesta, con S, N o -, o hoja;dni;número)\n"
        "      la resuelve. LISTA.csv (DNI;nombre) añade el nombre de cada alumno.\n"
        "      --revision escribe cada hoja con lo leído marcado encima. --json da el\n"
        "      resultado en JSON.\n"
        "\n"
        "  estadisticas [CARPETA] [--examen N] [--penalizacion P] [--json]\n"
        "      Dice qué enseñan las hojas corregidas de cada examen (o solo del N): las\n"
        "      hojas, la nota media, la mediana, la desviación típica, cuántas notas\n"
        "      caen en cada punto y la consistencia KR-20; y de cada pregunta, la parte\n"
        "      que la acertó y cuánto discrimina (la correlación de acertarla con el\n"
        "      resto del examen). Una hoja con marcas dudosas sin decidir queda fuera\n"
        "      de las cifras y se cuenta como pendiente. Las respuestas correctas son\n"
        "      las del banco ahora. --json da lo mismo en JSON.\n"
        "\n"
        "Estado de salida: 0 si todo va bien; 1 si comprobar encuentra problemas,\n"
        "importar rechaza o deja fuera alguna pregunta, exportar deja fuera algún\n"
        "registro, buscar no encuentra nada o corregir rechaza una página o deja\n"
        "una nota pendiente; 2 si no se puede leer o escribir un\n"
        "fichero o la orden no es válida.\n");
}

void BancoCommand::print(const QString &text)
{
    write(text.toUtf8());
}

void BancoCommand::write(const QByteArray &bytes)
{
    if (!m_outError.isEmpty())
        return;
    if (m_out.write(bytes) != bytes.size())
        m_outError = m_out.errorString().isEmpty() ? QStringLiteral("error de escritura")
                                                   : m_out.errorString();
}

void BancoCommand::printError(const QString &text)
{
    m_err.write(text.toUtf8());
}

int BancoCommand::usageError(const QString &text)
{
    printError(
        QStringLiteral("%1: %2\nUse «%1 --help» para ver cómo se usa.\n").arg(kProgram, text));
    return Failure;
}

int BancoCommand::run(const QStringList &arguments)
{
    m_outError.clear();
    const int status = runOrder(arguments);
    if (m_outError.isEmpty())
        return status;
    printError(QStringLiteral("%1: no se ha podido escribir en la salida estándar: %2.\n")
                   .arg(kProgram, m_outError));
    return Failure;
}

int BancoCommand::runOrder(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")) ||
        arguments.value(0) == QStringLiteral("ayuda")) {
        print(helpText());
        return Success;
    }
    if (arguments.isEmpty())
        return usageError(QStringLiteral(
            "falta la orden: comprobar, exportar, importar, buscar, historial, hojas, "
            "corregir o estadisticas."));
    const QString order = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (order == QStringLiteral("comprobar"))
        return comprobar(rest);
    if (order == QStringLiteral("exportar"))
        return exportar(rest);
    if (order == QStringLiteral("importar"))
        return importar(rest);
    if (order == QStringLiteral("buscar"))
        return buscar(rest);
    if (order == QStringLiteral("historial"))
        return historial(rest);
    if (order == QStringLiteral("hojas"))
        return hojas(rest);
    if (order == QStringLiteral("corregir"))
        return corregir(rest);
    if (order == QStringLiteral("estadisticas"))
        return estadisticas(rest);
    return usageError(QStringLiteral("orden desconocida «%1»; las órdenes son comprobar, exportar, "
                                     "importar, buscar, historial, hojas, corregir y "
                                     "estadisticas.")
                          .arg(order));
}

bool BancoCommand::parse(const QStringList &arguments, const QStringList &valueOptions,
                         const QStringList &flagOptions, Arguments *parsed)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QStringLiteral("--") && !optionsEnded) {
            // What follows is a name even when it looks like an option.
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !argument.startsWith(QStringLiteral("--"))) {
            parsed->positional.append(argument);
            continue;
        }
        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('=')); equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        if (flagOptions.contains(name) && !value) {
            parsed->flags.insert(name);
        } else if (valueOptions.contains(name)) {
            if (!value) {
                if (i + 1 >= arguments.size()) {
                    usageError(QStringLiteral("falta el valor de %1.").arg(name));
                    return false;
                }
                value = arguments[++i];
            }
            parsed->values.insert(name, *value);
        } else {
            usageError(QStringLiteral("opción desconocida «%1».").arg(argument));
            return false;
        }
    }
    return true;
}

bool BancoCommand::folderFrom(const Arguments &arguments, int position, QString *folder)
{
    *folder = arguments.positional.value(position, QStringLiteral("."));
    if (arguments.positional.size() > position + 1) {
        usageError(QStringLiteral("sobra el argumento «%1».").arg(arguments.positional.last()));
        return false;
    }
    if (!QFileInfo(*folder).isDir()) {
        printError(QStringLiteral("%1: la carpeta %2 no existe.\n").arg(kProgram, *folder));
        return false;
    }
    return true;
}

int BancoCommand::comprobar(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments, {}, {QStringLiteral("--json"), QStringLiteral("--parecidas")}, &parsed))
        return Failure;
    if (parsed.positional.size() > 1)
        return usageError(QStringLiteral("sobra el argumento «%1».").arg(parsed.positional.last()));
    const BankCheck check = BankCheck::run(parsed.positional.value(0, QStringLiteral(".")),
                                           parsed.flags.contains(QStringLiteral("--parecidas")));
    if (parsed.flags.contains(QStringLiteral("--json")))
        write(check.toJson());
    else if (!check.folderError().isEmpty())
        printError(QStringLiteral("%1: %2").arg(kProgram, check.toText()));
    else
        print(check.toText());
    return check.exitStatus();
}

std::optional<QuestionKind> BancoCommand::kindFrom(const Arguments &arguments)
{
    const QString name = arguments.values.value(QStringLiteral("--tipo"));
    const std::optional<QuestionKind> kind = bankKinds::fromOptionName(name);
    if (!kind)
        usageError(
            QStringLiteral("tipo desconocido «%1»; los tipos son %2.").arg(name, kKindChoices));
    return kind;
}

std::optional<QList<QuestionKind>> BancoCommand::kindsFrom(const Arguments &arguments)
{
    if (!arguments.values.contains(QStringLiteral("--tipo")))
        return QList<QuestionKind>(kQuestionKinds.begin(), kQuestionKinds.end());
    if (const std::optional<QuestionKind> kind = kindFrom(arguments))
        return QList<QuestionKind>{*kind};
    return std::nullopt;
}

int BancoCommand::exportar(const QStringList &arguments)
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

qint64 BancoCommand::examNumber(const QString &value)
{
    const qint64 number = digitsValue(value, 18);
    if (number < 1)
        usageError(QStringLiteral("--examen necesita el número de un examen (1, 2, …), no «%1».")
                       .arg(value));
    return std::max<qint64>(number, 0);
}

std::optional<qint64> BancoCommand::examNumberFrom(const Arguments &arguments)
{
    if (!arguments.values.contains(QStringLiteral("--examen")))
        return 0;
    // From 1: 0 would list every exam in another shape.
    const qint64 number = examNumber(arguments.values.value(QStringLiteral("--examen")));
    if (number < 1)
        return std::nullopt;
    return number;
}

std::optional<double> BancoCommand::penaltyFrom(const Arguments &arguments)
{
    if (!arguments.values.contains(QStringLiteral("--penalizacion")))
        return 1.0;
    const QString value = arguments.values.value(QStringLiteral("--penalizacion"));
    bool ok = false;
    const double penalty = QString(value).replace(u',', u'.').toDouble(&ok);
    if (ok && penalty >= 0 && penalty <= 1)
        return penalty;
    usageError(
        QStringLiteral("--penalizacion es un número de 0 a 1 (0,5 o 0.5), no «%1».").arg(value));
    return std::nullopt;
}

std::optional<bankExport::Result>
BancoCommand::examToExport(const Arguments &arguments, const QString &folder, ExportFormat format)
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

int BancoCommand::importar(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments,
               {QStringLiteral("--tipo"), QStringLiteral("--formato"), QStringLiteral("--capitulo"),
                QStringLiteral("--tema")},
               {QStringLiteral("--simular"), QStringLiteral("--estricto")}, &parsed))
        return Failure;
    if (parsed.positional.isEmpty())
        return usageError(QStringLiteral("falta el fichero de preguntas que importar."));
    const QString source = parsed.positional.first();

    std::optional<ImportFormat> format;
    if (parsed.values.contains(QStringLiteral("--formato"))) {
        const QString name = parsed.values.value(QStringLiteral("--formato"));
        if (format = importFormat::fromName(name); !format)
            return usageError(QStringLiteral("formato desconocido «%1»; importar lee moodle-xml, "
                                             "gift y texto.")
                                  .arg(name));
    }
    std::optional<QuestionKind> kind;
    if (parsed.values.contains(QStringLiteral("--tipo")) && !(kind = kindFrom(parsed)))
        return Failure;
    ImportOptions options;
    if (!placeFrom(parsed, &options))
        return Failure;

    QString folder;
    if (!folderFrom(parsed, 1, &folder))
        return Failure;
    QString error;
    const std::optional<QByteArray> content = questionImport::readSource(source, &error);
    if (!content) {
        printError(QStringLiteral("%1: %2.\n").arg(kProgram, error));
        return Failure;
    }
    if (!format)
        format = importFormat::detect(*content);

    questionImport::Plan plan;
    QList<DemoSourceProblem> leftOut;
    if (*format == ImportFormat::Text) {
        if (options.chapter > 0)
            return usageError(QStringLiteral("--capitulo y --tema solo valen para los ficheros "
                                             "moodle-xml y gift."));
        if (!kind && !(kind = bankKinds::fromSourceFileName(source)))
            return usageError(
                QStringLiteral("no se sabe qué tipo de preguntas tiene %1: indique --tipo %2.")
                    .arg(source, kKindChoices));
        plan = questionImport::planText(folder, *kind, source, *content);
    } else {
        if (kind == QuestionKind::TrueFalse)
            return usageError(QStringLiteral("--tipo dice de qué tipo son las preguntas de ensayo "
                                             "(conceptual, practica o breve); las de verdadero o "
                                             "falso se reconocen solas."));
        options.essayKind = kind;
        const ImportedFile file = importFormat::read(*format, source, *content, options);
        plan = questionImport::planFile(folder, file);
        leftOut = file.leftOut();
    }
    if (!plan.error.ok()) {
        // The reason alone: it names the file.
        printError(QStringLiteral("%1: no se puede leer el banco: %2.\n")
                       .arg(kProgram,
                            plan.error.detail.isEmpty() ? plan.error.message : plan.error.detail));
        return Failure;
    }
    return carryOutImport(plan, leftOut, folder, source, *format == ImportFormat::Text,
                          parsed.flags);
}

bool BancoCommand::placeFrom(const Arguments &arguments, ImportOptions *options)
{
    const bool hasTopic = arguments.values.contains(QStringLiteral("--tema"));
    if (arguments.values.contains(QStringLiteral("--capitulo"))) {
        const QString value = arguments.values.value(QStringLiteral("--capitulo"));
        options->chapter = int(digitsValue(value, 2));
        if (options->chapter < 1 || options->chapter > TopicCatalogue::kChapters) {
            usageError(
                QStringLiteral("el capítulo debe ser un número del 1 al 22, no «%1».").arg(value));
            return false;
        }
    } else if (hasTopic) {
        usageError(QStringLiteral("--tema va con --capitulo."));
        return false;
    }
    if (hasTopic) {
        const QString value = arguments.values.value(QStringLiteral("--tema"));
        const int topics = TopicCatalogue().topicCount(options->chapter);
        options->topic = int(digitsValue(value, 2));
        if (options->topic < 1 || options->topic > topics) {
            usageError(QStringLiteral("el capítulo %1 tiene los temas del 1 al %2, no «%3».")
                           .arg(options->chapter)
                           .arg(topics)
                           .arg(value));
            return false;
        }
    }
    return true;
}

int BancoCommand::carryOutImport(const questionImport::Plan &plan,
                                 const QList<DemoSourceProblem> &leftOut, const QString &folder,
                                 const QString &source, bool byLine, const QSet<QString> &flags)
{
    bool added = false; // a file of several kinds: an earlier bank file took its questions
    const auto refuse = [&](const QList<DemoSourceProblem> &problems) {
        // A file of another kind gives an error a line: the first ones tell
        // what is wrong, the rest would only bury it.
        for (const DemoSourceProblem &problem :
             problems.first(qMin(problems.size(), kShownProblems)))
            printError(problem.toString() + QLatin1Char('\n'));
        if (problems.size() > kShownProblems)
            printError(QStringLiteral("… y %1 más.\n")
                           .arg(counted(problems.size() - kShownProblems, u"error", u"errores")));
        const QString nothing = added ? QStringLiteral("No se ha añadido ninguna pregunta más")
                                      : QStringLiteral("No se ha añadido ninguna pregunta");
        if (byLine)
            printError(QStringLiteral("%1: %2 de %3 %4.\n")
                           .arg(nothing, counted(problems.size(), u"línea", u"líneas"), source,
                                problems.size() == 1 ? QStringLiteral("no es válida")
                                                     : QStringLiteral("no son válidas")));
        else
            printError(
                QStringLiteral("%1: %2 tiene %3.\n")
                    .arg(nothing, source, counted(problems.size(), u"problema", u"problemas")));
        return ProblemsFound;
    };
    const bool strict = flags.contains(QStringLiteral("--estricto"));
    if (!plan.problems.isEmpty())
        return refuse(plan.problems);
    if (strict && !plan.nearDuplicates.isEmpty())
        return refuse(plan.nearDuplicates);
    for (const DemoSourceProblem &warning : plan.nearDuplicates + leftOut)
        printError(warning.toString() + QLatin1Char('\n'));
    // Left out, yet nothing lost silently: the status says so too.
    const auto done = [&] {
        if (leftOut.isEmpty())
            return Success;
        printError(QStringLiteral("%1 de %2 %3 fuera.\n")
                       .arg(counted(leftOut.size(), u"pregunta", u"preguntas"), source,
                            leftOut.size() == 1 ? QStringLiteral("se ha dejado")
                                                : QStringLiteral("se han dejado")));
        return ProblemsFound;
    };

    QList<questionImport::Part> parts;
    bool alreadyIn = false;
    for (const questionImport::Part &part : plan.parts) {
        alreadyIn = alreadyIn || part.alreadyIn;
        if (part.alreadyIn)
            print(QStringLiteral("%1: %2 ya %3 en %4; no se añaden otra vez.\n")
                      .arg(source,
                           counted(part.questions.size(),
                                   QStringLiteral("pregunta de tipo %1")
                                       .arg(bankKinds::optionName(part.kind)),
                                   QStringLiteral("preguntas de tipo %1")
                                       .arg(bankKinds::optionName(part.kind))),
                           part.questions.size() == 1 ? QStringLiteral("está")
                                                      : QStringLiteral("están"),
                           part.bank.fileName));
        else if (!part.questions.isEmpty())
            parts.append(part);
    }
    if (parts.isEmpty()) {
        if (!alreadyIn)
            print(QStringLiteral("%1 no contiene preguntas%2; no se ha añadido nada.\n")
                      .arg(source, leftOut.isEmpty()
                                       ? QString()
                                       : QStringLiteral(" que el banco pueda guardar")));
        return done();
    }

    const bool simulate = flags.contains(QStringLiteral("--simular"));
    QStringList additions;
    qsizetype total = 0;
    for (const questionImport::Part &part : std::as_const(parts)) {
        const qint32 first = part.bank.records + 1;
        total += part.questions.size();
        additions.append(QStringLiteral("%1 a %2 (%3)")
                             .arg(counted(part.questions.size(), u"pregunta", u"preguntas"),
                                  part.bank.fileName,
                                  recordRange(first, first + qint32(part.questions.size()) - 1)));
        if (part.bank.trailingBytes > 0)
            printError(QStringLiteral("aviso: %1 termina con un registro incompleto (%2); la "
                                      "primera pregunta nueva %3.\n")
                           .arg(part.bank.fileName,
                                counted(part.bank.trailingBytes, u"byte", u"bytes"),
                                simulate ? QStringLiteral("lo sustituiría")
                                         : QStringLiteral("lo sustituye")));
    }
    if (simulate) {
        const QString last = additions.takeLast();
        print(QStringLiteral("%1: %2 %3. No se ha escrito nada.\n")
                  .arg(byLine ? QStringLiteral("Todas las líneas son válidas")
                              : QStringLiteral("Todas las preguntas que el banco puede guardar "
                                               "son válidas"),
                       total == 1 ? QStringLiteral("se añadiría") : QStringLiteral("se añadirían"),
                       additions.isEmpty()
                           ? last
                           : additions.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last));
        return done();
    }

    for (const questionImport::Part &part : std::as_const(parts)) {
        const questionImport::WriteResult written =
            questionImport::write(folder, part.kind, source, part.questions, strict);
        if (!written.problems.isEmpty())
            return refuse(written.problems);
        if (!written.ok()) {
            // A failed write's message already carries its reason.
            QString reason = written.error.message;
            if (!written.error.detail.isEmpty() && !reason.contains(written.error.detail))
                reason += QStringLiteral(" (%1)").arg(written.error.detail);
            printError(QStringLiteral("%1: no se ha añadido ninguna pregunta a %2: %3\n")
                           .arg(kProgram, written.fileName, reason));
            return Failure;
        }
        print(QStringLiteral("%1 %2 a %3 (%4).\n")
                  .arg(written.written == 1 ? QStringLiteral("Se ha añadido")
                                            : QStringLiteral("Se han añadido"),
                       counted(written.written, u"pregunta", u"preguntas"), written.fileName,
                       recordRange(written.firstRecord,
                                   written.firstRecord + qint32(written.written) - 1)));
        added = true;
    }
    return done();
}

int BancoCommand::buscar(const QStringList &arguments)
{
    Arguments parsed;
    if (!parse(arguments, {QStringLiteral("--tipo")}, {QStringLiteral("--json")}, &parsed))
        return Failure;
    const QString words = parsed.positional.value(0);
    if (questionSearch::queryWords(words).isEmpty())
        return usageError(QStringLiteral("falta lo que hay que buscar."));
    const std::optional<QList<QuestionKind>> kinds = kindsFrom(parsed);
    if (!kinds)
        return Failure;
    QString folder;
    if (!folderFrom(parsed, 1, &folder))
        return Failure;

    QuestionSearch search;
    QStringList missing;
    for (const QuestionKind kind : std::as_const(*kinds)) {
        const BankSnapshot snapshot = BankSnapshot::read(folder, kind);
        if (!snapshot.ok()) {
            printError(QStringLiteral("%1: no se puede leer el banco: %2.\n")
                           .arg(kProgram, snapshot.error()));
            return Failure;
        }
        if (snapshot.entryName().isEmpty())
            missing.append(snapshot.fileName());
        // As the windows list them: by chapter and topic, in file order.
        QList<const SnapshotRecord *> listed;
        for (const SnapshotRecord &record : snapshot.records())
            if (record.listed())
                listed.append(&record);
        std::stable_sort(listed.begin(), listed.end(), [](auto *a, auto *b) {
            return std::pair(a->chapter, a->topic) < std::pair(b->chapter, b->topic);
        });
        for (const SnapshotRecord *record : std::as_const(listed))
            search.add(kind, record->chapter, kind == QuestionKind::TrueFalse ? record->topic : 0,
                       record->number, record->displayText());
    }

    // Nothing to search in: said, so that an empty answer is not taken for
    // questions that do not match.
    if (missing.size() == kinds->size()) {
        printError(QStringLiteral("%1: en la carpeta %2 %3: no hay preguntas en las que buscar.\n")
                       .arg(kProgram, folder,
                            missing.size() == 1
                                ? QStringLiteral("no está el fichero del banco %1").arg(missing[0])
                                : QStringLiteral("no hay ningún fichero del banco (%1)")
                                      .arg(missing.join(QStringLiteral(", ")))));
        return ProblemsFound;
    }
    const QList<qsizetype> found = search.find(words);
    if (parsed.flags.contains(QStringLiteral("--json"))) {
        QJsonArray results;
        for (const qsizetype i : found) {
            const SearchEntry &entry = search.entry(i);
            QJsonObject result{{QStringLiteral("tipo"), bankKinds::optionName(entry.kind)},
                               {QStringLiteral("capitulo"), entry.chapter},
                               {QStringLiteral("registro"), entry.recordNumber},
                               {QStringLiteral("texto"), entry.text}};
            if (entry.kind == QuestionKind::TrueFalse)
                result.insert(QStringLiteral("tema"), entry.topic);
            results.append(result);
        }
        write(QJsonDocument(results).toJson());
    } else {
        for (const qsizetype i : found) {
            const SearchEntry &entry = search.entry(i);
            QString where = QStringLiteral("%1, capítulo %2")
                                .arg(bankKinds::optionName(entry.kind))
                                .arg(entry.chapter);
            if (entry.kind == QuestionKind::TrueFalse)
                where += QStringLiteral(", tema %1").arg(entry.topic);
            print(QStringLiteral("%1, registro %2: %3\n")
                      .arg(where)
                      .arg(entry.recordNumber)
                      .arg(controlCharacters::escaped(entry.text)));
        }
    }
    return found.isEmpty() ? ProblemsFound : Success;
}

int BancoCommand::historial(const QStringList &arguments)
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
