// The small file primitives: Windows-1252 text (one byte per character,
// unencodable characters named once), and a file's identity, which tells an
// untouched file from one another program lengthened, replaced, redated or
// removed.
//
// The lock between programs is tried through the bank that takes it
// (tst_QuestionBanks: held by another holder in this process, waited on, let
// go, left behind by nobody) and through starts and changes killed while
// holding it (tst_StartUp, tst_BankFile). Whole writes through the system's
// calls, through what uses them: a write cut short by a full disk, at an
// offset or not, then refused with the error of the call that failed
// (tst_QuestionBanks's full disk rows); a full device (tst_BancoCommand's
// standard output on /dev/full).

#include "Cp1252.h"
#include "FileIdentity.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace testFiles;

class tst_FilePrimitives : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Rows without unencodable characters also decode back to the text.
    void encodesAndDecodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("repeated, named once") << "Ω✓Ω" << QByteArray("\x1a\x1a\x1a") << "Ω✓";
        QTest::newRow("outside the basic plane") << "x😀y" << QByteArray("x\x1ay") << "😀";
        QTest::newRow("unassigned bytes keep their number")
            << "\u0081\u008d\u008f\u0090\u009d" << QByteArray("\x81\x8d\x8f\x90\x9d") << "";
        QTest::newRow("the last byte of the high block alone") << "Ÿ" << QByteArray("\x9f") << "";
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QTest::newRow("every byte back through both") << Cp1252::decode(all) << all << "";
    }
    void encodesAndDecodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        QCOMPARE(Cp1252::encode(text).bytes, bytes);
        QCOMPARE(Cp1252::encode(text).unencodable, unencodable);
        QCOMPARE(Cp1252::canEncode(text), unencodable.isEmpty());
        if (unencodable.isEmpty())
            QCOMPARE(Cp1252::decode(bytes), text);
    }

    void anyChangeOfTheFileUnderTheNameShows_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("untouched, only read") << "read";
        QTest::newRow("grown in place, its date kept") << "grow";
        QTest::newRow("replaced by a file of the same size and date") << "replace";
        QTest::newRow("redated by a second") << "redate";
        QTest::newRow("removed") << "remove";
    }
    void anyChangeOfTheFileUnderTheNameShows()
    {
        QFETCH(QString, change);
        QTemporaryDir dir;
        const QString path = dir.filePath("BANCO.DAT"), other = dir.filePath("nuevo");
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone::utc());
        QVERIFY(writeFile(path, "abcd") && setModified(path, when));
        const FileIdentity before = FileIdentity::of(path);
        if (change == "read")
            QCOMPARE(readFile(path), QByteArray("abcd"));
        else if (change == "grow") // only the size tells
            QVERIFY(writeFile(path, "abcde") && setModified(path, when));
        else if (change == "replace") // made while the first is there: another inode
            QVERIFY(writeFile(other, "wxyz") && setModified(other, when) && QFile::remove(path) &&
                    QFile::rename(other, path));
        else if (change == "redate")
            QVERIFY(setModified(path, when.addSecs(1)));
        else
            QVERIFY(QFile::remove(path));
        const FileIdentity after = FileIdentity::of(path);
        QCOMPARE(after == before, change == "read");
        QCOMPARE(after.exists, change != "remove");
    }
};

QTEST_GUILESS_MAIN(tst_FilePrimitives)
#include "tst_FilePrimitives.moc"
