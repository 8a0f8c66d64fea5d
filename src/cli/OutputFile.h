#pragma once
// The file an export is written to (exportar --salida) must never be one of
// the bank's own files: an export would replace the bank with its copy in
// another format. The export itself goes through DurableFile.

#include <QString>

namespace outputFile {

// The name of the bank file of `folder` ("QELMEXT2.DAT", ...) that `path` is
// or leads to, by any letter case, through a symbolic or hard link or a
// folder reached by another way; empty when it is none of them.
QString bankFileAt(const QString &folder, const QString &path);

} // namespace outputFile
