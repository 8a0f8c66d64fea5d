#pragma once
// Questions in Moodle's GIFT text format, UTF-8: a "$CATEGORY:" line before
// the questions of each chapter (and topic), then one question a paragraph,
// "::name::[plain]text{TRUE}" for true/false questions and
// "::name::[plain]text{}" for exposition (essay) questions. The characters
// GIFT gives a meaning to (~ = # { } : and the backslash itself) are escaped
// with a backslash, and a line break in a text becomes "\n".

#include "ExportQuestions.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace giftExport {

QByteArray write(const QList<ExportQuestion> &questions);

// The text with GIFT's special characters escaped.
QString escaped(const QString &text);

} // namespace giftExport
