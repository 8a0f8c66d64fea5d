#include "ExamText.h"

#include "ExamVersions.h"
#include "ExamWording.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kExamHeading = QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test");
const QString kTemplateHeading = QStringLiteral(
    "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas correctas");
const QString kExpositionHeading =
    QStringLiteral("EXAMEN DE MARKETING - PREGUNTAS DE EXPOSICIÓN  ") + kLineEnd +
    QString(48, u'=') + kLineEnd + kLineEnd;

// The item number right-aligned in two characters.
QString itemNumber(qsizetype i)
{
    return QString::number(i).rightJustified(2, u' ');
}

QString trueFalseText(const QList<ExamQuestion> &questions, bool marked)
{
    QString text = (marked ? kTemplateHeading : kExamHeading) + kLineEnd + kLineEnd;
    const QString open = ExamWording::textBoxes();
    for (const ExamQuestion &question : questions)
        text +=
            (marked ? ExamWording::textBoxes(question.answer) : open) + question.text + kLineEnd;
    return text;
}

QString expositionText(const ExamSelection &selection)
{
    QString text = kExpositionHeading;
    for (const QuestionKind kind :
         {QuestionKind::Conceptual, QuestionKind::Practical, QuestionKind::Brief}) {
        const QList<ExamQuestion> &items = selection.of(kind);
        if (items.isEmpty())
            continue;
        // Sections B and C open with an empty line, whether A is there or not.
        if (kind != QuestionKind::Conceptual)
            text += kLineEnd;
        text += ExamWording::sectionHeading(kind) + kLineEnd + kLineEnd;
        const QString afterItem = kind == QuestionKind::Brief ? kLineEnd : kLineEnd + kLineEnd;
        for (qsizetype i = 0; i < items.size(); ++i)
            text += itemNumber(i + 1) + QStringLiteral(". ") + items.at(i).text + afterItem;
    }
    return text;
}

QString composeOne(const ExamDescription &exam)
{
    switch (exam.kind) {
    case ExamDescription::Kind::TrueFalse:
        return trueFalseText(exam.selection.of(QuestionKind::TrueFalse), false);
    case ExamDescription::Kind::AnswerTemplate:
        return trueFalseText(exam.selection.of(QuestionKind::TrueFalse), true);
    case ExamDescription::Kind::Exposition:
        break;
    }
    return expositionText(exam.selection);
}

} // namespace

QString composeText(const ExamDescription &exam)
{
    if (exam.versions <= 1)
        return composeOne(exam);
    const QList<ExamDescription> versions = ExamVersions::make(exam);
    QString text;
    for (int v = 0; v < versions.size(); ++v) {
        if (v > 0)
            text += u'\f';
        text += ExamWording::versionLine(v) + kLineEnd + composeOne(versions.at(v));
    }
    if (exam.kind == ExamDescription::Kind::AnswerTemplate) {
        text += kLineEnd + ExamWording::seedLine(exam.seed) + kLineEnd;
        for (int v = 0; v < versions.size(); ++v)
            text += ExamWording::keyLine(v, versions.at(v).selection.of(QuestionKind::TrueFalse)) +
                    kLineEnd;
    }
    return text;
}
