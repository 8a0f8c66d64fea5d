// A file replaced through a temporary file: the names it ends under, the case
// variants it must leave alone and outdate, links and permissions.

#include "FileReplacement.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testFiles;

class tst_FileReplacement : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Entries given as "name|content|age in seconds" (negative: in the future).
    void makeEntries(const QStringList &entries)
    {
        for (const QString &entry : entries) {
            const QStringList parts = entry.split(u'|');
            QVERIFY(writeFile(path(parts[0]), parts[1].toLatin1()));
            QVERIFY(setModified(path(parts[0]),
                                QDateTime::currentDateTimeUtc().addSecs(-parts[2].toInt())));
        }
    }
    // Replaces `current` with "new" under the rewrite name Qelmext2.dat.
    bool commit(const QString &current, QString *result)
    {
        FileReplacement replacement(path(current), "Qelmext2.dat", "Base.tmp");
        const bool done = replacement.commit("new");
        *result = done ? replacement.resultPath() : replacement.errorString();
        return done;
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
        const auto row = [](const char *tag, const QStringList &entries, const char *current,
                            const QStringList &after, const char *found) {
            QTest::newRow(tag) << entries << current << after << found;
        };
        row("first rewrite of the load name", {"QELMEXT2.DAT|old|60"}, "QELMEXT2.DAT",
            {"Qelmext2.dat=new"}, "Qelmext2.dat");
        row("first rewrite of a file written a moment ago", {"QELMEXT2.DAT|old|0"}, "QELMEXT2.DAT",
            {"Qelmext2.dat=new"}, "Qelmext2.dat");
        row("later rewrite under the same name", {"Qelmext2.dat|old|60"}, "Qelmext2.dat",
            {"Qelmext2.dat=new"}, "Qelmext2.dat");
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
        QFETCH(QStringList, after);
        QFETCH(QString, found);
        makeEntries(entries);
        QString result;
        QVERIFY2(commit(current, &result), qPrintable(result));
        QCOMPARE(folderContents(m_dir->path()), after);
        QCOMPARE(result, path(found));
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
        QString result;
        QVERIFY(commit("QELMEXT2.DAT", &result));
        QCOMPARE(result, real);
        QCOMPARE(QFileInfo(path("QELMEXT2.DAT")).symLinkTarget(), real);
        QCOMPARE(folderContents(elsewhere.path()), QStringList{"preguntas.dat=new"});
        QCOMPARE(QFile::permissions(real) & 0x7077, mode);
    }
};

QTEST_GUILESS_MAIN(tst_FileReplacement)
#include "tst_FileReplacement.moc"
