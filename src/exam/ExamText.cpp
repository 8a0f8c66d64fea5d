#include "ExamText.h"

#include "ExamVersions.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kExamHeading = QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test");
const QString kTemplateHeading = QStringLiteral(
    "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas correctas");
const QString kEmptyBoxes = QStringLiteral("Sí( ) No( )  -  ");
const QString kYesMarked = QStringLiteral("Sí(\u2022) No( )  -  ");
const QString kNoMarked = QStringLiteral("Sí( ) No(\u2022)  -  ");
const QString kYes = QStringLiteral("Sí");

const QString kExpositionHeading =
    QStringLiteral("EXAMEN DE MARKETING - PREGUNTAS DE EXPOSICIÓN  ") + kLineEnd +
    QString(48, u'=') + kLineEnd + kLineEnd;

// The item number right-aligned in two characters.
QString itemNumber(qsizetype i)
{
    return QString::number(i).rightJustified(2, u' ');
}

void appendSection(QString &text, const QString &heading, const QStringList &items,
                   const QString &afterItem)
{
    if (items.isEmpty())
        return;
    text += heading + kLineEnd + kLineEnd;
    for (qsizetype i = 0; i < items.size(); ++i)
        text += itemNumber(i + 1) + QStringLiteral(". ") + items.at(i) + afterItem;
}

} // namespace

QString composeExamText(const QStringList &questionTexts)
{
    QString text = kExamHeading + kLineEnd + kLineEnd;
    for (const QString &question : questionTexts)
        text += kEmptyBoxes + question + kLineEnd;
    return text;
}

QString composeAnswerTemplate(const QList<SelectedQuestion> &questions)
{
    QString text = kTemplateHeading + kLineEnd + kLineEnd;
    for (const SelectedQuestion &question : questions)
        text += (question.answerLabel == kYes ? kYesMarked : kNoMarked) + question.text + kLineEnd;
    return text;
}

QString composeExamText(const QStringList &conceptual, const QStringList &practical,
                        const QStringList &brief)
{
    const QString blankAfter = kLineEnd + kLineEnd;
    QString text = kExpositionHeading;
    appendSection(text, QStringLiteral("A. PREGUNTAS CONCEPTUALES:"), conceptual, blankAfter);
    appendSection(text, kLineEnd + QStringLiteral("B. PREGUNTAS PRÁCTICAS:"), practical,
                  blankAfter);
    appendSection(text, kLineEnd + QStringLiteral("C. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:"),
                  brief, kLineEnd);
    return text;
}

namespace {

QString composeOne(const ExamDescription &exam)
{
    switch (exam.kind) {
    case ExamDescription::Kind::TrueFalse: {
        QStringList texts;
        for (const SelectedQuestion &question : exam.questions)
            texts.append(question.text);
        return composeExamText(texts);
    }
    case ExamDescription::Kind::AnswerTemplate:
        return composeAnswerTemplate(exam.questions);
    case ExamDescription::Kind::Exposition:
        break;
    }
    return composeExamText(exam.sections[0], exam.sections[1], exam.sections[2]);
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
        text += QStringLiteral("VERSIÓN ") + ExamVersions::letter(v) + kLineEnd +
                composeOne(versions.at(v));
    }
    if (exam.kind == ExamDescription::Kind::AnswerTemplate) {
        text += kLineEnd + ExamVersions::seedLine(exam.seed) + kLineEnd;
        for (int v = 0; v < versions.size(); ++v)
            text += ExamVersions::keyLine(v, versions.at(v)) + kLineEnd;
    }
    return text;
}
