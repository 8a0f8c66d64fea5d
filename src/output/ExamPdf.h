#pragma once
// The print-ready document of an examination, laid out from its description
// (the questions, their kinds and answers), never from its plain text: A4
// portrait with 2 cm margins in Liberation Serif, a header on the first page
// of each copy (institution, course, lines for the student's name, DNI,
// group and the date, the title, the instructions; every one wrapped within
// the margins, never cut), true/false questions numbered with "Sí" and "No"
// boxes drawn as 4.2 mm squares in a column at the left and their text
// wrapped with a hanging indent (the template fills the correct box),
// exposition questions numbered within their lettered sections with the
// chosen number of answer lines after each, and at the foot of every page
// the exam's short title, its version and "Página N de M". A question is
// never split across pages unless it alone is longer than a page. Versions
// of an exam (ExamVersions) each start a page (an odd one when the format
// asks) under their "VERSIÓN B" line, with pages numbered per version; a
// template's versions end with the key of all, a table each, on pages of
// their own.

#include "ExamDescription.h"
#include "ExamFormat.h"

#include <QByteArray>

namespace ExamPdf {

// The whole PDF file.
QByteArray write(const ExamDescription &exam, const ExamFormat &format);

} // namespace ExamPdf
