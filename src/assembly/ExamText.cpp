#include "ExamText.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kExamHeading = QStringLiteral("EXAMEN DE MARKETING - Preguntas tipo test");
const QString kTemplateHeading = QStringLiteral(
    "EXAMEN DE MARKETING - Preguntas tipo test - Plantilla con las respuestas correctas");
const QString kEmptyBoxes = QStringLiteral("Sí( ) No( )  -  ");
const QString kYesMarked = QStringLiteral("Sí(\u2022) No( )  -  ");
const QString kNoMarked = QStringLiteral("Sí( ) No(\u2022)  -  ");
const QString kYes = QStringLiteral("Sí");

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
