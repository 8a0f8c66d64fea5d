#include "OpeningNotes.h"

QString openingNotes(const QString &fileName, const LeftOutRecords &leftOut, int trailingBytes,
                     const QStringList &caseVariants)
{
    QStringList notes;
    if (!leftOut.isEmpty())
        notes.append(leftOut.describe() +
                     QStringLiteral(" Se conservan en el fichero tal como están, también cuando "
                                    "se elimina otra pregunta."));
    if (trailingBytes > 0)
        notes.append(QStringLiteral("El fichero %1 termina con %2 bytes que no llegan a formar "
                                    "una pregunta, restos de una escritura interrumpida: no se "
                                    "muestran, y la próxima pregunta que se añada ocupará su "
                                    "lugar.")
                         .arg(fileName)
                         .arg(trailingBytes));
    if (!caseVariants.isEmpty()) {
        QString note = QStringLiteral("En la misma carpeta hay otros ficheros cuyo nombre solo se "
                                      "distingue de %1 por las mayúsculas: %2. Se usa %1; los "
                                      "demás no se abren.")
                           .arg(fileName, caseVariants.join(QStringLiteral(", ")));
        // The load name beside the rewrite name (its upper-case spelling) is
        // what a rewrite killed before its last step leaves.
        if (const QString loadName = fileName.toUpper();
            loadName != fileName && caseVariants.contains(loadName))
            note += QStringLiteral(" %1 quedó de una escritura interrumpida y se borrará con el "
                                   "próximo cambio que reescriba el fichero.")
                        .arg(loadName);
        notes.append(note);
    }
    return notes.join(QLatin1Char('\n'));
}

QString unreadableBank(const BankError &error)
{
    if (error.detail.isEmpty())
        return error.message;
    return QStringLiteral("%1 Motivo: %2.").arg(error.message, error.detail);
}
