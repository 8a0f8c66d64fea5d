// The makebank executable as the build runs it: exit status, the messages it
// prints naming file and line, and the output folder it leaves behind.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runMakebank(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ORVALIS_MAKEBANK_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class tst_MakeBank : public QObject
{
    Q_OBJECT

private:
    QString sources() const { return m_dir->filePath(QStringLiteral("fuentes")); }
    QString output() const { return m_dir->filePath(QStringLiteral("generated")); }
    void writeGoodSources()
    {
        QVERIFY(QDir().mkpath(sources()));
        const QDir dir(sources());
        QVERIFY(writeFile(dir.filePath(QStringLiteral("verdadero_falso.txt")),
                          "# tema 1\n1|1|S|Una.\n1|1|N|Dos.\n"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("conceptuales.txt")), "1|Concepto.\n"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("practicas.txt")), "1|Caso.\n"));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("breves.txt")), "1|Breve.\n2|Otra.\n"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    void goodSourcesGiveTheFourFiles();
    void badLineIsNamedAndNothingIsWritten_data();
    void badLineIsNamedAndNothingIsWritten();
    void wrongArgumentsAreRefused();
};

void tst_MakeBank::goodSourcesGiveTheFourFiles()
{
    writeGoodSources();
    const Run run = runMakebank({sources(), output()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QVERIFY2(
        run.out.contains(QStringLiteral("2 true/false, 1 conceptual, 1 practical and 2 brief")),
        qPrintable(run.out));
    const QDir out(output());
    QCOMPARE(QFileInfo(out.filePath(QStringLiteral("QELMEXT2.DAT"))).size(), 2 * 256);
    QCOMPARE(QFileInfo(out.filePath(QStringLiteral("QELMEXE1.DAT"))).size(), 502);
    QCOMPARE(QFileInfo(out.filePath(QStringLiteral("QELMEXE2.DAT"))).size(), 1002);
    QCOMPARE(QFileInfo(out.filePath(QStringLiteral("QELMEXE3.DAT"))).size(), 2 * 152);
}

void tst_MakeBank::badLineIsNamedAndNothingIsWritten_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");

    QTest::newRow("true/false, topic past the chapter's")
        << "verdadero_falso.txt" << QByteArray("1|1|S|Una.\n# c\n21|5|S|Dos.\n") << 3;
    QTest::newRow("true/false, bad answer")
        << "verdadero_falso.txt" << QByteArray("1|1|V|Una.\n") << 1;
    QTest::newRow("conceptual, chapter 0")
        << "conceptuales.txt" << QByteArray("\n\n0|Texto.\n") << 3;
    QTest::newRow("practical, outside Windows-1252")
        << "practicas.txt" << QString("1|Caso.\n2|Vale ≈ 3 euros.\n").toUtf8() << 2;
    QTest::newRow("brief, too long") << "breves.txt"
                                     << "1|Bien.\n1|" + QByteArray(151, 'x') << 2;
}

void tst_MakeBank::badLineIsNamedAndNothingIsWritten()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, line);

    writeGoodSources();
    const QString path = QDir(sources()).filePath(file);
    QVERIFY(writeFile(path, content));

    const Run run = runMakebank({sources(), output()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(
        run.err.contains(path + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ")),
        qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("no bank file written")), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"fuentes"});
}

void tst_MakeBank::wrongArgumentsAreRefused()
{
    const Run run = runMakebank({m_dir->path()});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QStringLiteral("usage: makebank")));
}

QTEST_APPLESS_MAIN(tst_MakeBank)
#include "tst_MakeBank.moc"
