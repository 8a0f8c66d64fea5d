#pragma once
// Gives a whole file (an examination text, an export) new content the way a
// careful editor saves: the bytes go to a new file beside it, are flushed to
// stable storage, and only then take the old file's name in one rename; the
// folder is flushed after it. A full disk or a killed program leaves the
// earlier file as it was, and a file reached through a symbolic link is
// replaced where it lies, the link kept. Only a regular file is replaced: a
// folder, a pipe, a device or a socket under the name is refused.
//
// Every failure is the Spanish reason of the call that failed with the step
// it belongs to (systemErrorText), never a text in the machine's language:
// "permiso denegado (al crear el fichero examen.txt)".

#include <QByteArrayView>
#include <QString>

namespace DurableFile {

// Empty once the content is on stable storage under `path`, otherwise the
// reason; on failure before the rename the old file is untouched and no
// temporary file is left.
QString write(const QString &path, QByteArrayView bytes);

} // namespace DurableFile
