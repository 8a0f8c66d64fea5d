#include "BankErrors.h"

namespace bankErrors {

namespace {
BankError make(BankErrorCode code, const QString &message, const QString &detail = QString())
{
    return BankError{code, message, detail};
}
} // namespace

BankError notOpen()
{
    return make(BankErrorCode::NotOpen, QStringLiteral("El fichero de preguntas no está abierto."));
}

BankError cannotOpen(const QString &name, const QString &reason)
{
    return make(BankErrorCode::CannotOpen,
                QStringLiteral("No se puede abrir el fichero %1.").arg(name), reason);
}

BankError cannotRead(const QString &name, const QString &reason)
{
    return make(BankErrorCode::CannotRead,
                QStringLiteral("No se puede leer el fichero %1.").arg(name), reason);
}

BankError cannotWrite(const QString &reason)
{
    return make(BankErrorCode::CannotWrite,
                QStringLiteral("No se ha podido actualizar la base de datos: %1").arg(reason),
                reason);
}

BankError noSuchRecord(qint64 n)
{
    return make(BankErrorCode::NoSuchRecord,
                QStringLiteral("El registro %1 no existe en el fichero.").arg(n));
}

BankError chapterOutOfRange(int chapter)
{
    return make(
        BankErrorCode::ChapterOutOfRange,
        QStringLiteral("El capítulo %1 no existe: los capítulos van del 1 al 22.").arg(chapter));
}

BankError topicOutOfRange(int topic)
{
    return make(BankErrorCode::TopicOutOfRange,
                QStringLiteral("El tema %1 no existe: los temas van del 1 al 10.").arg(topic));
}

BankError recordNumberTooLarge()
{
    return make(BankErrorCode::RecordNumberTooLarge,
                QStringLiteral("El fichero ya tiene 32767 preguntas, el máximo que admite."));
}

BankError topicFull(int chapter, int topic)
{
    return make(BankErrorCode::TopicFull,
                QStringLiteral("El tema %1 del capítulo %2 ya tiene 50 preguntas, el máximo que "
                               "admite.")
                    .arg(topic)
                    .arg(chapter));
}

BankError chapterFull(int chapter, int max)
{
    return make(BankErrorCode::ChapterFull,
                QStringLiteral("El capítulo %1 ya tiene %2 preguntas de este tipo, el máximo que "
                               "admite.")
                    .arg(chapter)
                    .arg(max));
}

BankError textNotEncodable(const QString &characters)
{
    return make(
        BankErrorCode::TextNotEncodable,
        QStringLiteral("El texto contiene caracteres que no se pueden guardar: %1").arg(characters),
        characters);
}

BankError lockedElsewhere()
{
    return make(BankErrorCode::LockedElsewhere,
                QStringLiteral("El banco de preguntas está siendo modificado desde otro programa. "
                               "Inténtelo de nuevo."));
}

BankError changedElsewhere()
{
    return make(
        BankErrorCode::ChangedElsewhere,
        QStringLiteral("El banco de preguntas ha cambiado desde otro programa y se ha "
                       "vuelto a cargar. Revise la pregunta y vuelva a pulsar Actualizar."));
}

BankError indexRefusal(LeftOutReason reason, int chapter, int topic, int max)
{
    switch (reason) {
    case LeftOutReason::None:
        break;
    case LeftOutReason::ChapterOutOfRange:
        return chapterOutOfRange(chapter);
    case LeftOutReason::TopicOutOfRange:
        return topicOutOfRange(topic);
    case LeftOutReason::RecordNumberTooLarge:
        return recordNumberTooLarge();
    case LeftOutReason::TopicFull:
        return topicFull(chapter, topic);
    case LeftOutReason::ChapterFull:
        return chapterFull(chapter, max);
    }
    return {};
}

} // namespace bankErrors
