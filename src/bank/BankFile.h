#pragma once
// The open file behind a bank, shared by TrueFalseBank and ExpositionBank: it
// remembers the names the bank uses, counts records (whole records, the
// rounded count and the trailing bytes of a torn write), reopens the file
// when "close every open file" closed it under the bank, and makes every
// change in a way that a crash cannot turn into a lost or half-written
// record:
//
//  - an addition writes the new record after the last whole record and
//    returns once it is on stable storage; a kill in between leaves at most a
//    torn tail, which is neither listed nor built upon;
//  - a modification, a deletion and several additions at once (an import)
//    write the whole new content to Base.tmp and rename it over the bank
//    under its rewrite name (FileReplacement),
//    after closing every open file of the program; the bank is then reopened
//    and re-indexed.
//
// Other programs may work on the same folder (a shared drive, the program run
// twice). Every change therefore runs under an exclusive lock on the bank, a
// lock file beside it (QELMEXT2.DAT.lock, see FileLock), taken before the
// file is checked and released once the change is on stable storage; a
// killed program's lock goes with it. Under the lock the change first makes sure that the
// file under the bank's name is still the one indexed (FileIdentity): record
// numbers are only valid for that file. If another program changed it, nothing
// is written, the bank is reopened and re-indexed, and ChangedElsewhere says
// so; a lock held elsewhere beyond a short wait gives LockedElsewhere.
//
// A change that fails says why, in Spanish, and leaves the file, its count and
// the index as they were. The one exception is a failed flush of the folder
// after the rename: the new content is then in place, and reread, but not
// known to be on stable storage, so it is reported as a failure.
// Not used by windows directly.

#include "BankResult.h"

