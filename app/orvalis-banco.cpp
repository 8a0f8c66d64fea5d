// orvalis-banco: the command-line companion of Orvalis, which checks the bank
// files, exports their questions (Moodle XML, GIFT, CSV, text) and imports
// questions from text. Everything it does lives in the orvalis_cli library.

#include "BancoCommand.h"
#include "SystemError.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return BancoCommand::Failure;
    BancoCommand command(out, err);
    return command.run(QCoreApplication::arguments().mid(1));
}
