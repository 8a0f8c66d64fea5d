#include "ImportedFile.h"

#include "CategoryPlace.h"

void ImportedFile::setCategory(const QString &categoryText)
{
    m_category = categoryText.trimmed();
}

QList<QuestionKind> ImportedFile::kinds() const
{
    QList<QuestionKind> kinds;
    for (const QuestionKind kind : kQuestionKinds)
        if (!questions(kind).isEmpty())
            kinds.append(kind);
    return kinds;
}

std::optional<QString> ImportedFile::bankText(int line, const htmlText::Result &text)
{
    if (!text.ok()) {
        refuse(line, text.refusal);
        return std::nullopt;
    }
    QStringList lines;
    for (const QString &shown : text.lines)
        lines.append(shown.trimmed());
    return lines.join(u' ');
}

QString ImportedFile::unknownPlace(const QString &what, const QString &options) const
{
    const QString why =
        m_category.isEmpty() ? QStringLiteral("el fichero no le da categoría")
        : categoryPlace::placeOf(m_category)
            ? QStringLiteral("su categoría, «%1», es de preguntas de otro tipo").arg(m_category)
            : QStringLiteral("su categoría, «%1», no es una de las que escribe orvalis-banco")
                  .arg(m_category);
    return QStringLiteral("no se sabe %1: %2; indique %3").arg(what, why, options);
}

void ImportedFile::addTrueFalse(int line, const htmlText::Result &text, bool answer)
{
    const std::optional<QString> shown = bankText(line, text);
    if (!shown)
        return;
    DemoQuestion question{line, 0, 0, qint16(answer ? 1 : 0), *shown};
    if (m_options.chapter > 0) {
        if (m_options.topic == 0) {
            refuse(line, QStringLiteral("una pregunta de verdadero o falso necesita un tema: "
                                        "indique --tema con --capitulo"));
            return;
        }
        question.chapter = qint16(m_options.chapter);
        question.topic = qint16(m_options.topic);
    } else if (const auto place = categoryPlace::placeOf(m_category);
               place && place->kind == QuestionKind::TrueFalse) {
        question.chapter = qint16(place->chapter);
        question.topic = qint16(place->topic);
    } else {
        refuse(line, unknownPlace(QStringLiteral("en qué capítulo y tema va"),
                                  QStringLiteral("--capitulo N --tema T")));
        return;
    }
    m_questions[std::size_t(QuestionKind::TrueFalse)].append(question);
}

void ImportedFile::addEssay(int line, const htmlText::Result &text)
{
    const std::optional<QString> shown = bankText(line, text);
    if (!shown)
        return;
    const std::optional<categoryPlace::Place> place = categoryPlace::placeOf(m_category);
    std::optional<QuestionKind> kind = m_options.essayKind;
    if (!kind && place && place->kind != QuestionKind::TrueFalse)
        kind = place->kind;
    if (!kind) {
        refuse(line, unknownPlace(QStringLiteral("de qué tipo es esta pregunta de ensayo"),
                                  QStringLiteral("--tipo conceptual, practica o breve")));
        return;
    }
    const int chapter = m_options.chapter > 0 ? m_options.chapter : place ? place->chapter : 0;
    if (chapter == 0) {
        refuse(line,
               unknownPlace(QStringLiteral("en qué capítulo va"), QStringLiteral("--capitulo N")));
        return;
    }
    m_questions[std::size_t(*kind)].append(DemoQuestion{line, qint16(chapter), 0, 0, *shown});
}

void ImportedFile::leaveOut(int line, const QString &type)
{
    m_leftOut.append({m_path, line,
                      QStringLiteral("se deja fuera una pregunta de %1: el banco solo guarda "
                                     "preguntas de verdadero o falso y de ensayo")
                          .arg(type)});
}

void ImportedFile::refuse(int line, const QString &reason)
{
    m_problems.append({m_path, line, reason});
}
