// Bank files as a hostile user would leave them: huge sparse files, pipes,
// devices, dangling links, unreadable files and every torn tail (a folder or a
// socket takes the pipe's way: the entry's type is not a file's). Each case must end, under a time
// limit and in bounded memory, in an error value or a bounded result, and leave the entry exactly
// as it was.

#include "AnyBank.h"
#include "BankBytes.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testFiles;

namespace {

// What identifies an entry's state: type, length and, for a small regular
// file, its bytes.
QByteArray fingerprint(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    const QByteArray print =
        QByteArray::number(info.st_mode) + ' ' + QByteArray::number(info.st_size);
    return S_ISREG(info.st_mode) && info.st_size < 1 << 20
               ? print + QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha1).toHex()
               : print;
}

// Makes `what` ("file", "sparse", "pipe", "read-only pipe", "dangling link",
// "/dev/zero" or "unreadable") at `path`.
bool makeEntry(const QString &what, const QString &path, const QByteArray &content)
{
    const QByteArray native = QFile::encodeName(path);
    if (what == "sparse") // 100 GiB of holes
        return writeFile(path, {}) && ::truncate(native.constData(), off_t(100) << 30) == 0;
    if (what.endsWith("pipe"))
        return ::mkfifo(native.constData(), what == "pipe" ? 0600 : 0400) == 0;
    if (what == "dangling link" || what == "/dev/zero")
        return QFile::link(what == "/dev/zero" ? what : path + ".gone", path);
    return writeFile(path, content) && (what == "file" || QFile::setPermissions(path, {}));
}

} // namespace

class tst_HostileFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyHostileEntryEndsInAnErrorOrABoundedResult_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("detail");    // empty: opened
        QTest::addColumn<QList<int>>("counts"); // records, trailing bytes, records left out
        const auto row = [](const char *tag, const char *entry, int kind, const QString &detail,
                            const QList<int> &counts, const QByteArray &content = {},
                            const char *name = nullptr) {
            QTest::newRow(tag) << QString::fromLatin1(entry) << kind
                               << QString::fromLatin1(name ? name : bankBytes::kLoadNames[kind])
                               << content << detail << counts;
        };
        const QString notData = QStringLiteral("QELMEXT2.DAT no es un fichero de datos");
        // Only records 1 to 32767 are read; the rest are counted from the length.
        row("100 GiB true/false", "sparse", 0, {}, {419430400, 0, 419430400});
        row("100 GiB brief", "sparse", 3, {}, {706409094, 112, 706409094});
        row("pipe", "pipe", 0, notData, {0, 0, 0});
        row("read-only pipe", "read-only pipe", 0, notData, {0, 0, 0});
        row("pipe under another case", "pipe", 0, "qelmext2.dat no es un fichero de datos",
            {0, 0, 0}, {}, "qelmext2.dat");
        row("link to /dev/zero", "/dev/zero", 0, notData, {0, 0, 0});
        row("dangling link", "dangling link", 0,
            "el fichero o la carpeta no existen (al seguir el enlace QELMEXT2.DAT)", {0, 0, 0});
        row("unreadable file", "unreadable", 0,
            "permiso denegado (al abrir el fichero QELMEXT2.DAT)", {0, 0, 0},
            bankBytes::trueFalse(1, 1));
        // Every torn tail: listed as the whole records before it, never built on.
        for (int length = 1; length < 256; ++length)
            row(qPrintable(QStringLiteral("true/false torn tail of %1").arg(length)), "file", 0, {},
                {1, length, 0}, bankBytes::trueFalse(2, 3) + QByteArray(length, 'x'));
        for (int length = 1; length < 152; ++length)
            row(qPrintable(QStringLiteral("brief torn tail of %1").arg(length)), "file", 3, {},
                {1, length, 0},
                bankBytes::brief(5, QByteArray(150, 'b')) + QByteArray(length, 'x'));
    }
    void everyHostileEntryEndsInAnErrorOrABoundedResult()
    {
        QFETCH(QString, entry);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, detail);
        QFETCH(QList<int>, counts);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(makeEntry(entry, path, content));
        const QByteArray before = fingerprint(path);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const long peakBefore = usage.ru_maxrss;
        // Run where a hang cannot stop the suite: past the limit the test
        // fails and the process ends, since a blocked call cannot be undone.
        auto run = std::async(std::launch::async, [&] {
            // Capabilities are the thread's own: dropped where the bank runs.
            const PermissionBitsObeyed obeyed;
            AnyBank bank(kind, dir.path());
            const BankError error = bank.open();
            QList<int> got = bank.counts();
            got.remove(1); // records rounded: the true/false torn tails round either way
            return QPair<BankError, QList<int>>{error, got};
        });
        if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            qFatal("%s: no answer within 10 s", QTest::currentDataTag());
        const auto [error, outcome] = run.get();
        ::getrusage(RUSAGE_SELF, &usage);
        QVERIFY2(usage.ru_maxrss - peakBefore < 64 * 1024, "more than 64 MiB of memory used");
        QCOMPARE(error.code, detail.isEmpty() ? BankErrorCode::None : BankErrorCode::CannotOpen);
        QCOMPARE(error.detail, detail);
        QCOMPARE(outcome, counts);
        QCOMPARE(fingerprint(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{name});
        if (entry == "unreadable" || entry == "read-only pipe")
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(tst_HostileFiles)
#include "tst_HostileFiles.moc"
