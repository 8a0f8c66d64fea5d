#pragma once
// The reasons the operating system gives for a failed file call, in Spanish,
// worded so that a window can put them after "No se ha podido ...: ". The
// system's own texts (strerror) follow the machine's language, which need not
// be Spanish, so the common ones are translated here.

#include <QString>

// The reason for errno value `errnum`, lower case and without a final stop:
// "no queda espacio libre en el disco".
QString systemErrorText(int errnum);

// The reason and the step that failed: "no queda espacio libre en el disco (al
// escribir el fichero temporal Base.tmp)".
QString failedStep(int errnum, const QString &step);

// Makes a write past the file size limit (ulimit -f) fail with EFBIG, which
// is reported like any other failed write, instead of ending the program with
// SIGXFSZ. Called once at start-up, before any file is written.
void ignoreFileSizeSignal();
