// A file replaced through a temporary file: the names it ends under, the case
// variants it must leave alone and outdate, links, permissions, and a failure
// that leaves the folder as it was.

#include "FileReplacement.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

using namespace testFiles;

class tst_FileReplacement : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

    // Entries given as "name|content|age in seconds" (negative: in the future).
    void makeEntries(const QStringList &entries)
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (const QString &entry : entries) {
            const QStringList parts = entry.split(QLatin1Char('|'));
            QVERIFY(writeFile(path(parts[0]), parts[1].toLatin1()));
            QVERIFY(setModified(path(parts[0]), now.addSecs(-parts[2].toInt())));
        }
    }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup() { m_dir.reset(); }

    void theNewContentTakesTheNewNameAndSparesEveryOtherVariant_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("found"); // what a lookup of the name finds afterwards

        QTest::newRow("first rewrite of the load name")
            << QStringList{"QELMEXT2.DAT|old|60"} << "QELMEXT2.DAT"
            << QStringList{"Qelmext2.dat=new"} << "Qelmext2.dat";
        QTest::newRow("first rewrite of a file written a moment ago")
            << QStringList{"QELMEXT2.DAT|old|0"} << "QELMEXT2.DAT"
            << QStringList{"Qelmext2.dat=new"} << "Qelmext2.dat";
        QTest::newRow("later rewrite under the same name")
            << QStringList{"Qelmext2.dat|old|60"} << "Qelmext2.dat"
            << QStringList{"Qelmext2.dat=new"} << "Qelmext2.dat";
        QTest::newRow("leftover temporary file")
            << QStringList{"Qelmext2.dat|old|60", "Base.tmp|half of an older rewrite|30"}
            << "Qelmext2.dat" << QStringList{"Qelmext2.dat=new"} << "Qelmext2.dat";
        QTest::newRow("older variant holds the new name")
            << QStringList{"QELMEXT2.DAT|old|60", "Qelmext2.dat|hidden|120"} << "QELMEXT2.DAT"
            << QStringList{"QELMEXT2.DAT=new", "Qelmext2.dat=hidden"} << "QELMEXT2.DAT";
        QTest::newRow("older variant under a third name")
            << QStringList{"qelmext2.dat|old|60", "QELMEXT2.DAT|hidden|120"} << "qelmext2.dat"
            << QStringList{"QELMEXT2.DAT=hidden", "Qelmext2.dat=new"} << "Qelmext2.dat";
        QTest::newRow("variant dated in the future")
            << QStringList{"Qelmext2.dat|old|-7200", "QELMEXT2.DAT|hidden|-3600"} << "Qelmext2.dat"
            << QStringList{"QELMEXT2.DAT=hidden", "Qelmext2.dat=new"} << "Qelmext2.dat";
        QTest::newRow("no file yet")
            << QStringList{} << "QELMEXT2.DAT" << QStringList{"Qelmext2.dat=new"} << "Qelmext2.dat";
    }
    void theNewContentTakesTheNewNameAndSparesEveryOtherVariant()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, current);
        QFETCH(QStringList, after);
        QFETCH(QString, found);
        makeEntries(entries);
        FileReplacement replacement(path(current), QStringLiteral("Qelmext2.dat"),
                                    QStringLiteral("Base.tmp"));
        QVERIFY2(replacement.commit("new"), qPrintable(replacement.errorString()));
        QCOMPARE(folderContents(m_dir->path()), after);
        QCOMPARE(replacement.resultPath(), path(found));
        QCOMPARE(RecordFile::resolve(path(QStringLiteral("QELMEXT2.DAT"))), path(found));
    }

    void theReplacedFileKeepsItsPermissions()
    {
        makeEntries({"QELMEXT2.DAT|old|60"});
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path(QStringLiteral("QELMEXT2.DAT")), mode));
        FileReplacement replacement(path(QStringLiteral("QELMEXT2.DAT")),
                                    QStringLiteral("Qelmext2.dat"), QStringLiteral("Base.tmp"));
        QVERIFY(replacement.commit("new"));
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path(QStringLiteral("Qelmext2.dat"))).constData(), &info),
                 0);
        QCOMPARE(info.st_mode & 0777, 0640u);
    }

    void aLinkedFileIsReplacedWhereItLies()
    {
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath(QStringLiteral("preguntas.dat"));
        QVERIFY(writeFile(real, "old"));
        QVERIFY(QFile::link(real, path(QStringLiteral("QELMEXT2.DAT"))));
        FileReplacement replacement(path(QStringLiteral("QELMEXT2.DAT")),
                                    QStringLiteral("Qelmext2.dat"), QStringLiteral("Base.tmp"));
        QVERIFY2(replacement.commit("new"), qPrintable(replacement.errorString()));
        QCOMPARE(QFileInfo(path(QStringLiteral("QELMEXT2.DAT"))).symLinkTarget(), real);
        QCOMPARE(readFile(path(QStringLiteral("QELMEXT2.DAT"))), QByteArray("new"));
        QCOMPARE(folderContents(elsewhere.path()), QStringList{"preguntas.dat=new"});
        QCOMPARE(replacement.resultPath(), real);
    }

    // A failure before the rename leaves everything as it was; a folder that
    // takes no new entry cannot lose the leftover temporary file either.
    void aFailedReplacementLeavesTheFolderAsItWas()
    {
        makeEntries({"QELMEXT2.DAT|old|60", "Base.tmp|older|30"});
        const QStringList before = folderContents(m_dir->path());
        FileReplacement replacement(path(QStringLiteral("QELMEXT2.DAT")),
                                    QStringLiteral("Qelmext2.dat"), QStringLiteral("Base.tmp"));
        {
            ReadOnlyFolder readOnly(m_dir->path());
            if (!readOnly.isActive())
                QSKIP("no way to make a folder read-only here");
            QVERIFY(!replacement.commit("new"));
        }
        QCOMPARE(replacement.errorString(),
                 QString::fromUtf8("permiso denegado (al borrar el fichero temporal Base.tmp que "
                                   "quedó de una operación interrumpida)"));
        QCOMPARE(folderContents(m_dir->path()), before);
    }

    // A disk that fills up while the temporary file is written: the reason is
    // the failed write's own, also when an earlier write went through in part.
    void aWriteThatRunsOutOfRoomSaysWhy_data()
    {
        QTest::addColumn<int>("limit"); // bytes a file may reach
        QTest::newRow("no room for any byte") << 0;
        QTest::newRow("room for part of it") << 60;
    }
    void aWriteThatRunsOutOfRoomSaysWhy()
    {
        QFETCH(int, limit);
        makeEntries({"QELMEXT2.DAT|old|60"});
        const QStringList before = folderContents(m_dir->path());
        FileReplacement replacement(path(QStringLiteral("QELMEXT2.DAT")),
                                    QStringLiteral("Qelmext2.dat"), QStringLiteral("Base.tmp"));
        {
            const FileSizeLimit full{rlim_t(limit)};
            QVERIFY(full.isActive());
            errno = ENOENT;
            QVERIFY(!replacement.commit(QByteArray(100, 'n')));
        }
        QCOMPARE(replacement.errorString(),
                 QString::fromUtf8("el fichero ha alcanzado el tamaño máximo permitido (al "
                                   "escribir el fichero temporal Base.tmp)"));
        QCOMPARE(folderContents(m_dir->path()), before);
    }
};

QTEST_GUILESS_MAIN(tst_FileReplacement)
#include "tst_FileReplacement.moc"
