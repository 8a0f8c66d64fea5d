#include "ExpositionBank.h"

#include "BankErrors.h"
#include "OpeningNotes.h"
#include "StoredText.h"

#include "OpenFiles.h"

#include <QFileInfo>
#include <QtEndian>
#include <vector>

ExpositionBank::ExpositionBank(const QString &directory)
    : m_directory(directory), m_file(expositionKindInfo(ExpositionKind::Conceptual).recordLength),
      m_indexes{ExpositionIndex(ExpositionKind::Conceptual),
                ExpositionIndex(ExpositionKind::Practical), ExpositionIndex(ExpositionKind::Brief)}
{
}

const ExpositionIndex &ExpositionBank::index(ExpositionKind kind) const
{
    return m_indexes[static_cast<size_t>(expositionKindFromNumber(static_cast<int>(kind)))];
}

BankError ExpositionBank::openBank(ExpositionKind kind)
{
    closeAllFiles();
    m_file.close();
    m_kind = expositionKindFromNumber(static_cast<int>(kind));
    m_indexes[static_cast<size_t>(m_kind)].clear();
    m_leftOut = {};
    const ExpositionKindInfo &info = kindInfo();
    m_file.setRecordLength(info.recordLength);
    if (BankError error = m_file.open(m_directory, info.loadName, info.rewriteName); !error.ok())
        return error;
    return indexFile();
}

void ExpositionBank::closeBank()
{
    m_file.close();
    m_indexes[static_cast<size_t>(m_kind)].clear();
    m_leftOut = {};
}

BankError ExpositionBank::buildIndex()
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    return indexFile();
}

BankResult<bool> ExpositionBank::reloadIfChanged()
{
    return m_file.reloadIfChanged([this] { return indexFile(); });
}

BankError ExpositionBank::ensureOpenToChange()
{
    return m_file.ensureOpenToChange([this] { return indexFile(); });
}

BankError ExpositionBank::ensureOpen()
{
    return m_file.ensureOpen([this] { return indexFile(); });
}

BankError ExpositionBank::indexFile()
{
    ExpositionIndex &index = m_indexes[static_cast<size_t>(m_kind)];
    index.clear();
    m_leftOut = {};
    const BankError error = m_file.forEachRecord([this, &index](qint32 n, const char *record) {
        if (const auto added = index.add(qFromLittleEndian<qint16>(record), n);
            added != ExpositionIndex::AddResult::Added) [[unlikely]]
            m_leftOut.add(leftOutReason(added), n);
    });
    m_leftOut.recordNumberTooLarge += m_file.unreadRecords();
    return error;
}

BankResult<ExpositionRecord> ExpositionBank::readRecord(qint32 n)
{
    BankResult<QByteArray> bytes = readRawRecord(n);
    if (!bytes)
        return bytes.error();
    return ExpositionRecord::fromBytes(m_kind, *bytes);
}

BankResult<QByteArray> ExpositionBank::readRawRecord(qint32 n)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    return m_file.readRecord(n);
}

BankError ExpositionBank::writeRecord(qint32 n, const ExpositionRecord &record)
{
    if (BankError error = ensureOpenToChange(); !error.ok())
        return error;
    if (n < 1 || n > recordCount() + 1)
        return bankErrors::noSuchRecord(n);
    const BankResult<QByteArray> bytes = record.toBytes(m_kind);
    if (!bytes)
        return bytes.error();
    if (n <= recordCount())
        return m_file.replaceRecord(n, *bytes, [this] { return indexFile(); });
    if (BankError error = m_file.appendRecord(*bytes, [this] { return indexFile(); }); !error.ok())
        return error;
    return indexFile();
}

BankError ExpositionBank::deleteRecord(qint32 n)
{
    if (BankError error = ensureOpenToChange(); !error.ok())
        return error;
    return m_file.removeRecord(n, [this] { return indexFile(); });
}

BankResult<qint32> ExpositionBank::appendRecord(int chapter, const QString &text)
{
    if (BankError error = ensureOpenToChange(); !error.ok())
        return error;
    if (chapter < 1 || chapter > kChapters)
        return bankErrors::chapterOutOfRange(chapter);
    ExpositionIndex &index = m_indexes[static_cast<size_t>(m_kind)];
    if (index.count(chapter) >= index.maxPerChapter())
        return bankErrors::chapterFull(chapter, index.maxPerChapter());
    const ExpositionRecord record{static_cast<qint16>(chapter), text};
    const BankResult<QByteArray> bytes = record.toBytes(m_kind);
    if (!bytes)
        return bytes.error();
    // The new record goes right after the last whole record, over the bytes
    // of a torn one if there are any.
    const qint32 n = recordCount() + 1;
    if (BankError error = m_file.appendRecord(*bytes, [this] { return indexFile(); }); !error.ok())
        return error;
    index.add(chapter, n);
    return n;
}

BankResult<qint32> ExpositionBank::appendRecords(const Additions &additions)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    qint32 first = 0;
    const auto bytesOf = [&]() -> BankResult<QByteArray> {
        const BankResult<QList<ExpositionRecord>> records = additions();
        if (!records)
            return records.error();
        first = recordCount() + 1;
        ExpositionIndex chapters = index();
        QByteArray bytes;
        qint32 n = first;
        for (const ExpositionRecord &record : *records) {
            if (BankError refused =
                    bankErrors::indexRefusal(leftOutReason(chapters.add(record.chapter, n++)),
                                             record.chapter, 0, chapters.maxPerChapter());
                !refused.ok())
                return refused;
            const BankResult<QByteArray> encoded = record.toBytes(m_kind);
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

BankResult<QList<QuestionListing>> ExpositionBank::questionsOf(int chapter)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    QList<QuestionListing> rows;
    const ExpositionIndex &chapters = index();
    const int count = chapters.count(chapter);
    rows.reserve(count);
    // One read a record into the same buffer, and one text made from it.
    const ExpositionKindInfo &info = kindInfo();
    std::vector<char> record(size_t(info.recordLength));
    for (int k = 1; k <= count; ++k) {
        const qint32 n = chapters.slot(chapter, k);
        if (BankError error = m_file.readRecordInto(n, record.data()); !error.ok())
            return error;
        rows.append(
            QuestionListing{k, n,
                            displayTextOf(QByteArrayView(
                                record.data() + ExpositionRecord::kTextOffset, info.textWidth))});
    }
    return rows;
}

QString ExpositionBank::displayText(const QString &text)
{
    return ::displayText(text);
}

QString ExpositionBank::openingNotes() const
{
    return ::openingNotes(QFileInfo(filePath()).fileName(), m_leftOut, trailingBytes(),
                          caseVariants());
}
