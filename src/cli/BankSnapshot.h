#pragma once
// One bank file read whole, without writing or creating anything: its
// records decoded, and for each record whether the program's index lists it
// or why not, for the check and the exports.
//
// The file is found and read through the bank, as the program finds and reads
// it (its name matched without regard to letter case, the newest entry first;
// an entry that is not a regular file refused before it is opened, so a device
// or a pipe never blocks the reader). A file larger than any bank can be is
// refused as well.

#include "DemoSource.h"
#include "LeftOutRecords.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

struct SnapshotRecord
{
    qint32 number = 0;
    qint16 chapter = 0;
    qint16 topic = 0;                            // true/false only
    qint16 answer = 0;                           // true/false only
    QString text;                                // the stored text, its whole field
    LeftOutReason leftOut = LeftOutReason::None; // why the index has no room for it
    bool topicNotInCatalogue = false; // true/false: indexed, but no topic list reaches it

    // Whether a window's list shows it.
    bool listed() const { return leftOut == LeftOutReason::None && !topicNotInCatalogue; }

    QString displayText() const;
    // The text without the fill spaces on its right; leading spaces stay.
    QString textWithoutFill() const;
    // Whether the text holds a line break, a tab or another control character.
    bool hasControlCharacter() const;
    // Why the record is not listed, in Spanish; empty when it is listed.
    QString whyNotListed() const;
};

class BankSnapshot
{
public:
    // Far above the largest file the index can list (32767 records of 256
    // bytes), so that only a file that cannot be a bank is refused.
    static constexpr qint64 kMaxLength = qint64(64) * 1024 * 1024;

    // Reads the kind's bank file from `folder`; a missing file is an empty bank.
    static BankSnapshot read(const QString &folder, QuestionKind kind);

    QuestionKind kind() const { return m_kind; }
    QString fileName() const; // the name the program loads, "QELMEXT2.DAT", ...
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; } // Spanish; empty when ok
    bool exists() const { return !m_entryName.isEmpty(); }
    // The entry read, as spelt on disk.
    QString entryName() const { return m_entryName; }
    // Every entry of the folder whose name equals fileName() apart from case.
    QStringList variants() const { return m_variants; }
    qint64 length() const { return m_length; }
    int trailingBytes() const { return m_trailingBytes; }
    const QList<SnapshotRecord> &records() const { return m_records; }
    // The bytes of record n (1-based), as they are in the file.
    QByteArray recordBytes(qint32 n) const;

private:
    explicit BankSnapshot(QuestionKind kind) : m_kind(kind) {}
    void decode();

    QuestionKind m_kind;
    QString m_error;
    QString m_entryName;
    QStringList m_variants;
    QByteArray m_bytes; // the whole records
    qint64 m_length = 0;
    int m_trailingBytes = 0;
    QList<SnapshotRecord> m_records;
};
