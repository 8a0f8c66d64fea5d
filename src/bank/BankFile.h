#pragma once
// The open file behind a bank, shared by TrueFalseBank and ExpositionBank: it
// remembers the name the bank asked for, counts records (whole records, the
// rounded count and the trailing bytes of a torn write), and reopens the file
// when "close every open file" closed it under the bank. Not used by windows
// directly.

#include "BankResult.h"

#include "RecordFile.h"

#include <QByteArray>
#include <QString>
#include <functional>

class BankFile
{
public:
    explicit BankFile(int recordLength = 1) : m_recordLength(recordLength) {}

    void setRecordLength(int recordLength) { m_recordLength = recordLength; }
    int recordLength() const { return m_recordLength; }

    // Opens (creating when missing) the file `name` in `directory` (the
    // working directory when empty) and counts its records.
    BankError open(const QString &directory, const QString &name);
    // Closes the file; the bank is closed until the next open().
    void close();

    // Whether open() succeeded and close() has not been called since; the
    // handle itself may have been closed by closeAllFiles().
    bool isOpen() const { return m_wanted; }
    // Makes sure the handle is open. When it was closed under the bank, the
    // file is reopened and recounted and `reindex` rebuilds the bank's index.
    BankError ensureOpen(const std::function<BankError()> &reindex);

    qint64 length() const { return m_length; }
    qint32 wholeRecords() const { return m_wholeRecords; }
    qint32 roundedRecords() const { return m_roundedRecords; }
    int trailingBytes() const { return m_trailingBytes; }
    QString filePath() const { return m_file.filePath(); }

    // Reads the whole file at once and hands every whole record, in order, to
    // `visit` with its number.
    BankError forEachRecord(const std::function<void(qint32 n, const char *record)> &visit);
    BankResult<QByteArray> readRecord(qint32 n);
    // Writes record n and, when it lies past the whole records, takes it as the
    // new last record (a torn tail it covers is gone).
    BankError writeRecord(qint32 n, const QByteArray &bytes);

private:
    void recount();

    RecordFile m_file;
    QString m_path;
    int m_recordLength;
    bool m_wanted = false;
    qint64 m_length = 0;
    qint32 m_wholeRecords = 0;
    qint32 m_roundedRecords = 0;
    int m_trailingBytes = 0;
};
