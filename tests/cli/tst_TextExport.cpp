// The text export read back by the import: a bank exported as text and
// imported into an empty folder is the same file byte for byte, whatever the
// order of its records; a record the text cannot carry is named and the rest
// still come back exactly.

#include "BankBytes.h"
#include "BankKinds.h"
#include "QuestionImport.h"
#include "TestFiles.h"
#include "TextExport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DemoSourceKind)

using namespace bankBytes;
using namespace testFiles;

namespace {

// Exports the kind's file from `from` as text and imports the text into the
// empty folder `to`; returns the skipped records, "number: reason".
QStringList roundTrip(const QString &from, const QString &to, DemoSourceKind kind)
{
    const textExport::Result text = textExport::write(BankSnapshot::read(from, kind));
    QStringList skipped;
    for (const ExportSkip &skip : text.skipped)
        skipped.append(QStringLiteral("%1: %2").arg(skip.record).arg(skip.reason));
    const DemoSource lines =
        questionImport::check("texto", text.bytes, BankSnapshot::read(to, kind));
    if (!lines.ok())
        return skipped << "import refused: " + lines.problems().first().toString();
    if (lines.questions().size() != text.questions)
        return skipped << "lines and questions differ";
    if (const auto written = questionImport::write(to, kind, lines.questions()); !written.ok())
        return skipped << "import failed: " + written.error.message;
    return skipped;
}

} // namespace

class tst_TextExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theDemoBankComesBackByteForByte_data()
    {
        QTest::addColumn<DemoSourceKind>("kind");
        for (const DemoSourceKind kind : bankKinds::kAll)
            QTest::newRow(qPrintable(bankKinds::optionName(kind))) << kind;
    }
    void theDemoBankComesBackByteForByte()
    {
        QFETCH(DemoSourceKind, kind);
        QTemporaryDir empty;
        QCOMPARE(roundTrip(ORVALIS_DEMO_BANK_DIR, empty.path(), kind), QStringList());
        const QString name = bankKinds::bankFileName(kind);
        const QByteArray original = readFile(QDir(ORVALIS_DEMO_BANK_DIR).filePath(name));
        QVERIFY(original.size() > 0);
        QCOMPARE(readFile(empty.filePath(name)), original);
    }

    void recordsOutOfIndexOrderKeepTheirOrder()
    {
        QTemporaryDir bank;
        QTemporaryDir empty;
        const QByteArray content = trueFalse(3, 1, "Tercera.", 0) + trueFalse(1, 1, "Primera.") +
                                   trueFalse(3, 1, "Otra tercera.") + trueFalse(2, 5, "Segunda|5.");
        QVERIFY(writeFile(bank.filePath("Qelmext2.dat"), content));
        QCOMPARE(roundTrip(bank.path(), empty.path(), DemoSourceKind::TrueFalse), QStringList());
        QCOMPARE(readFile(empty.filePath("QELMEXT2.DAT")), content);
    }

    void recordsTheTextCannotCarryAreNamed_data()
    {
        QTest::addColumn<QByteArray>("odd");
        QTest::addColumn<QString>("reason");
        QTest::newRow("leading spaces")
            << trueFalse(1, 1, "  Con sangría.") << "el texto empieza o termina con un espacio";
        QTest::newRow("answer 2") << trueFalse(1, 1, "Dos.", 2)
                                  << "la respuesta es 2, que el formato texto no puede escribir "
                                     "(solo S o N)";
        QTest::newRow("chapter 0")
            << trueFalse(0, 1, "Cero.") << "el capítulo 0 está fuera de 1 a 22";
        QTest::newRow("line break")
            << trueFalse(1, 1, "Dos\r\nlíneas.")
            << "el texto contiene caracteres de control, que el formato texto no puede escribir";
        QTest::newRow("repeated") << trueFalse(1, 2, "Buena.")
                                  << "la misma pregunta que la línea 3";
        QTest::newRow("empty") << trueFalse(1, 1, "") << "el texto de la pregunta está vacío";
    }
    void recordsTheTextCannotCarryAreNamed()
    {
        QFETCH(QByteArray, odd);
        QFETCH(QString, reason);
        QTemporaryDir bank;
        QTemporaryDir empty;
        const QByteArray good = trueFalse(1, 2, "Buena.") + trueFalse(4, 1, "Otra buena.", 0);
        QVERIFY(writeFile(bank.filePath("QELMEXT2.DAT"), good.left(256) + odd + good.mid(256)));
        QCOMPARE(roundTrip(bank.path(), empty.path(), DemoSourceKind::TrueFalse),
                 QStringList{"2: " + reason});
        QCOMPARE(readFile(empty.filePath("QELMEXT2.DAT")), good);
    }

    void oneChapterOnly()
    {
        QTemporaryDir bank;
        QVERIFY(writeFile(bank.filePath("QELMEXE3.DAT"),
                          brief(2, "Dos.") + brief(3, "Tres.") + brief(2, "Otra | dos.")));
        const textExport::Result text =
            textExport::write(BankSnapshot::read(bank.path(), DemoSourceKind::Brief), 2);
        QCOMPARE(text.bytes, QByteArray("# Breves: preguntas exportadas de QELMEXE3.DAT por "
                                        "orvalis-banco.\n# Una pregunta por línea: capítulo|texto\n"
                                        "2|Dos.\n2|Otra | dos.\n"));
        QCOMPARE(text.questions, 2);
    }
};

QTEST_APPLESS_MAIN(tst_TextExport)
#include "tst_TextExport.moc"
