#include "ComprobarOrder.h"

#include "BankCheck.h"

int ComprobarOrder::run(const QStringList &arguments)
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
