#pragma once
// Questions as comma-separated values (RFC 4180): UTF-8, CR LF line ends, a
// header row, and a field quoted, with its quotes doubled, when it holds a
// comma, a quote or a line break. Columns: tipo, capítulo, título del
// capítulo, tema, título del tema, registro, respuesta (Sí/No), texto; the
// topic columns and the answer are empty for exposition questions.

#include "ExportQuestions.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace csvExport {

QByteArray write(const QList<ExportQuestion> &questions);

// One field as it goes into a row.
QString field(const QString &value);

} // namespace csvExport
