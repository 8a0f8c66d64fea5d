// orvalis-banco's command line, run in the test with its output caught, and
// the built program run as a process for its exit statuses: mistakes on the
// command line, an import refused whole with the bank left byte for byte as it
// was, what an import and a failed import say, and an export file replaced
// only by a complete one.

#include "BancoCommand.h"
#include "BankBytes.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace bankBytes;
using namespace testFiles;

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run run(const QStringList &arguments)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Run result;
    result.status = BancoCommand(out, err).run(arguments);
    result.out = QString::fromUtf8(out.data());
    result.err = QString::fromUtf8(err.data());
    return result;
}

} // namespace

class tst_BancoCommand : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void mistakesOnTheCommandLineExitWith2_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message"); // after "orvalis-banco: "
        QTest::newRow("no order") << QStringList() << "falta la orden";
        QTest::newRow("unknown order") << QStringList{"borrar"} << "orden desconocida «borrar»";
        QTest::newRow("unknown option")
            << QStringList{"comprobar", "--todo"} << "opción desconocida «--todo»";
        QTest::newRow("two folders")
            << QStringList{"comprobar", "a", "b"} << "sobra el argumento «b»";
        QTest::newRow("no format") << QStringList{"exportar"} << "falta --formato";
        QTest::newRow("format without value")
            << QStringList{"exportar", "--formato"} << "falta el valor de --formato";
        QTest::newRow("unknown format")
            << QStringList{"exportar", "--formato=pdf"} << "formato desconocido «pdf»";
        QTest::newRow("unknown kind") << QStringList{"exportar", "--formato", "gift", "--tipo", "x"}
                                      << "tipo desconocido «x»";
        QTest::newRow("text without a kind") << QStringList{"exportar", "--formato", "texto"}
                                             << "el formato texto lleva un solo tipo";
        QTest::newRow("chapter 23") << QStringList{"exportar", "--formato=csv", "--capitulo=23"}
                                    << "el capítulo debe ser un número del 1 al 22, no «23»";
        QTest::newRow("check folder missing") << QStringList{"comprobar", "no-existe"}
                                              << "no se puede comprobar el banco: la carpeta";
        QTest::newRow("export folder missing")
            << QStringList{"exportar", "no-existe", "--formato=csv"}
            << "la carpeta no-existe no existe";
        QTest::newRow("nothing to import")
            << QStringList{"importar", "--simular"} << "falta el fichero de preguntas";
        QTest::newRow("kind not told by the name")
            << QStringList{"importar", "nuevas.txt"} << "no se sabe qué tipo de preguntas tiene";
        QTest::newRow("a name after --")
            << QStringList{"importar", "--tipo=breve", "--", "--x"} << "--x no existe";
        QTest::newRow("file to import missing")
            << QStringList{"importar", "breves.txt", "."} << "breves.txt no existe";
    }
    void mistakesOnTheCommandLineExitWith2()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run result = run(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.startsWith("orvalis-banco: " + message), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
    }

    void helpIsShownEvenAfterAnOrder()
    {
        const Run result = run({"importar", "-h"});
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.startsWith("Uso: orvalis-banco ORDEN [ARGUMENTOS]\n"));
        QVERIFY(result.out.contains("importar FICHERO [CARPETA] [--tipo TIPO] [--simular]"));
    }

    void anImportWithOneBadLineWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("bank"); // empty: no bank file at all
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("problem");
        const QByteArray held = trueFalse(1, 1, "Vieja.") + trueFalse(2, 1, "Otra.");
        QTest::newRow("chapter") << held << QByteArray("0|1|S|x") << "el capítulo «0» no es un";
        QTest::newRow("topic") << held << QByteArray("4|5|S|x") << "el tema «5» no existe";
        QTest::newRow("answer") << held << QByteArray("1|1|Sí|x") << "la respuesta «Sí» no es S";
        QTest::newRow("length") << held << "1|1|S|" + QByteArray(251, 'a')
                                << "el texto tiene 251 caracteres";
        QTest::newRow("not Windows-1252")
            << held << QByteArray("1|1|S|\xe2\x89\xa4") << "el texto contiene caracteres";
        QTest::newRow("held already") << held << QByteArray("2|1|N|Otra.")
                                      << "la misma pregunta ya está en el banco (registro 2)";
        QTest::newRow("no bank file yet")
            << QByteArray() << QByteArray("1|1|X|x") << "la respuesta «X» no es S";
    }
    void anImportWithOneBadLineWritesNothing()
    {
        QFETCH(QByteArray, bank);
        QFETCH(QByteArray, line);
        QFETCH(QString, problem);
        if (!bank.isEmpty())
            QVERIFY(writeFile(path("QELMEXT2.DAT"), bank));
        const QString source = path("verdadero_falso.txt");
        QVERIFY(writeFile(source, "1|1|S|Buena.\n" + line + "\n3|1|N|Otra buena.\n"));

        const Run result = run({"importar", source, m_dir->path()});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith(source + ":2: " + problem), qPrintable(result.err));
        QVERIFY(result.err.endsWith(QStringLiteral("No se ha añadido ninguna pregunta: 1 líneas de "
                                                   "%1 no son válidas.\n")
                                        .arg(source)));
        if (bank.isEmpty())
            QVERIFY(!QFile::exists(path("QELMEXT2.DAT")));
        else
            QCOMPARE(readFile(path("QELMEXT2.DAT")), bank);
    }

    void anImportSaysWhatItAddedOrWouldAdd()
    {
        QVERIFY(writeFile(path("qelmexe1.dat"), conceptual(3, "Vieja.") + "tail"));
        QVERIFY(writeFile(path("nuevas.txt"), "# dos\n3|Nueva.\n4|¿Otra?\n"));
        const QStringList import{"importar", path("nuevas.txt"), m_dir->path(), "--tipo",
                                 "conceptual"};

        const Run simulated = run(import + QStringList{"--simular"});
        QCOMPARE(simulated.status, 0);
        QCOMPARE(simulated.out, QStringLiteral("Todas las líneas son válidas: se añadirían 2 "
                                               "preguntas a qelmexe1.dat (registros 2 a 3). No se "
                                               "ha escrito nada.\n"));
        QCOMPARE(simulated.err, QStringLiteral("aviso: qelmexe1.dat termina con 4 bytes que no "
                                               "llegan a formar un registro; la primera pregunta "
                                               "nueva los sustituiría.\n"));
        QCOMPARE(readFile(path("qelmexe1.dat")), conceptual(3, "Vieja.") + "tail");

        const Run imported = run(import);
        QCOMPARE(imported.status, 0);
        QCOMPARE(imported.out,
                 QStringLiteral("Se han añadido 2 preguntas a qelmexe1.dat (registros "
                                "2 a 3).\n"));
        QCOMPARE(readFile(path("qelmexe1.dat")),
                 conceptual(3, "Vieja.") + conceptual(3, "Nueva.") + conceptual(4, "\xbfOtra?"));
    }

    void aFailedImportSaysWhichLinesWentIn()
    {
        QVERIFY(writeFile(path("QELMEXE3.DAT"), brief(1, "Vieja.")));
        QVERIFY(writeFile(path("breves.txt"), "# cuatro\n1|A.\n1|B.\n\n1|C.\n1|D.\n"));
        std::optional<FileSizeLimit> limit;
        QVERIFY(limit.emplace(3 * 152).isActive());
        const Run result = run({"importar", path("breves.txt"), m_dir->path()});
        limit.reset();
        QCOMPARE(result.status, 2);
        const QStringList lines = result.err.split('\n');
        QCOMPARE(lines.value(0),
                 QStringLiteral(
                     "orvalis-banco: la pregunta de %1:5 no se ha podido añadir: No se ha podido "
                     "actualizar la base de datos: el fichero ha alcanzado el tamaño máximo "
                     "permitido (al escribir en el fichero QELMEXE3.DAT)")
                     .arg(path("breves.txt")));
        QCOMPARE(lines.value(1),
                 QStringLiteral("Se han añadido 2 de 4 preguntas, las de las líneas "
                                "2 a 3 (registros 2 a 3); las de las líneas 5 a 6 "
                                "no se han añadido."));
        QCOMPARE(readFile(path("QELMEXE3.DAT")).size(), 3 * 152);
    }

    void anExportFileIsReplacedOnlyByACompleteOne()
    {
        const QString output = path("salida.csv");
        QVERIFY(writeFile(output, "anterior"));
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "Una, dos.")));
        QVERIFY(QDir(m_dir->path()).mkdir("QELMEXE1.DAT")); // cannot be read

        const Run failed = run({"exportar", m_dir->path(), "--formato", "csv", "--salida", output});
        QCOMPARE(failed.status, 2);
        QCOMPARE(failed.err,
                 QStringLiteral("orvalis-banco: no se puede exportar: QELMEXE1.DAT no es "
                                "un fichero normal.\n"));
        QCOMPARE(readFile(output), QByteArray("anterior"));

        const Run written =
            run({"exportar", m_dir->path(), "--formato=csv", "--tipo=test", "--salida=" + output});
        QCOMPARE(written.status, 0);
        QCOMPARE(written.out, "Se han exportado 1 preguntas a " + output + ".\n");
        QVERIFY(readFile(output).endsWith(",1,Sí,\"Una, dos.\"\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList({"QELMEXT2.DAT", "salida.csv"}));

        const Run unwritable = run({"exportar", m_dir->path(), "--formato=gift", "--tipo=test",
                                    "--salida=" + path("no-existe/x.gift")});
        QCOMPARE(unwritable.status, 2);
        QVERIFY(unwritable.err.endsWith("; no se ha exportado nada.\n"));
    }

    // A disk that fills up under the export: the reason is the failed
    // write's own, also after a write that went through in part.
    void anExportThatRunsOutOfRoomSaysWhy_data()
    {
        QTest::addColumn<int>("limit"); // bytes a file may reach
        QTest::newRow("no room for any byte") << 0;
        QTest::newRow("room for part of it") << 20;
    }
    void anExportThatRunsOutOfRoomSaysWhy()
    {
        QFETCH(int, limit);
        const QString output = path("salida.csv");
        QVERIFY(writeFile(output, "anterior"));
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "Una, dos.")));
        std::optional<FileSizeLimit> full;
        QVERIFY(full.emplace(rlim_t(limit)).isActive());
        const Run failed =
            run({"exportar", m_dir->path(), "--formato=csv", "--tipo=test", "--salida=" + output});
        full.reset();
        QCOMPARE(failed.status, 2);
        QCOMPARE(failed.err, QStringLiteral("orvalis-banco: no se puede escribir %1: el fichero ha "
                                            "alcanzado el tamaño máximo permitido; no se ha "
                                            "exportado nada.\n")
                                 .arg(output));
        QCOMPARE(readFile(output), QByteArray("anterior"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList({"QELMEXT2.DAT", "salida.csv"}));
    }

    void recordsLeftOutOfAnExportAreNamed()
    {
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "Una.") + trueFalse(1, 1, "")));
        const Run result = run({"exportar", m_dir->path(), "--formato=moodle-xml"});
        QCOMPARE(result.status, 1);
        QCOMPARE(result.err, QStringLiteral("aviso: no se exporta QELMEXT2.DAT, registro 2: el "
                                            "texto está vacío.\n1 registros no se han exportado; "
                                            "«orvalis-banco comprobar» explica qué les pasa.\n"));
        QCOMPARE(result.out.count("<question type=\"truefalse\">"), 1);
    }

    void theProgramExitsWithTheStatusOfItsOrder_data()
    {
        QTest::addColumn<QByteArray>("bank");
        QTest::addColumn<QStringList>("arguments"); // the folder comes first
        QTest::addColumn<int>("status");
        const QByteArray good = trueFalse(1, 1, "Una.");
        QTest::newRow("clean bank") << good << QStringList{"comprobar"} << 0;
        QTest::newRow("damaged bank") << good + "x" << QStringList{"comprobar", "--json"} << 1;
        QTest::newRow("bad command line") << good << QStringList{"exportar"} << 2;
    }
    void theProgramExitsWithTheStatusOfItsOrder()
    {
        QFETCH(QByteArray, bank);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QVERIFY(writeFile(path("QELMEXT2.DAT"), bank));
        QProcess process;
        process.start(ORVALIS_BANCO_PATH,
                      arguments.mid(0, 1) + QStringList{m_dir->path()} + arguments.mid(1));
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QCOMPARE(process.readAllStandardOutput().isEmpty(), status == 2);
    }
};

QTEST_GUILESS_MAIN(tst_BancoCommand)
#include "tst_BancoCommand.moc"
