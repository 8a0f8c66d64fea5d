// The check of a bank folder: what it reports for each kind of damage, with
// which exit status, as text and as JSON, without writing anything; entries
// that are not files (a pipe) refused at once.

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
    void eachDamageIsReportedWithItsStatus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("problems");
        const QString tf = QStringLiteral("QELMEXT2.DAT");
        QTest::newRow("clean") << tf << trueFalse(1, 1, "Una.") + trueFalse(1, 1, "Otra.", 0)
                               << QStringList();
        QTest::newRow("torn tail")
            << tf << trueFalse(1, 1, "Una.") + QByteArray(100, 'x')
            << QStringList{
                   "el fichero termina con 100 bytes que no llegan a formar un registro; la "
                   "próxima pregunta añadida los sustituirá"};
        QTest::newRow("chapter out of range")
            << tf << trueFalse(23, 1, "Una.")
            << QStringList{
                   "registro 1: ninguna lista lo muestra: el capítulo 23 está fuera de 1 a 22"};
        QTest::newRow("topic out of range")
            << tf << trueFalse(2, 1, "Una.") + trueFalse(2, 11, "Otra.")
            << QStringList{"registro 2: ninguna lista lo muestra: el tema 11 está fuera de 1 a 10"};
        QTest::newRow("topic beyond the catalogue")
            << tf << trueFalse(4, 6, "Una.")
            << QStringList{
                   "registro 1: ninguna lista lo muestra: el tema 6 no está en el catálogo del "
                   "capítulo 4"};
        QByteArray crowded;
        for (int i = 1; i <= 51; ++i)
            crowded += trueFalse(3, 2, "P" + QByteArray::number(i));
        QTest::newRow("51st of a topic")
            << tf << crowded
            << QStringList{
                   "registro 51: ninguna lista lo muestra: el tema 2 del capítulo 3 ya tenía "
                   "50 preguntas"};
        QTest::newRow("answer 2")
            << tf << trueFalse(1, 1, "Una.", 2)
            << QStringList{
                   "registro 1: la respuesta es 2 y solo valen 0 (No) y 1 (Sí); el programa la "
                   "muestra como No"};
        QTest::newRow("empty text") << tf << trueFalse(1, 1, "Una.") + trueFalse(1, 1, "")
                                    << QStringList{"registro 2: el texto está vacío"};
        QTest::newRow("tab in a text")
            << tf << trueFalse(1, 1, "Una\tdos.")
            << QStringList{"registro 1: el texto contiene caracteres de control (saltos de línea, "
                           "tabuladores u otros que no se ven)"};
        QTest::newRow("zeroed record")
            << tf << QByteArray(256, '\0')
            << QStringList{
                   "registro 1: ninguna lista lo muestra: el capítulo 0 está fuera de 1 a 22",
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
            << QStringList{
                   "registro 201: ninguna lista lo muestra: el capítulo 5 ya tenía el máximo "
                   "de preguntas de este tipo"};
        QTest::newRow("conceptual repeated in a chapter")
            << QStringLiteral("QELMEXE1.DAT")
            << conceptual(7, "Defina.") + conceptual(8, "Defina.") + conceptual(7, "Defina.") +
                   QByteArray(3, ' ')
            << QStringList{"el fichero termina con 3 bytes que no llegan a formar un registro; la "
                           "próxima pregunta añadida los sustituirá",
                           "registros 1 y 3: el mismo texto en el capítulo 7: «Defina.»"};
    }
    void eachDamageIsReportedWithItsStatus()
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
        QCOMPARE(check.exitStatus(),
                 problems.isEmpty() ? BankCheck::Clean : BankCheck::ProblemsFound);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{file});
        QCOMPARE(readFile(dir.filePath(file)), content);
    }

    void textReportSumsUpEveryFile()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("QELMEXT2.DAT"),
                          trueFalse(1, 1, "Una.") + trueFalse(0, 1, "X")));
        QVERIFY(writeFile(dir.filePath("QELMEXE2.DAT"), QByteArray()));
        QVERIFY(writeFile(dir.filePath("Qelmexe2.dat"), conceptual(3, "Nueva.") + brief(3, "x")));
        QVERIFY(
            setModified(dir.filePath("QELMEXE2.DAT"), QDateTime::currentDateTime().addDays(-1)));
        const BankCheck check = BankCheck::run(dir.path());
        QCOMPARE(check.exitStatus(), BankCheck::ProblemsFound);
        QCOMPARE(
            check.toText(),
            "Banco de preguntas en " + QDir(dir.path()).absolutePath() +
                "\n\nQELMEXT2.DAT: 2 registros (512 bytes)\n  - registro 2: ninguna lista lo "
                "muestra: el capítulo 0 está fuera de 1 a 22\nQELMEXE1.DAT: no existe; el "
                "programa lo creará vacío\nQELMEXE2.DAT (en disco, Qelmexe2.dat): 0 registros "
                "(654 bytes)\n  - hay 2 ficheros con este nombre escrito con distintas "
                "mayúsculas (QELMEXE2.DAT, Qelmexe2.dat); el programa usa Qelmexe2.dat y no ve "
                "los demás\n  - el fichero termina con 654 bytes que no llegan a formar un "
                "registro; la próxima pregunta añadida los sustituirá\nQELMEXE3.DAT: no "
                "existe; el programa lo creará vacío\n\nResultado: 3 problemas.\n");
    }

    void jsonReportCarriesTheSameFindings()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("QELMEXT2.DAT"), trueFalse(2, 3, "Doble.") +
                                                            trueFalse(2, 3, "Doble.") +
                                                            trueFalse(2, 3, "x", 5)));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("qelmexe3.dat")).constData(), 0600), 0);
        const QJsonObject root =
            QJsonDocument::fromJson(BankCheck::run(dir.path()).toJson()).object();
        QCOMPARE(root.value("estado").toInt(), 2);
        QCOMPARE(root.value("totalDeProblemas").toInt(), 2);
        const QJsonArray files = root.value("ficheros").toArray();
        QCOMPARE(QJsonDocument(files.at(0).toObject()).toJson(QJsonDocument::Compact),
                 "{\"bytes\":768,\"enDisco\":\"QELMEXT2.DAT\",\"existe\":true,\"fichero\":"
                 "\"QELMEXT2.DAT\","
                 "\"problemas\":[{\"clase\":\"respuestaNoValida\",\"descripcion\":\"registro 3: la "
                 "respuesta es 5 y solo valen 0 (No) y 1 (Sí); el programa la muestra como No\","
                 "\"registros\":[3],\"respuesta\":5},{\"capitulo\":2,\"clase\":\"textoRepetido\","
                 "\"descripcion\":\"registros 1 y 2: el mismo texto en el capítulo 2, tema 3: "
                 "«Doble.»\",\"registros\":[1,2],\"tema\":3,\"texto\":\"Doble.\"}],\"registros\":3,"
                 "\"tipo\":\"test\"}");
        QCOMPARE(
            QJsonDocument(files.at(3).toObject()).toJson(QJsonDocument::Compact),
            "{\"enDisco\":\"qelmexe3.dat\",\"error\":\"qelmexe3.dat no es un fichero normal\","
            "\"existe\":true,\"fichero\":\"QELMEXE3.DAT\",\"problemas\":[],\"tipo\":\"breve\"}");
    }
};

QTEST_GUILESS_MAIN(tst_BankCheck)
#include "tst_BankCheck.moc"
