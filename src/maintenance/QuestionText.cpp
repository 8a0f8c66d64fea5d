#include "QuestionText.h"

#include "Cp1252.h"

QString cleanQuestionText(const QString &edited)
{
    qsizetype end = edited.size();
    while (end > 0 && edited.at(end - 1) == u' ')
        --end;
    qsizetype start = 0;
    while (start < end && edited.at(start) == u' ')
        ++start;
    QString text = edited.mid(start, end - start);
    text.remove(u'\r');
    text.remove(u'\n');
    // Spaces between line breaks would otherwise store a question of spaces
    // alone, which shows as an empty row.
    if (text.count(u' ') == text.size())
        return QString();
    return text;
}

QString changeRefusedMessage(const BankError &error, const QString &fullMessage)
{
    switch (error.code) {
    case BankErrorCode::TopicFull:
    case BankErrorCode::ChapterFull:
        return fullMessage;
    case BankErrorCode::LockedElsewhere:
    case BankErrorCode::ChangedElsewhere:
        return error.message;
    case BankErrorCode::TextNotEncodable:
        return QStringLiteral("El texto contiene caracteres que no se pueden guardar: ") +
               Cp1252::describe(error.detail);
    default:
        return QStringLiteral("No se ha podido actualizar la base de datos: ") +
               (error.detail.isEmpty() ? error.message : error.detail);
    }
}
