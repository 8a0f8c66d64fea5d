#include "BankFile.h"

#include "BankErrors.h"

#include "Rounding.h"

#include <QDir>
#include <QFileInfo>
#include <limits>

namespace {
QString shownName(const QString &path)
{
    return QFileInfo(path).fileName();
}
} // namespace

BankError BankFile::open(const QString &directory, const QString &name)
{
    close();
    const QString path = directory.isEmpty() ? name : QDir(directory).filePath(name);
    m_path = path;
    if (!m_file.open(path, m_recordLength))
        return bankErrors::cannotOpen(shownName(path), m_file.errorString());
    m_wanted = true;
    recount();
    return {};
}

void BankFile::close()
{
    m_wanted = false;
    m_file.close();
    m_length = 0;
    m_wholeRecords = 0;
    m_roundedRecords = 0;
    m_trailingBytes = 0;
}

BankError BankFile::ensureOpen(const std::function<BankError()> &reindex)
{
    if (!m_wanted)
        return bankErrors::notOpen();
    if (m_file.isOpen())
        return {};
    // Closed under us by closeAllFiles(): the file may have been replaced in
    // the meantime, so look its name up again and count it afresh.
    if (!m_file.open(m_path, m_recordLength))
        return bankErrors::cannotOpen(shownName(m_path), m_file.errorString());
    recount();
    return reindex();
}

void BankFile::recount()
{
    m_length = qMax<qint64>(m_file.size(), 0);
    const qint64 whole = m_length / m_recordLength;
    const qint64 rounded = divideRoundHalfToEven(m_length, m_recordLength);
    constexpr qint64 kMax = std::numeric_limits<qint32>::max();
    m_wholeRecords = static_cast<qint32>(qMin(whole, kMax));
    m_roundedRecords = static_cast<qint32>(qMin(rounded, kMax));
    m_trailingBytes = static_cast<int>(m_length - whole * m_recordLength);
}

BankError BankFile::forEachRecord(const std::function<void(qint32, const char *)> &visit)
{
    const std::optional<QByteArray> bytes = m_file.readAll();
    if (!bytes)
        return bankErrors::cannotRead(shownName(m_path), m_file.errorString());
    const qint32 records =
        static_cast<qint32>(qMin<qint64>(m_wholeRecords, bytes->size() / m_recordLength));
    for (qint32 n = 1; n <= records; ++n)
        visit(n, bytes->constData() + qsizetype(n - 1) * m_recordLength);
    return {};
}

BankResult<QByteArray> BankFile::readRecord(qint32 n)
{
    if (n < 1 || n > m_wholeRecords)
        return bankErrors::noSuchRecord(n);
    std::optional<QByteArray> bytes = m_file.readRecord(n);
    if (!bytes)
        return bankErrors::cannotRead(shownName(m_path), m_file.errorString());
    return *bytes;
}

BankError BankFile::writeRecord(qint32 n, const QByteArray &bytes)
{
    if (n < 1 || n > m_wholeRecords + 1)
        return bankErrors::noSuchRecord(n);
    const bool written = m_file.writeRecord(n, bytes);
    const QString reason = m_file.errorString();
    // Count again even after a failure: a short write may have changed the
    // length of the torn tail, though never the number of whole records
    // before n.
    recount();
    if (!written)
        return bankErrors::cannotWrite(shownName(m_path), reason);
    return {};
}
