// The makebank executable: a good run replaces the output folder with the four
// bank files; a bad source line is named, fails the run and writes nothing.

#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testFiles;

class tst_MakeBank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badLineWritesNothingAndKeepsThePreviousOutput()
    {
        const QTemporaryDir dir;
        const QDir sources(dir.filePath("fuentes")), output(dir.filePath("generated"));
        const QString bad = sources.filePath("breves.txt");
        QProcess process;
        const auto run = [&](const QByteArray &line) {
            if (!writeFile(bad, "# c\n" + line))
                return -2;
            process.start(ORVALIS_MAKEBANK_PATH, {sources.path(), output.path()});
            const bool ended =
                process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
            return ended ? process.exitCode() : -1;
        };
        const QByteArray badLine = "0|0|S|x\n", goodLine = "1|1|S|Bien.\n"; // fits every kind
        QVERIFY(sources.mkpath("."));
        for (const char *file :
             {"verdadero_falso.txt", "conceptuales.txt", "practicas.txt", "breves.txt"})
            QVERIFY(writeFile(sources.filePath(file), goodLine));
        QCOMPARE(run(badLine), 1);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(errors.contains(bad + ":2: el capítulo"), qPrintable(errors));
        QVERIFY(!output.exists());
        // A good run replaces whatever the output folder held; a bad one leaves it.
        QVERIFY(output.mkpath(".") && writeFile(output.filePath("VIEJO.DAT"), "viejo"));
        QCOMPARE(run(goodLine), 0);
        const QStringList bankFiles = output.entryList(QDir::Files);
        QCOMPARE(bankFiles,
                 (QStringList{"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT", "QELMEXT2.DAT"}));
        const QByteArray written = readFile(output.filePath("QELMEXE3.DAT"));
        QCOMPARE(run(badLine), 1);
        QCOMPARE(output.entryList(QDir::Files), bankFiles);
        QCOMPARE(readFile(output.filePath("QELMEXE3.DAT")), written);
    }
};

QTEST_GUILESS_MAIN(tst_MakeBank)
#include "tst_MakeBank.moc"
