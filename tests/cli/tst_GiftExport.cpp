// The GIFT export read back by a small GIFT reader: categories, names, texts
// holding every character GIFT gives a meaning to, and answers come out as
// they went in.

#include "ExportSample.h"
#include "GiftExport.h"

#include <QTest>

namespace {

// Undoes GIFT's escapes: "\x" is x, "\n" a line break.
QString unescape(QStringView text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            result += text[i] == 'n' ? QChar('\n') : text[i];
        } else {
            result += text[i];
        }
    }
    return result;
}

// The first character at or after `from` that no backslash escapes.
qsizetype unescaped(QStringView text, QChar c, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == c)
            return i;
    }
    return -1;
}

// One entry per paragraph: "category|path" or "name|format|text|answer"; a
// paragraph the reader cannot make out becomes "bad|paragraph".
QStringList readBack(const QString &gift)
{
    QStringList entries;
    const QStringList paragraphs = gift.split("\n\n");
    for (QString paragraph : paragraphs) {
        QStringList lines = paragraph.split('\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.trimmed().startsWith("//"); });
        paragraph = lines.join('\n').trimmed();
        if (paragraph.isEmpty())
            continue;
        if (paragraph.startsWith("$CATEGORY:")) {
            entries.append("category|" + paragraph.mid(10).trimmed());
            continue;
        }
        const qsizetype nameEnd = paragraph.indexOf("::", 2);
        const qsizetype open = unescaped(paragraph, '{', 0);
        const qsizetype close = unescaped(paragraph, '}', open + 1);
        if (!paragraph.startsWith("::") || nameEnd < 0 || open < 0 ||
            close != paragraph.size() - 1 || paragraph.at(nameEnd + 2) != '[') {
            entries.append("bad|" + paragraph);
            continue;
        }
        const qsizetype formatEnd = paragraph.indexOf(']', nameEnd);
        const QStringView view(paragraph);
        entries.append(QStringList{unescape(view.sliced(2, nameEnd - 2)),
                                   view.sliced(nameEnd + 3, formatEnd - nameEnd - 3).toString(),
                                   unescape(view.sliced(formatEnd + 1, open - formatEnd - 1)),
                                   view.sliced(open + 1, close - open - 1).toString()}
                           .join('|'));
    }
    return entries;
}

} // namespace

class tst_GiftExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionsAndCategoriesReadBack()
    {
        const QString gift = QString::fromUtf8(giftExport::write(exportSample()));
        const QString tf = "category|$course$/top/Orvalis/Verdadero o falso/";
        QCOMPARE(readBack(gift),
                 QStringList({
                     tf + "Capítulo 02. El entorno del marketing/Tema 2. El microentorno: "
                          "proveedores e intermediarios",
                     "Capítulo 2, tema 2, registro 12|plain|Proveedores: ¿{todos} = \"socios\" ~ "
                     "#1?|TRUE",
                     "Capítulo 2, tema 2, registro 13|plain|A & B < C > D, 'sí' \\ no|FALSE",
                     tf + "Capítulo 04. La demanda/Tema 4. Elaboración de modelos de demanda",
                     "Capítulo 4, tema 4, registro 3|plain|La demanda\tcrece; línea\nnueva|TRUE",
                     "category|$course$/top/Orvalis/Conceptuales/Capítulo 01. El marketing y su "
                     "función en la empresa",
                     "Conceptual, capítulo 1, registro 7|plain|Explique ]]> y <![CDATA[ sin más.|",
                     "category|$course$/top/Orvalis/Breves/Capítulo 22. Marketing internacional y "
                     "responsabilidad social",
                     "Breve, capítulo 22, registro 40|plain|Breve: {}|",
                 }));
    }

    void specialCharactersAreEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("each special character") << QStringLiteral("~=#{}:") << "\\~\\=\\#\\{\\}\\:";
        QTest::newRow("backslash before a letter") << QStringLiteral("a\\n") << "a\\\\n";
        QTest::newRow("line breaks") << QStringLiteral("a\r\nb\nc\rd") << "a\\nb\\nc\\nd";
        QTest::newRow("nothing special") << QStringLiteral("¿Sí? [x] //") << "¿Sí? [x] //";
    }
    void specialCharactersAreEscaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(giftExport::escaped(text), escaped);
    }
};

QTEST_APPLESS_MAIN(tst_GiftExport)
#include "tst_GiftExport.moc"
