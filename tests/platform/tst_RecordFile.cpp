// Record files found by name without regard to case (the newest of several
// variants wins) and removed by name; entries that are not files refused at
// once; failed writes that leave the file as it was.

#include "OpenFiles.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

using namespace testFiles;

class tst_RecordFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::Files, QDir::Name); }

private Q_SLOTS:
    void cleanup()
    {
        closeAllFiles();
        for (const QString &name : entries())
            QFile::remove(path(name));
    }

    void anExistingFileIsFoundWhateverTheCase()
    {
        for (const QString &name : {QStringLiteral("Qelmext2.dat"), QStringLiteral("QELMEXE1.DAT"),
                                    QString::fromUtf8("Año.dat")}) {
            QVERIFY(writeFile(path(name), "12345678"));
            const QString asked = name == name.toUpper() ? name.toLower() : name.toUpper();
            RecordFile file;
            QVERIFY2(file.open(path(asked), 4), qPrintable(asked));
            QCOMPARE(file.readRecord(2).value(), QByteArray("5678"));
        }
        QCOMPARE(entries().size(), 3); // nothing created beside them
    }

    // Entries as "name|age in seconds" ("name|->" for a link to nothing,
    // "name|/" for a folder); the variants of the name come newest first, on
    // equal times the exact spelling first and then the names in order, and
    // a link to nothing, which has no time, last.
    void caseVariantsComeNewestFirst_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("variants");
        QTest::newRow("one") << QStringList{"qelmext2.dat|5", "QELMEXE1.DAT|1",
                                            "QELMEXT2.DAT.lock|1"}
                             << QStringList{"qelmext2.dat"};
        QTest::newRow("by time") << QStringList{"Qelmext2.dat|30", "qelmext2.dat|10",
                                                "QELMEXT2.DAT|20"}
                                 << QStringList{"qelmext2.dat", "QELMEXT2.DAT", "Qelmext2.dat"};
        QTest::newRow("equal times")
            << QStringList{"qelmext2.dat|10", "Qelmext2.dat|10", "QELMEXT2.DAT|10"}
            << QStringList{"QELMEXT2.DAT", "Qelmext2.dat", "qelmext2.dat"};
        QTest::newRow("link to nothing last") << QStringList{"QELMEXT2.DAT|->", "qelmext2.dat|50"}
                                              << QStringList{"qelmext2.dat", "QELMEXT2.DAT"};
        QTest::newRow("a folder counts") << QStringList{"QELMEXT2.DAT|/", "qelmext2.dat|3600"}
                                         << QStringList{"QELMEXT2.DAT", "qelmext2.dat"};
        QTest::newRow("none") << QStringList{"QELMEXT2.DA|1", "QELMEXT2.DAT~|1"} << QStringList{};
    }
    void caseVariantsComeNewestFirst()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, variants);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (const QString &entry : entries) {
            const QString name = entry.section(QLatin1Char('|'), 0, 0);
            const QString kind = entry.section(QLatin1Char('|'), 1);
            if (kind == QLatin1String("->")) {
                QVERIFY(QFile::link(path(QStringLiteral("no-existe")), path(name)));
            } else if (kind == QLatin1String("/")) {
                QVERIFY(QDir(m_dir.path()).mkdir(name));
            } else {
                QVERIFY(writeFile(path(name), "abcd"));
                QVERIFY(setModified(path(name), now.addSecs(-kind.toInt())));
            }
        }
        QStringList found;
        for (const QFileInfo &variant :
             RecordFile::caseVariants(path(QStringLiteral("QELMEXT2.DAT"))))
            found.append(variant.fileName());
        QCOMPARE(found, variants);
        QCOMPARE(RecordFile::resolve(path(QStringLiteral("QELMEXT2.DAT"))),
                 variants.isEmpty() ? path(QStringLiteral("QELMEXT2.DAT"))
                                    : path(variants.first()));

        RecordFile file;
        const bool opened = file.open(path(QStringLiteral("qelmext2.DAT")), 4);
        if (opened)
            QCOMPARE(file.otherCaseVariants(), variants.mid(1));
        for (const QString &entry : entries) { // a folder is no file, and is left alone
            const QString name = entry.section(QLatin1Char('|'), 0, 0);
            if (entry.endsWith(QLatin1String("|/")))
                QDir(m_dir.path()).rmdir(name);
            else
                QFile::remove(path(name));
        }
        QCOMPARE(opened, !entries.first().endsWith(QLatin1String("|/")));
    }

    void removeTakesEveryCaseVariant()
    {
        for (const char *name : {"QELMEXT2.DAT", "Qelmext2.dat", "Base.tmp"})
            QVERIFY(writeFile(path(QString::fromLatin1(name)), name));
        QString error;
        QVERIFY(RecordFile::removeFile(path(QStringLiteral("qelmext2.dat")), &error));
        QCOMPARE(entries(), QStringList{"Base.tmp"});
    }

    void anEntryThatIsNotAFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::newRow("folder") << false;
        QTest::newRow("named pipe") << true; // opening it for reading would wait for a writer
    }
    void anEntryThatIsNotAFileIsRefusedAtOnce()
    {
        QFETCH(bool, pipe);
        const QString name = path(QStringLiteral("QELMEXT2.DAT"));
        QVERIFY(pipe ? ::mkfifo(QFile::encodeName(name).constData(), 0444) == 0
                     : QDir().mkdir(name));
        RecordFile file;
        QVERIFY(!file.open(name, 4));
        QCOMPARE(file.errorString(), QStringLiteral("QELMEXT2.DAT no es un fichero de datos"));
        QVERIFY(!file.isOpen());
        QVERIFY(pipe ? QFile::remove(name) : QDir().rmdir(name));
    }

    // Each write is cut at a different point: refused before it starts, cut
    // inside the new record, cut after covering a torn tail.
    void aFailedWriteLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("limit"); // bytes the file may reach; 0: a read-only entry
        QTest::addColumn<QString>("reason");
        const QString tooBig = QStringLiteral("el fichero ha alcanzado el tamaño máximo permitido "
                                              "(al escribir en el fichero Qelmext2.dat)");
        QTest::newRow("no room for any byte") << QByteArray("aaaabbbb") << 8 << tooBig;
        QTest::newRow("room for half the record") << QByteArray("aaaabbbb") << 10 << tooBig;
        QTest::newRow("torn tail covered, then no room") << QByteArray("aaaabbbbt") << 11 << tooBig;
        QTest::newRow("read-only entry")
            << QByteArray("aaaabbbb") << 0
            << QStringLiteral("el fichero está en uso por un programa en ejecución (al abrir el "
                              "fichero Qelmext2.dat para escribir)");
    }
    void aFailedWriteLeavesTheFileAsItWas()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, limit);
        QFETCH(QString, reason);
        const QString name = path(QStringLiteral("Qelmext2.dat"));
        if (limit == 0 && !makeReadOnlyEntry(name, content))
            QSKIP("no way to make a file that cannot be opened for writing here");
        QVERIFY(limit == 0 || writeFile(name, content));
        const QByteArray before = readFile(name);
        RecordFile file;
        QVERIFY2(file.open(name, 4), qPrintable(file.errorString()));
        QCOMPARE(file.isReadOnly(), limit == 0);
        std::optional<FileSizeLimit> full;
        if (limit > 0)
            QVERIFY(full.emplace(rlim_t(limit)).isActive());
        if (limit == 0 && !QFileInfo(name).isSymLink()) // not root: a file without write permission
            reason = QStringLiteral("permiso denegado (al abrir el fichero Qelmext2.dat para "
                                    "escribir)");
        QVERIFY(!file.writeRecord(3, "cccc"));
        full.reset();
        QCOMPARE(file.errorString(), reason);
        QCOMPARE(readFile(name), before);
        QCOMPARE(file.size(), before.size());
    }
};

QTEST_GUILESS_MAIN(tst_RecordFile)
#include "tst_RecordFile.moc"
