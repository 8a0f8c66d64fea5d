// Bank files as a hostile user would leave them: huge sparse files, pipes,
// folders, devices, sockets, dangling links, unreadable files, every torn tail
// and a file size limit. Each case must end, under a time limit, in an error
// value or a bounded result, and leave the entry exactly as it was.
#include "BankBytes.h"
#include "BankFile.h"
#include "ExpositionBank.h"
#include "SystemError.h"
#include "TestFiles.h"
#include "TrueFalseBank.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testFiles;

namespace {

enum class Entry
{
    Regular,    // `content` as a file
    Sparse100G, // a 100 GiB file of holes
    Fifo,       // a named pipe under the bank's name
    ReadOnlyFifo,
    FifoVariant, // a pipe that differs from the name only by case
    Folder,
    DanglingLink,
    DevZero, // a link to /dev/zero
    Socket,
    Unreadable // `content` as a file nobody may read
};

enum class Operation
{
    OpenTrueFalse,
    OpenPractical,
    OpenBrief,
    AppendTrueFalse // under a file size limit of 300 bytes
};

struct Outcome
{
    BankErrorCode code = BankErrorCode::None;
    QString detail;
    qint32 records = 0;
    int trailing = 0;
    qint32 leftOut = 0;
};

// What identifies an entry's state: type, length and, for a small regular
// file, its bytes. (A failed append may touch the time while it puts the
// bytes back.)
QByteArray fingerprint(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    QByteArray print = QByteArray::number(info.st_mode) + ' ' + QByteArray::number(info.st_size);
    if (S_ISREG(info.st_mode) && info.st_size < 1 << 20) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            print +=
                ' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
    }
    return print;
}

bool makeSocket(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::copy(native.begin(), native.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool made =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return made;
}

} // namespace

