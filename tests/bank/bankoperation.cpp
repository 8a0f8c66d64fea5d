// The subject of the crash and other-program tests: one change on the bank in
// a folder through the bank's own operations, as a maintenance window makes
// it, so that a test can kill it at any system call and look at what is left.
//
//   bankoperation FOLDER KIND delete N | modify N TEXT | append TEXT | hold
//
// KIND is 0 (true/false) to 3 (brief). The change lies between the kill
// harness's two marker look-ups; it prints "ok" or the bank's message and
// exits 0 or 1. hold takes the bank's lock as a change would, prints "locked"
// and keeps it until its input is closed.

#include "AnyBank.h"
#include "BankBytes.h"
#include "FileLock.h"

#include <QDir>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    const int kind = QByteArray(argv[2]).toInt();
    const QString folder = QString::fromUtf8(argv[1]), operation = QString::fromUtf8(argv[3]);
    if (operation == QLatin1String("hold")) {
        FileLock lock;
        const QString bank = QDir(folder).filePath(QLatin1String(bankBytes::kLoadNames[kind]));
        if (lock.lock(BankFile::lockPath(bank), 0) != FileLock::Result::Locked)
            return 1;
        std::fputs("locked\n", stdout);
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    AnyBank bank(kind, folder);
    BankError error = bank.open();
    if (error.ok()) {
        ::access("killpoints-begin", F_OK);
        error = bank.apply(operation);
        ::access("killpoints-end", F_OK);
    }
    std::fputs(error.ok() ? "ok\n" : qPrintable(error.message + u'\n'), stdout);
    return error.ok() ? 0 : 1;
}
