#include "OrderContext.h"

#include "BankKinds.h"

#include <QFileInfo>

#include <algorithm>

qint64 OrderContext::digitsValue(const QString &value, int maxDigits)
{
    const bool digits =
        !value.isEmpty() && value.size() <= maxDigits &&
        std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digits ? value.toLongLong() : 0;
}

void OrderContext::print(const QString &text)
{
    write(text.toUtf8());
}

void OrderContext::write(const QByteArray &bytes)
{
    if (!m_outError.isEmpty())
        return;
    if (m_out.write(bytes) != bytes.size())
        m_outError = m_out.errorString().isEmpty() ? QStringLiteral("error de escritura")
                                                   : m_out.errorString();
}

void OrderContext::printError(const QString &text)
{
    m_err.write(text.toUtf8());
}

int OrderContext::usageError(const QString &text)
{
    printError(
        QStringLiteral("%1: %2\nUse «%1 --help» para ver cómo se usa.\n").arg(kProgram, text));
    return Failure;
}

bool OrderContext::parse(const QStringList &arguments, const QStringList &valueOptions,
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

bool OrderContext::folderFrom(const Arguments &arguments, int position, QString *folder)
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

std::optional<QuestionKind> OrderContext::kindFrom(const Arguments &arguments)
{
    const QString name = arguments.values.value(QStringLiteral("--tipo"));
    const std::optional<QuestionKind> kind = bankKinds::fromOptionName(name);
    if (!kind)
        usageError(
            QStringLiteral("tipo desconocido «%1»; los tipos son %2.").arg(name, kKindChoices));
    return kind;
}

std::optional<QList<QuestionKind>> OrderContext::kindsFrom(const Arguments &arguments)
{
    if (!arguments.values.contains(QStringLiteral("--tipo")))
        return QList<QuestionKind>(kQuestionKinds.begin(), kQuestionKinds.end());
    if (const std::optional<QuestionKind> kind = kindFrom(arguments))
        return QList<QuestionKind>{*kind};
    return std::nullopt;
}

qint64 OrderContext::examNumber(const QString &value)
{
    const qint64 number = digitsValue(value, 18);
    if (number < 1)
        usageError(QStringLiteral("--examen necesita el número de un examen (1, 2, …), no «%1».")
                       .arg(value));
    return std::max<qint64>(number, 0);
}

std::optional<qint64> OrderContext::examNumberFrom(const Arguments &arguments)
{
    if (!arguments.values.contains(QStringLiteral("--examen")))
        return 0;
    // From 1: 0 would list every exam in another shape.
    const qint64 number = examNumber(arguments.values.value(QStringLiteral("--examen")));
    if (number < 1)
        return std::nullopt;
    return number;
}

std::optional<double> OrderContext::penaltyFrom(const Arguments &arguments)
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

std::optional<HistoryExam> OrderContext::sheetExam(ExamHistory &history, const QString &value)
{
    const qint64 number = examNumber(value);
    if (number < 1)
        return std::nullopt;
    // A folder without a history has no exams: none is made for saying so.
    QString error = history.exists() ? history.open(ExamHistory::Access::ReadWrite) : QString();
    if (const QString note = history.takeSetAsideNote(); !note.isEmpty())
        printError(note + QLatin1Char('\n'));
    std::optional<HistoryExam> exam;
    if (error.isEmpty() && history.exists())
        exam = history.exam(number, &error);
    if (!error.isEmpty()) {
        printError(QStringLiteral("%1: no se puede leer el historial: %2.\n").arg(kProgram, error));
        return std::nullopt;
    }
    if (!exam)
        printError(QStringLiteral("%1: no hay ningún examen número %2 en el historial.\n")
                       .arg(kProgram)
                       .arg(number));
    else if (exam->exposition)
        printError(QStringLiteral("%1: el examen %2 es de exposición; las hojas de respuestas son "
                                  "para los de tipo test.\n")
                       .arg(kProgram)
                       .arg(number));
    else
        return exam;
    return std::nullopt;
}
