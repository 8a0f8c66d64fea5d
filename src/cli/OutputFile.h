#pragma once
// Writes an export to the file the teacher named: the new content goes to a
// temporary file beside it, is flushed to disk and only then renamed over the
// old file, and the folder is flushed after the rename. A crash at any moment
// leaves either the old file or the new one, complete.

#include <QByteArray>
#include <QString>

namespace outputFile {

// Returns an empty string on success, otherwise the reason in Spanish; on
// failure an existing file is left as it was.
QString write(const QString &path, const QByteArray &bytes);

} // namespace outputFile
