// Record files found by name without regard to case: the newest of several
// variants wins. A file replaced through a temporary file: the names it ends
// under, the case variants it must leave alone and outdate, links and
// permissions.

#include "FileReplacement.h"
#include "OpenFiles.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testFiles;

class tst_RecordFile : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Entries given as "name|content|age in seconds" (negative: in the
    // future), "name|age" for a file holding its own name and "name|->" for a
    // link to nothing.
    void makeEntries(const QStringList &entries)
    {
        for (const QString &entry : entries) {
            const QString name = entry.section(u'|', 0, 0), age = entry.section(u'|', -1);
            if (age == "->")
                QVERIFY(QFile::link(path("no-existe"), path(name)));
            else
                QVERIFY(
                    writeFile(path(name), entry.count(u'|') == 2
                                              ? entry.section(u'|', 1, 1).toLatin1()
                                              : name.toUtf8()) &&
                    setModified(path(name), QDateTime::currentDateTimeUtc().addSecs(-age.toInt())));
        }
    }
    // Replaces `current` with "new" under the rewrite name Qelmext2.dat: the
    // path the new content ends under, or what went wrong.
    QString commit(const QString &current)
    {
        FileReplacement replacement(path(current), "Qelmext2.dat", "Base.tmp");
        return replacement.commit("new") ? replacement.resultPath() : replacement.errorString();
    }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup()
    {
        closeAllFiles();
        m_dir.reset();
    }

    // Entries as makeEntries takes them, each file holding its own name; the
    // variants of QELMEXT2.DAT come newest first, on equal times the exact
    // spelling first and then the names in order, and a link to nothing last.
    // (An entry of another type counts too: tst_QuestionBanks's pipe.)
    void caseVariantsComeNewestFirst_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("variants");
        // Entries and variants given space-separated.
        const auto row = [](const char *tag, const QString &entries, const QString &variants) {
            QTest::newRow(tag) << entries.split(u' ') << variants.split(u' ', Qt::SkipEmptyParts);
        };
        row("by time", "Qelmext2.dat|30 qelmext2.dat|10 QELMEXT2.DAT|20",
            "qelmext2.dat QELMEXT2.DAT Qelmext2.dat");
        row("equal times", "qelmext2.dat|10 Qelmext2.dat|10 QELMEXT2.DAT|10",
            "QELMEXT2.DAT Qelmext2.dat qelmext2.dat");
        row("link to nothing last", "QELMEXT2.DAT|-> qelmext2.dat|50", "qelmext2.dat QELMEXT2.DAT");
        row("none", "QELMEXT2.DA|1 QELMEXT2.DAT~|1", "");
    }
    void caseVariantsComeNewestFirst()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, variants);
        makeEntries(entries);
        QStringList found;
        for (const QFileInfo &variant : RecordFile::caseVariants(path("QELMEXT2.DAT")))
            found.append(variant.fileName());
        QCOMPARE(found, variants);
        QCOMPARE(RecordFile::resolve(path("QELMEXT2.DAT")),
                 path(variants.value(0, "QELMEXT2.DAT")));
        RecordFile file; // opened under a spelling of its own
        QVERIFY(file.open(path("qelmext2.DAT"), 4));
        QCOMPARE(file.otherCaseVariants(), variants.mid(1));
        if (!variants.isEmpty()) // the newest is read
            QCOMPARE(file.readRecord(2).value(), variants.first().toUtf8().mid(4, 4));
    }

    void theNewContentTakesTheNewNameAndSparesEveryOtherVariant_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("found"); // what a lookup of the name finds afterwards
        const auto row = [](const char *tag, const QStringList &entries, const char *current,
                            const QStringList &after, const char *found) {
            QTest::newRow(tag) << entries << current << after << found;
        };
        // The first rewrite of the load name, alone in the folder, and of a
        // file written a moment ago: tst_QuestionBanks's changes. A later
        // rewrite under the same name: tst_BankFile's kills, whose banks start
        // under the rewrite name.
        row("older variant holds the new name", {"QELMEXT2.DAT|old|60", "Qelmext2.dat|hidden|120"},
            "QELMEXT2.DAT", {"QELMEXT2.DAT=new", "Qelmext2.dat=hidden"}, "QELMEXT2.DAT");
        row("older variant under a third name", {"qelmext2.dat|old|60", "QELMEXT2.DAT|hidden|120"},
            "qelmext2.dat", {"QELMEXT2.DAT=hidden", "Qelmext2.dat=new"}, "Qelmext2.dat");
        row("variant dated in the future", {"Qelmext2.dat|old|-7200", "QELMEXT2.DAT|hidden|-3600"},
            "Qelmext2.dat", {"QELMEXT2.DAT=hidden", "Qelmext2.dat=new"}, "Qelmext2.dat");
        row("no file yet", {}, "QELMEXT2.DAT", {"Qelmext2.dat=new"}, "Qelmext2.dat");
    }
    void theNewContentTakesTheNewNameAndSparesEveryOtherVariant()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, current);
        QFETCH(QString, found);
        makeEntries(entries);
        QCOMPARE(commit(current), path(found));
        QTEST(folderContents(m_dir->path()), "after");
        QCOMPARE(RecordFile::resolve(path("QELMEXT2.DAT")), path(found));
    }

    // The file a link names is replaced where it lies, keeping its permissions.
    void aLinkedFileIsReplacedWhereItLiesWithItsPermissions()
    {
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath("preguntas.dat");
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(writeFile(real, "old") && QFile::setPermissions(real, mode));
        QVERIFY(QFile::link(real, path("QELMEXT2.DAT")));
        QCOMPARE(commit("QELMEXT2.DAT"), real);
        QCOMPARE(QFileInfo(path("QELMEXT2.DAT")).symLinkTarget(), real);
        QCOMPARE(folderContents(elsewhere.path()), QStringList{"preguntas.dat=new"});
        QCOMPARE(QFile::permissions(real) & 0x7077, mode);
    }

    // A folder gone (a memory stick pulled out) is a failure that says so,
    // never a file reported written.
    void aFolderGoneIsAFailure()
    {
        const QString result = commit("quitada/QELMEXT2.DAT");
        QVERIFY2(result.endsWith("(al abrir la carpeta " + path("quitada") + ")"),
                 qPrintable(result));
    }
};

QTEST_GUILESS_MAIN(tst_RecordFile)
#include "tst_RecordFile.moc"
