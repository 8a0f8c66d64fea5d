// Whole writes and reads through the system's calls: the error returned is
// the one of the call that failed, a write cut short included, never one an
// earlier call left behind (each case starts with a stale errno).

#include "SystemError.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

class tst_SystemError : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aWriteReturnsTheErrorOfTheCallThatFailed_data()
    {
        QTest::addColumn<QString>("target"); // "" a new file limited to 40 bytes, "-" no descriptor
        QTest::addColumn<qint64>("offset");  // -1: at the position
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("error");
        QTest::addColumn<qint64>("written"); // bytes in the file afterwards
        QTest::newRow("full device") << "/dev/full" << -1ll << 100 << ENOSPC << 0ll;
        QTest::newRow("cut short, then no room") << "" << -1ll << 100 << EFBIG << 40ll;
        QTest::newRow("cut short at an offset") << "" << 10ll << 100 << EFBIG << 40ll;
        QTest::newRow("room for all") << "" << 5ll << 35 << 0 << 40ll;
        QTest::newRow("no descriptor") << "-" << -1ll << 1 << EBADF << 0ll;
    }
    void aWriteReturnsTheErrorOfTheCallThatFailed()
    {
        QFETCH(QString, target);
        QFETCH(qint64, offset);
        QFETCH(int, size);
        QFETCH(int, error);
        QFETCH(qint64, written);
        QTemporaryDir dir;
        const QString path = target.isEmpty() ? dir.filePath(QStringLiteral("salida")) : target;
        const int fd = target == "-" ? -1
                                     : ::open(QFile::encodeName(path).constData(),
                                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0 || target == "-");
        const QByteArray bytes(size, 'x');
        int result = -1;
        {
            std::optional<testFiles::FileSizeLimit> full;
            QVERIFY(!target.isEmpty() || full.emplace(40).isActive());
            errno = ENOENT;
            result = writeFully(fd, bytes.constData(), bytes.size(), offset);
        }
        ::close(fd);
        QCOMPARE(result, error);
        QCOMPARE(QFileInfo(path).size(), written);
    }

    void aReadStopsAtTheEndOrAtTheFailure_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a folder
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("error");
        QTest::addColumn<QByteArray>("read"); // of at most 3 bytes
        QTest::newRow("all there") << QByteArray("abcdef") << 1ll << 0 << QByteArray("bcd");
        QTest::newRow("file ends first") << QByteArray("abcdef") << 4ll << 0 << QByteArray("ef");
        QTest::newRow("a folder") << QByteArray() << 0ll << EISDIR << QByteArray();
    }
    void aReadStopsAtTheEndOrAtTheFailure()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, offset);
        QFETCH(int, error);
        QFETCH(QByteArray, read);
        QTemporaryDir dir;
        const QString path = content.isNull() ? dir.path() : dir.filePath(QStringLiteral("datos"));
        QVERIFY(content.isNull() || testFiles::writeFile(path, content));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QByteArray buffer(3, '\0');
        qint64 done = -1;
        errno = EIO;
        QCOMPARE(readFully(fd, buffer.data(), 3, offset, &done), error);
        ::close(fd);
        QCOMPARE(buffer.left(done), read);
    }
};

QTEST_GUILESS_MAIN(tst_SystemError)
#include "tst_SystemError.moc"
