#pragma once
// The bank's errors with their messages, built in one place so that both
// banks word them alike.

#include "BankResult.h"
#include "LeftOutRecords.h"

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
// Why the index would not take a new record of the chapter (and topic); ok
// when it did. max: the kind's maximum per chapter, for ChapterFull.
BankError indexRefusal(LeftOutReason reason, int chapter, int topic, int max);

} // namespace bankErrors
