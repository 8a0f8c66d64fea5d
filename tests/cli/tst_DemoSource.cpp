// Parsing of question lines in the demo bank's text form: what a good line
// becomes, and each kind of bad line reported with its file and line.

#include "DemoSource.h"

#include <QTest>

Q_DECLARE_METATYPE(DemoSourceKind)

namespace {
const QString kPath = QStringLiteral("demo/fuente.txt");
using enum DemoSourceKind;
} // namespace

class tst_DemoSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goodLineGivesItsFields_data();
    void goodLineGivesItsFields();
    void badLineIsReportedWithFileAndLine_data();
    void badLineIsReportedWithFileAndLine();
};

void tst_DemoSource::goodLineGivesItsFields_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("fields"); // of the last question: "line chapter|topic|answer|text"
    QTest::addColumn<int>("count");
    const auto row = [](const char *name, DemoSourceKind kind, const QString &content,
                        const QString &fields, int count = 1) {
        QTest::newRow(name) << kind << content << fields << count;
    };

    row("comments, blank lines, CR LF", TrueFalse, "\uFEFF# c\r\n\r\n \t\n  # x\n12|3|S|Uno.\r\n",
        "5 12|3|1|Uno.");
    row("answer N, bar in the text", TrueFalse, "04|4|N|Uno | dos", "1 4|4|0|Uno | dos");
    row("same text, other topic", TrueFalse, "3|1|S|Uno.\n3|2|S|Uno.", "2 3|2|1|Uno.", 2);
    // The limit counts characters: an accented letter is one byte in the bank.
    const auto fill = [](int n) { return QString(n, QChar(0x00F1)); };
    row("true/false filling 250", TrueFalse, "1|9|S|" + fill(250), "1 1|9|1|" + fill(250));
    row("conceptual filling 500", Conceptual, "22|" + fill(500), "1 22|0|0|" + fill(500));
    row("practical filling 1000", Practical, "7|" + fill(1000), "1 7|0|0|" + fill(1000));
    row("brief filling 150", Brief, "3|" + fill(150), "1 3|0|0|" + fill(150));
}

void tst_DemoSource::goodLineGivesItsFields()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(QString, content);
    QFETCH(QString, fields);
    QFETCH(int, count);

    const DemoSource source = DemoSource::parse(kind, kPath, content.toUtf8());
    QVERIFY2(source.ok(), qPrintable(source.problems().value(0).toString()));
    QCOMPARE(source.questions().size(), count);
    const DemoQuestion &q = source.questions().last();
    const QString got = QString::asprintf("%d %d|%d|%d|", q.line, q.chapter, q.topic, q.answer);
    QCOMPARE(got + q.text, fields);
}

void tst_DemoSource::badLineIsReportedWithFileAndLine_data()
{
    QTest::addColumn<DemoSourceKind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // after "file:"
    const auto row = [](const char *name, DemoSourceKind kind, const QByteArray &content,
                        const QString &message) {
        QTest::newRow(name) << kind << "# c\n" + content << message;
    };

    row("chapter 23", TrueFalse, "23|1|S|x", "2: el capítulo «23» no es un número");
    row("chapter with a sign", Conceptual, "+1|x", "2: el capítulo «+1» no es un número");
    row("topic not in the chapter", TrueFalse, "4|5|S|x", "2: el tema «5» no existe en");
    row("bad answer", TrueFalse, "2|1|n|x", "2: la respuesta «n» no es S");
    row("true/false separators missing", TrueFalse, "2|1|x", "2: se esperaba capítulo|tema|resp");
    row("exposition separator missing", Brief, "x", "2: se esperaba capítulo|texto");
    row("true/false too long", TrueFalse, "2|1|S|" + QByteArray(251, 'a'), "2: el texto tiene 251");
    row("conceptual too long", Conceptual, "1|" + QByteArray(501, 'a'), "2: el texto tiene 501");
    row("practical too long", Practical, "1|" + QByteArray(1001, 'a'), "2: el texto tiene 1001");
    row("brief too long", Brief, "1|" + QByteArray(151, 'a'), "2: el texto tiene 151");
    row("text only blanks", TrueFalse, "2|1|S|   ", "2: el texto de la pregunta está vacío");
    row("outside Windows-1252", TrueFalse, "2|1|S|a \xE2\x89\xA4",
        "2: el texto contiene caracteres");
    row("control character", Practical, "2|a\tb", "2: el texto contiene un carácter de control");
    row("leading blank", TrueFalse, "2|1|S| x", "2: el texto empieza o termina con un espacio");
    row("trailing blank", TrueFalse, "2|1|S|x ", "2: el texto empieza o termina con un espacio");
    row("duplicate", TrueFalse, "2|1|S|x\n2|1|N|x", "3: la misma pregunta que la línea 2");
    row("invalid UTF-8", TrueFalse, "2|1|S|\xE9uros", "2: la línea no está escrita en UTF-8");
    QByteArray crowded;
    for (int i = 1; i <= 51; ++i)
        crowded += "3|2|S|P" + QByteArray::number(i) + "\n";
    row("51 in one topic", TrueFalse, crowded, "52: el tema 2 del capítulo 3 ya tiene 50");
}

void tst_DemoSource::badLineIsReportedWithFileAndLine()
{
    QFETCH(DemoSourceKind, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    const DemoSource source = DemoSource::parse(kind, kPath, content);
    QCOMPARE(source.problems().size(), 1);
    const QString reported = source.problems().first().toString();
    QVERIFY2(reported.startsWith(kPath + ':' + message), qPrintable(reported));
}

QTEST_APPLESS_MAIN(tst_DemoSource)
#include "tst_DemoSource.moc"
