// Question lines checked against what the bank file already holds: repeated
// questions and the index's limits count the file's questions and the new
// ones alike. (Writing them is tested through the command, tst_BancoCommand.)

#include "BankBytes.h"
#include "QuestionImport.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DemoSourceKind)

using namespace bankBytes;
using namespace testFiles;

namespace {

QByteArray manyTrueFalse(int count, int chapter, int topic)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += trueFalse(chapter, topic, "P" + QByteArray::number(i));
    return bytes;
}

} // namespace

class tst_QuestionImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aLineIsCheckedAgainstTheBank_data()
    {
        QTest::addColumn<DemoSourceKind>("kind");
        QTest::addColumn<QByteArray>("bank");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("problem"); // empty: the line is good
        using enum DemoSourceKind;
        const QByteArray one = trueFalse(1, 1, "  Una.") + trueFalse(1, 1, "Dos.");
        QTest::newRow("repeats a bank question")
            << TrueFalse << one << QByteArray("1|1|N|Una.")
            << "la misma pregunta ya está en el banco (registro 1)";
        QTest::newRow("same text under another topic")
            << TrueFalse << one << QByteArray("1|2|S|Una.") << QString();
        QTest::newRow("topic full with the bank's questions")
            << TrueFalse << manyTrueFalse(50, 3, 2) << QByteArray("3|2|S|Nueva.")
            << "el tema 2 del capítulo 3 ya tiene 50 preguntas, el máximo que el banco puede "
               "listar";
        QTest::newRow("49 in the bank leave room for one")
            << TrueFalse << manyTrueFalse(49, 3, 2) << QByteArray("3|2|S|Nueva.") << QString();
        QTest::newRow("records the index cannot list do not fill a topic")
            << TrueFalse << manyTrueFalse(50, 23, 2) << QByteArray("3|2|S|Nueva.") << QString();
        QTest::newRow("the 32768th true/false question")
            << TrueFalse << manyTrueFalse(32767, 0, 1) << QByteArray("3|2|S|Nueva.")
            << "el banco no puede indexar más de 32767 preguntas";
        QByteArray briefs;
        for (int i = 1; i <= 200; ++i)
            briefs += brief(5, "B" + QByteArray::number(i));
        QTest::newRow("brief chapter full")
            << Brief << briefs << QByteArray("5|Nueva.")
            << "el capítulo 5 ya tiene 200 preguntas, el máximo que el banco puede listar";
        QTest::newRow("repeats a conceptual question")
            << Conceptual << conceptual(9, "Defina.") << QByteArray("9|Defina.")
            << "la misma pregunta ya está en el banco (registro 1)";
    }
    void aLineIsCheckedAgainstTheBank()
    {
        QFETCH(DemoSourceKind, kind);
        QFETCH(QByteArray, bank);
        QFETCH(QByteArray, line);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const BankSnapshot empty = BankSnapshot::read(dir.path(), kind);
        QVERIFY(writeFile(dir.filePath(empty.fileName()), bank));
        const DemoSource lines = questionImport::check("nuevas.txt", "# nuevas\n" + line + '\n',
                                                       BankSnapshot::read(dir.path(), kind));
        QStringList problems;
        for (const DemoSourceProblem &found : lines.problems())
            problems.append(found.toString());
        QCOMPARE(problems,
                 problem.isEmpty() ? QStringList() : QStringList{"nuevas.txt:2: " + problem});
    }
};

QTEST_GUILESS_MAIN(tst_QuestionImport)
#include "tst_QuestionImport.moc"
