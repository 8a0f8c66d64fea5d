#pragma once
// A file of fixed-length records, read and written whole by 1-based record
// number. Files are named relative to the working directory, and the last
// component of a name is matched without regard to letter case: on this
// case-sensitive file system "QELMEXT2.DAT" opens an existing "Qelmext2.dat".
// When several entries differ only by case, the most recently modified one is
// the file. Every write goes straight to the file; a failed or short write is
// reported, never ignored.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <optional>

class RecordFile
{
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens the file for reading and writing by records of recordLength
    // bytes, creating it empty when no entry matches the name. A file that
    // exists but cannot be opened for writing is opened read-only (its
    // writes then fail). Closes a file this object already held. Returns
    // false, with errorString(), when the file cannot be opened at all.
    bool open(const QString &name, int recordLength);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    bool isReadOnly() const { return m_readOnly; }

    QString requestedName() const { return m_requestedName; }
    QString filePath() const { return m_file.fileName(); } // the entry actually opened
    int recordLength() const { return m_recordLength; }

    // Length in bytes as the file has it now; -1 when not open.
    qint64 size() const;
    // The whole file in one read.
    std::optional<QByteArray> readAll();
    // Record n (n >= 1); nullopt when it is not whole in the file or the read fails.
    std::optional<QByteArray> readRecord(qint64 n);
    // Writes bytes (exactly recordLength of them) as record n (n >= 1) and
    // flushes before returning.
    bool writeRecord(qint64 n, QByteArrayView bytes);

    QString errorString() const { return m_error; }

    // The path of the existing entry that the name designates (case-insensitive
    // match of the last component, newest first), or the name itself when no
    // entry matches.
    static QString resolve(const QString &name);
    // Removes every entry that the name designates (all its case variants).
    // True when none is left; false, with *error, otherwise.
    static bool removeFile(const QString &name, QString *error = nullptr);
    // Gives the entry that `from` designates the name `to`. Fails when `from`
    // does not exist or another entry already answers to `to`.
    static bool renameFile(const QString &from, const QString &to, QString *error = nullptr);

private:
    QFile m_file;
    QString m_requestedName;
    QString m_error;
    int m_recordLength = 0;
    bool m_readOnly = false;
};
