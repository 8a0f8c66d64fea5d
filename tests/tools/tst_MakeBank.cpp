// The makebank executable: a good run replaces the output folder with the four
// bank files; a bad source line is named, fails the run and writes nothing.

#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testFiles;

namespace {
const char *const kSources[] = {"verdadero_falso.txt", "conceptuales.txt", "practicas.txt",
                                "breves.txt"};
const QByteArray kGood = "1|1|S|Bien.\n"; // fits every kind of source file
const QByteArray kBad = "# c\n0|0|S|x\n";
} // namespace

class tst_MakeBank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badLineWritesNothingAndKeepsThePreviousOutput_data();
    void badLineWritesNothingAndKeepsThePreviousOutput();
};

void tst_MakeBank::badLineWritesNothingAndKeepsThePreviousOutput_data()
{
    QTest::addColumn<QString>("bad"); // the source file given a bad line
    for (const char *file : kSources)
        QTest::newRow(file) << QString::fromLatin1(file);
}

void tst_MakeBank::badLineWritesNothingAndKeepsThePreviousOutput()
{
    QFETCH(QString, bad);
    const QTemporaryDir dir;
    const QDir sources(dir.filePath("fuentes")), output(dir.filePath("generated"));
    QString errors;
    const auto run = [&] {
        QProcess process;
        process.start(QStringLiteral(ORVALIS_MAKEBANK_PATH), {sources.path(), output.path()});
        const bool ended =
            process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        errors = QString::fromUtf8(process.readAllStandardError());
        return ended ? process.exitCode() : -1;
    };
    const auto entries = [&] { return output.entryList(QDir::AllEntries | QDir::NoDotAndDotDot); };
    QVERIFY(sources.mkpath("."));
    for (const char *file : kSources)
        QVERIFY(writeFile(sources.filePath(file), kGood));
    QVERIFY(writeFile(sources.filePath(bad), kBad));
    QCOMPARE(run(), 1);
    QVERIFY2(errors.contains(sources.filePath(bad) + ":2: el capítulo"), qPrintable(errors));
    QVERIFY(!output.exists());

    // A good run replaces whatever the output folder held; a bad one leaves it.
    QVERIFY(output.mkpath(".") && writeFile(output.filePath("VIEJO.DAT"), "viejo"));
    QVERIFY(writeFile(sources.filePath(bad), kGood));
    QCOMPARE(run(), 0);
    const QStringList bankFiles = {"QELMEXE1.DAT", "QELMEXE2.DAT", "QELMEXE3.DAT", "QELMEXT2.DAT"};
    QCOMPARE(entries(), bankFiles);
    const QByteArray written = readFile(output.filePath("QELMEXE3.DAT"));
    QVERIFY(writeFile(sources.filePath(bad), kBad));
    QCOMPARE(run(), 1);
    QCOMPARE(entries(), bankFiles);
    QCOMPARE(readFile(output.filePath("QELMEXE3.DAT")), written);
}

QTEST_GUILESS_MAIN(tst_MakeBank)
#include "tst_MakeBank.moc"
