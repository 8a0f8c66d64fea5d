#pragma once
// Questions as a Moodle XML question file: a <quiz> of UTF-8 XML in which a
// category entry ("$course$/top/Orvalis/...") precedes the questions of each
// chapter (and topic), true/false questions are "truefalse" questions and
// exposition questions "essay" questions graded by hand. Texts are written as
// plain text, so nothing in them is taken for HTML.

#include "ExportQuestions.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace moodleXmlExport {

// The XML of the questions. A question whose text holds a character XML 1.0
// cannot carry (a control character other than tab and line breaks) is left
// out and added to `skipped`.
QByteArray write(const QList<ExportQuestion> &questions, QList<ExportSkip> *skipped);

} // namespace moodleXmlExport
