// Parsing of the demo bank's source lines: what a good line becomes, and each
// kind of bad line reported with its file and line.

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
    QTest::addColumn<QString>("fields"); // "line chapter|topic|answer|text"
    const auto row = [](const char *name, DemoSourceKind kind, const QString &content,
                        const QString &fields) {
        QTest::newRow(name) << kind << content << fields;
    };

    row("comments, blank lines, CR LF", TrueFalse, "\uFEFF# c\r\n\r\n \t\n  # x\n12|3|S|Uno.\r\n",
        "5 12|3|1|Uno.");
    row("answer N, bar in the text", TrueFalse, "04|4|N|Uno | dos", "1 4|4|0|Uno | dos");
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

    const DemoSource source = DemoSource::parse(kind, kPath, content.toUtf8());
    QVERIFY2(source.ok(), qPrintable(source.problems().value(0).toString()));
    QCOMPARE(source.questions().size(), 1);
    const DemoQuestion &q = source.questions().first();
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

    row("chapter 23", TrueFalse, "23|1|S|x", "2: chapter \"23\" is not a number");
    row("chapter with a sign", Conceptual, "+1|x", "2: chapter \"+1\" is not a number");
    row("topic not in the chapter", TrueFalse, "4|5|S|x", "2: topic \"5\" does not exist in");
    row("bad answer", TrueFalse, "2|1|n|x", "2: answer \"n\" is neither");
    row("true/false separators missing", TrueFalse, "2|1|x", "2: expected chapter|topic|answ");
    row("exposition separator missing", Brief, "x", "2: expected chapter|text");
    row("true/false too long", TrueFalse, "2|1|S|" + QByteArray(251, 'a'), "2: the text has 251");
    row("conceptual too long", Conceptual, "1|" + QByteArray(501, 'a'), "2: the text has 501");
    row("practical too long", Practical, "1|" + QByteArray(1001, 'a'), "2: the text has 1001");
    row("brief too long", Brief, "1|" + QByteArray(151, 'a'), "2: the text has 151");
    row("text only blanks", TrueFalse, "2|1|S|   ", "2: the question text is empty");
    row("outside Windows-1252", TrueFalse, "2|1|S|a \xE2\x89\xA4", "2: the text holds characters");
    row("control character", Practical, "2|a\tb", "2: the text holds a control character");
    row("leading blank", TrueFalse, "2|1|S| x", "2: the text begins or ends with a space");
    row("trailing blank", TrueFalse, "2|1|S|x ", "2: the text begins or ends with a space");
    row("duplicate", TrueFalse, "2|1|S|x\n2|2|N|x", "3: the same question as line 2");
    row("invalid UTF-8", TrueFalse, "2|1|S|\xE9uros", "2: the line is not valid UTF-8");
    QByteArray crowded;
    for (int i = 1; i <= 51; ++i)
        crowded += "3|2|S|P" + QByteArray::number(i) + "\n";
    row("51 in one topic", TrueFalse, crowded, "52: topic 2 of chapter 3 already holds 50");
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
