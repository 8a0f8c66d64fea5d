#include "MoodleXmlImport.h"

#include <QHash>
#include <QXmlStreamReader>

namespace moodleXmlImport {

namespace {

// An element whose content is a <text> (its own text in older category
// entries), with the format it names and the files it carries.
struct TextElement
{
    QString text;
    QString format;
    QStringList files;
};

TextElement readTextElement(QXmlStreamReader &xml)
{
    TextElement element;
    element.format = xml.attributes().value(QLatin1String("format")).toString();
    QString own;
    bool hasText = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            break;
        if (xml.isCharacters()) {
            own += xml.text();
        } else if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("text")) {
                hasText = true;
                element.text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (xml.name() == QLatin1String("file")) {
                element.files.append(xml.attributes().value(QLatin1String("name")).toString());
                xml.skipCurrentElement();
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    if (!hasText)
        element.text = own;
    return element;
}

htmlText::Format formatOf(const QString &name)
{
    if (name == QLatin1String("plain_text"))
        return htmlText::Format::Plain;
    if (name == QLatin1String("moodle_auto_format"))
        return htmlText::Format::MoodleAuto;
    if (name == QLatin1String("markdown"))
        return htmlText::Format::Markdown;
    return htmlText::Format::Html; // Moodle's default
}

// "opción múltiple (multichoice)".
QString typeName(const QString &type)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("multichoice"), QStringLiteral("opción múltiple")},
        {QStringLiteral("shortanswer"), QStringLiteral("respuesta corta")},
        {QStringLiteral("numerical"), QStringLiteral("respuesta numérica")},
        {QStringLiteral("matching"), QStringLiteral("emparejamiento")},
        {QStringLiteral("cloze"), QStringLiteral("respuestas incrustadas")},
        {QStringLiteral("description"), QStringLiteral("descripción")},
        {QStringLiteral("calculated"), QStringLiteral("cálculo")},
        {QStringLiteral("ddwtos"), QStringLiteral("arrastrar y soltar")},
        {QStringLiteral("gapselect"), QStringLiteral("huecos para elegir")},
        {QStringLiteral("ordering"), QStringLiteral("ordenación")}};
    if (type.isEmpty())
        return QStringLiteral("tipo sin nombre");
    return QStringLiteral("%1 (%2)").arg(names.value(type, QStringLiteral("tipo")), type);
}

// The answer of a true/false question: the answers "true" and "false", the
// right one with fraction 100 and the other with 0; nullopt otherwise.
std::optional<bool> trueFalseAnswer(const QList<std::pair<QString, QString>> &answers)
{
    if (answers.size() != 2)
        return std::nullopt;
    std::optional<bool> right;
    int seenTrue = 0;
    for (const auto &[text, fraction] : answers) {
        const QString value = text.trimmed().toLower();
        if (value != QLatin1String("true") && value != QLatin1String("false"))
            return std::nullopt;
        const bool isTrue = value == QLatin1String("true");
        seenTrue += isTrue;
        bool number = false;
        const double weight = fraction.toDouble(&number);
        if (!number || (weight != 100 && weight != 0))
            return std::nullopt;
        if (weight == 100) {
            if (right)
                return std::nullopt;
            right = isTrue;
        }
    }
    return seenTrue == 1 ? right : std::nullopt;
}

void readQuestion(QXmlStreamReader &xml, ImportedFile &file)
{
    const int line = int(xml.lineNumber());
    const QString type = xml.attributes().value(QLatin1String("type")).toString();
    TextElement category, question;
    QList<std::pair<QString, QString>> answers; // text, fraction
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("category")) {
            category = readTextElement(xml);
        } else if (xml.name() == QLatin1String("questiontext")) {
            question = readTextElement(xml);
        } else if (xml.name() == QLatin1String("answer")) {
            const QString fraction = xml.attributes().value(QLatin1String("fraction")).toString();
            answers.append({readTextElement(xml).text, fraction});
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return;

    if (type == QLatin1String("category")) {
        file.setCategory(category.text);
        return;
    }
    if (type != QLatin1String("truefalse") && type != QLatin1String("essay")) {
        file.leaveOut(line, typeName(type));
        return;
    }
    if (!question.files.isEmpty()) {
        file.refuse(line, QStringLiteral("la pregunta trae un fichero (%1), y el banco solo "
                                         "guarda texto")
                              .arg(question.files.join(QStringLiteral(", "))));
        return;
    }
    const htmlText::Result text = htmlText::readable(question.text, formatOf(question.format));
    if (type == QLatin1String("essay")) {
        file.addEssay(line, text);
        return;
    }
    if (const std::optional<bool> answer = trueFalseAnswer(answers))
        file.addTrueFalse(line, text, *answer);
    else
        file.refuse(line, QStringLiteral("no se sabe cuál es la respuesta correcta: una pregunta "
                                         "de verdadero o falso lleva las respuestas «true» y "
                                         "«false», una con fraction=\"100\" y la otra con \"0\""));
}

} // namespace

ImportedFile read(const QString &path, QByteArrayView content, const ImportOptions &options)
{
    ImportedFile file(path, options);
    QXmlStreamReader xml(content.toByteArray());
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("quiz")) {
            file.refuse(int(xml.lineNumber()),
                        QStringLiteral("no es un fichero XML de preguntas de Moodle: empieza con "
                                       "<%1> y no con <quiz>")
                            .arg(xml.name().toString()));
            return file;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("question"))
                readQuestion(xml, file);
            else
                xml.skipCurrentElement();
        }
        // Whatever follows must be well-formed too.
        while (!xml.atEnd())
            xml.readNext();
    }
    if (xml.hasError())
        file.refuse(int(xml.lineNumber()),
                    QStringLiteral("el XML no es válido: %1").arg(xml.errorString()));
    return file;
}

} // namespace moodleXmlImport
