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
    void theReportNamesEveryDamageAndWritesNothing()
    {
        QTemporaryDir dir;
        QByteArray tf = trueFalse(1, 1, "Igual.") + trueFalse(23, 1, "A") + trueFalse(2, 11, "B") +
                        trueFalse(4, 6, "C") + trueFalse(1, 1, "D", 2) + trueFalse(1, 1, "") +
                        trueFalse(1, 2, "Igual.") + trueFalse(1, 1, "  Igual.", 0) +
                        QByteArray(256, '\0');
        for (int i = 1; i <= 51; ++i)
            tf += trueFalse(3, 2, "P" + QByteArray::number(i));
        QByteArray briefs = brief(7, "Defina.") + brief(8, "Defina.") + brief(7, "Defina.");
        for (int i = 1; i <= 199; ++i)
            briefs += brief(7, "B" + QByteArray::number(i));
        const QMap<QString, QByteArray> files{{"QELMEXT2.DAT", tf + "tail"},
                                              {"QELMEXE2.DAT", QByteArray()},
                                              {"Qelmexe2.dat", exposition(1002, 3, "Nueva.") + "x"},
                                              {"qelmexe3.dat", briefs}};
        for (const auto &[name, bytes] : files.asKeyValueRange())
            QVERIFY(writeFile(dir.filePath(name), bytes));
        QVERIFY(
            setModified(dir.filePath("QELMEXE2.DAT"), QDateTime::currentDateTime().addDays(-1)));
        const BankCheck check = BankCheck::run(dir.path());
        QCOMPARE(check.exitStatus(), BankCheck::ProblemsFound);
        const QString unlisted = "\n  - registro %1: ninguna lista lo muestra: el ";
        const QString torn =
            "un registro incompleto (%1); la próxima pregunta añadida lo sustituirá";
        QCOMPARE(check.toText(),
                 "Banco de preguntas en " + QDir(dir.path()).absolutePath() +
                     "\n\nQELMEXT2.DAT: 60 registros (15364 bytes)\n  - el fichero termina con " +
                     torn.arg("4 bytes") + unlisted.arg(2) + "capítulo 23 está fuera de 1 a 22" +
                     unlisted.arg(3) + "tema 11 está fuera de 1 a 10" + unlisted.arg(4) +
                     "tema 6 no está en el catálogo del capítulo 4" + unlisted.arg(9) +
                     "capítulo 0 está fuera de 1 a 22" + unlisted.arg(60) +
                     "tema 2 del capítulo 3 ya tenía 50 preguntas\n  - registro 5: la respuesta "
                     "es 2 y solo valen 0 (No) y 1 (Sí); el programa la muestra como No\n  - "
                     "registro 6: el texto está vacío\n  - registro 9: el texto contiene "
                     "caracteres de control (saltos de línea, tabuladores u otros que no se ven)\n"
                     "  - registros 1 y 8: el mismo texto en el capítulo 1, tema 1: «Igual.»\n"
                     "QELMEXE1.DAT: no existe; el programa lo creará vacío\nQELMEXE2.DAT (en "
                     "disco, Qelmexe2.dat): 1 registro (1003 bytes)\n  - hay 2 ficheros con este "
                     "nombre escrito con distintas mayúsculas (QELMEXE2.DAT, Qelmexe2.dat); el "
                     "programa usa Qelmexe2.dat y no ve los demás\n  - el fichero termina con " +
                     torn.arg("1 byte") +
                     "\nQELMEXE3.DAT (en disco, qelmexe3.dat): 202 registros "
                     "(30704 bytes)" +
                     unlisted.arg(202) +
                     "capítulo 7 ya tenía el máximo de "
                     "preguntas de este tipo\n  - registros 1 y 3: el mismo texto en el capítulo "
                     "7: «Defina.»\n\nResultado: 14 problemas.\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), files.size());
        for (const auto &[name, bytes] : files.asKeyValueRange())
            QCOMPARE(readFile(dir.filePath(name)), bytes);
    }

    void jsonReportCarriesTheSameFindings()
    {
        QTemporaryDir dir;
        QCOMPARE(BankCheck::run(dir.path()).exitStatus(), BankCheck::Clean);
        QVERIFY(writeFile(dir.filePath("QELMEXT2.DAT"), trueFalse(2, 3, "x", 5)));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("qelmexe3.dat")).constData(), 0600), 0);
        const QJsonObject root =
            QJsonDocument::fromJson(BankCheck::run(dir.path()).toJson()).object();
        QCOMPARE(root.value("estado").toInt(), 2);
        const QJsonArray files = root.value("ficheros").toArray();
        QCOMPARE(QJsonDocument(files.at(0).toObject()).toJson(QJsonDocument::Compact),
                 "{\"bytes\":256,\"enDisco\":\"QELMEXT2.DAT\",\"existe\":true,\"fichero\":"
                 "\"QELMEXT2.DAT\",\"problemas\":[{\"clase\":\"respuestaNoValida\",\"descripcion\":"
                 "\"registro 1: la respuesta es 5 y solo valen 0 (No) y 1 (Sí); el programa la "
                 "muestra como No\",\"registros\":[1],\"respuesta\":5}],\"registros\":1,\"tipo\":"
                 "\"test\"}");
        QCOMPARE(files.at(3).toObject().value("error").toString(),
                 "qelmexe3.dat no es un fichero de datos");
    }
};

QTEST_GUILESS_MAIN(tst_BankCheck)
#include "tst_BankCheck.moc"