class tst_HostileFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program's own start-up call: without it the size limit row ends
    // the test with SIGXFSZ.
    void initTestCase() { ignoreFileSizeSignal(); }

    void everyHostileEntryEndsInAnErrorOrABoundedResult_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<qint32>("records");
        QTest::addColumn<int>("trailing");
        QTest::addColumn<qint32>("leftOut");

        const auto row = [](const char *tag, Entry entry, const QString &name,
                            const QByteArray &content, Operation operation, const Outcome &o) {
            QTest::newRow(tag) << entry << name << content << operation << int(o.code) << o.detail
                               << o.records << o.trailing << o.leftOut;
        };
        const QString tf = QStringLiteral("QELMEXT2.DAT");
        const QString notData = QStringLiteral("QELMEXT2.DAT no es un fichero de datos");
        const auto cannotOpen = [](const QString &detail) {
            return Outcome{BankErrorCode::CannotOpen, detail};
        };

        // Only records 1 to 32767 are read; the rest are counted from the length.
        row("100 GiB true/false", Entry::Sparse100G, tf, {}, Operation::OpenTrueFalse,
            {BankErrorCode::None, {}, 419430400, 0, 419430400});
        row("100 GiB practical", Entry::Sparse100G, QStringLiteral("QELMEXE2.DAT"), {},
            Operation::OpenPractical, {BankErrorCode::None, {}, 107159862, 676, 107159862});
        row("100 GiB brief", Entry::Sparse100G, QStringLiteral("QELMEXE3.DAT"), {},
            Operation::OpenBrief, {BankErrorCode::None, {}, 706409094, 112, 706409094});

        row("pipe", Entry::Fifo, tf, {}, Operation::OpenTrueFalse, cannotOpen(notData));
        row("read-only pipe", Entry::ReadOnlyFifo, tf, {}, Operation::OpenTrueFalse,
            cannotOpen(notData));
        row("pipe under another case", Entry::FifoVariant, tf, {}, Operation::OpenTrueFalse,
            cannotOpen(QStringLiteral("qelmext2.dat no es un fichero de datos")));
        row("folder", Entry::Folder, tf, {}, Operation::OpenTrueFalse, cannotOpen(notData));
        row("socket", Entry::Socket, tf, {}, Operation::OpenTrueFalse, cannotOpen(notData));
        row("link to /dev/zero", Entry::DevZero, tf, {}, Operation::OpenTrueFalse,
            cannotOpen(notData));
        row("dangling link", Entry::DanglingLink, tf, {}, Operation::OpenTrueFalse,
            cannotOpen(QStringLiteral(
                "el fichero o la carpeta no existen (al seguir el enlace QELMEXT2.DAT)")));
        row("unreadable file", Entry::Unreadable, tf, bankBytes::trueFalse(1, 1),
            Operation::OpenTrueFalse,
            cannotOpen(QStringLiteral("permiso denegado (al abrir el fichero QELMEXT2.DAT)")));

        row("append past the size limit", Entry::Regular, tf, bankBytes::trueFalse(1, 1),
            Operation::AppendTrueFalse,
            {BankErrorCode::CannotWrite,
             QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido (al escribir en "
                            "el fichero QELMEXT2.DAT)"),
             1, 0, 0});

        // Every torn tail: listed as the whole records before it, never built on.
        for (int length = 1; length < 256; ++length)
            row(qPrintable(QStringLiteral("true/false torn tail of %1").arg(length)),
                Entry::Regular, tf, bankBytes::trueFalse(2, 3) + QByteArray(length, 'x'),
                Operation::OpenTrueFalse, {BankErrorCode::None, {}, 1, length, 0});
        for (int length = 1; length < 152; ++length)
            row(qPrintable(QStringLiteral("brief torn tail of %1").arg(length)), Entry::Regular,
                QStringLiteral("QELMEXE3.DAT"),
                QByteArray("\x05\x00", 2) + QByteArray(150, 'b') + QByteArray(length, 'x'),
                Operation::OpenBrief, {BankErrorCode::None, {}, 1, length, 0});
    }

    void everyHostileEntryEndsInAnErrorOrABoundedResult()
    {
        QFETCH(Entry, entry);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(Operation, operation);
        QFETCH(int, code);
        QFETCH(QString, detail);
        QFETCH(qint32, records);
        QFETCH(int, trailing);
        QFETCH(qint32, leftOut);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        QVERIFY(makeEntry(entry, path, content));
        const QByteArray before = fingerprint(path);
        const QStringList entriesBefore =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const long peakBefore = usage.ru_maxrss;

        // Run where a hang cannot stop the suite: past the limit the test
        // fails and the process ends, since a blocked call cannot be undone.
        const bool obeyPermissions = entry == Entry::Unreadable;
        auto run = std::async(std::launch::async, [&] {
            // Capabilities are the thread's own: dropped where the bank runs.
            std::optional<PermissionBitsObeyed> obeyed;
            if (obeyPermissions)
                obeyed.emplace();
            return perform(operation, dir.path());
        });
        if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            qFatal("%s: no answer within 10 s", QTest::currentDataTag());
        const Outcome outcome = run.get();

        ::getrusage(RUSAGE_SELF, &usage);
        QVERIFY2(usage.ru_maxrss - peakBefore < 64 * 1024, "more than 64 MiB of memory used");
        QCOMPARE(int(outcome.code), code);
        QCOMPARE(outcome.detail, detail);
        QCOMPARE(outcome.records, records);
        QCOMPARE(outcome.trailing, trailing);
        QCOMPARE(outcome.leftOut, leftOut);
        QCOMPARE(fingerprint(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 entriesBefore);
        if (entry == Entry::Unreadable || entry == Entry::ReadOnlyFifo)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

private:
    static bool makeEntry(Entry entry, const QString &path, const QByteArray &content)
    {
        const QByteArray native = QFile::encodeName(path);
        switch (entry) {
        case Entry::Regular:
            return writeFile(path, content);
        case Entry::Sparse100G:
            return writeFile(path, {}) && ::truncate(native.constData(), off_t(100) << 30) == 0;
        case Entry::Fifo:
            return ::mkfifo(native.constData(), 0600) == 0;
        case Entry::ReadOnlyFifo:
            return ::mkfifo(native.constData(), 0400) == 0;
        case Entry::FifoVariant:
            return ::mkfifo(QFile::encodeName(QFileInfo(path).dir().filePath(
                                                  QFileInfo(path).fileName().toLower()))
                                .constData(),
                            0600) == 0;
        case Entry::Folder:
            return QDir().mkdir(path);
        case Entry::DanglingLink:
            return QFile::link(path + QStringLiteral(".gone"), path);
        case Entry::DevZero:
            return QFile::link(QStringLiteral("/dev/zero"), path);
        case Entry::Socket:
            return makeSocket(path);
        case Entry::Unreadable:
            return writeFile(path, content) && QFile::setPermissions(path, {});
        }
        return false;
    }

    static Outcome perform(Operation operation, const QString &directory)
    {
        Outcome outcome;
        const auto take = [&outcome](const BankError &error, auto &bank) {
            outcome.code = error.code;
            outcome.detail = error.detail;
            outcome.records = bank.recordCount();
            outcome.trailing = bank.trailingBytes();
            outcome.leftOut = bank.leftOut().total();
        };
        switch (operation) {
        case Operation::OpenTrueFalse: {
            TrueFalseBank bank(directory);
            take(bank.openBank(), bank);
            break;
        }
        case Operation::OpenPractical:
        case Operation::OpenBrief: {
            ExpositionBank bank(directory);
            take(bank.openBank(operation == Operation::OpenBrief ? ExpositionKind::Brief
                                                                 : ExpositionKind::Practical),
                 bank);
            break;
        }
        case Operation::AppendTrueFalse: {
            TrueFalseBank bank(directory);
            if (const BankError opened = bank.openBank(); !opened.ok()) {
                take(opened, bank);
                break;
            }
            rlimit saved{};
            ::getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limit = saved;
            limit.rlim_cur = 300;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const BankResult<qint32> appended = bank.appendRecord(
                TrueFalseRecord{4, 5, QStringLiteral("¿Cabe una pregunta más?"), 1});
            ::setrlimit(RLIMIT_FSIZE, &saved);
            take(appended.ok() ? BankError{} : appended.error(), bank);
            break;
        }
        }
        return outcome;
    }
};

Q_DECLARE_METATYPE(Entry)
Q_DECLARE_METATYPE(Operation)

QTEST_GUILESS_MAIN(tst_HostileFiles)
#include "tst_HostileFiles.moc"
