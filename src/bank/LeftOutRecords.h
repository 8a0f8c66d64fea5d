#pragma once
// The records of a bank file that the index has no room for. They stay in the
// file untouched (a rewrite copies them like any other record); the index
// merely does not list them, and a window can tell the user how many there
// are and why.

#include <QList>
#include <QString>
#include <QtGlobal>

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
    // One Spanish sentence summing up the counts; empty when nothing was left out.
    QString describe() const;
};
