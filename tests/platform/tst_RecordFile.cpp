// Record files on real files: names matched without regard to case (the
// newest of several variants wins), creation of a missing file, whole records
// by number, failed writes reported, closing every open file, and deleting
// and renaming by name.

#include "OpenFiles.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace testFiles;

class tst_RecordFile : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        closeAllFiles();
        m_dir.reset();
    }

    void aMissingFileIsCreatedEmptyUnderTheNameAsked()
    {
        RecordFile file;
        QVERIFY(file.open(path(QStringLiteral("QELMEXT2.DAT")), 256));
        QVERIFY(file.isOpen());
        QVERIFY(!file.isReadOnly());
        QCOMPARE(entries(), QStringList{"QELMEXT2.DAT"});
        QCOMPARE(file.size(), 0);
        QCOMPARE(file.readAll().value(), QByteArray());
        QVERIFY(!file.readRecord(1).has_value());
    }

    void aBareNameIsRelativeToTheWorkingDirectory()
    {
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        RecordFile file;
        const bool opened = file.open(QStringLiteral("Base.tmp"), 4);
        const bool written = opened && file.writeRecord(1, "abcd");
        QDir::setCurrent(saved);
        QVERIFY(opened);
        QVERIFY(written);
        QCOMPARE(readFile(path(QStringLiteral("Base.tmp"))), QByteArray("abcd"));
    }

    void anExistingFileIsFoundWhateverTheCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("asked");
        QTest::newRow("mixed on disk, upper asked") << "Qelmext2.dat"
                                                    << "QELMEXT2.DAT";
        QTest::newRow("upper on disk, mixed asked") << "QELMEXE1.DAT"
                                                    << "Qelmexe1.dat";
        QTest::newRow("lower on disk") << "qelmexe3.dat"
                                       << "QELMEXE3.DAT";
        QTest::newRow("same spelling") << "Base.tmp"
                                       << "Base.tmp";
        QTest::newRow("accented letters")
            << QString::fromUtf8("Año.dat") << QString::fromUtf8("AÑO.DAT");
    }
    void anExistingFileIsFoundWhateverTheCase()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, asked);
        QVERIFY(writeFile(path(onDisk), "12345678"));
        RecordFile file;
        QVERIFY(file.open(path(asked), 4));
        QCOMPARE(QFileInfo(file.filePath()).fileName(), onDisk);
        QCOMPARE(entries(), QStringList{onDisk});
        QCOMPARE(file.readRecord(2).value(), QByteArray("5678"));
        QCOMPARE(RecordFile::resolve(path(asked)), path(onDisk));
    }

    void theNewestOfSeveralCaseVariantsIsTheFile_data()
    {
        QTest::addColumn<int>("newest");
        QTest::newRow("upper-case one newest") << 0;
        QTest::newRow("mixed-case one newest") << 1;
        QTest::newRow("lower-case one newest") << 2;
    }
    void theNewestOfSeveralCaseVariantsIsTheFile()
    {
        QFETCH(int, newest);
        const QStringList names = {"QELMEXT2.DAT", "Qelmext2.dat", "qelmext2.dat"};
        const QDateTime base = QDateTime::currentDateTimeUtc().addSecs(-3600);
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(writeFile(path(names[i]), names[i].toLatin1().left(4)));
            QVERIFY(setModified(path(names[i]), base.addSecs(i == newest ? 60 : i)));
        }
        RecordFile file;
        QVERIFY(file.open(path(QStringLiteral("qElMeXt2.DaT")), 4));
        QCOMPARE(QFileInfo(file.filePath()).fileName(), names[newest]);
        QCOMPARE(file.readRecord(1).value(), names[newest].toLatin1().left(4));
        QCOMPARE(entries().size(), 3);
    }

    void recordsAreReadAndWrittenWholeByNumber()
    {
        RecordFile file;
        QVERIFY(file.open(path(QStringLiteral("R.DAT")), 3));
        QVERIFY(file.writeRecord(1, "aaa"));
        QVERIFY(file.writeRecord(2, "bbb"));
        QVERIFY(file.writeRecord(3, "ccc"));
        QVERIFY(file.writeRecord(2, "BBB"));
        // Every write is in the file when the call returns.
        QCOMPARE(readFile(path(QStringLiteral("R.DAT"))), QByteArray("aaaBBBccc"));
        QCOMPARE(file.size(), 9);
        QCOMPARE(file.readRecord(2).value(), QByteArray("BBB"));
        QCOMPARE(file.readAll().value(), QByteArray("aaaBBBccc"));
        QVERIFY(!file.readRecord(0).has_value());
        QVERIFY(!file.readRecord(4).has_value());
        QVERIFY(!file.writeRecord(0, "xxx"));
        QVERIFY(!file.writeRecord(4, "xx"));
        QVERIFY(!file.writeRecord(4, "xxxx"));
        QCOMPARE(readFile(path(QStringLiteral("R.DAT"))), QByteArray("aaaBBBccc"));
    }

    void aTornRecordIsNotReadAsAWholeOne()
    {
        QVERIFY(writeFile(path(QStringLiteral("T.DAT")), "aaaab"));
        RecordFile file;
        QVERIFY(file.open(path(QStringLiteral("T.DAT")), 4));
        QCOMPARE(file.readRecord(1).value(), QByteArray("aaaa"));
        QVERIFY(!file.readRecord(2).has_value());
        QVERIFY(!file.errorString().isEmpty());
        QVERIFY(file.writeRecord(2, "cccc"));
        QCOMPARE(readFile(path(QStringLiteral("T.DAT"))), QByteArray("aaaacccc"));
    }

    void aWriteThatDoesNotFitIsReportedAsFailed()
    {
        QVERIFY(writeFile(path(QStringLiteral("F.DAT")), "aaaabbbb"));
        RecordFile file;
        QVERIFY(file.open(path(QStringLiteral("F.DAT")), 4));
        bool appended = true;
        bool overwritten = true;
        bool inPlace = false;
        {
            FileSizeLimit limit(6); // as if the disk filled up two bytes into record 2
            QVERIFY(limit.isActive());
            appended = file.writeRecord(3, "cccc");
            overwritten = file.writeRecord(2, "BBBB");
            inPlace = file.writeRecord(1, "AAAA");
        }
        QVERIFY(!appended);
        QVERIFY(!overwritten); // only part of it fitted: still a failure
        QVERIFY(!file.errorString().isEmpty());
        QVERIFY(inPlace);
        QCOMPARE(readFile(path(QStringLiteral("F.DAT"))).left(4), QByteArray("AAAA"));
        QCOMPARE(readFile(path(QStringLiteral("F.DAT"))).size(), 8);
    }

    void aFileThatCannotBeWrittenOpensReadOnlyAndRefusesWrites()
    {
        const QString name = path(QStringLiteral("RO.DAT"));
        if (!makeReadOnlyEntry(name, "abcd"))
            QSKIP("no way to make a file that cannot be opened for writing here");
        const QByteArray before = readFile(name);
        RecordFile file;
        QVERIFY(file.open(name, 4));
        QVERIFY(file.isReadOnly());
        QCOMPARE(file.readRecord(1).value(), before.left(4));
        QVERIFY(!file.writeRecord(1, "wxyz"));
        QVERIFY(!file.errorString().isEmpty());
        QCOMPARE(readFile(name), before);
    }

    void aNameThatIsNotAFileCannotBeOpened()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("dir.dat")));
        RecordFile file;
        QVERIFY(!file.open(path(QStringLiteral("DIR.DAT")), 4));
        QVERIFY(!file.isOpen());
        QVERIFY(!file.errorString().isEmpty());
        QCOMPARE(OpenFiles::count(), 0);
        RecordFile nowhere;
        QVERIFY(!nowhere.open(path(QStringLiteral("missing/NEW.DAT")), 4));
    }

    void closeAllFilesClosesEveryOpenFile()
    {
        RecordFile first;
        RecordFile second;
        QVERIFY(first.open(path(QStringLiteral("A.DAT")), 2));
        QVERIFY(second.open(path(QStringLiteral("B.DAT")), 2));
        {
            RecordFile third;
            QVERIFY(third.open(path(QStringLiteral("C.DAT")), 2));
            QCOMPARE(OpenFiles::count(), 3);
        }
        QCOMPARE(OpenFiles::count(), 2); // a destroyed file leaves the registry
        QVERIFY(first.writeRecord(1, "xy"));
        closeAllFiles();
        QCOMPARE(OpenFiles::count(), 0);
        QVERIFY(!first.isOpen());
        QVERIFY(!second.isOpen());
        // A closed file refuses instead of touching a stale handle.
        QVERIFY(!first.readRecord(1).has_value());
        QVERIFY(!first.readAll().has_value());
        QVERIFY(!first.writeRecord(1, "zz"));
        QCOMPARE(first.size(), -1);
        // And it can be opened again.
        QVERIFY(first.open(path(QStringLiteral("a.dat")), 2));
        QCOMPARE(first.readRecord(1).value(), QByteArray("xy"));
        QCOMPARE(OpenFiles::count(), 1);
    }

    void removeFileRemovesEveryCaseVariant()
    {
        QVERIFY(writeFile(path(QStringLiteral("QELMEXT2.DAT")), "a"));
        QVERIFY(writeFile(path(QStringLiteral("Qelmext2.dat")), "b"));
        QVERIFY(writeFile(path(QStringLiteral("Other.dat")), "c"));
        QString error;
        QVERIFY(RecordFile::removeFile(path(QStringLiteral("qelmext2.dat")), &error));
        QCOMPARE(entries(), QStringList{"Other.dat"});
        // Nothing to remove is no failure.
        QVERIFY(RecordFile::removeFile(path(QStringLiteral("QELMEXT2.DAT")), &error));
    }

    void renameFileFindsTheSourceWithoutCaseAndKeepsOtherFiles()
    {
        QVERIFY(writeFile(path(QStringLiteral("BASE.TMP")), "new"));
        QString error;
        QVERIFY(RecordFile::renameFile(path(QStringLiteral("Base.tmp")),
                                       path(QStringLiteral("Qelmext2.dat")), &error));
        QCOMPARE(entries(), QStringList{"Qelmext2.dat"});
        QCOMPARE(readFile(path(QStringLiteral("Qelmext2.dat"))), QByteArray("new"));

        // A different file already answering to the new name is not replaced.
        QVERIFY(writeFile(path(QStringLiteral("Base.tmp")), "newer"));
        QVERIFY(!RecordFile::renameFile(path(QStringLiteral("Base.tmp")),
                                        path(QStringLiteral("QELMEXT2.DAT")), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFile(path(QStringLiteral("Qelmext2.dat"))), QByteArray("new"));

        // Changing only the case of a name is allowed.
        QVERIFY(RecordFile::renameFile(path(QStringLiteral("qelmext2.dat")),
                                       path(QStringLiteral("QELMEXT2.DAT")), &error));
        QCOMPARE(entries(), (QStringList{"Base.tmp", "QELMEXT2.DAT"}));

        QVERIFY(!RecordFile::renameFile(path(QStringLiteral("none.tmp")),
                                        path(QStringLiteral("x.dat")), &error));
    }
};

QTEST_GUILESS_MAIN(tst_RecordFile)
#include "tst_RecordFile.moc"
