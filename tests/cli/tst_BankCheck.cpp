// The check of a bank folder on damaged files: what it reports for each kind
// of damage, with which exit status, as text and as JSON; and the files it
// cannot read (a folder, a pipe) refused at once.

#include "BankBytes.h"
#include "BankCheck.h"
#include "TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace bankBytes;
using namespace testFiles;

class tst_BankCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachDamageIsReportedWithItsStatus_data();
    void eachDamageIsReportedWithItsStatus();
    void caseVariantsOfANameAreReported();
    void textReportSumsUpEveryFile();
    void jsonReportCarriesTheSameFindings();
    void entriesThatAreNotFilesCannotBeRead();
};

void tst_BankCheck::eachDamageIsReportedWithItsStatus_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("problems");

    const QString tf = QStringLiteral("QELMEXT2.DAT");
    QTest::newRow("clean") << tf << trueFalse(1, 1, "Una.") + trueFalse(1, 1, "Otra.", 0)
                           << QStringList();
    QTest::newRow("torn tail")
        << tf << trueFalse(1, 1, "Una.") + QByteArray(100, 'x')
        << QStringList{"el fichero termina con 100 bytes que no llegan a formar un registro; la "
                       "próxima pregunta añadida los sustituirá"};
    QTest::newRow("chapter out of range")
        << tf << trueFalse(23, 1, "Una.")
        << QStringList{"registro 1: ninguna lista lo muestra: el capítulo 23 está fuera de 1 a 22"};
    QTest::newRow("topic out of range")
        << tf << trueFalse(2, 1, "Una.") + trueFalse(2, 11, "Otra.")
        << QStringList{"registro 2: ninguna lista lo muestra: el tema 11 está fuera de 1 a 10"};
    QTest::newRow("topic beyond the catalogue")
        << tf << trueFalse(4, 6, "Una.")
        << QStringList{"registro 1: ninguna lista lo muestra: el tema 6 no está en el catálogo del "
                       "capítulo 4"};
    QByteArray crowded;
    for (int i = 1; i <= 51; ++i)
        crowded += trueFalse(3, 2, "P" + QByteArray::number(i));
    QTest::newRow("51st of a topic")
        << tf << crowded
        << QStringList{"registro 51: ninguna lista lo muestra: el tema 2 del capítulo 3 ya tenía "
                       "50 preguntas"};
    QTest::newRow("answer 2")
        << tf << trueFalse(1, 1, "Una.", 2)
        << QStringList{"registro 1: la respuesta es 2 y solo valen 0 (No) y 1 (Sí); el programa la "
                       "muestra como No"};
    QTest::newRow("empty text") << tf << trueFalse(1, 1, "Una.") + trueFalse(1, 1, "")
                                << QStringList{"registro 2: el texto está vacío"};
    QTest::newRow("tab in a text")
        << tf << trueFalse(1, 1, "Una\tdos.")
        << QStringList{"registro 1: el texto contiene caracteres de control (saltos de línea, "
                       "tabuladores u otros que no se ven)"};
    QTest::newRow("zeroed record")
        << tf << QByteArray(256, '\0')
        << QStringList{"registro 1: ninguna lista lo muestra: el capítulo 0 está fuera de 1 a 22",
                       "registro 1: el texto contiene caracteres de control (saltos de línea, "
                       "tabuladores u otros que no se ven)"};
    QTest::newRow("repeated within a topic only")
        << tf
        << trueFalse(1, 1, "Igual.") + trueFalse(1, 2, "Igual.") + trueFalse(1, 1, "  Igual.") +
               trueFalse(1, 1, "Igual.", 0)
        << QStringList{"registros 1, 3 y 4: el mismo texto en el capítulo 1, tema 1: «Igual.»"};
    QByteArray fullChapter;
    for (int i = 1; i <= 201; ++i)
        fullChapter += brief(5, "B" + QByteArray::number(i));
    QTest::newRow("201st brief question of a chapter")
        << QStringLiteral("QELMEXE3.DAT") << fullChapter
        << QStringList{"registro 201: ninguna lista lo muestra: el capítulo 5 ya tenía el máximo "
                       "de preguntas de este tipo"};
    QTest::newRow("conceptual repeated in a chapter")
        << QStringLiteral("QELMEXE1.DAT")
        << conceptual(7, "Defina.") + conceptual(8, "Defina.") + conceptual(7, "Defina.") +
               QByteArray(3, ' ')
        << QStringList{"el fichero termina con 3 bytes que no llegan a formar un registro; la "
                       "próxima pregunta añadida los sustituirá",
                       "registros 1 y 3: el mismo texto en el capítulo 7: «Defina.»"};
}

void tst_BankCheck::eachDamageIsReportedWithItsStatus()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, problems);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(file), content));
    const BankCheck check = BankCheck::run(dir.path());
    QStringList reported;
    for (const BankFileCheck &checked : check.files()) {
        for (const BankProblem &problem : checked.problems)
            reported.append(problem.message);
    }
    QCOMPARE(reported, problems);
    QCOMPARE(check.exitStatus(), problems.isEmpty() ? BankCheck::Clean : BankCheck::ProblemsFound);
    // Checking writes nothing and creates no missing file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{file});
    QCOMPARE(readFile(dir.filePath(file)), content);
}

