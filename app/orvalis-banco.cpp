// orvalis-banco: the command-line companion of Orvalis, which checks the bank
// files, exports their questions (Moodle XML, GIFT, CSV, text), imports
// questions from text, searches them, lists the exam history, and prints and
// marks answer sheets. Everything it does lives in the orvalis_cli library.

#include "BancoCommand.h"
#include "DescriptorDevice.h"
#include "SystemError.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

#include <unistd.h>

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    // The answer sheets are drawn with fonts, which need a graphical
    // application; it works without a display on the offscreen platform.
    const bool draws =
        argc > 1 && (std::strcmp(argv[1], "hojas") == 0 || std::strcmp(argv[1], "corregir") == 0);
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(draws ? new QGuiApplication(argc, argv)
                                                : new QCoreApplication(argc, argv));
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
