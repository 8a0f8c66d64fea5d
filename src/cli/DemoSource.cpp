#include "DemoSource.h"

#include "Cp1252.h"
#include "TopicCatalogue.h"
#include "TrueFalseIndex.h"
#include "TrueFalseRecord.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr QChar kSeparator = QLatin1Char('|');

// A chapter or topic number as the sources write it: one or two digits, no
// sign and no spaces, so that a stray character is reported rather than read
// around.
int parseNumber(QStringView field)
{
    if (field.isEmpty() || field.size() > 2)
        return -1;
    int value = 0;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

QString codePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString textKey(int chapter, int topic, const QString &text)
{
    return QString::number(HeldQuestions::place(chapter, topic)) + QLatin1Char('|') + text;
}

} // namespace

void HeldQuestions::addText(int chapter, int topic, const QString &text, qint32 recordNumber)
{
    // The first record with the text is the one a repeated line is pointed to.
    m_recordOfText.insert(textKey(chapter, topic, text),
                          m_recordOfText.value(textKey(chapter, topic, text), recordNumber));
    m_texts.append({chapter, topic, text, recordNumber});
}

void HeldQuestions::setListed(int chapter, int topic, int count)
{
    m_listed.insert(place(chapter, topic), count);
}

qint32 HeldQuestions::recordOf(int chapter, int topic, const QString &text) const
{
    return m_recordOfText.value(textKey(chapter, topic, text));
}

QString DemoSourceProblem::toString() const
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(file, message);
    return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
}

QString DemoSource::fileName(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::TrueFalse:
        return QStringLiteral("verdadero_falso.txt");
    case QuestionKind::Conceptual:
        return QStringLiteral("conceptuales.txt");
    case QuestionKind::Practical:
        return QStringLiteral("practicas.txt");
    case QuestionKind::Brief:
        return QStringLiteral("breves.txt");
    }
    return {};
}

int DemoSource::textWidth(QuestionKind kind)
{
    if (kind == QuestionKind::TrueFalse)
        return TrueFalseRecord::kTextWidth;
    return expositionKindInfo(questionKind::expositionKind(kind)).textWidth;
}

DemoSource DemoSource::read(QuestionKind kind, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DemoSource source(kind, path, {});
        source.addProblem(0, QStringLiteral("no se puede leer: %1").arg(file.errorString()));
        return source;
    }
    return parse(kind, path, file.readAll());
}

DemoSource DemoSource::parse(QuestionKind kind, const QString &path, QByteArrayView content,
                             const HeldQuestions &held)
{
    DemoSource source(kind, path, held);
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArrayView bytes = content.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;

        // Files checked out with CR LF line ends read the same as LF ones.
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        // Only the file's first line may open with a byte order mark; anywhere
        // else it is a character of the text, and an unencodable one.
        // Stateless: a sequence cut short at the end of the line is an error
        // too, not something to finish on the next line.
        QStringConverter::Flags flags = QStringConverter::Flag::Stateless;
        if (lineNumber > 1)
            flags |= QStringConverter::Flag::ConvertInitialBom;
        QStringDecoder decoder(QStringConverter::Utf8, flags);
        const QString line = decoder.decode(bytes);
        if (decoder.hasError()) {
            source.addProblem(lineNumber,
                              QStringLiteral("la línea no está escrita en UTF-8 válido"));
            continue;
        }
        source.parseLine(lineNumber, line);
    }
    source.checkCapacity();
    return source;
}

DemoSource DemoSource::check(QuestionKind kind, const QString &path,
                             const QList<DemoQuestion> &questions, const HeldQuestions &held)
{
    DemoSource source(kind, path, held);
    for (const DemoQuestion &question : questions)
        if (source.checkText(question.line, question))
            source.m_questions.append(question);
    source.checkCapacity();
    return source;
}

void DemoSource::parseLine(int lineNumber, QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return;

    const bool trueFalse = m_kind == QuestionKind::TrueFalse;
    const int separators = trueFalse ? 3 : 1;
    QList<QStringView> fields;
    qsizetype from = 0;
    for (int i = 0; i < separators; ++i) {
        const qsizetype at = line.indexOf(kSeparator, from);
        if (at < 0) {
            addProblem(lineNumber, trueFalse
                                       ? QStringLiteral("se esperaba capítulo|tema|respuesta|texto")
                                       : QStringLiteral("se esperaba capítulo|texto"));
            return;
        }
        fields.append(line.sliced(from, at - from));
        from = at + 1;
    }
    const QString text = line.sliced(from).toString();

    const int chapter = parseNumber(fields[0]);
    if (chapter < 1 || chapter > TopicCatalogue::kChapters) {
        addProblem(lineNumber, QStringLiteral("el capítulo «%1» no es un número del 1 al %2")
                                   .arg(fields[0].toString())
                                   .arg(TopicCatalogue::kChapters));
        return;
    }

    DemoQuestion question;
    question.line = lineNumber;
    question.chapter = qint16(chapter);
    if (trueFalse) {
        const TopicCatalogue catalogue;
        const int topics = catalogue.topicCount(chapter);
        const int topic = parseNumber(fields[1]);
        if (topic < 1 || topic > topics) {
            addProblem(
                lineNumber,
                QStringLiteral("el tema «%1» no existe en el capítulo %2, que tiene %3 temas")
                    .arg(fields[1].toString())
                    .arg(chapter)
                    .arg(topics));
            return;
        }
        question.topic = qint16(topic);

        if (fields[2] == QLatin1String("S")) {
            question.answer = 1;
        } else if (fields[2] == QLatin1String("N")) {
            question.answer = 0;
        } else {
            addProblem(lineNumber, QStringLiteral("la respuesta «%1» no es S (Sí) ni N (No)")
                                       .arg(fields[2].toString()));
            return;
        }
    }

    question.text = text;
    if (!checkText(lineNumber, question))
        return;
    m_questions.append(question);
}

