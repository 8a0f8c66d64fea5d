#pragma once
// Reading a GIFT question file (orvalis-banco importar), to the grammar
// Moodle documents for it: UTF-8 text; questions separated by blank lines,
// each on as many lines as it needs; lines starting with "//" are comments;
// "$CATEGORY: path" files the questions after it; a question is an optional
// "::name::", an optional text format ([html], [moodle], [plain],
// [markdown]; [moodle] when none is given), its text and its answers in
// braces; a backslash makes ~ = # { } : and itself plain characters, and
// "\n" is a line break. {T}, {F}, {TRUE} and {FALSE} (feedback after '#'
// aside) make a true/false question, {} an essay; every other kind of answers,
// a text with no answers (a description) and answers in the middle of the
// text (a missing word) are left out. Each question is handed to an
// ImportedFile with the line it starts on.

#include "ImportedFile.h"

#include <QByteArrayView>

namespace giftImport {

ImportedFile read(const QString &path, QByteArrayView content, const ImportOptions &options = {});

} // namespace giftImport
