// Writing the demo bank: the four files come out in the bank's own record
// encoding, replace a previous output folder whole, and nothing is written
// (and an earlier output survives) when a source line does not fit or the
// folder cannot be written.

#include "DemoBank.h"
#include "ExpositionRecord.h"
#include "TestFiles.h"
#include "TrueFalseBank.h"
#include "TrueFalseRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace testFiles;

namespace {

const QStringList kBankFiles = {QStringLiteral("QELMEXE1.DAT"), QStringLiteral("QELMEXE2.DAT"),
                                QStringLiteral("QELMEXE3.DAT"), QStringLiteral("QELMEXT2.DAT")};

QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDir::Name);
}

QByteArray expositionBytes(ExpositionKind kind, qint16 chapter, const QString &text)
{
    return ExpositionRecord{chapter, text}.toBytes(kind).value();
}

} // namespace

class tst_DemoBank : public QObject
{
    Q_OBJECT

private:
    QString sources() const { return m_dir->filePath(QStringLiteral("fuentes")); }
    QString output() const { return m_dir->filePath(QStringLiteral("salida/generated")); }
    void writeSources(const QByteArray &trueFalse, const QByteArray &conceptual = "1|Concepto.\n",
                      const QByteArray &practical = "2|Caso.\n",
                      const QByteArray &brief = "3|Breve.\n")
    {
        QVERIFY(QDir().mkpath(sources()));
        const QDir dir(sources());
        QVERIFY(writeFile(dir.filePath(QStringLiteral("verdadero_falso.txt")), trueFalse));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("conceptuales.txt")), conceptual));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("practicas.txt")), practical));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("breves.txt")), brief));
    }
    void writePreviousOutput()
    {
        QVERIFY(QDir().mkpath(output()));
        QVERIFY(writeFile(QDir(output()).filePath(QStringLiteral("QELMEXT2.DAT")), "anterior"));
        QVERIFY(writeFile(QDir(output()).filePath(QStringLiteral("VIEJO.DAT")), "viejo"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        // Leave a folder made read-only by a test removable again.
        QFile::setPermissions(m_dir->filePath(QStringLiteral("salida")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_dir.reset();
    }

    void writesEveryQuestionInTheBankEncoding();
    void replacesAPreviousOutputFolderWhole();
    void sourceThatDoesNotFitWritesNothing_data();
    void sourceThatDoesNotFitWritesNothing();
    void unwritableFolderWritesNothing();
    void outputBelowAFileWritesNothing();
};

void tst_DemoBank::writesEveryQuestionInTheBankEncoding()
{
    writeSources(QStringLiteral("# capítulo 1\n1|1|S|¿Sí?\n4|4|N|Modelos de demanda.\n").toUtf8(),
                 "5|Primero.\n5|Segundo.\n", "22|Caso con 9,95 \xE2\x82\xAC.\n", "");
    const DemoBank bank = DemoBank::read(sources());
    QVERIFY(bank.ok());
    QCOMPARE(bank.write(output()), QString());

    QCOMPARE(entries(output()), kBankFiles);
    QCOMPARE(entries(m_dir->filePath(QStringLiteral("salida"))), QStringList{"generated"});

    const QDir out(output());
    const TrueFalseRecord first{1, 1, QStringLiteral("¿Sí?"), 1};
    const TrueFalseRecord second{4, 4, QStringLiteral("Modelos de demanda."), 0};
    QCOMPARE(readFile(out.filePath(QStringLiteral("QELMEXT2.DAT"))),
             first.toBytes().value() + second.toBytes().value());
    QCOMPARE(readFile(out.filePath(QStringLiteral("QELMEXE1.DAT"))),
             expositionBytes(ExpositionKind::Conceptual, 5, QStringLiteral("Primero.")) +
                 expositionBytes(ExpositionKind::Conceptual, 5, QStringLiteral("Segundo.")));
    QCOMPARE(readFile(out.filePath(QStringLiteral("QELMEXE2.DAT"))),
             expositionBytes(ExpositionKind::Practical, 22, QStringLiteral("Caso con 9,95 €.")));
    QCOMPARE(readFile(out.filePath(QStringLiteral("QELMEXE3.DAT"))), QByteArray());
    // The euro sign is the single byte 0x80 of the code page.
    QVERIFY(readFile(out.filePath(QStringLiteral("QELMEXE2.DAT"))).contains("9,95 \x80."));
}

void tst_DemoBank::replacesAPreviousOutputFolderWhole()
{
    writePreviousOutput();
    writeSources("2|9|S|Entorno natural.\n");
    QCOMPARE(DemoBank::read(sources()).write(output()), QString());

    QCOMPARE(entries(output()), kBankFiles);
    QCOMPARE(entries(m_dir->filePath(QStringLiteral("salida"))), QStringList{"generated"});
    TrueFalseBank bank(output());
    QVERIFY(bank.openBank().ok());
    QCOMPARE(bank.recordCount(), 1);
    QCOMPARE(bank.questionsOf(2, 9).value().value(0).text, QStringLiteral("Entorno natural."));
    bank.closeBank();
}

void tst_DemoBank::sourceThatDoesNotFitWritesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("previous");

    QTest::newRow("bad topic, no earlier output")
        << "verdadero_falso.txt" << QByteArray("4|5|S|x\n") << false;
    QTest::newRow("bad topic, earlier output")
        << "verdadero_falso.txt" << QByteArray("4|5|S|x\n") << true;
    QTest::newRow("brief too long") << "breves.txt"
                                    << "1|" + QByteArray(151, 'b') + "\n"
                                    << true;
    QTest::newRow("practical file missing") << "practicas.txt" << QByteArray() << true;
}

void tst_DemoBank::sourceThatDoesNotFitWritesNothing()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(bool, previous);

    writeSources("1|1|S|Buena.\n");
    const QString path = QDir(sources()).filePath(file);
    if (content.isEmpty())
        QVERIFY(QFile::remove(path));
    else
        QVERIFY(writeFile(path, content));
    if (previous)
        writePreviousOutput();

    const DemoBank bank = DemoBank::read(sources());
    QCOMPARE(bank.problems().size(), 1);
    QCOMPARE(bank.problems().first().file, path);
    QVERIFY(!bank.write(output()).isEmpty());

    if (previous) {
        QCOMPARE(entries(output()), (QStringList{"QELMEXT2.DAT", "VIEJO.DAT"}));
        QCOMPARE(readFile(QDir(output()).filePath(QStringLiteral("QELMEXT2.DAT"))),
                 QByteArray("anterior"));
    } else {
        QVERIFY(!QFileInfo::exists(output()));
    }
}

void tst_DemoBank::unwritableFolderWritesNothing()
{
    if (::geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    writeSources("1|1|S|Buena.\n");
    writePreviousOutput();
    const QString parent = m_dir->filePath(QStringLiteral("salida"));
    QVERIFY(QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner));

    QVERIFY(!DemoBank::read(sources()).write(output()).isEmpty());
    QCOMPARE(entries(parent), QStringList{"generated"});
    QCOMPARE(entries(output()), (QStringList{"QELMEXT2.DAT", "VIEJO.DAT"}));
}

void tst_DemoBank::outputBelowAFileWritesNothing()
{
    writeSources("1|1|S|Buena.\n");
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("salida")), "no es una carpeta"));

    QVERIFY(!DemoBank::read(sources()).write(output()).isEmpty());
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("salida"))), QByteArray("no es una carpeta"));
    QCOMPARE(entries(m_dir->path()), (QStringList{"fuentes", "salida"}));
}

QTEST_APPLESS_MAIN(tst_DemoBank)
#include "tst_DemoBank.moc"