bool DemoSource::checkText(int lineNumber, const DemoQuestion &question)
{
    const QString &text = question.text;
    if (text.trimmed().isEmpty()) {
        addProblem(lineNumber, QStringLiteral("el texto de la pregunta está vacío"));
        return false;
    }
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            addProblem(lineNumber,
                       QStringLiteral("el texto contiene un carácter de control (%1); los "
                                      "tabuladores y los saltos de línea no se pueden guardar")
                           .arg(codePoint(c.unicode())));
            return false;
        }
    }
    // The bank shows a text without the spaces at its ends, so such a text
    // would not come back as written.
    if (text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '))) {
        addProblem(lineNumber, QStringLiteral("el texto empieza o termina con un espacio"));
        return false;
    }
    const Cp1252::Encoded encoded = Cp1252::encode(text);
    if (!encoded.ok()) {
        QStringList names;
        // By code point: a character beyond U+FFFF is one, not its two halves.
        for (const char32_t c : encoded.unencodable.toUcs4())
            names.append(codePoint(c));
        addProblem(lineNumber, QStringLiteral("el texto contiene caracteres que Windows-1252 no "
                                              "puede representar: %1 (%2)")
                                   .arg(encoded.unencodable, names.join(QStringLiteral(", "))));
        return false;
    }
    const int width = textWidth(m_kind);
    if (text.size() > width) {
        addProblem(lineNumber,
                   QStringLiteral("el texto tiene %1 caracteres, más que los %2 de su campo")
                       .arg(text.size())
                       .arg(width));
        return false;
    }
    // A question is the same as another when chapter, topic and text match:
    // one text may well serve under two chapters.
    if (const qint32 held = m_held.recordOf(question.chapter, question.topic, text); held > 0) {
        addProblem(lineNumber,
                   QStringLiteral("la misma pregunta ya está en el banco (registro %1)").arg(held));
        return false;
    }
    const QString key = textKey(question.chapter, question.topic, text);
    const auto earlier = m_lineOfText.constFind(key);
    if (earlier != m_lineOfText.constEnd()) {
        addProblem(lineNumber, QStringLiteral("la misma pregunta que la línea %1").arg(*earlier));
        return false;
    }
    m_lineOfText.insert(key, lineNumber);
    return true;
}

// The bank indexes at most 50 questions under one chapter and topic, and 100
// (200 brief) under one exposition chapter; a question past that would be in
// the file and in no listing. The questions the bank file holds count first.
void DemoSource::checkCapacity()
{
    QHash<int, int> counts;
    qint32 records = m_held.recordCount();
    for (const DemoQuestion &question : std::as_const(m_questions)) {
        ++records;
        const int place = HeldQuestions::place(question.chapter, question.topic);
        const int held = m_held.listed(question.chapter, question.topic) + ++counts[place];
        if (m_kind == QuestionKind::TrueFalse) {
            if (held > TrueFalseIndex::kSlots)
                addProblem(question.line,
                           QStringLiteral("el tema %1 del capítulo %2 ya tiene %3 preguntas, el "
                                          "máximo que el banco puede listar")
                               .arg(question.topic)
                               .arg(question.chapter)
                               .arg(TrueFalseIndex::kSlots));
            else if (records > TrueFalseIndex::kMaxRecordNumber)
                addProblem(question.line,
                           QStringLiteral("el banco no puede indexar más de %1 preguntas")
                               .arg(TrueFalseIndex::kMaxRecordNumber));
        } else {
            const int most = expositionKindInfo(questionKind::expositionKind(m_kind)).maxPerChapter;
            if (held > most)
                addProblem(question.line,
                           QStringLiteral("el capítulo %1 ya tiene %2 preguntas, el máximo que el "
                                          "banco puede listar")
                               .arg(question.chapter)
                               .arg(most));
        }
    }
    std::stable_sort(
        m_problems.begin(), m_problems.end(),
        [](const DemoSourceProblem &a, const DemoSourceProblem &b) { return a.line < b.line; });
}

void DemoSource::addProblem(int lineNumber, const QString &message)
{
    m_problems.append({m_path, lineNumber, message});
}
