#include "ExamWording.h"

#include "AnswerLabel.h"

#include <QStringList>

namespace ExamWording {

QString answerLabel(bool yes)
{
    return ::answerLabel(yes);
}

namespace {

QString boxes(const QString &yesMark, const QString &noMark)
{
    return answerLabel(true) + u'(' + yesMark + QStringLiteral(") ") + answerLabel(false) + u'(' +
           noMark + QStringLiteral(")  -  ");
}

} // namespace

QString textBoxes()
{
    return boxes(QStringLiteral(" "), QStringLiteral(" "));
}

QString textBoxes(bool marked)
{
    const QString mark = QStringLiteral("\u2022"), empty = QStringLiteral(" ");
    return marked ? boxes(mark, empty) : boxes(empty, mark);
}

QString sectionHeading(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::Conceptual:
        return QStringLiteral("A. PREGUNTAS CONCEPTUALES:");
    case QuestionKind::Practical:
        return QStringLiteral("B. PREGUNTAS PRÁCTICAS:");
    case QuestionKind::Brief:
        return QStringLiteral("C. DEFINA BREVEMENTE LOS SIGUIENTES CONCEPTOS:");
    case QuestionKind::TrueFalse:
        break;
    }
    return {};
}

QString versionLetter(int version)
{
    return QString(QChar(u'A' + version));
}

QString versionLine(int version)
{
    return QStringLiteral("VERSIÓN ") + versionLetter(version);
}

QString keyLine(int version, const QList<ExamQuestion> &questions)
{
    QStringList answers;
    for (qsizetype i = 0; i < questions.size(); ++i)
        answers.append(QStringLiteral("%1 %2").arg(i + 1).arg(answerLabel(questions.at(i).answer)));
    return QStringLiteral("Versión %1: ").arg(versionLetter(version)) +
           answers.join(QStringLiteral(", "));
}

QString seedLine(quint32 seed)
{
    return QStringLiteral("Clave de barajado: %1").arg(seed);
}

} // namespace ExamWording
