#include "GiftExport.h"

#include "ExportQuestions.h"

namespace giftExport {

QString escaped(const QString &text)
{
    QString result;
    result.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '\\':
        case '~':
        case '=':
        case '#':
        case '{':
        case '}':
        case ':':
            result += QLatin1Char('\\');
            result += c;
            break;
        case '\r':
            // CR LF is one line break.
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            result += QStringLiteral("\\n");
            break;
        case '\n':
            result += QStringLiteral("\\n");
            break;
        default:
            result += c;
        }
    }
    return result;
}

QByteArray write(const QList<ExportQuestion> &questions)
{
    QString text =
        QStringLiteral("// Preguntas del banco de Orvalis exportadas por orvalis-banco.\n");
    QStringList category;
    for (const ExportQuestion &question : questions) {
        const QStringList path = exportQuestions::categoryPath(question);
        if (path != category) {
            // The category line is read as it stands, without escapes.
            text += QStringLiteral("\n$CATEGORY: %1\n").arg(exportQuestions::categoryText(path));
            category = path;
        }
        const QString answer = question.kind != QuestionKind::TrueFalse ? QString()
                               : question.answer                        ? QStringLiteral("TRUE")
                                                                        : QStringLiteral("FALSE");
        text += QStringLiteral("\n::%1::[plain]%2{%3}\n")
                    .arg(escaped(exportQuestions::questionName(question)), escaped(question.text),
                         answer);
    }
    return text.toUtf8();
}

} // namespace giftExport
