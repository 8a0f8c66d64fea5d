// orvalis-banco: the command-line companion of Orvalis, which checks the bank
// files, exports their questions (Moodle XML, GIFT, CSV, text), imports
// questions from text, searches them and lists the exam history. Everything
// it does lives in the orvalis_cli library.

#include "BancoCommand.h"
#include "DescriptorDevice.h"
#include "SystemError.h"

#include <QCoreApplication>

#include <unistd.h>

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    QCoreApplication app(argc, argv);
    // Unbuffered, straight to the descriptors: every write is checked when
    // it is made, and none is left to a flush at exit that nobody checks.
    DescriptorDevice out(STDOUT_FILENO);
    DescriptorDevice err(STDERR_FILENO);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !err.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return BancoCommand::Failure;
    BancoCommand command(out, err);
    return command.run(QCoreApplication::arguments().mid(1));
}
