// Whole writes and reads through the system's calls: the error returned is
// the one of the call that failed, a write cut short included, never one an
// earlier call left behind; and a write past the size limit fails rather
// than ending the program.

#include "SystemError.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

using namespace testFiles;

class tst_SystemError : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFileSizeSignalIsIgnored()
    {
        ignoreFileSizeSignal();
        QVERIFY(std::signal(SIGXFSZ, SIG_DFL) == SIG_IGN);
    }

    // Each case starts with a stale errno that the result must not repeat.
    void aWriteReturnsTheErrorOfTheCallThatFailed_data()
    {
        QTest::addColumn<QString>("target"); // "" a file in a fresh folder, "-" no descriptor
        QTest::addColumn<int>("limit");      // bytes the file may reach; -1: no limit
        QTest::addColumn<qint64>("offset");  // -1: at the position
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("error");
        QTest::addColumn<qint64>("written"); // bytes in the file afterwards; -1: not a file
        QTest::newRow("full device") << "/dev/full" << -1 << -1ll << 100 << ENOSPC << -1ll;
        QTest::newRow("full device at an offset")
            << "/dev/full" << -1 << 512ll << 100 << ENOSPC << -1ll;
        QTest::newRow("no room for any byte") << "" << 0 << -1ll << 100 << EFBIG << 0ll;
        QTest::newRow("cut short, then no room") << "" << 40 << -1ll << 100 << EFBIG << 40ll;
        QTest::newRow("cut short at an offset") << "" << 40 << 10ll << 100 << EFBIG << 40ll;
        QTest::newRow("room for all") << "" << 100 << -1ll << 100 << 0 << 100ll;
        QTest::newRow("nothing to write on a full device")
            << "/dev/full" << -1 << -1ll << 0 << 0 << -1ll;
        QTest::newRow("no descriptor") << "-" << -1 << -1ll << 1 << EBADF << -1ll;
    }
    void aWriteReturnsTheErrorOfTheCallThatFailed()
    {
        QFETCH(QString, target);
        QFETCH(int, limit);
        QFETCH(qint64, offset);
        QFETCH(int, size);
        QFETCH(int, error);
        QFETCH(qint64, written);
        QTemporaryDir dir;
        const QString path = target.isEmpty() ? dir.filePath(QStringLiteral("salida")) : target;
        const int fd = target == "-" ? -1
                                     : ::open(QFile::encodeName(path).constData(),
                                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 && target != "-")
            QSKIP("cannot open the target here");
        const QByteArray bytes(size, 'x');
        int result = -1;
        {
            std::optional<FileSizeLimit> full;
            if (limit >= 0)
                QVERIFY(full.emplace(rlim_t(limit)).isActive());
            errno = ENOENT;
            result = writeFully(fd, bytes.constData(), bytes.size(), offset);
        }
        ::close(fd);
        QCOMPARE(result, error);
        if (written >= 0)
            QCOMPARE(QFileInfo(path).size(), written);
    }

    void aReadStopsAtTheEndOrAtTheFailure_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a folder
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("error");
        QTest::addColumn<QByteArray>("read");
        QTest::newRow("all there") << QByteArray("abcdef") << 1ll << 3 << 0 << QByteArray("bcd");
        QTest::newRow("file ends first")
            << QByteArray("abcdef") << 4ll << 10 << 0 << QByteArray("ef");
        QTest::newRow("past the end") << QByteArray("abc") << 9ll << 4 << 0 << QByteArray();
        QTest::newRow("a folder") << QByteArray() << 0ll << 4 << EISDIR << QByteArray();
    }
    void aReadStopsAtTheEndOrAtTheFailure()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, offset);
        QFETCH(int, size);
        QFETCH(int, error);
        QFETCH(QByteArray, read);
        QTemporaryDir dir;
        const QString path = content.isNull() ? dir.path() : dir.filePath(QStringLiteral("datos"));
        QVERIFY(content.isNull() || writeFile(path, content));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QByteArray buffer(size, '\0');
        qint64 done = -1;
        errno = EIO;
        QCOMPARE(readFully(fd, buffer.data(), size, offset, &done), error);
        ::close(fd);
        QCOMPARE(buffer.left(done), read);
    }
};

QTEST_GUILESS_MAIN(tst_SystemError)
#include "tst_SystemError.moc"
