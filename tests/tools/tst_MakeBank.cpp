// The makebank executable: a good run replaces the output folder with the four
// bank files; a bad source line is named, fails the run and writes nothing.

#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testFiles;

static const QStringList kSources = {"verdadero_falso.txt", "conceptuales.txt", "practicas.txt",
                                     "breves.txt"};

class tst_MakeBank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badLineWritesNothingAndKeepsThePreviousOutput_data()
    {
        QTest::addColumn<QString>("bad"); // the source file given a bad line
        for (const QString &file : kSources)
            QTest::newRow(qPrintable(file)) << file;
    }
    void badLineWritesNothingAndKeepsThePreviousOutput()
    {
        QFETCH(QString, bad);
        const QTemporaryDir dir;
        const QDir sources(dir.filePath("fuentes")), output(dir.filePath("generated"));
        QString errors;
        const auto run = [&](const QByteArray &line) {
            QProcess process;
            if (!writeFile(sources.filePath(bad), "# c\n" + line))
                return -2;
            process.start(ORVALIS_MAKEBANK_PATH, {sources.path(), output.path()});
            const bool ended =
                process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
            errors = QString::fromUtf8(process.readAllStandardError());
            return ended ? process.exitCode() : -1;
        };
        const auto entries = [&] {
            return output.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        };
        QVERIFY(sources.mkpath("."));
        const QByteArray badLine = "0|0|S|x\n", goodLine = "1|1|S|Bien.\n"; // fits every kind
        for (const QString &file : kSources)
            QVERIFY(writeFile(sources.filePath(file), goodLine));
        QCOMPARE(run(badLine), 1);
        QVERIFY2(errors.contains(sources.filePath(bad) + ":2: el capítulo"), qPrintable(errors));
        QVERIFY(!output.exists());
        // A good run replaces whatever the output folder held; a bad one leaves it.
        QVERIFY(output.mkpath(".") && writeFile(output.filePath("VIEJO.DAT"), "viejo"));
        QCOMPARE(run(goodLine), 0);
        const QStringList bankFiles = {"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT",
                                       "QELMEXT2.DAT"};
        QCOMPARE(entries(), bankFiles);
        const QByteArray written = readFile(output.filePath("QELMEXE3.DAT"));
        QCOMPARE(run(badLine), 1);
        QCOMPARE(entries(), bankFiles);
        QCOMPARE(readFile(output.filePath("QELMEXE3.DAT")), written);
    }
};

QTEST_GUILESS_MAIN(tst_MakeBank)
#include "tst_MakeBank.moc"
