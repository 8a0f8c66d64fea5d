#include "LeftOutRecords.h"

#include <QStringList>

LeftOutReason leftOutReason(TrueFalseIndex::AddResult added)
{
    switch (added) {
    case TrueFalseIndex::AddResult::Added:
        break;
    case TrueFalseIndex::AddResult::ChapterOutOfRange:
        return LeftOutReason::ChapterOutOfRange;
    case TrueFalseIndex::AddResult::TopicOutOfRange:
        return LeftOutReason::TopicOutOfRange;
    case TrueFalseIndex::AddResult::RecordNumberTooLarge:
        return LeftOutReason::RecordNumberTooLarge;
    case TrueFalseIndex::AddResult::TopicFull:
        return LeftOutReason::TopicFull;
    }
    return LeftOutReason::None;
}

LeftOutReason leftOutReason(ExpositionIndex::AddResult added)
{
    switch (added) {
    case ExpositionIndex::AddResult::Added:
        break;
    case ExpositionIndex::AddResult::ChapterOutOfRange:
        return LeftOutReason::ChapterOutOfRange;
    case ExpositionIndex::AddResult::ChapterFull:
        return LeftOutReason::ChapterFull;
    }
    return LeftOutReason::None;
}

void LeftOutRecords::add(LeftOutReason reason, qint32 n)
{
    switch (reason) {
    case LeftOutReason::None:
        return;
    case LeftOutReason::ChapterOutOfRange:
        ++chapterOutOfRange;
        break;
    case LeftOutReason::TopicOutOfRange:
        ++topicOutOfRange;
        break;
    case LeftOutReason::RecordNumberTooLarge:
        ++recordNumberTooLarge;
        break;
    case LeftOutReason::TopicFull:
        ++topicFull;
        break;
    case LeftOutReason::ChapterFull:
        ++chapterFull;
        break;
    }
    recordNumbers.append(n);
}

QString LeftOutRecords::describe() const
{
    if (isEmpty())
        return QString();
    QStringList reasons;
    const auto add = [&reasons](qint32 count, const char *what) {
        if (count > 0)
            reasons.append(QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(what)));
    };
    add(chapterOutOfRange, "con el capítulo fuera de 1 a 22");
    add(topicOutOfRange, "con el tema fuera de 1 a 10");
    add(topicFull, "de un tema que ya tenía 50 preguntas");
    add(chapterFull, "de un capítulo que ya tenía el máximo de preguntas");
    add(recordNumberTooLarge, "con número de registro mayor que 32767");
    return QStringLiteral("%1 preguntas del fichero no se pueden mostrar: %2.")
        .arg(total())
        .arg(reasons.join(QStringLiteral(", ")));
}
