#pragma once
// Adding questions written in the demo bank's text form to a bank file
// (orvalis-banco importar). Every line is checked first, against the course
// catalogue, the bank's fields and code page, the questions the file already
// holds and the limits of its index, so that either all lines are good or
// nothing is written. Writing then goes through the bank's own append, one
// question after another, and stops at the first failure, saying how far it
// got.

#include "BankResult.h"
#include "BankSnapshot.h"
#include "DemoSource.h"

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

// The lines of `content` checked as questions for the snapshot's bank file;
// `path` names the file in the problems.
DemoSource check(const QString &path, QByteArrayView content, const BankSnapshot &bank);

struct WriteResult
{
    int written = 0;        // questions appended, counted from the first
    qint32 firstRecord = 0; // the record number the first one received
    BankError error;        // why question `written` could not be appended; ok when all were

    bool ok() const { return error.ok(); }
};

// Appends the questions in order to the kind's bank file in `folder`.
WriteResult write(const QString &folder, DemoSourceKind kind, const QList<DemoQuestion> &questions);

} // namespace questionImport
