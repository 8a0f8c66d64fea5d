#pragma once
// The file an export is written to (exportar --salida) must never be one of
// the files the program keeps in the bank folder: an export would replace
// the bank, the exam history or a lock with its copy in another format. The
// export itself goes through DurableFile.

#include <QString>

namespace outputFile {

// Whether `name` is, by any letter case, one of the files the program keeps
// in a bank folder: the four bank files, the temporary file of their
// rewrites, the exam history with its journal and its set-aside copies, and
// the lock file of each of them.
bool isKeptName(const QString &name);

// The name of the kept file of `folder` ("QELMEXT2.DAT", "historial.sqlite",
// ...) that `path` is or leads to, by any letter case, through a symbolic or
// hard link or a folder reached by another way; empty when it is none of
// them.
QString keptFileAt(const QString &folder, const QString &path);

} // namespace outputFile
