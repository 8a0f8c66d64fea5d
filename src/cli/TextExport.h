#pragma once
// One bank file in the demo bank's own text form (see DemoSource), so that
// importing the text into an empty folder rebuilds the file byte for byte.
// Records are written in file order. Before anything is handed out the text is
// read back with the same parser the import uses, and every line is turned
// into its record again and compared with the file's bytes; a record that
// would not come back as it is (not listed, an answer other than 0 or 1, a text
// with spaces at its start or control characters, a repeated question) is left
// out and named.

#include "BankSnapshot.h"
#include "ExportQuestions.h"

#include <QByteArray>
#include <QList>

namespace textExport {

struct Result
{
    QByteArray bytes;
    int questions = 0; // lines written
    QList<ExportSkip> skipped;
};

// chapter 0 takes every chapter.
Result write(const BankSnapshot &snapshot, int chapter = 0);

} // namespace textExport
