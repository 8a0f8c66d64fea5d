#pragma once
// The records of a bank file that the index has no room for. They stay in the
// file untouched (a rewrite copies them like any other record); the index
// merely does not list them, and a window can tell the user how many there
// are and why.

#include "ExpositionIndex.h"
#include "TrueFalseIndex.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// Why an index has no room for a record; None when it listed it.
enum class LeftOutReason
{
    None,
    ChapterOutOfRange,    // chapter outside 1 to 22
    TopicOutOfRange,      // true/false only: topic outside 1 to 10
    RecordNumberTooLarge, // record number above 32767
    TopicFull,            // true/false only: a 51st question of a chapter and topic
    ChapterFull           // exposition only: past the kind's maximum per chapter
};

// The one place where an index's answer becomes a reason, for the banks, their
// additions and the companion's check alike.
LeftOutReason leftOutReason(TrueFalseIndex::AddResult added);
LeftOutReason leftOutReason(ExpositionIndex::AddResult added);

struct LeftOutRecords
{
    qint32 chapterOutOfRange = 0;    // chapter outside 1 to 22
    qint32 topicOutOfRange = 0;      // true/false only: topic outside 1 to 10
    qint32 recordNumberTooLarge = 0; // record number above 32767 (never read)
    qint32 topicFull = 0;            // true/false only: a 51st question of a chapter and topic
    qint32 chapterFull = 0;          // exposition only: past the kind's maximum per chapter
    QList<qint32> recordNumbers;     // every record read and left out, ascending

    qint32 total() const
    {
        return chapterOutOfRange + topicOutOfRange + recordNumberTooLarge + topicFull + chapterFull;
    }
    bool isEmpty() const { return total() == 0; }
    // Counts record n under its reason; nothing when it was listed.
    void add(LeftOutReason reason, qint32 n);
    // One Spanish sentence summing up the counts; empty when nothing was left out.
    QString describe() const;
};
