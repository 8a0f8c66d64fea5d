#pragma once
// The exposition question bank as one window holds it: the kind whose file is
// open (at most one at a time), its record count and one ExpositionIndex per
// kind (only the open kind's is current). Each window owns its own instance.
//
// As with TrueFalseBank: recordCount() counts whole records, trailingBytes()
// tells the bytes of a torn last record that the next append writes over,
// records the index has no room for (chapter outside 1-22, past the kind's
// maximum per chapter) are left out and counted in leftOut(), other entries
// whose names differ only by letter case are named by caseVariants() and
// never changed, and a file closed under the bank by closeAllFiles() is
// reopened, recounted and re-indexed on the next operation.
//
// Changes reach stable storage before they return, and a change that fails
// or is cut short by a crash leaves the old content complete (see BankFile):
// an append writes one record at the end; a modification or a deletion
// closes every open file of the program and replaces the kind's file through
// Base.tmp under its rewrite name (Qelmexe1.dat, ...), then reopens and
// re-indexes it. Every change runs under the bank's lock and only on the file
// that was indexed: when another program changed it, nothing is written, the
// bank is reloaded and the change returns ChangedElsewhere; when another
// program holds the lock, LockedElsewhere (see BankFile).

#include "BankFile.h"
#include "BankResult.h"
#include "ExpositionIndex.h"
#include "ExpositionKind.h"
#include "ExpositionRecord.h"
#include "LeftOutRecords.h"
#include "QuestionListing.h"

#include <QList>
#include <QString>
#include <array>
#include <functional>

class ExpositionBank
{
public:
    static constexpr int kChapters = ExpositionIndex::kChapters;

    // directory: where the bank files lie; empty means the working directory.
    explicit ExpositionBank(const QString &directory = QString());

    // Closes every open file of the program, then opens the kind's file under
    // its load name (created empty when missing), counts its records and
    // builds the kind's index from scratch.
    BankError openBank(ExpositionKind kind);
    void closeBank();
    // Rebuilds the open kind's index from the file, reading it in one read.
    BankError buildIndex();
    // When another program changed the open file since it was indexed:
    // reopens and re-indexes it and returns true. For windows that only read,
    // before they list.
    BankResult<bool> reloadIfChanged();

    // Record n, 1 <= n <= recordCount().
    BankResult<ExpositionRecord> readRecord(qint32 n);
    // Writes record n, 1 <= n <= recordCount() + 1: an existing record is
    // replaced as a whole (after a crash the file holds the old record or the
    // new one); recordCount() + 1 extends the file by one record. The index
    // is rebuilt from the file. Refuses, before writing anything, a text
    // Windows-1252 cannot represent.
    BankError writeRecord(qint32 n, const ExpositionRecord &record);
    // Writes a record of the chapter with the stored form of the text after
    // the last whole record and lists it last under the chapter; returns its
    // record number. Refuses, before writing anything, a chapter outside 1-22,
    // a full chapter and a text Windows-1252 cannot represent.
    BankResult<qint32> appendRecord(int chapter, const QString &text);
    // As TrueFalseBank::appendRecords: the records `additions` gives, checked
    // under the lock against the bank as it then is, written in one
    // replacement of the file; all of them or none.
    using Additions = std::function<BankResult<QList<ExpositionRecord>>()>;
    BankResult<qint32> appendRecords(const Additions &additions);
    // Removes record n (1 <= n <= recordCount()) of the open kind's file;
    // every later record moves one place forward and its number drops by one.
    // Records the index left out and a torn tail are kept.
    BankError deleteRecord(qint32 n);
    // The chapter's questions in index order, read from the file again.
    // Empty for a chapter outside 1-22.
    BankResult<QList<QuestionListing>> questionsOf(int chapter);
    // The L bytes of record n as they are, for copying a file record by record.
    BankResult<QByteArray> readRawRecord(qint32 n);

    static QString displayText(const QString &text);

    bool isOpen() const { return m_file.isOpen(); }
    ExpositionKind kind() const { return m_kind; }
    const ExpositionKindInfo &kindInfo() const { return expositionKindInfo(m_kind); }
    // Counts as of the last opening, reopening or append.
    qint32 recordCount() const { return m_file.wholeRecords(); }
    qint32 roundedRecordCount() const
    {
        return m_file.roundedRecords();
    } // length / L, ties to even
    int trailingBytes() const { return m_file.trailingBytes(); }
    qint64 fileLength() const { return m_file.length(); }
    QString filePath() const { return m_file.filePath(); }
    const ExpositionIndex &index() const { return index(m_kind); }
    const ExpositionIndex &index(ExpositionKind kind) const;
    const LeftOutRecords &leftOut() const { return m_leftOut; }
    QStringList caseVariants() const { return m_file.caseVariants(); }
    // What to tell the teacher about the file just opened; empty when all is well.
    QString openingNotes() const;

private:
    BankError ensureOpen();
    BankError ensureOpenToChange();
    BankError indexFile();

    QString m_directory;
    ExpositionKind m_kind = ExpositionKind::Conceptual;
    BankFile m_file;
    std::array<ExpositionIndex, kExpositionKindCount> m_indexes;
    LeftOutRecords m_leftOut;
};
