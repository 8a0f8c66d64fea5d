#pragma once
// The exam as an OpenDocument text (.odt), for a teacher who wants to edit
// it in a word processor: laid out from its description like the PDF, never
// from its plain text, and written with Qt's own OpenDocument writer. It
// holds the same parts: the header of the format (institution, course, lines
// for the name, DNI, group and date, the title and the instructions),
// true/false questions numbered with "Sí ☐ No ☐" (☒ on the template's
// answer), exposition questions numbered within their lettered sections with
// their answer lines, each version from a new page under its "VERSIÓN B"
// line, and a template's key of all versions as a table each, ten questions
// a row.

#include "ExamDescription.h"
#include "ExamFormat.h"

#include <QByteArray>

namespace ExamOdt {

// The whole file; empty if Qt could not write it.
QByteArray write(const ExamDescription &exam, const ExamFormat &format);

} // namespace ExamOdt
