#include "ExpositionBank.h"

#include "BankErrors.h"
#include "StoredText.h"

#include "OpenFiles.h"

#include <QDir>
#include <QtEndian>

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
    const QString path =
        m_directory.isEmpty() ? info.loadName : QDir(m_directory).filePath(info.loadName);
    if (BankError error = m_file.open(path); !error.ok())
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

BankError ExpositionBank::ensureOpen()
{
    BankError error;
    switch (m_file.ensureHandle(&error)) {
    case BankFile::Use::Ready:
        return {};
    case BankFile::Use::Reopened:
        return indexFile();
    case BankFile::Use::Failed:
        break;
    }
    return error;
}

BankError ExpositionBank::indexFile()
{
    ExpositionIndex &index = m_indexes[static_cast<size_t>(m_kind)];
    index.clear();
    m_leftOut = {};
    BankError error;
    const std::optional<QByteArray> bytes = m_file.readAll(&error);
    if (!bytes)
        return error;
    const int length = kindInfo().recordLength;
    const qint32 records =
        static_cast<qint32>(qMin<qint64>(m_file.wholeRecords(), bytes->size() / length));
    for (qint32 n = 1; n <= records; ++n) {
        const qint16 chapter =
            qFromLittleEndian<qint16>(bytes->constData() + qsizetype(n - 1) * length);
        switch (index.add(chapter, n)) {
        case ExpositionIndex::AddResult::Added:
            continue;
        case ExpositionIndex::AddResult::ChapterOutOfRange:
            ++m_leftOut.chapterOutOfRange;
            break;
        case ExpositionIndex::AddResult::ChapterFull:
            ++m_leftOut.chapterFull;
            break;
        }
        m_leftOut.recordNumbers.append(n);
    }
    return {};
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
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    if (n < 1 || n > recordCount() + 1)
        return bankErrors::noSuchRecord(n);
    const BankResult<QByteArray> bytes = record.toBytes(m_kind);
    if (!bytes)
        return bytes.error();
    return m_file.writeRecord(n, *bytes);
}

BankResult<qint32> ExpositionBank::appendRecord(int chapter, const QString &text)
{
    if (BankError error = ensureOpen(); !error.ok())
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
    if (BankError error = m_file.writeRecord(n, *bytes); !error.ok())
        return error;
    index.add(chapter, n);
    return n;
}

BankResult<QList<QuestionListing>> ExpositionBank::questionsOf(int chapter)
{
    if (BankError error = ensureOpen(); !error.ok())
        return error;
    QList<QuestionListing> rows;
    const QList<qint32> numbers = index().recordNumbers(chapter);
    rows.reserve(numbers.size());
    for (qsizetype k = 0; k < numbers.size(); ++k) {
        const BankResult<ExpositionRecord> record = readRecord(numbers[k]);
        if (!record)
            return record.error();
        rows.append(QuestionListing{int(k + 1), numbers[k], displayText(record->text), QString()});
    }
    return rows;
}

QString ExpositionBank::displayText(const QString &text)
{
    return ::displayText(text);
}
