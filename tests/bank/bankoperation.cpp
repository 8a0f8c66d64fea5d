// The subject of the crash tests: performs one change on the bank in a folder
// through the bank's own operations, as a maintenance window would, so that a
// test can kill it at any system call and look at what is left.
//
//   bankoperation FOLDER KIND delete N
//   bankoperation FOLDER KIND modify N TEXT
//   bankoperation FOLDER KIND append CHAPTER [TOPIC] TEXT
//   bankoperation FOLDER KIND hold
//
// hold: takes the bank's lock as a change would, prints "locked" and keeps it
// until its standard input is closed (or it is killed).
//
// KIND: test, conceptual, practical or brief (TOPIC only for test). The change
// lies between two look-ups of marker names, so that a trace shows which
// calls belong to it. Prints "ok" or the bank's message; exits 0 or 1.

#include "ExpositionBank.h"
#include "FileLock.h"
#include "TrueFalseBank.h"

#include <QDir>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr const char *kBegins = "bankoperation-begins";
constexpr const char *kEnds = "bankoperation-ends";

BankError changeTrueFalse(const QString &folder, const QStringList &args)
{
    TrueFalseBank bank(folder);
    if (BankError error = bank.openBank(); !error.ok())
        return error;
    ::access(kBegins, F_OK);
    BankError result;
    const QString operation = args.value(0);
    if (operation == QLatin1String("delete")) {
        result = bank.deleteRecord(args.value(1).toInt());
    } else if (operation == QLatin1String("modify")) {
        const BankResult<TrueFalseRecord> read = bank.readRecord(args.value(1).toInt());
        if (!read) {
            result = read.error();
        } else {
            TrueFalseRecord changed = *read;
            changed.text = args.value(2);
            result = bank.writeRecord(args.value(1).toInt(), changed);
        }
    } else {
        const TrueFalseRecord record{qint16(args.value(1).toInt()), qint16(args.value(2).toInt()),
                                     args.value(3), 1};
        result = bank.appendRecord(record).error();
    }
    ::access(kEnds, F_OK);
    return result;
}

BankError changeExposition(const QString &folder, ExpositionKind kind, const QStringList &args)
{
    ExpositionBank bank(folder);
    if (BankError error = bank.openBank(kind); !error.ok())
        return error;
    ::access(kBegins, F_OK);
    BankError result;
    const QString operation = args.value(0);
    if (operation == QLatin1String("delete"))
        result = bank.deleteRecord(args.value(1).toInt());
    else if (operation == QLatin1String("modify"))
        result = bank.writeRecord(args.value(1).toInt(),
                                  {bank.readRecord(args.value(1).toInt())->chapter, args.value(2)});
    else
        result = bank.appendRecord(args.value(1).toInt(), args.value(2)).error();
    ::access(kEnds, F_OK);
    return result;
}

int holdLock(const QString &folder, const QString &kind)
{
    QString name = TrueFalseBank::loadName();
    if (kind == QLatin1String("conceptual"))
        name = expositionKindInfo(ExpositionKind::Conceptual).loadName;
    else if (kind == QLatin1String("practical"))
        name = expositionKindInfo(ExpositionKind::Practical).loadName;
    else if (kind == QLatin1String("brief"))
        name = expositionKindInfo(ExpositionKind::Brief).loadName;
    FileLock lock;
    if (lock.lock(BankFile::lockPath(QDir(folder).filePath(name)), 0) != FileLock::Result::Locked) {
        std::fputs("not locked\n", stdout);
        return 1;
    }
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromUtf8(argv[i]));
    if (args.size() == 3 && args[2] == QLatin1String("hold"))
        return holdLock(args[0], args[1]);
    if (args.size() < 4) {
        std::fputs("usage: bankoperation FOLDER KIND OPERATION ARGS...\n", stderr);
        return 2;
    }
    const QString folder = args.takeFirst();
    const QString kind = args.takeFirst();
    BankError error;
    if (kind == QLatin1String("test"))
        error = changeTrueFalse(folder, args);
    else if (kind == QLatin1String("conceptual"))
        error = changeExposition(folder, ExpositionKind::Conceptual, args);
    else if (kind == QLatin1String("practical"))
        error = changeExposition(folder, ExpositionKind::Practical, args);
    else
        error = changeExposition(folder, ExpositionKind::Brief, args);
    std::fputs(error.ok() ? "ok\n" : qPrintable(error.message + QLatin1Char('\n')), stdout);
    return error.ok() ? 0 : 1;
}
