#pragma once
// Reading a Moodle XML question file (orvalis-banco importar): a <quiz> of
// <question> elements read with QXmlStreamReader, each handed to an
// ImportedFile with the line its element starts on. A "category" question
// files the questions after it; "truefalse" and "essay" questions are taken,
// their <questiontext> made plain in the format it names (HTML when it names
// none, as Moodle does); a question text that carries files of its own
// (<file>) is refused; every other type is left out. A file that is not
// well-formed XML, or whose root is not <quiz>, is refused whole.

#include "ImportedFile.h"

#include <QByteArrayView>

namespace moodleXmlImport {

ImportedFile read(const QString &path, QByteArrayView content, const ImportOptions &options = {});

} // namespace moodleXmlImport
