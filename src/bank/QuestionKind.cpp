#include "QuestionKind.h"

#include "TrueFalseBank.h"

namespace questionKind {

QString bankFileName(QuestionKind kind)
{
    if (kind == QuestionKind::TrueFalse)
        return TrueFalseBank::loadName();
    return expositionKindInfo(expositionKind(kind)).loadName;
}

QString rewriteFileName(QuestionKind kind)
{
    if (kind == QuestionKind::TrueFalse)
        return TrueFalseBank::rewriteName();
    return expositionKindInfo(expositionKind(kind)).rewriteName;
}

int recordLength(QuestionKind kind)
{
    if (kind == QuestionKind::TrueFalse)
        return TrueFalseBank::kRecordLength;
    return expositionKindInfo(expositionKind(kind)).recordLength;
}

ExpositionKind expositionKind(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::Practical:
        return ExpositionKind::Practical;
    case QuestionKind::Brief:
        return ExpositionKind::Brief;
    case QuestionKind::TrueFalse:
    case QuestionKind::Conceptual:
        break;
    }
    return ExpositionKind::Conceptual;
}

QuestionKind fromExposition(ExpositionKind kind)
{
    switch (kind) {
    case ExpositionKind::Practical:
        return QuestionKind::Practical;
    case ExpositionKind::Brief:
        return QuestionKind::Brief;
    case ExpositionKind::Conceptual:
        break;
    }
    return QuestionKind::Conceptual;
}

} // namespace questionKind
