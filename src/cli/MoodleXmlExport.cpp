#include "MoodleXmlExport.h"

#include "BankKinds.h"

#include <QXmlStreamWriter>

namespace {

bool isXmlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 0x20 || u == 0x09 || u == 0x0A || u == 0x0D;
}

// A <text> element whose content is one CDATA section (two, around a "]]>"
// in the text, which QXmlStreamWriter splits). Moodle's reader gets each
// character reference as a piece of its own and drops the pieces that are
// only white space, so an escaped text such as «"a" "b"» would lose the space
// between the quotes; CDATA reaches it whole, as Moodle's own export writes it.
void writeTextContent(QXmlStreamWriter &xml, const QString &text)
{
    xml.writeStartElement(QStringLiteral("text"));
    if (text.isEmpty())
        xml.writeCharacters(text);
    else
        xml.writeCDATA(text);
    xml.writeEndElement();
}

void writeText(QXmlStreamWriter &xml, const QString &element, const QString &text,
               const QString &format = QString())
{
    xml.writeStartElement(element);
    if (!format.isEmpty())
        xml.writeAttribute(QStringLiteral("format"), format);
    writeTextContent(xml, text);
    xml.writeEndElement();
}

void writeCategory(QXmlStreamWriter &xml, const QStringList &path)
{
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    writeText(xml, QStringLiteral("category"), exportQuestions::categoryText(path));
    xml.writeEndElement();
}

void writeAnswer(QXmlStreamWriter &xml, const QString &value, bool right)
{
    xml.writeStartElement(QStringLiteral("answer"));
    xml.writeAttribute(QStringLiteral("fraction"),
                       right ? QStringLiteral("100") : QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
    writeTextContent(xml, value);
    writeText(xml, QStringLiteral("feedback"), QString(), QStringLiteral("plain_text"));
    xml.writeEndElement();
}

void writeQuestion(QXmlStreamWriter &xml, const ExportQuestion &question)
{
    const bool trueFalse = question.kind == QuestionKind::TrueFalse;
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"),
                       trueFalse ? QStringLiteral("truefalse") : QStringLiteral("essay"));
    writeText(xml, QStringLiteral("name"), exportQuestions::questionName(question));
    writeText(xml, QStringLiteral("questiontext"), question.text, QStringLiteral("plain_text"));
    writeText(xml, QStringLiteral("generalfeedback"), QString(), QStringLiteral("plain_text"));
    xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    if (trueFalse) {
        xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("1"));
        writeAnswer(xml, QStringLiteral("true"), question.answer);
        writeAnswer(xml, QStringLiteral("false"), !question.answer);
    } else {
        xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("responseformat"), QStringLiteral("editor"));
        xml.writeTextElement(QStringLiteral("responserequired"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("responsefieldlines"), QStringLiteral("15"));
        xml.writeTextElement(QStringLiteral("attachments"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("attachmentsrequired"), QStringLiteral("0"));
        writeText(xml, QStringLiteral("graderinfo"), QString(), QStringLiteral("plain_text"));
        writeText(xml, QStringLiteral("responsetemplate"), QString(), QStringLiteral("plain_text"));
    }
    xml.writeEndElement();
}

} // namespace

namespace moodleXmlExport {

QByteArray write(const QList<ExportQuestion> &questions, QList<ExportSkip> *skipped)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    QStringList category;
    for (const ExportQuestion &question : questions) {
        if (!std::all_of(question.text.cbegin(), question.text.cend(), isXmlCharacter)) {
            if (skipped)
                skipped->append(ExportSkip{questionKind::bankFileName(question.kind),
                                           question.record,
                                           QStringLiteral("el texto contiene caracteres de "
                                                          "control que XML no admite")});
            continue;
        }
        const QStringList path = exportQuestions::categoryPath(question);
        if (path != category) {
            writeCategory(xml, path);
            category = path;
        }
        writeQuestion(xml, question);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace moodleXmlExport
