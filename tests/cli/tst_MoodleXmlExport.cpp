// The Moodle XML export read back with QXmlStreamReader: the same questions,
// answers and categories come out, whatever characters the texts hold, and a
// text XML cannot carry is left out and named.

#include "ExportSample.h"
#include "MoodleXmlExport.h"

#include <QTest>
#include <QXmlStreamReader>

namespace {

// One entry per <question>: "category|path" or "type|name|text|answers".
QStringList readBack(const QByteArray &xml)
{
    QStringList entries;
    QXmlStreamReader reader(xml);
    QString type;
    QStringList fields;
    QStringList answers;
    QString answerFraction;
    QStringList path; // element names from <question> down
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path.append(reader.name().toString());
            if (reader.name() == QLatin1String("question")) {
                type = reader.attributes().value("type").toString();
                fields = {type};
                answers.clear();
            } else if (reader.name() == QLatin1String("answer")) {
                answerFraction = reader.attributes().value("fraction").toString();
            } else if (reader.name() == QLatin1String("text")) {
                const QString parent = path.value(path.size() - 2);
                const QString text = reader.readElementText();
                path.removeLast();
                if (parent == QLatin1String("category") || parent == QLatin1String("name") ||
                    parent == QLatin1String("questiontext"))
                    fields.append(text);
                else if (parent == QLatin1String("answer"))
                    answers.append(text + '=' + answerFraction);
            }
        } else if (reader.isEndElement()) {
            path.removeLast();
            if (reader.name() == QLatin1String("question")) {
                if (!answers.isEmpty())
                    fields.append(answers.join(','));
                entries.append(fields.join('|'));
            }
        }
    }
    if (reader.hasError())
        entries.append("error: " + reader.errorString());
    return entries;
}

} // namespace

class tst_MoodleXmlExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void questionsAnswersAndCategoriesReadBack()
    {
        QList<ExportSkip> skipped;
        const QByteArray xml = moodleXmlExport::write(exportSample(), &skipped);
        QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>"));
        QVERIFY(skipped.isEmpty());
        const QString tf = "$course$/top/Orvalis/Verdadero o falso/";
        QCOMPARE(readBack(xml),
                 QStringList({
                     "category|" + tf +
                         "Capítulo 02. El entorno del marketing/Tema 2. El microentorno: "
                         "proveedores e intermediarios",
                     "truefalse|Capítulo 2, tema 2, registro 12|Proveedores: ¿{todos} = "
                     "\"socios\" ~ #1?|true=100,false=0",
                     "truefalse|Capítulo 2, tema 2, registro 13|A & B < C > D, 'sí' \\ "
                     "no|true=0,false=100",
                     "category|" + tf +
                         "Capítulo 04. La demanda/Tema 4. Elaboración de modelos "
                         "de demanda",
                     // XML reads every line break as a line feed.
                     "truefalse|Capítulo 4, tema 4, registro 3|La demanda\tcrece; línea\n"
                     "nueva|true=100,false=0",
                     "category|$course$/top/Orvalis/Conceptuales/Capítulo 01. El marketing y su "
                     "función en la empresa",
                     "essay|Conceptual, capítulo 1, registro 7|Explique ]]> y <![CDATA[ sin más.",
                     "category|$course$/top/Orvalis/Breves/Capítulo 22. Marketing internacional "
                     "y responsabilidad social",
                     "essay|Breve, capítulo 22, registro 40|Breve: {}",
                 }));
    }

    void textsXmlCannotCarryAreLeftOutAndNamed()
    {
        QList<ExportQuestion> questions = exportSample().mid(0, 2);
        questions[0].text = QStringLiteral("Con un \x01 dentro");
        QList<ExportSkip> skipped;
        const QStringList entries = readBack(moodleXmlExport::write(questions, &skipped));
        QCOMPARE(entries.size(), 2); // the category and the second question
        QVERIFY(entries.last().startsWith("truefalse|Capítulo 2, tema 2, registro 13|"));
        QCOMPARE(skipped.size(), 1);
        QCOMPARE(skipped.first().toString(),
                 QStringLiteral("QELMEXT2.DAT, registro 12: el texto contiene caracteres de "
                                "control que XML no admite"));
    }

    void slashesInCategoryNamesAreDoubled_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringList{"A", "B"} << "$course$/top/A/B";
        QTest::newRow("inner slash") << QStringList{"Precio/valor"} << "$course$/top/Precio//valor";
        QTest::newRow("slash at both ends") << QStringList{"/x/"} << "$course$/top/ //x// ";
    }
    void slashesInCategoryNamesAreDoubled()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, text);
        QCOMPARE(moodleXmlExport::categoryText(path), text);
    }
};

QTEST_APPLESS_MAIN(tst_MoodleXmlExport)
#include "tst_MoodleXmlExport.moc"
