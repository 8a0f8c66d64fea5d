// The subject of the crash and other-program tests: one change on the bank in
// a folder through the bank's own operations, as a maintenance window makes
// it, so that a test can kill it at any system call and look at what is left.
//
//   bankoperation FOLDER KIND delete N | modify N TEXT | append TEXT
//
// KIND is 0 (true/false) to 3 (brief). The change lies between the kill
// harness's two marker look-ups; it prints "ok" or the bank's message and
// exits 0 or 1.

#include "AnyBank.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    AnyBank bank(QByteArray(argv[2]).toInt(), QString::fromUtf8(argv[1]));
    BankError error = bank.open();
    if (error.ok()) {
        ::access("killpoints-begin", F_OK);
        error = bank.apply(QString::fromUtf8(argv[3]));
        ::access("killpoints-end", F_OK);
    }
    std::fputs(error.ok() ? "ok\n" : qPrintable(error.message + u'\n'), stdout);
    return error.ok() ? 0 : 1;
}
