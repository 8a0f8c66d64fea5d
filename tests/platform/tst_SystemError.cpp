// Whole writes and reads through the system's calls: the error returned is
// the one of the call that failed, a write cut short included, never one an
// earlier call left behind.

#include "SystemError.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

using namespace testFiles;

class tst_SystemError : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each case starts with a stale errno that the result must not repeat.
    void aWriteReturnsTheErrorOfTheCallThatFailed_data()
    {
        QTest::addColumn<QString>("target"); // "" for a file in a fresh folder
        QTest::addColumn<int>("limit");      // bytes the file may reach; -1: no limit
        QTest::addColumn<qint64>("offset");  // -1: at the position
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("error");
        QTest::addColumn<qint64>("written"); // bytes in the file afterwards; -1: not a file
        QTest::newRow("full device")
            << "/dev/full" << -1 << qint64(-1) << 100 << ENOSPC << qint64(-1);
        QTest::newRow("full device at an offset")
            << "/dev/full" << -1 << qint64(512) << 100 << ENOSPC << qint64(-1);
        QTest::newRow("no room for any byte") << "" << 0 << qint64(-1) << 100 << EFBIG << qint64(0);
        QTest::newRow("cut short, then no room")
            << "" << 40 << qint64(-1) << 100 << EFBIG << qint64(40);
        QTest::newRow("cut short at an offset")
            << "" << 40 << qint64(10) << 100 << EFBIG << qint64(40);
        QTest::newRow("room for all") << "" << 100 << qint64(-1) << 100 << 0 << qint64(100);
        QTest::newRow("nothing to write on a full device")
            << "/dev/full" << -1 << qint64(-1) << 0 << 0 << qint64(-1);
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
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 && !target.isEmpty())
            QSKIP("no full device here");
        QVERIFY(fd >= 0);
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

    void aWriteOnAClosedDescriptorSaysSo()
    {
        errno = ENOSPC;
        QCOMPARE(writeFully(-1, "x", 1), EBADF);
    }

    void aReadStopsAtTheEndOrAtTheFailure_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("read");
        QTest::newRow("all there") << QByteArray("abcdef") << qint64(1) << 3 << QByteArray("bcd");
        QTest::newRow("file ends first")
            << QByteArray("abcdef") << qint64(4) << 10 << QByteArray("ef");
        QTest::newRow("past the end") << QByteArray("abc") << qint64(9) << 4 << QByteArray();
    }
    void aReadStopsAtTheEndOrAtTheFailure()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, offset);
        QFETCH(int, size);
        QFETCH(QByteArray, read);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("datos"));
        QVERIFY(writeFile(path, content));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QByteArray buffer(size, '\0');
        qint64 done = -1;
        errno = EIO;
        QCOMPARE(readFully(fd, buffer.data(), size, offset, &done), 0);
        ::close(fd);
        QCOMPARE(buffer.left(done), read);
    }

    void aReadOfAFolderSaysSo()
    {
        QTemporaryDir dir;
        const int fd =
            ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        char buffer[4];
        qint64 done = -1;
        QCOMPARE(readFully(fd, buffer, 4, 0, &done), EISDIR);
        ::close(fd);
        QCOMPARE(done, 0);
    }
};

QTEST_GUILESS_MAIN(tst_SystemError)
#include "tst_SystemError.moc"
