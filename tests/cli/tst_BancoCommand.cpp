// orvalis-banco's orders run in the test with their output caught: mistakes on
// the command line, the check's report, each export format, an import checked
// whole against the bank and refused whole, the demo bank back byte for byte
// through the text format, an export file replaced only by a complete one and
// never over a file the program keeps or one that is not a regular file, the
// exam history listed, hostile texts escaped, and a failed write to the
// standard output of the built program reported.

#include "BancoCommand.h"
#include "BankBytes.h"
#include "ExamHistory.h"
#include "RecordFile.h"
#include "SheetRecords.h"
#include "SqlFile.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

using namespace bankBytes;
using namespace testFiles;

class tst_BancoCommand : public QObject
{
    Q_OBJECT

    struct Run
    {
        int status = -1;
        QString out, err;
        // "status|out|err", to compare whole.
        QString all() const { return QStringLiteral("%1|%2|%3").arg(status).arg(out, err); }
    };
    static Run run(const QStringList &arguments)
    {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = BancoCommand(out, err).run(arguments);
        return {status, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
    }

    // Moodle XML's types, fractions and CDATA texts, in order, joined by '|'.
    static QString moodleValues(const QString &xml)
    {
        QStringList values;
        static const QRegularExpression value("type=\"(\\w+)\"|fraction=\"(\\d+)\"|<text><!\\["
                                              "CDATA\\[([\\s\\S]*?)\\]\\]></text>");
        for (const QRegularExpressionMatch &match : value.globalMatch(xml))
            values.append(match.captured(match.lastCapturedIndex()));
        return values.join('|');
    }

    std::optional<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void theReportNamesEveryDamageAndWritesNothing()
    {
        QByteArray tf = trueFalse(1, 1, "Igual.") + trueFalse(23, 1, "A") + trueFalse(2, 11, "B") +
                        trueFalse(4, 6, "C") + trueFalse(1, 1, "D", 2) + trueFalse(1, 1, "") +
                        trueFalse(1, 2, "Igual.") + trueFalse(1, 1, "  Igual.", 0) +
                        QByteArray(256, '\0');
        for (int i = 1; i <= 51; ++i)
            tf += trueFalse(3, 2, "P" + QByteArray::number(i));
        QByteArray briefs = brief(7, "Defina.") + brief(8, "Defina.") + brief(7, "Defina.");
        for (int i = 1; i <= 199; ++i)
            briefs += brief(7, "B" + QByteArray::number(i));
        QVERIFY(writeFile(path("QELMEXT2.DAT"), tf + "tail") &&
                writeFile(path("QELMEXE2.DAT"), {}) &&
                writeFile(path("Qelmexe2.dat"), exposition(1002, 3, "Nueva.") + "x") &&
                writeFile(path("qelmexe3.dat"), briefs));
        QVERIFY(setModified(path("QELMEXE2.DAT"), QDateTime::currentDateTime().addDays(-1)));
        const QStringList before = folderContents(m_dir->path());
        const Run check = run({"comprobar", m_dir->path()});
        QCOMPARE(check.status, 1);
        QCOMPARE(
            check.out,
            "Banco de preguntas en " + QDir(m_dir->path()).absolutePath() +
                "\n\nQELMEXT2.DAT: 60 registros (15364 bytes)\n  - el fichero termina con un "
                "registro incompleto (4 bytes); la próxima pregunta añadida lo sustituirá\n  - "
                "registro 2: ninguna lista lo muestra: el capítulo 23 está fuera de 1 a 22\n  - "
                "registro 3: ninguna lista lo muestra: el tema 11 está fuera de 1 a 10\n  - "
                "registro 4: ninguna lista lo muestra: el tema 6 no está en el catálogo del "
                "capítulo 4\n  - registro 9: ninguna lista lo muestra: el capítulo 0 está fuera "
                "de 1 a 22\n  - registro 60: ninguna lista lo muestra: el tema 2 del capítulo 3 "
                "ya tenía 50 preguntas\n  - registro 5: la respuesta es 2 y solo valen 0 (No) y 1 "
                "(Sí); el programa la muestra como No\n  - registro 6: el texto está vacío\n  - "
                "registro 9: el texto contiene caracteres de control (saltos de línea, "
                "tabuladores u otros que no se ven)\n  - registros 1 y 8: el mismo texto en el "
                "capítulo 1, tema 1: «Igual.»\nQELMEXE1.DAT: no existe; el programa lo creará "
                "vacío\nQELMEXE2.DAT (en disco, Qelmexe2.dat): 1 registro (1003 bytes)\n  - hay 2 "
                "ficheros con este nombre escrito con distintas mayúsculas (QELMEXE2.DAT, "
                "Qelmexe2.dat); el programa usa Qelmexe2.dat y no ve los demás\n  - el fichero "
                "termina con un registro incompleto (1 byte); la próxima pregunta añadida lo "
                "sustituirá\nQELMEXE3.DAT (en disco, qelmexe3.dat): 202 registros (30704 bytes)\n "
                " - registro 202: ninguna lista lo muestra: el capítulo 7 ya tenía el máximo de "
                "preguntas de este tipo\n  - registros 1 y 3: el mismo texto en el capítulo 7: "
                "«Defina.»\n\nResultado: 14 problemas.\n");
        // The JSON form carries every problem the text names.
        QCOMPARE(run({"comprobar", m_dir->path(), "--json"}).out.count("\"descripcion\""), 14);
        QCOMPARE(folderContents(m_dir->path()), before);
    }

    // The bank's questions in each format, and an exam of the history as a
    // Moodle quiz.
    void eachExportWritesItsText_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("bank"); // QELMEXT2.DAT; QELMEXE1.DAT holds one question
        // Run::all(), Moodle XML's text as its types, fractions and CDATA texts.
        QTest::addColumn<QString>("shown");
        const QByteArray three = trueFalse(4, 1, "{a} = \"b\" \"c\" ~ #1: c?") +
                                 trueFalse(2, 5, "A & B < C, 's\xed' \\ no", 0) +
                                 trueFalse(4, 1, "L1\r\nL2");
        const QString tf = "$course$/top/Orvalis/Verdadero o falso/Capítulo 0";
        const QString two = tf + "2. El entorno del marketing/Tema 5. El entorno económico";
        const QString four = "4. La demanda";
        const QString one = tf + four + "/Tema 1. Concepto y tipos de demanda";
        const QString essay = "$course$/top/Orvalis/Conceptuales/Capítulo 0" + four;
        QTest::newRow("gift")
            << QStringList{"--formato=gift"} << three
            << QString("0|// Preguntas del banco de Orvalis exportadas por orvalis-banco.\n\n"
                       "$CATEGORY: %1\n\n::Capítulo 2, tema 5, registro 2::[plain]A & B < C, 'sí' "
                       "\\\\ no{FALSE}\n\n$CATEGORY: %2\n\n::Capítulo 4, tema 1, registro "
                       "1::[plain]\\{a\\} \\= \"b\" \"c\" \\~ \\#1\\: c?{TRUE}\n\n::Capítulo 4, "
                       "tema 1, registro 3::[plain]L1\\nL2{TRUE}\n\n$CATEGORY: %3\n\n::Conceptual, "
                       "capítulo 4, registro 1::[plain]Diga\\: ]]> y \\{\\}.{}\n|")
                   .arg(two, one, essay);
        QTest::newRow("csv, chapter 4")
            << QStringList{"--formato=csv", "--capitulo=4"} << three
            << QString("0|tipo,capítulo,título del capítulo,tema,título del "
                       "tema,registro,respuesta,texto\r\n%1,1,Sí,\"{a} = \"\"b\"\" \"\"c\"\" ~ #1: "
                       "c?\"\r\n%1,3,Sí,\"L1\r\nL2\"\r\nconceptual,4,La demanda,,,1,,Diga: ]]> y "
                       "{}.\r\n|")
                   .arg("test,4,La demanda,1,Concepto y tipos de demanda");
        QTest::newRow("moodle-xml")
            << QStringList{"--formato=moodle-xml"}
            << three + trueFalse(1, 1, "Un \x01.") + trueFalse(1, 1, "Siete.", 7)
            << QString(
                   "1|category|%1|truefalse|Capítulo 2, tema 5, registro 2|A & B < C, 'sí' \\ "
                   "no|0|true|100|false|category|%2|truefalse|Capítulo 4, tema 1, registro 1|{a} = "
                   "\"b\" \"c\" ~ #1: c?|100|true|0|false|truefalse|Capítulo 4, tema 1, registro "
                   "3|L1\r\nL2|100|true|0|false|category|%3|essay|Conceptual, capítulo 4, registro "
                   "1|Diga: ]]]]><![CDATA[> y {}.|aviso: no se exporta QELMEXT2.DAT, registro 5: "
                   "la respuesta es 7 y solo valen 0 (No) y 1 (Sí).\naviso: no se exporta "
                   "QELMEXT2.DAT, registro 4: el texto contiene caracteres de control que XML no "
                   "admite.\n2 registros no se han exportado; «orvalis-banco comprobar» explica "
                   "qué les pasa.\n")
                   .arg(two, one, essay);
        QTest::newRow("texto")
            << QStringList{"--formato=texto", "--tipo=test"}
            << trueFalse(1, 1, "A.") + trueFalse(4, 1, "L1\r\nL2") + trueFalse(0, 1, "Cero.") +
                   trueFalse(1, 1, "Dos.", 2) + trueFalse(1, 1, "A.", 0)
            << "1|# Verdadero o falso: preguntas exportadas de QELMEXT2.DAT por orvalis-banco.\n"
               "# Una pregunta por línea: capítulo|tema|respuesta (S = Sí, N = No)|texto\n"
               "1|1|S|A.\n|aviso: no se exporta QELMEXT2.DAT, registro 2: el texto contiene "
               "caracteres de control, que el formato texto no puede escribir.\naviso: no se "
               "exporta QELMEXT2.DAT, registro 3: el capítulo 0 está fuera de 1 a 22.\naviso: no "
               "se exporta QELMEXT2.DAT, registro 4: la respuesta es 2, que el formato texto no "
               "puede escribir (solo S o N).\naviso: no se exporta QELMEXT2.DAT, registro 5: la "
               "misma pregunta que la línea 3.\n4 registros no se han exportado; «orvalis-banco "
               "comprobar» explica qué les pasa.\n";
        // An exam of the history goes to Moodle in the order of the version
        // asked for (the orders of ExamText's versions, worked out by hand),
        // the true/false answers those the history kept, or for an exam
        // recorded before it kept them, the bank's.
        const QByteArray examBank = trueFalse(3, 2, "a") + trueFalse(3, 1, "b") +
                                    trueFalse(3, 2, "b", 0) + trueFalse(3, 2, "c", 0);
        const QString gift = "// Preguntas del banco de Orvalis exportadas por "
                             "orvalis-banco.\n\n$CATEGORY: $course$/top/Examen: ";
        QTest::newRow("exam, gift, version C, a question no longer in the bank")
            << QStringList{"--examen=1", "--version=c", "--formato=gift"} << examBank
            << "1|" + gift +
                   "Parcial, versión C\n\n::Pregunta 1::[plain]b{FALSE}\n\n::Pregunta "
                   "2::[plain]a{TRUE}\n\n::Pregunta 3::[plain]c{FALSE}\n|aviso: no se exporta "
                   "examen 1: pregunta 4 (test, capítulo 3, tema 2): ya no está en el banco, y sin "
                   "él no se sabe su respuesta.\n1 pregunta del examen no se ha exportado.\n";
        QTest::newRow("exam, gift, the answer the history kept rather than the bank's")
            << QStringList{"--examen=2", "--formato=gift"} << examBank
            << "0|" + gift + "Guardada\n\n::Pregunta 1::[plain]a{FALSE}\n|";
        QTest::newRow("exam, no such version")
            << QStringList{"--examen=1", "--version=D", "--formato=gift"} << examBank
            << "2||orvalis-banco: el examen 1 no tiene versión D: tiene las versiones A, B y C.\n";
    }
    void eachExportWritesItsText()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, bank);
        QVERIFY(writeFile(path("QELMEXT2.DAT"), bank));
        QVERIFY(writeFile(path("QELMEXE1.DAT"), conceptual(4, "Diga: ]]> y {}.")));
        // The history: a test in three versions and a test whose answer the
        // history kept.
        ExamHistory history(path("historial.sqlite"));
        HistoryExam test{0, {}, false, "Parcial", 3, 1234567, {}};
        for (const char *asked : {"a", "b", "c", "d"})
            test.questions.append({QuestionKind::TrueFalse, 3, 2, asked, {}});
        HistoryExam kept{
            0, {}, false, "Guardada", 1, 0, {{QuestionKind::TrueFalse, 3, 2, "a", false}}};
        QVERIFY(history.record(test).isEmpty() && history.record(kept).isEmpty());
        Run result = run(QStringList{"exportar", m_dir->path()} + options);
        if (options.contains("--formato=moodle-xml"))
            result.out = moodleValues(result.out);
        QTEST(result.all(), "shown");
    }

    // "@" stands for the test's folder: a bank file, a history, a link to
    // the bank file, a pipe and a file it may not read. Nothing in it may
    // change, and an export never replaces a file the program keeps there,
    // nor anything that is not a regular file.
    void mistakesExitWith2AndChangeNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message"); // after "orvalis-banco: "
        const auto row = [](const QStringList &arguments, const QString &message) {
            QTest::newRow(qPrintable(arguments.join(' '))) << arguments << message;
        };
        row({"borrar"}, "orden desconocida «borrar»");
        row({"comprobar", "a", "b"}, "sobra el argumento «b»");
        row({"exportar", "--formato"}, "falta el valor de --formato");
        row({"exportar", "--formato=csv", "--capitulo= 5"}, "el capítulo debe ser un número del 1");
        row({"exportar", "--formato=csv", "--salida="}, "--salida necesita el nombre de un");
        row({"historial", "--examen=0"},
            "--examen necesita el número de un examen (1, 2, …), no «0»");
        row({"importar", "@/breves.txt", "@"}, "no se puede abrir @/breves.txt: permiso denegado");
        row({"importar", "@/breves.txt", "--tema=2"}, "--tema va con --capitulo");
        row({"exportar", "--formato=gift", "--version=B"}, "--version va con --examen");
        row({"exportar", "--formato=csv", "--examen=1"}, "un examen se exporta en moodle-xml o");
        row({"exportar", "@", "--formato=gift", "--examen=9"}, "no hay ningún examen número 9");
        row({"importar", "x", "--capitulo=4", "--tema=5"},
            "el capítulo 4 tiene los temas del 1 al 4");
        const QStringList csv{"exportar", "@", "--formato=csv"};
        const QString kept = " es uno de los ficheros que Orvalis guarda en la carpeta del banco (";
        const QString replaced = "); la exportación lo sustituiría. Elija otro nombre";
        for (const char *name : {"HISTORIAL.sqlite-journal", "qelmexe2.dat.LOCK", "Base.tmp",
                                 "historial-dañado-20260101-000000.sqlite"})
            row(csv + QStringList{QString("--salida=@/") + name},
                QString("@/%1%2%1%3").arg(name, kept, replaced));
        row(csv + QStringList{"--salida=@/enlace.csv"},
            "@/enlace.csv" + kept + "QELMEXT2.DAT" + replaced);
        row(csv + QStringList{"--salida=@/tuberia"},
            "no se puede escribir @/tuberia: tuberia no es un fichero normal sino una tubería, y "
            "no se sustituye.\n");
        row(csv + QStringList{"--salida=@/nuevo/"},
            "--salida necesita el nombre de un fichero, y @/nuevo/ es una carpeta.\n");
    }
    void mistakesExitWith2AndChangeNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "Una.")) &&
                writeFile(path("historial.sqlite"), {}) &&
                QFile::link("QELMEXT2.DAT", path("enlace.csv")) &&
                writeFile(path("breves.txt"), "1|Una pregunta breve\n") &&
                QFile::setPermissions(path("breves.txt"), {}));
        QCOMPARE(::mkfifo(qPrintable(path("tuberia")), 0600), 0);
        const PermissionBitsObeyed obeyed; // as root too
        const QStringList before = folderContents(m_dir->path());
        const Run result = run(arguments.replaceInStrings("@", m_dir->path()));
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.startsWith("orvalis-banco: " + message.replace("@", m_dir->path())),
                 qPrintable(result.err));
        QCOMPARE(folderContents(m_dir->path()), before); // the pipe left out, unless replaced
    }

    // A failed write to the standard output is an error (every order prints
    // through the one OrderContext::write that notices it).
    void aFailedWriteToTheStandardOutputIsAnError()
    {
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full here");
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "Una.")));
        QProcess banco;
        banco.setStandardOutputFile("/dev/full");
        banco.start(ORVALIS_BANCO_PATH, {"exportar", m_dir->path(), "--formato=csv"});
        QVERIFY(banco.waitForFinished(30000));
        QCOMPARE(banco.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(banco.readAllStandardError()),
                 "orvalis-banco: no se ha podido escribir en la salida estándar: no queda "
                 "espacio libre en el disco.\n");
    }

    // What buscar prints of a hostile bank: control characters escaped; a
    // folder with no bank said to be one. (buscar and historial escape
    // through one function.)
    void aListingShowsWhatItFindsAsItIs_data()
    {
        QTest::addColumn<QByteArray>("bank"); // QELMEXT2.DAT; empty: none
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("shown"); // Run::all(); "@" stands for the folder
        QTest::newRow("search, no bank")
            << QByteArray() << "marca"
            << "1||orvalis-banco: en la carpeta @ no hay ningún fichero del banco (QELMEXT2.DAT, "
               "QELMEXE1.DAT, QELMEXE2.DAT, QELMEXE3.DAT): no hay preguntas en las que buscar.\n";
        QTest::newRow("search, control characters")
            << trueFalse(2, 1, "Borra\x1b[2J la\r\npantalla.") << "pantalla"
            << "0|test, capítulo 2, tema 1, registro 1: Borra\\x1b[2J la\\r\\npantalla.\n|";
    }
    void aListingShowsWhatItFindsAsItIs()
    {
        QFETCH(QByteArray, bank);
        QFETCH(QString, word);
        QFETCH(QString, shown);
        QVERIFY(bank.isEmpty() || writeFile(path("QELMEXT2.DAT"), bank));
        QCOMPARE(run({"buscar", word, m_dir->path()}).all(), shown.replace("@", m_dir->path()));
    }

    // The row's lines, then a good one, imported into a bank holding `bank`.
    void anImportIsCheckedWholeAgainstTheBank_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bank"); // empty: no bank file at all
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("message"); // the start of stdout when all is good, else of
                                              // stderr after "FILE:"
        const auto row = [](const char *name, const char *kind, const QByteArray &bank,
                            const QByteArray &lines, const QString &message) {
            QTest::newRow(name) << kind << bank << lines << message;
        };
        const QString added = "Se han añadido 2 preguntas";
        const QByteArray two = trueFalse(1, 1, "  Una.") + trueFalse(1, 1, "Dos.");
        row("held", "test", two, "1|1|N|Una.", "1: la misma pregunta ya está en el banco");
        row("held elsewhere, room left", "test",
            two + trueFalse(3, 2, "P").repeated(49) + trueFalse(23, 2, "P").repeated(50),
            "1|2|S|Una.\n3|2|S|Nueva.",
            "Se han añadido 3 preguntas a Qelmext2.dat (registros 102 a 104)");
        row("topic full", "test", trueFalse(3, 2, "P").repeated(50), "3|2|S|Nueva.",
            "1: el tema 2 del capítulo 3 ya tiene 50 preguntas, el máximo que el banco puede");
        row("the 32768th", "test", trueFalse(0, 1, "P").repeated(32766), "3|2|S|Nueva.",
            "2: el banco no puede indexar más de 32767 preguntas");
        row("brief chapter full", "breve", brief(5, "B").repeated(199), "5|Nueva.",
            "2: el capítulo 5 ya tiene 200 preguntas, el máximo que el banco puede listar");
        // What a line of the file may hold, with no bank file yet.
        row("comments, blanks, CR LF", "test", {}, "# c\r\n\r\n \t\n  # x\n12|3|S|U | v.\r\n",
            added);
        // Limits count characters: an accented letter is one byte in the bank.
        // (The exposition kinds' widths: tst_MaintenanceWindow.)
        row("a single question", "test", {}, "",
            "Se ha añadido 1 pregunta a Qelmext2.dat (registro 1).");
        row("250 filled", "test", {}, "1|9|S|" + QByteArray("\xC3\xB1").repeated(250), added);
        row("250 + 1", "test", {}, "1|9|S|" + QByteArray(251, 'a'), "1: el texto tiene 251");
        row("chapter 23", "test", {}, "23|1|S|x", "1: el capítulo «23» no es un número");
        row("topic not in the chapter", "test", {}, "4|5|S|x", "1: el tema «5» no existe en");
        row("bad answer", "test", {}, "1|1|X|x", "1: la respuesta «X» no es S");
        row("control character", "practica", {}, "2|a\tb", "1: el texto contiene un carácter de");
        row("leading blank", "test", {}, "2|1|S| x", "1: el texto empieza o termina con un esp");
        row("not UTF-8", "test", {}, "2|1|S|\xE9uros", "1: la línea no está escrita en UTF-8");
    }
    void anImportIsCheckedWholeAgainstTheBank()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bank);
        QFETCH(QByteArray, lines);
        QFETCH(QString, message);
        const QString file = path(kind == "test" ? "QELMEXT2.DAT" : "QELMEXE3.DAT");
        QVERIFY(bank.isEmpty() || writeFile(file, bank));
        const QString source = path("nuevas.txt");
        QVERIFY(writeFile(source, lines + (kind == "test" ? "\n5|1|S|Buena.\n" : "\n5|Buena.\n")));
        const Run result = run({"importar", source, m_dir->path(), "--tipo", kind});
        if (message.startsWith("Se ha")) {
            QVERIFY2(result.out.startsWith(message), qPrintable(result.err));
            QCOMPARE(result.status, 0);
            return;
        }
        QVERIFY2(
            result.err.startsWith(source + ":" + message) &&
                result.err.endsWith("ninguna pregunta: 1 línea de " + source + " no es válida.\n"),
            qPrintable(result.err));
        QCOMPARE(result.status, 1);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), bank.isEmpty() ? 1 : 2);
        QCOMPARE(readFile(file), bank);
    }

    // A file, its format told by its content, comes in whole or not at all,
    // whatever kinds it holds: a simulated import or a refused one writes
    // nothing (written whole: theDemoBankComesBackByteForByte); what the bank
    // has no room for is named. "%f" stands for the file,
    // verdadero_falso.txt (a name that matters only to a file in text form).
    void aFileComesInWholeOrNotAtAll_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("shown"); // Run::all()
        const QString place = "--capitulo 4 --tema 1 --tipo breve";
        QTest::newRow("simulated")
            << QByteArray("Uno.{T}\n\nDos.{}\n") << place + " --simular"
            << "0|Todas las preguntas que el banco puede guardar son válidas: se añadirían 1 "
               "pregunta a QELMEXT2.DAT (registro 1) y 1 pregunta a QELMEXE3.DAT (registro 1). No "
               "se ha escrito nada.\n|";
        QTest::newRow("nothing the bank can hold")
            << QByteArray("Tres.{~a =b}") << QString()
            << "1|%f no contiene preguntas que el banco pueda guardar; no se ha añadido "
               "nada.\n|%f:1: se deja fuera una pregunta de opción múltiple: el banco solo "
               "guarda preguntas de verdadero o falso y de ensayo\n1 pregunta de %f se ha "
               "dejado fuera.\n";
        QTest::newRow("not Windows-1252")
            << QByteArray("Uno.{T}\n\n::T::Dice \xE2\x89\xA0.{}") << place
            << "1||%f:3: el texto contiene caracteres que Windows-1252 no puede representar: ≠ "
               "(U+2260)\nNo se ha añadido ninguna pregunta: %f tiene 1 problema.\n";
        QTest::newRow("--tipo test")
            << QByteArray("Uno.{T}") << "--tipo test"
            << "2||orvalis-banco: --tipo dice de qué tipo son las preguntas de ensayo (conceptual, "
               "practica o breve); las de verdadero o falso se reconocen solas.\nUse "
               "«orvalis-banco --help» para ver cómo se usa.\n";
        // A file of another kind (in text form; its name tells the kind it
        // should hold) gives an error a line: the first 100 are named, the
        // rest only counted.
        QString flood;
        for (int line = 1; line <= 100; ++line)
            flood += QString("%f:%1: se esperaba capítulo|tema|respuesta|texto\n").arg(line);
        QTest::newRow("a flood of bad lines")
            << QByteArray("x\n").repeated(101) << QString()
            << "1||" + flood +
                   "… y 1 error más.\nNo se ha añadido ninguna pregunta: 101 líneas de %f no son "
                   "válidas.\n";
    }
    void aFileComesInWholeOrNotAtAll()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, options);
        QFETCH(QString, shown);
        const QString source = path("verdadero_falso.txt");
        QVERIFY(writeFile(source, content));
        const QStringList before = folderContents(m_dir->path());
        const Run result = run(QStringList{"importar", source, m_dir->path()} +
                               options.split(' ', Qt::SkipEmptyParts));
        QCOMPARE(result.all(), shown.replace("%f", source));
        QCOMPARE(folderContents(m_dir->path()), before);
    }

    // A line nearly repeating a question of its chapter, in the bank or
    // earlier in the file, is named and imported; --estricto refuses it.
    // comprobar --parecidas then names the pairs.
    void nearDuplicateLinesAreWarnedOrRefused()
    {
        QVERIFY(writeFile(path("QELMEXE3.DAT"), brief(5, "Que es el marketing?")));
        const QString source = path("breves.txt");
        QVERIFY(writeFile(source, "5|Qué es un marketing\n6|Qué es el marketing\n5|Defina la "
                                  "marca.\n6|¿Qué es el Márketing?\n"));
        const QString warnings =
            source + ":1: muy parecida al registro 1 (capítulo 5): «Que es el marketing?»\n" +
            source + ":4: muy parecida a la línea 2: «Qué es el marketing»\n";
        QCOMPARE(run({"importar", source, m_dir->path(), "--estricto"}).all(),
                 "1||" + warnings + "No se ha añadido ninguna pregunta: 2 líneas de " + source +
                     " no son válidas.\n");
        // Had it written, the lenient run would find its lines in the bank.
        const Run lenient = run({"importar", source, m_dir->path()});
        QCOMPARE(lenient.err, warnings);
        QCOMPARE(lenient.status, 0);
        const Run check = run({"comprobar", m_dir->path(), "--parecidas"});
        QCOMPARE(check.status, 1);
        QVERIFY2(check.out.contains("  - registros 1 y 2: muy parecidas (capítulo 5): «Que es el "
                                    "marketing?» y «Qué es un marketing»\n  - registros 3 y 5: "
                                    "muy parecidas (capítulo 6): «Qué es el marketing» y «¿Qué es "
                                    "el Márketing?»\n\nResultado: 2 problemas."),
                 qPrintable(check.out));
        // Sixteen near one another: the first 100 pairs named, the other 20 counted.
        QByteArray crowd;
        for (char letter = 'a'; letter <= 'p'; ++letter)
            crowd += brief(6, "Explique la segmentación del mercado " + QByteArray(1, letter));
        QVERIFY(writeFile(path("Qelmexe3.dat"), crowd)); // the name the import gave it
        const Run crowded = run({"comprobar", m_dir->path(), "--parecidas"});
        QCOMPARE(crowded.out.count("muy parecidas (capítulo 6)"), 100);
        QVERIFY2(crowded.out.contains("  - … y 20 pares de preguntas muy parecidas más\n"),
                 qPrintable(crowded.out));
    }

    // Text carries one kind a file, Moodle XML and GIFT the four kinds in one.
    void theDemoBankComesBackByteForByte_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("texto") << "texto";
        QTest::newRow("moodle-xml") << "moodle-xml";
        QTest::newRow("gift") << "gift";
    }
    void theDemoBankComesBackByteForByte()
    {
        QFETCH(QString, format);
        const QString demo = ORVALIS_DEMO_BANK_DIR, t = path("exportado");
        QList<QStringList> kinds{{}};
        if (format == "texto")
            kinds = {{"--tipo", "test"},
                     {"--tipo", "conceptual"},
                     {"--tipo", "practica"},
                     {"--tipo", "breve"}};
        const QStringList import{"importar", t, m_dir->path(), "--formato", format};
        for (const QStringList &kind : std::as_const(kinds)) {
            QCOMPARE(run(QStringList{"exportar", demo, "--formato", format, "--salida", t} + kind)
                         .status,
                     0);
            QCOMPARE(run(import + kind).status, 0);
        }
        // Run again, as after a stop between two bank files: nothing twice.
        if (format != "texto")
            QCOMPARE(run(import).out.section('\n', -2), t + ": 110 preguntas de tipo breve ya "
                                                            "están en Qelmexe3.dat; no se añaden "
                                                            "otra vez.\n");
        for (const QString file : kLoadNames) {
            QVERIFY(QFileInfo(demo + '/' + file).size() > 0);
            QCOMPARE(readFile(RecordFile::resolve(m_dir->filePath(file))),
                     readFile(demo + '/' + file));
        }
    }

    // The history lists its exams, and one exam with its questions, as text
    // or JSON; a folder without one has none; values out of range in a
    // history written elsewhere are named.
    void theHistoryListsItsExams()
    {
        QCOMPARE(run({"historial", m_dir->path()}).out, "El historial no tiene ningún examen.\n");
        ExamHistory history(path("historial.sqlite"));
        HistoryExam test{0, QDateTime({2026, 6, 12}, {9, 30}), false, {}, 2, 77, {}};
        test.questions = {{QuestionKind::TrueFalse, 3, 2, "¿Verdadero?", true}};
        HistoryExam exposition{0, QDateTime({2026, 6, 20}, {11, 5}), true, "Final", 1, 0, {}};
        exposition.questions = {{QuestionKind::Practical, 4, 0, "Calcule.", {}},
                                {QuestionKind::Brief, 1, 0, "Defina.", {}}};
        QCOMPARE(history.record(test), QString());
        QCOMPARE(history.record(exposition), QString());
        QCOMPARE(run({"historial", m_dir->path()}).out,
                 "1. 12/06/2026 09:30, Examen del 12/06/2026, tipo test, 1 pregunta, 2 versiones "
                 "(clave 77)\n2. 20/06/2026 11:05, Final, exposición, 2 preguntas\n");
        QCOMPARE(run({"historial", "--examen", "2", m_dir->path()}).out,
                 "2. 20/06/2026 11:05, Final, exposición, 2 preguntas\n  1. practica, capítulo "
                 "4: Calcule.\n  2. breve, capítulo 1: Defina.\n");
        QCOMPARE(run({"historial", m_dir->path(), "--examen=1", "--json"}).out.simplified(),
                 "{ \"clave\": 77, \"fecha\": \"2026-06-12T09:30:00\", \"numero\": 1, "
                 "\"preguntas\": 1, \"preguntas_del_examen\": [ { \"capitulo\": 3, "
                 "\"respuesta\": true, \"tema\": 2, \"texto\": \"¿Verdadero?\", "
                 "\"tipo\": \"test\" } ], \"tipo\": \"tipo test\", "
                 "\"titulo\": \"Examen del 12/06/2026\", "
                 "\"versiones\": { \"A\": [ 1 ], \"B\": [ 1 ] } }");
        QCOMPARE(run({"historial", m_dir->path(), "--examen", "3"}).all(),
                 "2||orvalis-banco: no hay ningún examen número 3 en el historial.\n");
        const QString invalid = "2||orvalis-banco: no se puede leer el historial: el examen %1 "
                                "del historial no es válido: %2.\n";
        QVERIFY(sqlFile::run(path("historial.sqlite"),
                             {"UPDATE exam SET seed = 99999999999 WHERE id = 1"}));
        QCOMPARE(run({"historial", m_dir->path()}).all(),
                 invalid.arg(1).arg("la clave es «99999999999»"));
        QVERIFY(
            sqlFile::run(path("historial.sqlite"), {"UPDATE exam_question SET chapter = 99999"}));
        QCOMPARE(run({"historial", m_dir->path(), "--examen=2"}).all(),
                 invalid.arg(2).arg("el capítulo de su pregunta 1 es «99999»"));
    }

    // Four settled sheets over a key Sí, No, Sí: SNS, SN-, S--, NSN give
    // grades 10, 6,67, 3,33 and 0 (mean and median 5, sample deviation
    // 4,30), questions right 3, 2 and 1 times, discriminations 0,52, 0,71
    // and 0,52 against the rest, KR-20 1,5 × (1 − 0,625 / 1,25) = 0,75,
    // worked out by hand; a fifth sheet, doubtful, is only counted.
    void theMarkedSheetsTellWhatEachQuestionDid()
    {
        ExamHistory history(path("historial.sqlite"));
        HistoryExam exam{0, {}, false, "Parcial", 1, 0, {}};
        for (const char *text : {"a", "b", "c"})
            exam.questions.append({QuestionKind::TrueFalse, 1, 1, text, std::nullopt});
        QVERIFY(history.record(exam).isEmpty());
        QList<sheetRecords::StoredSheet> sheets;
        for (const char *answers : {"SNS", "SN-", "S--", "NSN", "S?S"})
            sheets.append({0, int(sheets.size()) + 1, "12345678", answers, {1, 2, 3}, "e.pdf", 1});
        QVERIFY(sheetRecords::store(history, exam.id, sheets, {}).isEmpty());
        QVERIFY(writeFile(path("QELMEXT2.DAT"),
                          trueFalse(1, 1, "a") + trueFalse(1, 1, "b", 0) + trueFalse(1, 1, "c")));
        QCOMPARE(run({"estadisticas", m_dir->path()}).all(),
                 "0|Examen 1. Parcial\n  Hojas: 4\n  Pendientes de decidir: 1\n"
                 "  Nota media: 5,00\n  Mediana: 5,00\n  Desviación típica: 4,30\n"
                 "  Consistencia (KR-20): 0,75\n  Notas: 0–1: 1 · 1–2: 0 · 2–3: 0 · "
                 "3–4: 1 · 4–5: 0 · 5–6: 0 · 6–7: 1 · 7–8: 0 · 8–9: 0 · 9–10: 1\n"
                 "  Preguntas (acierto, discriminación):\n"
                 "  1. 75 % (3 de 4) · discrimina 0,52: a\n"
                 "  2. 50 % (2 de 4) · discrimina 0,71: b\n"
                 "  3. 25 % (1 de 4) · discrimina 0,52: c\n|");
        const Run json = run({"estadisticas", m_dir->path(), "--examen=1", "--json"});
        QCOMPARE(json.status, 0);
        QVERIFY2(json.out.simplified().contains(
                     "\"aciertos\": 2, \"capitulo\": 1, \"discriminacion\": 0.7071, "
                     "\"facilidad\": 0.5, \"numero\": 2"),
                 qPrintable(json.out));
        QVERIFY(json.out.contains("\"kr20\": 0.75"));
        QVERIFY(run({"estadisticas", m_dir->path(), "--json"}).out.startsWith("[\n    {"));
        // A key the bank no longer holds gives no figures, and says why.
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "a")));
        const Run lost = run({"estadisticas", m_dir->path()});
        QCOMPARE(lost.status, 1);
        QVERIFY2(lost.err.startsWith("orvalis-banco: sin cifras del examen 1: no se sabe la "
                                     "respuesta de la pregunta 2"),
                 qPrintable(lost.err));
    }

    void anExportFileIsReplacedOnlyByACompleteOne()
    {
        const QString output = path("salida.csv");
        QVERIFY(writeFile(output, "anterior"));
        QVERIFY(writeFile(path("QELMEXT2.DAT"), trueFalse(1, 1, "Una.") + trueFalse(1, 1, "") +
                                                    trueFalse(2, 1, "Tres.")));
        const QStringList csv{"exportar", m_dir->path(), "--formato=csv", "--tipo=test",
                              "--salida=" + output};
        {
            const FileSizeLimit full(20);
            QVERIFY(full.isActive());
            QCOMPARE(run(csv).status, 2);
        }
        QCOMPARE(readFile(output), QByteArray("anterior"));
        QCOMPARE(
            run(csv).all(),
            "1|Se han exportado 2 preguntas a " + output +
                ".\n|aviso: no se exporta QELMEXT2.DAT, registro 2: el texto está vacío.\n1 "
                "registro no se ha exportado; «orvalis-banco comprobar» explica qué les pasa.\n");
        QVERIFY(readFile(output).endsWith(",3,Sí,Tres.\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
                 QStringList({"QELMEXT2.DAT", "salida.csv"}));
    }
};

QTEST_GUILESS_MAIN(tst_BancoCommand)
#include "tst_BancoCommand.moc"
