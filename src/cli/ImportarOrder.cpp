#include "ImportarOrder.h"

#include "BankKinds.h"
#include "CountedNoun.h"
#include "ImportFormat.h"
#include "TopicCatalogue.h"

namespace {

// Bad lines of an import named one by one; the others are only counted.
constexpr qsizetype kShownProblems = 100;

// "registro 7", "registros 7 a 9".
QString recordRange(qint32 first, qint32 last)
{
    if (first == last)
        return QStringLiteral("registro %1").arg(first);
    return QStringLiteral("registros %1 a %2").arg(first).arg(last);
}

} // namespace

int ImportarOrder::run(const QStringList &arguments)
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

bool ImportarOrder::placeFrom(const Arguments &arguments, ImportOptions *options)
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

int ImportarOrder::carryOutImport(const questionImport::Plan &plan,
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
