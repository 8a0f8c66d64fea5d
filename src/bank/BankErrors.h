#pragma once
// The bank's errors with their messages, built in one place so that both
// banks word them alike.

#include "BankResult.h"
#include "ExpositionIndex.h"
#include "TrueFalseIndex.h"

#include <QString>

namespace bankErrors {

BankError notOpen();
BankError cannotOpen(const QString &name, const QString &reason);
BankError cannotRead(const QString &name, const QString &reason);
// reason: the step that failed and why, naming the file ("no queda espacio
// libre en el disco (al escribir el fichero temporal Base.tmp)").
BankError cannotWrite(const QString &reason);
BankError noSuchRecord(qint64 n);
BankError chapterOutOfRange(int chapter);
BankError topicOutOfRange(int topic);
BankError recordNumberTooLarge();
BankError topicFull(int chapter, int topic);
BankError chapterFull(int chapter, int max);
BankError textNotEncodable(const QString &characters);
BankError lockedElsewhere();
BankError changedElsewhere();
// Why the index would not take a new record; ok when it was added.
BankError indexRefusal(TrueFalseIndex::AddResult added, int chapter, int topic);
BankError indexRefusal(ExpositionIndex::AddResult added, int chapter, int max);

} // namespace bankErrors