#include "FileIdentity.h"
#include "RecordFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class BankFile
{
public:
    using Reindex = std::function<BankError()>;

    // Only records 1 to 32767 can ever be listed, so no more are read; the
    // records past them are counted from the file's length.
    static constexpr qint32 kMaxReadRecords = 32767;
    // A modification or deletion holds the whole file in memory: a longer
    // file is refused then (opening and listing it are not limited).
    static constexpr qint64 kMaxLength = 64 * 1024 * 1024;

    static QString tempName(); // "Base.tmp"
    // How long a change waits for another program's lock before giving up.
    static constexpr int kLockWaitMs = 2000;
    // The lock file beside a bank file named `bankPath`.
    static QString lockPath(const QString &bankPath);

    explicit BankFile(int recordLength = 1) : m_recordLength(recordLength) {}

    void setRecordLength(int recordLength) { m_recordLength = recordLength; }
    int recordLength() const { return m_recordLength; }

    // Opens (creating when missing) the file `name` in `directory` (the
    // working directory when empty) and counts its records. A modification or
    // deletion gives the file the name `rewriteName`.
    BankError open(const QString &directory, const QString &name, const QString &rewriteName);
    // Closes the file; the bank is closed until the next open().
    void close();

    // Whether open() succeeded and close() has not been called since; the
    // handle itself may have been closed by closeAllFiles().
    bool isOpen() const { return m_wanted; }
    // Makes sure the handle is open. When it was closed under the bank, the
    // file is reopened and recounted and `reindex` rebuilds the bank's index.
    BankError ensureOpen(const Reindex &reindex);
    // ensureOpen() before a change: when the reopened file is not the one
    // indexed before, ChangedElsewhere, so that no record number or count
    // taken from the old file is checked against the new one.
    BankError ensureOpenToChange(const Reindex &reindex);

    qint64 length() const { return m_length; }
    qint32 wholeRecords() const { return m_wholeRecords; }
    qint32 roundedRecords() const { return m_roundedRecords; }
    int trailingBytes() const { return m_trailingBytes; }
    QString filePath() const { return m_file.filePath(); }
    // The names of the other entries that answer to the bank's name apart
    // from letter case, as of the last opening; they are never opened,
    // changed or removed.
    QStringList caseVariants() const { return m_caseVariants; }

    // When another program changed the file since it was indexed (or since
    // closeAllFiles() closed it and it was reopened), reopens it, recounts it,
    // has `reindex` rebuild the index and returns true. The lock is not taken:
    // only reading follows.
    BankResult<bool> reloadIfChanged(const Reindex &reindex);

    // Hands every whole record from 1 to kMaxReadRecords, in order, to
    // `visit` with its number, reading the file in chunks of bounded size.
    template <typename Visit> BankError forEachRecord(Visit &&visit)
    {
        const int length = m_recordLength;
        return forEachChunk([&visit, length](qint32 first, qint32 count, const char *records) {
            for (qint32 k = 0; k < count; ++k)
                visit(first + k, records + qsizetype(k) * length);
        });
    }
    // The same a chunk at a time: records first to first + count - 1, one
    // after the other in `records`.
    BankError
    forEachChunk(const std::function<void(qint32 first, qint32 count, const char *records)> &visit);
    // Whole records past kMaxReadRecords, which forEachRecord() never visits.
    qint32 unreadRecords() const { return qMax(0, m_wholeRecords - kMaxReadRecords); }
    BankResult<QByteArray> readRecord(qint32 n);
    // The same into `buffer` (room for recordLength() bytes), without an
    // allocation: listing a topic reads one record after another.
    BankError readRecordInto(qint32 n, char *buffer);

    // Writes the record right after the last whole record, over a torn tail
    // if there is one.
    BankError appendRecord(const QByteArray &bytes, const Reindex &reindex);
    // Gives the records to add after the last whole record, checked against
    // the bank as it is under the lock; an error refuses the change.
    using Additions = std::function<BankResult<QByteArray>()>;
    // Adds records after the last whole record, over a torn tail if there is
    // one, in one replacement of the file through Base.tmp, so that the file
    // holds all of them or none. `additions` runs under the lock, once the
    // file has been reloaded and re-indexed if another program changed it.
    BankError appendRecords(const Additions &additions, const Reindex &reindex);
    // Replaces record n (1 <= n <= wholeRecords()) through Base.tmp; every
    // other byte, a torn tail included, stays as it is.
    BankError replaceRecord(qint32 n, const QByteArray &bytes, const Reindex &reindex);
    // Removes record n (1 <= n <= wholeRecords()) through Base.tmp, so that
    // every later record moves one place forward; every other byte, records
    // the index left out and a torn tail included, stays as it is.
    BankError removeRecord(qint32 n, const Reindex &reindex);

private:
    using Change = std::function<BankError()>;
    // Runs `change` under the bank's lock once the file is known to be the
    // one indexed. When another program changed it, the bank is reloaded and
    // the change is refused with ChangedElsewhere, unless `followChanges`:
    // then the change runs on the reloaded bank.
    BankError underLock(const Reindex &reindex, const Change &change, bool followChanges = false);
    // Reopens, recounts and re-indexes the file, whatever its identity.
    BankError reload(const Reindex &reindex);
    BankError reopen();
    void recount();
    void recount(qint64 length);
    BankError replaceContent(qint32 n, const QByteArray &replacement, const Reindex &reindex);
    // The file's whole content, changed by `edit`, replaces the file.
    using Edit = std::function<BankError(QByteArray &content)>;
    BankError replaceLocked(const Edit &edit, const Reindex &reindex);

    RecordFile m_file;
    QString m_path;
    QString m_rewriteName;
    int m_recordLength;
    bool m_wanted = false;
    qint64 m_length = 0;
    qint32 m_wholeRecords = 0;
    qint32 m_roundedRecords = 0;
    int m_trailingBytes = 0;
    QStringList m_caseVariants;
    // The file the index was built from, as it was before it was read: a
    // change made while it was read shows as a difference later, never the
    // other way round.
    FileIdentity m_identity;
    // Set when a reopening after closeAllFiles() found another file than the
    // one indexed before, so that the next check reports it even though the
    // index already follows the new file.
    bool m_changedUnseen = false;
};
