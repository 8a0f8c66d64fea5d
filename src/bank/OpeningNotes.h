#pragma once
// What a window tells the teacher once when it opens a bank file: records the
// index could not list, a torn tail, and other entries whose names differ
// from the bank's only by letter case. Both banks word it alike, and say what
// becomes of each (they stay in the folder as they are).

#include "BankResult.h"
#include "LeftOutRecords.h"

#include <QString>
#include <QStringList>

// Spanish sentences, one per line; empty when there is nothing to tell.
QString openingNotes(const QString &fileName, const LeftOutRecords &leftOut, int trailingBytes,
                     const QStringList &caseVariants);

// What to tell the teacher when a bank file that exists could not be opened
// or read: the bank's sentence and the reason the system gave.
QString unreadableBank(const BankError &error);
