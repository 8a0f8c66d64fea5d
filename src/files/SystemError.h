#pragma once
// The reasons the operating system gives for a failed file call, in Spanish,
// worded so that a window can put them after "No se ha podido ...: ". The
// system's own texts (strerror) follow the machine's language, which need not
// be Spanish, so the common ones are translated here.

#include <QString>
#include <QtGlobal>

// The reason for errno value `errnum`, lower case and without a final stop:
// "no queda espacio libre en el disco".
QString systemErrorText(int errnum);

// The reason and the step that failed: "no queda espacio libre en el disco (al
// escribir el fichero temporal Base.tmp)".
QString failedStep(int errnum, const QString &step);

// Flushes a folder, so that the entries just made or renamed in it reach
// the disk. Returns 0, or the errno of the call that failed.
int syncFolder(const QString &path);

// Makes a write past the file size limit (ulimit -f) fail with EFBIG, which
// is reported like any other failed write, instead of ending the program with
// SIGXFSZ. Called once at start-up, before any file is written.
void ignoreFileSizeSignal();

// Writes `size` bytes with as many calls as it takes, at `offset` (pwrite)
// or, when offset is -1, at the descriptor's position (write), and retries
// after a signal. Returns 0, or the errno of the call that failed. A call that
// writes nothing and reports no error counts as ENOSPC: a short write sets no
// errno, so its reason is never left to whatever an earlier call set.
int writeFully(int fd, const char *data, qint64 size, qint64 offset = -1);

// Reads up to `size` bytes at `offset` (pread) until they are all in or the
// file ends; *done says how many came. Returns 0, or the errno of the call
// that failed.
int readFully(int fd, char *data, qint64 size, qint64 offset, qint64 *done);
