#pragma once
// Adding questions to the bank files (orvalis-banco importar), from a file in
// the demo bank's text form or from a Moodle XML or GIFT file (ImportedFile).
// Every question is checked first, against the course
// catalogue, the bank's fields and code page, the questions the file already
// holds and the limits of its index, so that either all lines are good or
// nothing is written. The bank is read through its own classes. Writing is one
// change of the bank: under its lock the lines are checked again against the
// file as it then is (another program may have added to it meanwhile), and
// the new content replaces the file in one step, so that the file holds all
// the new questions or none of them, whenever the program stops.

#include "BankResult.h"
#include "DemoSource.h"
#include "ImportedFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace questionImport {

// Far beyond any bank in text form.
inline constexpr qint64 kMaxSourceLength = qint64(16) * 1024 * 1024;

// The whole source file, or nullopt with `*error` (Spanish) when it is not a
// regular file, is too large or cannot be read.
std::optional<QByteArray> readSource(const QString &path, QString *error);

// What a bank file holds, as far as new lines care.
struct BankState
{
    QString fileName; // as spelt on disk; the name the bank creates when missing
    qint32 records = 0;
    int trailingBytes = 0;
    HeldQuestions held;
};

// The kind's bank file in `folder`, read through the bank; a missing file is
// an empty bank, and is not created.
BankResult<BankState> readBank(const QString &folder, QuestionKind kind);

// A warning for each line of `lines` that is a near-duplicate (see
// QuestionSearch) of a question of `held` or of an earlier line, of the same
// chapter: "muy parecida al registro 4 (capítulo 2): «…»".
QList<DemoSourceProblem> nearDuplicateLines(const DemoSource &lines, const HeldQuestions &held);

// One bank file's share of an import, checked against the file as read.
struct Part
{
    QuestionKind kind = QuestionKind::TrueFalse;
    BankState bank;
    QList<DemoQuestion> questions; // in the file's order
    // A file of several kinds goes in one bank file after another, each in
    // one change: when every question of this kind is already in its bank
    // (an earlier run of the same import stopped after writing it), it is
    // not added again, so that running the import again finishes it.
    bool alreadyIn = false;
};

struct Plan
{
    QList<Part> parts;
    QList<DemoSourceProblem> problems;       // by line; then nothing may be written
    QList<DemoSourceProblem> nearDuplicates; // by line
    BankError error;                         // a bank file could not be read
};

// A file in text form of one kind, its lines parsed against the kind's bank.
Plan planText(const QString &folder, QuestionKind kind, const QString &path,
              QByteArrayView content);
// The questions of a Moodle XML or GIFT file, each kind against its bank;
// the file's own refusals come first among the problems.
Plan planFile(const QString &folder, const ImportedFile &file);

struct WriteResult
{
    int written = 0;                   // all the questions, or 0
    qint32 firstRecord = 0;            // the record number the first one received
    QString fileName;                  // the bank file, as spelt on disk
    QList<DemoSourceProblem> problems; // lines refused against the bank under its lock
    BankError error;                   // why nothing was written; ok when all was

    bool ok() const { return error.ok(); }
};

// Checks the questions (`path` names their file in the problems) again under
// the bank's lock (`strict`: near-duplicates too) and adds them all to the
// kind's bank file in `folder` in one replacement of the file, or none.
WriteResult write(const QString &folder, QuestionKind kind, const QString &path,
                  const QList<DemoQuestion> &questions, bool strict = false);

} // namespace questionImport
