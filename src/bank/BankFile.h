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
#include <optional>

class BankFile
{
public:
    enum class Use
    {
        Ready,
        Reopened,
        Failed
    };

    explicit BankFile(int recordLength = 1) : m_recordLength(recordLength) {}

    void setRecordLength(int recordLength) { m_recordLength = recordLength; }
    int recordLength() const { return m_recordLength; }

    // Opens (creating when missing) the file `path` and counts its records.
    BankError open(const QString &path);
    // Closes the file; the bank is closed until the next open().
    void close();

    // Whether open() succeeded and close() has not been called since; the
    // handle itself may have been closed by closeAllFiles().
    bool isOpen() const { return m_wanted; }
    // Makes sure the handle is open: reopens and recounts the file when it was
    // closed under the bank (the caller must then rebuild its index).
    Use ensureHandle(BankError *error);

    qint64 length() const { return m_length; }
    qint32 wholeRecords() const { return m_wholeRecords; }
    qint32 roundedRecords() const { return m_roundedRecords; }
    int trailingBytes() const { return m_trailingBytes; }
    QString filePath() const { return m_file.filePath(); }

    std::optional<QByteArray> readAll(BankError *error);
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