void tst_BankCheck::caseVariantsOfANameAreReported()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("QELMEXE2.DAT"), QByteArray()));
    QVERIFY(writeFile(dir.filePath("Qelmexe2.dat"), QByteArray(1002, ' ')));
    QVERIFY(setModified(dir.filePath("QELMEXE2.DAT"), QDateTime::currentDateTime().addDays(-1)));
    const BankFileCheck check = BankCheck::run(dir.path()).files().at(2);
    QCOMPARE(check.summary(), QStringLiteral("QELMEXE2.DAT (en disco, Qelmexe2.dat): 1 registros "
                                             "(1002 bytes)"));
    QCOMPARE(check.problems.size(), 3); // the variants, then chapter 0x2020 and a blank text
    QCOMPARE(check.problems.first().message,
             QStringLiteral("hay 2 ficheros con este nombre escrito con distintas mayúsculas "
                            "(QELMEXE2.DAT, Qelmexe2.dat); el programa usa Qelmexe2.dat y no ve "
                            "los demás"));
}

void tst_BankCheck::textReportSumsUpEveryFile()
{
    QTemporaryDir dir;
    QVERIFY(
        writeFile(dir.filePath("QELMEXT2.DAT"), trueFalse(1, 1, "Una.") + trueFalse(0, 1, "X")));
    QVERIFY(writeFile(dir.filePath("qelmexe3.dat"), brief(2, "Breve.")));
    const BankCheck check = BankCheck::run(dir.path());
    QCOMPARE(check.toText(),
             QStringLiteral("Banco de preguntas en %1\n"
                            "\n"
                            "QELMEXT2.DAT: 2 registros (512 bytes)\n"
                            "  - registro 2: ninguna lista lo muestra: el capítulo 0 está fuera de "
                            "1 a 22\n"
                            "QELMEXE1.DAT: no existe; el programa lo creará vacío\n"
                            "QELMEXE2.DAT: no existe; el programa lo creará vacío\n"
                            "QELMEXE3.DAT (en disco, qelmexe3.dat): 1 registros (152 bytes), sin "
                            "problemas\n"
                            "\n"
                            "Resultado: 1 problemas.\n")
                 .arg(QDir(dir.path()).absolutePath()));
}

void tst_BankCheck::jsonReportCarriesTheSameFindings()
{
    QTemporaryDir dir;
    QVERIFY(
        writeFile(dir.filePath("QELMEXT2.DAT"),
                  trueFalse(2, 3, "Doble.") + trueFalse(2, 3, "Doble.") + trueFalse(2, 3, "x", 5)));
    const BankCheck check = BankCheck::run(dir.path());
    const QJsonObject root = QJsonDocument::fromJson(check.toJson()).object();
    QCOMPARE(root.value("estado").toInt(), 1);
    QCOMPARE(root.value("totalDeProblemas").toInt(), 2);
    const QJsonArray files = root.value("ficheros").toArray();
    QCOMPARE(files.size(), 4);
    const QJsonObject trueFalseFile = files.at(0).toObject();
    QCOMPARE(trueFalseFile.value("registros").toInt(), 3);
    QCOMPARE(files.at(1).toObject().value("existe").toBool(), false);
    const QJsonArray problems = trueFalseFile.value("problemas").toArray();
    QCOMPARE(problems.size(), 2);
    const QJsonObject answer = problems.at(0).toObject();
    QCOMPARE(answer.value("clase").toString(), QStringLiteral("respuestaNoValida"));
    QCOMPARE(answer.value("respuesta").toInt(), 5);
    QCOMPARE(answer.value("registros").toArray(), QJsonArray{3});
    const QJsonObject repeated = problems.at(1).toObject();
    QCOMPARE(repeated.value("clase").toString(), QStringLiteral("textoRepetido"));
    QCOMPARE(repeated.value("registros").toArray(), (QJsonArray{1, 2}));
    QCOMPARE(repeated.value("tema").toInt(), 3);
    QCOMPARE(repeated.value("texto").toString(), QStringLiteral("Doble."));
    QCOMPARE(repeated.value("descripcion").toString(), check.files().at(0).problems.at(1).message);
}

void tst_BankCheck::entriesThatAreNotFilesCannotBeRead()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("QELMEXE1.DAT"));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("QELMEXE3.DAT")).constData(), 0600), 0);
    QVERIFY(writeFile(dir.filePath("QELMEXT2.DAT"), trueFalse(1, 1, "Una.")));
    const BankCheck check = BankCheck::run(dir.path());
    QCOMPARE(check.exitStatus(), BankCheck::CannotRead);
    QCOMPARE(
        check.files().at(1).summary(),
        QStringLiteral("QELMEXE1.DAT: no se puede leer: QELMEXE1.DAT no es un fichero normal"));
    QCOMPARE(
        check.files().at(3).summary(),
        QStringLiteral("QELMEXE3.DAT: no se puede leer: QELMEXE3.DAT no es un fichero normal"));

    const BankCheck missing = BankCheck::run(dir.filePath("no-existe"));
    QCOMPARE(missing.exitStatus(), BankCheck::CannotRead);
    QVERIFY(missing.files().isEmpty());
}

QTEST_GUILESS_MAIN(tst_BankCheck)
#include "tst_BankCheck.moc"
