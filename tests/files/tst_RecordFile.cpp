// Record files found by name without regard to case: the newest of several
// variants wins.

#include "OpenFiles.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testFiles;

class tst_RecordFile : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void cleanup()
    {
        closeAllFiles();
        m_dir.reset();
    }

    // Entries as "name|age in seconds" ("name|->" for a link to nothing,
    // "name|/" for a folder), each file holding its own name; the variants of
    // the name asked come newest first, on equal times the exact spelling
    // first and then the names in order, and a link to nothing last. A
    // folder counts, but no file is opened then.
    void caseVariantsComeNewestFirst_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QStringList>("variants");
        // Entries and variants given space-separated.
        const auto row = [](const char *tag, const QString &entries, const QString &variants) {
            QTest::newRow(tag) << entries.split(u' ') << "QELMEXT2.DAT"
                               << variants.split(u' ', Qt::SkipEmptyParts);
        };
        row("one", "qelmext2.dat|5 QELMEXE1.DAT|1 QELMEXT2.DAT.lock|1", "qelmext2.dat");
        row("by time", "Qelmext2.dat|30 qelmext2.dat|10 QELMEXT2.DAT|20",
            "qelmext2.dat QELMEXT2.DAT Qelmext2.dat");
        row("equal times", "qelmext2.dat|10 Qelmext2.dat|10 QELMEXT2.DAT|10",
            "QELMEXT2.DAT Qelmext2.dat qelmext2.dat");
        row("link to nothing last", "QELMEXT2.DAT|-> qelmext2.dat|50", "qelmext2.dat QELMEXT2.DAT");
        row("a folder counts", "QELMEXT2.DAT|/ qelmext2.dat|3600", "QELMEXT2.DAT qelmext2.dat");
        row("none", "QELMEXT2.DA|1 QELMEXT2.DAT~|1", "");
    }
    void caseVariantsComeNewestFirst()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, asked);
        QFETCH(QStringList, variants);
        for (const QString &entry : entries) {
            const QString name = entry.section(u'|', 0, 0), kind = entry.section(u'|', 1);
            if (kind == "->")
                QVERIFY(QFile::link(path("no-existe"), path(name)));
            else if (kind == "/")
                QVERIFY(QDir(m_dir->path()).mkdir(name));
            else
                QVERIFY(writeFile(path(name), name.toUtf8()) &&
                        setModified(path(name),
                                    QDateTime::currentDateTimeUtc().addSecs(-kind.toInt())));
        }
        QStringList found;
        for (const QFileInfo &variant : RecordFile::caseVariants(path(asked)))
            found.append(variant.fileName());
        QCOMPARE(found, variants);
        QCOMPARE(RecordFile::resolve(path(asked)), path(variants.value(0, asked)));
        RecordFile file;
        const bool opened = file.open(path(asked.toLower().replace(".dat", ".DAT")), 4);
        QCOMPARE(opened, !entries.first().endsWith("|/"));
        if (opened)
            QCOMPARE(file.otherCaseVariants(), variants.mid(1));
        if (opened && !variants.isEmpty()) // the newest is read
            QCOMPARE(file.readRecord(2).value(), variants.first().toUtf8().mid(4, 4));
    }
};

QTEST_GUILESS_MAIN(tst_RecordFile)
#include "tst_RecordFile.moc"
