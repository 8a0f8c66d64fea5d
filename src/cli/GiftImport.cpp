#include "GiftImport.h"

#include <QStringDecoder>

namespace giftImport {

namespace {

struct Line
{
    int number = 0;
    QString text;
};

// Where `needle` first stands in `text` from `from` on, not counting
// characters made plain by a backslash; -1 when nowhere.
qsizetype findUnescaped(QStringView text, QStringView needle, qsizetype from = 0)
{
    for (qsizetype k = from; k < text.size(); ++k) {
        if (text[k] == u'\\')
            ++k;
        else if (text.sliced(k).startsWith(needle))
            return k;
    }
    return -1;
}

QString unescaped(QStringView text)
{
    static const QString kPlain = QStringLiteral("~=#{}:\\");
    QString result;
    result.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] == u'\\' && k + 1 < text.size()) {
            if (kPlain.contains(text[k + 1])) {
                result += text[++k];
                continue;
            }
            if (text[k + 1] == u'n') {
                result += u'\n';
                ++k;
                continue;
            }
        }
        result += text[k];
    }
    return result;
}

qsizetype skipSpaces(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

void readQuestion(const QList<Line> &lines, ImportedFile &file)
{
    const int line = lines.first().number;
    QStringList texts;
    for (const Line &each : lines)
        texts.append(each.text);
    const QString block = texts.join(u'\n');

    qsizetype at = skipSpaces(block, 0);
    if (QStringView(block).sliced(at).startsWith(u"::")) {
        const qsizetype end = findUnescaped(block, u"::", at + 2);
        if (end < 0) {
            file.refuse(line, QStringLiteral("falta el «::» que cierra el nombre de la pregunta"));
            return;
        }
        at = skipSpaces(block, end + 2);
    }
    htmlText::Format format = htmlText::Format::MoodleAuto;
    if (at < block.size() && block[at] == u'[') {
        static const QList<std::pair<QString, htmlText::Format>> kFormats = {
            {QStringLiteral("[html]"), htmlText::Format::Html},
            {QStringLiteral("[moodle]"), htmlText::Format::MoodleAuto},
            {QStringLiteral("[plain]"), htmlText::Format::Plain},
            {QStringLiteral("[markdown]"), htmlText::Format::Markdown}};
        for (const auto &[name, named] : kFormats) {
            if (QStringView(block).sliced(at).startsWith(name)) {
                format = named;
                at += name.size();
                break;
            }
        }
    }

    const qsizetype open = findUnescaped(block, u"{", at);
    if (open < 0) {
        file.leaveOut(line, QStringLiteral("descripción (un texto sin respuestas)"));
        return;
    }
    const qsizetype close = findUnescaped(block, u"}", open + 1);
    if (close < 0) {
        file.refuse(line, QStringLiteral("falta la «}» que cierra las respuestas"));
        return;
    }
    if (!QStringView(block).sliced(close + 1).trimmed().isEmpty()) {
        file.leaveOut(line, QStringLiteral("palabra que falta (respuestas en medio del texto)"));
        return;
    }
    const htmlText::Result text =
        htmlText::readable(unescaped(QStringView(block).sliced(at, open - at)), format);

    QStringView answers = QStringView(block).sliced(open + 1, close - open - 1);
    // General feedback, which the bank has no place for.
    if (const qsizetype general = findUnescaped(answers, u"####"); general >= 0)
        answers.truncate(general);
    answers = answers.trimmed();
    if (answers.isEmpty()) {
        file.addEssay(line, text);
        return;
    }
    if (answers.startsWith(u'#')) {
        file.leaveOut(line, QStringLiteral("respuesta numérica"));
        return;
    }
    const qsizetype feedback = findUnescaped(answers, u"#");
    const QString value =
        answers.first(feedback < 0 ? answers.size() : feedback).trimmed().toString().toUpper();
    if (value == u"T" || value == u"TRUE" || value == u"F" || value == u"FALSE") {
        file.addTrueFalse(line, text, value.startsWith(u'T'));
    } else if (findUnescaped(answers, u"~") >= 0) {
        file.leaveOut(line, QStringLiteral("opción múltiple"));
    } else if (findUnescaped(answers, u"=") >= 0) {
        file.leaveOut(line, findUnescaped(answers, u"->") >= 0 ? QStringLiteral("emparejamiento")
                                                               : QStringLiteral("respuesta corta"));
    } else {
        file.refuse(line, QStringLiteral("no se entienden las respuestas «{%1}»")
                              .arg(answers.left(60).toString()));
    }
}

} // namespace

ImportedFile read(const QString &path, QByteArrayView content, const ImportOptions &options)
{
    ImportedFile file(path, options);
    QList<Line> block;
    const auto endBlock = [&] {
        if (!block.isEmpty())
            readQuestion(block, file);
        block.clear();
    };
    int number = 0;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArrayView bytes = content.sliced(start, end - start);
        start = end + 1;
        ++number;
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        // Only the first line may open with a byte order mark.
        QStringConverter::Flags flags = QStringConverter::Flag::Stateless;
        if (number > 1)
            flags |= QStringConverter::Flag::ConvertInitialBom;
        QStringDecoder decoder(QStringConverter::Utf8, flags);
        const QString line = decoder.decode(bytes);
        if (decoder.hasError()) {
            file.refuse(number, QStringLiteral("la línea no está escrita en UTF-8 válido"));
            continue;
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            endBlock();
        } else if (trimmed.startsWith(QLatin1String("//"))) {
            continue;
        } else if (trimmed.startsWith(QLatin1String("$CATEGORY:"))) {
            endBlock();
            file.setCategory(trimmed.sliced(10));
        } else {
            block.append({number, line});
        }
    }
    endBlock();
    return file;
}

} // namespace giftImport
