#pragma once
// A file of fixed-length records, read and written whole by 1-based record
// number. Files are named relative to the working directory, and the last
// component of a name is matched without regard to letter case: on this
// case-sensitive file system "QELMEXT2.DAT" opens an existing "Qelmext2.dat".
// When several entries differ only by case, the one spelt as the caller
// prefers (the name a rewrite gives the file, newer than any other spelling
// by construction) is the file; without it, the most recently modified one.
//
// A write returns only once its bytes are on stable storage (fdatasync), and
// a write that fails leaves the file as it was. Errors are Spanish reasons
// naming the step that failed ("no queda espacio libre en el disco (al
// escribir en el fichero QELMEXT2.DAT)"), fit to follow "No se ha podido ...: ".

#include "FileIdentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFileInfoList>
#include <QString>
#include <QStringList>
#include <optional>

class RecordFile
{
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens the file for reading and writing by records of recordLength
    // bytes, creating it empty when no entry matches the name (and flushing
    // its folder, so that the new entry is on stable storage). A file that
    // exists but cannot be opened for writing is opened read-only (its
    // writes then fail with readOnlyReason()). An entry that is not a regular
    // file (a folder, a pipe, a device, a socket) or a symbolic link to
    // nothing is refused at once, never opened or waited on.
    // Closes a file this object already held. Returns false, with
    // errorString(), when the file cannot be opened at all.
    bool open(const QString &name, int recordLength, const QString &preferred = {});
    void close();
    bool isOpen() const { return m_fd >= 0; }
    bool isReadOnly() const { return m_readOnly; }
    // Why the file could not be opened for writing; empty when it could.
    QString readOnlyReason() const { return m_readOnlyReason; }

    QString filePath() const { return m_path; } // the entry actually opened
    // The opened file as it was when opened, before anything was read from it.
    FileIdentity openedIdentity() const { return m_opened; }
    // The other entries that answered to the name when it was opened (names
    // only, newest first); they are never opened.
    QStringList otherCaseVariants() const { return m_otherVariants; }
    int recordLength() const { return m_recordLength; }

    // Length in bytes as the file has it now; -1 when not open.
    qint64 size() const;
    // The whole file in one read. A file longer than maxLength is refused
    // with an error rather than read, so that memory stays bounded.
    std::optional<QByteArray> readAll(qint64 maxLength);
    // Records first to first + count - 1 (first >= 1) into `buffer` (room
    // for count records) in one read: the number of whole records read
    // (possibly none: the file may hold fewer), or -1 with errorString().
    qint64 readRecordsInto(qint64 first, qint64 count, char *buffer);
    // Record n (n >= 1); nullopt when it is not whole in the file or the read fails.
    std::optional<QByteArray> readRecord(qint64 n);
    // The same into `buffer` (room for recordLength() bytes), without an
    // allocation; false with errorString().
    bool readRecordInto(qint64 n, char *buffer);
    // Writes bytes (exactly recordLength of them) as record n (n >= 1) and
    // returns once they are on stable storage. On failure the bytes that were
    // there and the file's length are put back.
    bool writeRecord(qint64 n, QByteArrayView bytes);

    QString errorString() const { return m_error; }

    // Every entry beside the name whose name equals the name's last component
    // apart from letter case: the one spelt `preferred` first, then the most
    // recently modified (the first one is the file the name designates).
    static QFileInfoList caseVariants(const QString &name, const QString &preferred = {});
    // The path of the existing entry that the name designates (case-insensitive
    // match of the last component, in the order above), or the name itself
    // when no entry matches.
    static QString resolve(const QString &name, const QString &preferred = {});
    // Removes every entry that the name designates (all its case variants).
    // True when none is left; false, with *error, otherwise.
    static bool removeFile(const QString &name, QString *error = nullptr);

private:
    QString shownName() const;

    int m_fd = -1;
    QString m_path;
    QString m_error;
    QString m_readOnlyReason;
    QStringList m_otherVariants;
    FileIdentity m_opened;
    int m_recordLength = 0;
    bool m_readOnly = false;
};
