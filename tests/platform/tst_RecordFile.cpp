// Record files found by name without regard to case (the newest of several
// variants wins), and removed and renamed by name.

#include "OpenFiles.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

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

    void theNewestOfSeveralCaseVariantsIsTheFile()
    {
        const QStringList names = {"QELMEXT2.DAT", "Qelmext2.dat", "qelmext2.dat"};
        const QDateTime base = QDateTime::currentDateTimeUtc().addSecs(-3600);
        for (int newest = 0; newest < names.size(); ++newest) {
            for (int i = 0; i < names.size(); ++i) {
                QVERIFY(writeFile(path(names[i]), names[i].toLatin1().left(4)));
                QVERIFY(setModified(path(names[i]), base.addSecs(i == newest ? 60 : i)));
            }
            RecordFile file;
            QVERIFY(file.open(path(QStringLiteral("qElMeXt2.DaT")), 4));
            QCOMPARE(file.readRecord(1).value(), names[newest].toLatin1().left(4));
        }
    }

    void removeAndRenameFindTheFileWhateverTheCase()
    {
        QVERIFY(writeFile(path(QStringLiteral("QELMEXT2.DAT")), "a"));
        QVERIFY(writeFile(path(QStringLiteral("Qelmext2.dat")), "b"));
        QVERIFY(writeFile(path(QStringLiteral("BASE.TMP")), "new"));
        QString error;
        QVERIFY(RecordFile::removeFile(path(QStringLiteral("qelmext2.dat")), &error));
        QCOMPARE(entries(), QStringList{"BASE.TMP"});
        QVERIFY(RecordFile::renameFile(path(QStringLiteral("Base.tmp")),
                                       path(QStringLiteral("Qelmext2.dat")), &error));
        QCOMPARE(entries(), QStringList{"Qelmext2.dat"});
        QCOMPARE(readFile(path(QStringLiteral("Qelmext2.dat"))), QByteArray("new"));
        // Another file already answering to the new name is not replaced.
        QVERIFY(writeFile(path(QStringLiteral("Base.tmp")), "newer"));
        QVERIFY(!RecordFile::renameFile(path(QStringLiteral("Base.tmp")),
                                        path(QStringLiteral("QELMEXT2.DAT")), &error));
        QCOMPARE(readFile(path(QStringLiteral("Qelmext2.dat"))), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(tst_RecordFile)
#include "tst_RecordFile.moc"
