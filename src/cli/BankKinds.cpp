#include "BankKinds.h"

#include <QFileInfo>

namespace bankKinds {

QString optionName(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::TrueFalse:
        return QStringLiteral("test");
    case QuestionKind::Conceptual:
        return QStringLiteral("conceptual");
    case QuestionKind::Practical:
        return QStringLiteral("practica");
    case QuestionKind::Brief:
        return QStringLiteral("breve");
    }
    return {};
}

std::optional<QuestionKind> fromOptionName(QStringView name)
{
    for (const QuestionKind kind : kQuestionKinds) {
        if (name == optionName(kind))
            return kind;
    }
    return std::nullopt;
}

std::optional<QuestionKind> fromSourceFileName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    for (const QuestionKind kind : kQuestionKinds) {
        if (name.compare(DemoSource::fileName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

QString caption(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::TrueFalse:
        return QStringLiteral("Verdadero o falso");
    case QuestionKind::Conceptual:
        return QStringLiteral("Conceptuales");
    case QuestionKind::Practical:
        return QStringLiteral("Prácticas");
    case QuestionKind::Brief:
        return QStringLiteral("Breves");
    }
    return {};
}

} // namespace bankKinds
