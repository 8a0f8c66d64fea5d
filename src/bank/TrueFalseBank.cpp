#include "TrueFalseBank.h"

#include "AnswerLabel.h"
#include "BankErrors.h"
#include "OpeningNotes.h"
#include "StoredText.h"

#include <QFileInfo>

#include <QtEndian>

QString TrueFalseBank::loadName()
{
    return QStringLiteral("QELMEXT2.DAT");
}

QString TrueFalseBank::rewriteName()
{
    return QStringLiteral("Qelmext2.dat");
}

TrueFalseBank::TrueFalseBank(const QString &directory) : m_directory(directory) {}

BankError TrueFalseBank::openBank()
{
    if (BankError error = m_file.open(m_directory, loadName(), rewriteName()); !error.ok()) {
        m_index.clear();
        m_leftOut = {};
        return error;
    }
    return indexFile(); // which starts from an empty index
}

void TrueFalseBank::closeBank()
{
    m_file.close();
    m_index.clear();
    m_leftOut = {};
}

BankError TrueFalseBank::buildIndex()
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    return indexFile();
}

BankResult<bool> TrueFalseBank::reloadIfChanged()
{
    return m_file.reloadIfChanged([this] { return indexFile(); });
}

BankError TrueFalseBank::ensureOpenToChange()
{
    return m_file.ensureOpenToChange([this] { return indexFile(); });
}

BankError TrueFalseBank::ensureOpen()
{
    return m_file.ensureOpen([this] { return indexFile(); });
}

BankError TrueFalseBank::indexFile()
{
    m_index.clear();
    m_leftOut = {};
    const int length = m_file.recordLength();
    const BankError error =
        m_file.forEachChunk([this, length](qint32 first, qint32 count, const char *records) {
            m_index.addRecords(first, count, records, length,
                               [this](TrueFalseIndex::AddResult added, qint32 n) {
                                   m_leftOut.add(leftOutReason(added), n);
                               });
        });
    m_leftOut.recordNumberTooLarge += m_file.unreadRecords();
    return error;
}

BankResult<TrueFalseRecord> TrueFalseBank::readRecord(qint32 n)
{
    BankResult<QByteArray> bytes = readRawRecord(n);
    if (!bytes)
        return bytes.error();
    return TrueFalseRecord::fromBytes(*bytes);
}

BankResult<QByteArray> TrueFalseBank::readRawRecord(qint32 n)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    return m_file.readRecord(n);
}

BankError TrueFalseBank::writeRecord(qint32 n, const TrueFalseRecord &record)
{
    if (BankError error = ensureOpenToChange(); !error.ok())
        return error;
    if (n < 1 || n > recordCount())
        return bankErrors::noSuchRecord(n);
    const BankResult<QByteArray> bytes = record.toBytes();
    if (!bytes)
        return bytes.error();
    return m_file.replaceRecord(n, *bytes, [this] { return indexFile(); });
}

BankError TrueFalseBank::deleteRecord(qint32 n)
{
    if (BankError error = ensureOpenToChange(); !error.ok())
        return error;
    return m_file.removeRecord(n, [this] { return indexFile(); });
}

BankResult<qint32> TrueFalseBank::appendRecord(const TrueFalseRecord &record)
{
    if (BankError error = ensureOpenToChange(); !error.ok())
        return error;
    if (record.chapter < 1 || record.chapter > kChapters)
        return bankErrors::chapterOutOfRange(record.chapter);
    if (record.topic < 1 || record.topic > kTopics)
        return bankErrors::topicOutOfRange(record.topic);
    // The new record goes right after the last whole record, over the bytes
    // of a torn one if there are any.
    const qint32 n = recordCount() + 1;
    if (n > kMaxRecordNumber)
        return bankErrors::recordNumberTooLarge();
    if (m_index.count(record.chapter, record.topic) >= kQuestionsPerTopic)
        return bankErrors::topicFull(record.chapter, record.topic);
    const BankResult<QByteArray> bytes = record.toBytes();
    if (!bytes)
        return bytes.error();
    if (BankError error = m_file.appendRecord(*bytes, [this] { return indexFile(); }); !error.ok())
        return error;
    m_index.add(record.chapter, record.topic, n);
    return n;
}

BankResult<qint32> TrueFalseBank::appendRecords(const Additions &additions)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    qint32 first = 0;
    const auto bytesOf = [&]() -> BankResult<QByteArray> {
        const BankResult<QList<TrueFalseRecord>> records = additions();
        if (!records)
            return records.error();
        first = recordCount() + 1;
        TrueFalseIndex index = m_index;
        QByteArray bytes;
        qint32 n = first;
        for (const TrueFalseRecord &record : *records) {
            if (BankError refused = bankErrors::indexRefusal(
                    leftOutReason(index.add(record.chapter, record.topic, n++)), record.chapter,
                    record.topic, 0);
                !refused.ok())
                return refused;
            const BankResult<QByteArray> encoded = record.toBytes();
            if (!encoded)
                return encoded.error();
            bytes += *encoded;
        }
        return bytes;
    };
    if (BankError error = m_file.appendRecords(bytesOf, [this] { return indexFile(); });
        !error.ok())
        return error;
    return first;
}

BankResult<QList<QuestionListing>> TrueFalseBank::questionsOf(int chapter, int topic)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    QList<QuestionListing> rows;
    const int count = m_index.count(chapter, topic);
    rows.reserve(count);
    // One read a record into the same buffer, and one text made from it.
    char record[TrueFalseRecord::kLength];
    for (int k = 1; k <= count; ++k) {
        const qint32 n = m_index.slot(chapter, topic, k);
        if (BankError error = m_file.readRecordInto(n, record); !error.ok())
            return error;
        rows.append(QuestionListing{
            k, n,
            displayTextOf(
                QByteArrayView(record + TrueFalseRecord::kTextOffset, TrueFalseRecord::kTextWidth)),
            qFromLittleEndian<qint16>(record + TrueFalseRecord::kAnswerOffset) == 1});
    }
    return rows;
}

QString TrueFalseBank::displayText(const TrueFalseRecord &record)
{
    return ::displayText(record.text);
}

QString TrueFalseBank::answerLabel(const TrueFalseRecord &record)
{
    return answerLabel(record.answer);
}

QString TrueFalseBank::answerLabel(qint16 answer)
{
    return ::answerLabel(answer == 1);
}

QString TrueFalseBank::openingNotes() const
{
    return ::openingNotes(QFileInfo(filePath()).fileName(), m_leftOut, trailingBytes(),
                          caseVariants());
}
