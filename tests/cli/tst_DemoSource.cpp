// Question lines in the demo bank's text form: what a good line becomes, and
// each kind of bad line reported with its file and line.

#include "DemoSource.h"

#include <QTest>

Q_DECLARE_METATYPE(DemoSourceKind)

class tst_DemoSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aLineGivesItsFieldsOrItsProblem_data()
    {
        QTest::addColumn<DemoSourceKind>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("result"); // "line chapter|topic|answer|text" of the last, or
                                             // the start of the only problem after "f.txt:"
        using enum DemoSourceKind;
        const auto row = [](const char *name, DemoSourceKind kind, const QByteArray &content,
                            const QString &result) {
            QTest::newRow(name) << kind << content << result;
        };
        row("comments, blanks, CR LF", TrueFalse,
            "\xEF\xBB\xBF# c\r\n\r\n \t\n  # x\n12|3|S|U.\r\n", "5 12|3|1|U.");
        row("same text, other topic", TrueFalse, "3|1|S|Uno | dos\n03|2|N|Uno | dos",
            "2 3|2|0|Uno | dos");
        // Limits count characters: an accented letter is one byte in the bank.
        const QByteArray n = "\xC3\xB1";
        for (const auto &[kind, head, fields, width] :
             {std::tuple{TrueFalse, "1|9|S|", "1 1|9|1|", 250},
              {Conceptual, "22|", "1 22|0|0|", 500},
              {Practical, "7|", "1 7|0|0|", 1000},
              {Brief, "3|", "1 3|0|0|", 150}}) {
            QTest::addRow("%d filled", width) << kind << head + n.repeated(width)
                                              << fields + QString::fromUtf8(n.repeated(width));
            QTest::addRow("%d + 1", width) << kind << head + QByteArray(width + 1, 'a')
                                           << QStringLiteral("1: el texto tiene %1").arg(width + 1);
        }
        row("chapter 23", TrueFalse, "23|1|S|x", "1: el capítulo «23» no es un número");
        row("topic not in the chapter", TrueFalse, "4|5|S|x", "1: el tema «5» no existe en");
        row("bad answer", TrueFalse, "2|1|n|x", "1: la respuesta «n» no es S");
        row("a field missing", TrueFalse, "2|1|x", "1: se esperaba capítulo|tema|resp");
        row("beyond U+FFFF", TrueFalse, "2|1|S|a \xF0\x9F\x98\x80",
            "1: el texto contiene caracteres que Windows-1252 no puede representar: "
            "\U0001F600 (U+1F600)");
        row("control character", Practical, "2|a\tb", "1: el texto contiene un carácter de con");
        row("leading blank", TrueFalse, "2|1|S| x", "1: el texto empieza o termina con un esp");
        row("twice", TrueFalse, "2|1|S|x\n2|1|N|x", "2: la misma pregunta que la línea 1");
        row("not UTF-8", TrueFalse, "2|1|S|\xE9uros", "1: la línea no está escrita en UTF-8");
        QByteArray crowded;
        for (int i = 0; i <= 50; ++i)
            crowded += "3|2|S|P" + QByteArray::number(i) + "\n";
        row("51 in one topic", TrueFalse, crowded, "51: el tema 2 del capítulo 3 ya tiene 50");
    }
    void aLineGivesItsFieldsOrItsProblem()
    {
        QFETCH(DemoSourceKind, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, result);
        const DemoSource source = DemoSource::parse(kind, "f.txt", content);
        QString got;
        if (source.ok() && !source.questions().isEmpty()) {
            const DemoQuestion &q = source.questions().last();
            got = QString::asprintf("%d %d|%d|%d|", q.line, q.chapter, q.topic, q.answer) + q.text;
        } else {
            QCOMPARE(source.problems().size(), 1);
            got = source.problems().first().toString();
            result = "f.txt:" + result;
        }
        QVERIFY2(got.startsWith(result), qPrintable(got));
    }
};

QTEST_APPLESS_MAIN(tst_DemoSource)
#include "tst_DemoSource.moc"
