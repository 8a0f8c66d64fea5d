#pragma once
// How many questions the four bank files hold, for the general help: the
// whole records of each file, counted from its length without opening it, so
// that counting never creates a missing file (a missing file counts 0).

#include <QString>
#include <QtGlobal>

struct BankCounts
{
    qint64 conceptual = 0;
    qint64 practical = 0;
    qint64 brief = 0;
    qint64 trueFalse = 0;

    qint64 exposition() const { return conceptual + practical + brief; }
    qint64 total() const { return exposition() + trueFalse; }
};

// The four files under their load names in `directory` (the working directory
// when empty), names matched without regard to case.
BankCounts countBankRecords(const QString &directory = QString());

// Whole records of `recordLength` bytes in the file `name` of `directory`; a
// torn last record does not count. 0 when no regular file answers to the name.
// Of several spellings, `rewriteName` is the file, as the bank opens it.
qint64 countWholeRecords(const QString &directory, const QString &name, int recordLength,
                         const QString &rewriteName);
