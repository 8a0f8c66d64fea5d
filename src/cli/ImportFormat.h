#pragma once
// The three forms of file orvalis-banco importar reads: the demo bank's text
// form, Moodle XML and GIFT. --formato names one; without it the file's
// content tells: an XML declaration or a <quiz> at its head is Moodle XML;
// GIFT's marks (a "::name::", "$CATEGORY:", answers such as {T}, {FALSE} or
// {}) on lines none of which reads as the text form ("chapter|…") are GIFT;
// anything else is read as text, whose line errors then say what is wrong.

#include "ImportedFile.h"

#include <QByteArrayView>
#include <QStringView>
#include <optional>

enum class ImportFormat
{
    Text,
    MoodleXml,
    Gift
};

namespace importFormat {

// "texto", "moodle-xml", "gift".
std::optional<ImportFormat> fromName(QStringView name);
ImportFormat detect(QByteArrayView content);
// A Moodle XML or GIFT file read by its reader.
ImportedFile read(ImportFormat format, const QString &path, QByteArrayView content,
                  const ImportOptions &options);

} // namespace importFormat
