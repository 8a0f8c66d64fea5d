#include "CommandLine.h"

namespace CommandLine {

namespace {

Request failure(const QString &error)
{
    Request request;
    request.action = Action::Fail;
    request.error = error;
    return request;
}

} // namespace

Request parse(const QStringList &arguments)
{
    Request request;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        const bool isOption = !optionsEnded && argument.startsWith(QLatin1Char('-'));
        if (isOption && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (isOption &&
                   (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            request.action = Action::ShowHelp;
            return request;
        } else if (isOption && argument == QLatin1String("--version")) {
            request.action = Action::ShowVersion;
            return request;
        } else if (isOption && argument == kPersonalOption) {
            if (request.place == BankPlace::GivenFolder)
                return failure(QStringLiteral("no se puede indicar una carpeta junto con %1")
                                   .arg(kPersonalOption));
            request.place = BankPlace::PersonalFolder;
        } else if (isOption) {
            return failure(QStringLiteral("opción desconocida: «%1»").arg(argument));
        } else if (request.place == BankPlace::PersonalFolder) {
            return failure(QStringLiteral("no se puede indicar una carpeta junto con %1")
                               .arg(kPersonalOption));
        } else if (request.place == BankPlace::GivenFolder) {
            return failure(
                QStringLiteral("sobra «%1»: solo se puede indicar una carpeta").arg(argument));
        } else {
            request.place = BankPlace::GivenFolder;
            request.folder = argument;
        }
    }
    return request;
}

QString helpText()
{
    return QStringLiteral(
               "Uso: orvalis [CARPETA]\n"
               "     orvalis %1\n"
               "Prepara exámenes escritos de marketing a partir de un banco de preguntas.\n"
               "\n"
               "Sin argumentos trabaja con el banco de preguntas de la carpeta actual.\n"
               "\n"
               "  CARPETA             trabaja con el banco de preguntas de CARPETA\n"
               "  %1    trabaja con el banco propio del usuario, en\n"
               "                      $XDG_DATA_HOME/orvalis/banco (si XDG_DATA_HOME no\n"
               "                      está definida, ~/.local/share/orvalis/banco); la\n"
               "                      primera vez se crea con una copia del banco de\n"
               "                      demostración y después nunca se sobrescribe\n"
               "  -h, --help          muestra esta ayuda y termina\n"
               "      --version       muestra la versión y termina\n"
               "  --                  lo que sigue es la carpeta, aunque empiece por un guion\n"
               "\n"
               "Estado de salida: 2 si una opción no es válida o no se puede usar la carpeta.\n")
        .arg(kPersonalOption);
}

QString versionText()
{
    return QStringLiteral("Orvalis %1\n").arg(QStringLiteral(ORVALIS_VERSION));
}

} // namespace CommandLine
