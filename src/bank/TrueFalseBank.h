#pragma once
// The true/false question bank as one window holds it: the open file
// QELMEXT2.DAT (records of 256 bytes, see TrueFalseRecord), its record count
// and the TrueFalseIndex by chapter and topic. Each window owns its own
// instance; nothing is shared or cached but the index.
//
// Record counts: recordCount() is the number of whole records, the count both
// windows work with. A torn write at the end of the file leaves trailing bytes
// that are neither listed nor built upon; trailingBytes() tells how many, and
// the next append writes over them.
//
// Records the index has no room for (chapter outside 1-22, topic outside
// 1-10, a 51st question of a chapter and topic, a record number above 32767)
// stay in the file but are not indexed; leftOut() tells how many and why.
// Other entries whose names differ from the bank's only by letter case are
// not opened and never changed; caseVariants() names them. openingNotes()
// puts all three into sentences for the teacher.
//
// Changes reach stable storage before they return, and a change that fails
// or is cut short by a crash leaves the old content complete (see BankFile):
// an append writes one record at the end; a modification or a deletion
// closes every open file of the program and replaces the file through
// Base.tmp under the name Qelmext2.dat, then reopens and re-indexes it.
//
// Every change runs under the bank's lock and only on the file that was
// indexed: when another program changed it, nothing is written, the bank is
// reloaded and the change returns ChangedElsewhere; when another program holds
// the lock, LockedElsewhere (see BankFile).
//
// When closeAllFiles() closes the file under an open bank, the next operation
// reopens it, recounts and re-indexes it before doing its work.

#include "BankFile.h"
#include "BankResult.h"
#include "LeftOutRecords.h"
#include "QuestionListing.h"
#include "TrueFalseIndex.h"
#include "TrueFalseRecord.h"

#include <QList>
#include <QString>
#include <functional>

class TrueFalseBank
{
public:
    static constexpr int kRecordLength = TrueFalseRecord::kLength;
    static constexpr int kChapters = TrueFalseIndex::kChapters;
    static constexpr int kTopics = TrueFalseIndex::kTopics;
    static constexpr int kQuestionsPerTopic = TrueFalseIndex::kSlots;
    static constexpr qint32 kMaxRecordNumber = TrueFalseIndex::kMaxRecordNumber;

    static QString loadName();    // "QELMEXT2.DAT", the name the windows open
    static QString rewriteName(); // "Qelmext2.dat", the name a rewrite gives the new file

    // directory: where the bank file lies; empty means the working directory.
    explicit TrueFalseBank(const QString &directory = QString());

    // Opens QELMEXT2.DAT (created empty when missing), counts its records and
    // builds the index.
    BankError openBank();
    void closeBank();
    // Rebuilds the index from the file, reading it in one read.
    BankError buildIndex();
    // When another program changed the file since it was indexed: reopens
    // and re-indexes it and returns true. For windows that only read, before
    // they list.
    BankResult<bool> reloadIfChanged();

    // Record n, 1 <= n <= recordCount().
    BankResult<TrueFalseRecord> readRecord(qint32 n);
    // Replaces record n (1 <= n <= recordCount()) as a whole: after a crash
    // the file holds the old record or the new one. Refuses, before writing
    // anything, a text that Windows-1252 cannot represent.
    BankError writeRecord(qint32 n, const TrueFalseRecord &record);
    // Writes the record after the last whole record and lists it last under
    // its chapter and topic; returns its record number. Refuses, before
    // writing anything, a record the index cannot hold and a text that
    // Windows-1252 cannot represent.
    BankResult<qint32> appendRecord(const TrueFalseRecord &record);
    // Gives the records to add, checked against the bank as it is under the
    // lock (readRecord(), index()); an error refuses the change.
    using Additions = std::function<BankResult<QList<TrueFalseRecord>>()>;
    // Writes the records after the last whole record in one replacement of
    // the file, so that after a crash it holds all of them or none, and
    // returns the first one's number. `additions` runs under the bank's lock
    // on the bank as it then is, reloaded and re-indexed if another program
    // changed it. Each record is refused as appendRecord() refuses one, and
    // then none is written.
    BankResult<qint32> appendRecords(const Additions &additions);
    // Removes record n (1 <= n <= recordCount()); every later record moves
    // one place forward and its number drops by one. Records the index left
    // out and a torn tail are kept.
    BankError deleteRecord(qint32 n);
    // The questions of (chapter, topic) in index order, read from the file
    // again. Empty for a chapter or topic outside the table.
    BankResult<QList<QuestionListing>> questionsOf(int chapter, int topic);
    // The 256 bytes of record n as they are, for copying a file record by record.
    BankResult<QByteArray> readRawRecord(qint32 n);

    static QString displayText(const TrueFalseRecord &record);
    static QString answerLabel(const TrueFalseRecord &record); // "Sí" for 1, "No" otherwise
    static QString answerLabel(qint16 answer);

    bool isOpen() const { return m_file.isOpen(); }
    // Counts as of the last opening, reopening or append.
    qint32 recordCount() const { return m_file.wholeRecords(); }
    qint32 roundedRecordCount() const
    {
        return m_file.roundedRecords();
    } // length / 256, ties to even
    int trailingBytes() const { return m_file.trailingBytes(); }
    qint64 fileLength() const { return m_file.length(); }
    QString filePath() const { return m_file.filePath(); }
    const TrueFalseIndex &index() const { return m_index; }
    const LeftOutRecords &leftOut() const { return m_leftOut; }
    QStringList caseVariants() const { return m_file.caseVariants(); }
    // What to tell the teacher about the file just opened; empty when all is well.
    QString openingNotes() const;

private:
    BankError ensureOpen();
    BankError ensureOpenToChange();
    BankError indexFile();

    QString m_directory;
    BankFile m_file{kRecordLength};
    TrueFalseIndex m_index;
    LeftOutRecords m_leftOut;
};
