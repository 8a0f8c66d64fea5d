#include "BankFile.h"

#include "BankErrors.h"

#include "FileLock.h"
#include "FileReplacement.h"
#include "OpenFiles.h"
#include "Rounding.h"

#include <QDir>
#include <QFileInfo>
#include <limits>
#include <memory>
#include <utility>

namespace {
QString shownName(const QString &path)
{
    return QFileInfo(path).fileName();
}
} // namespace

QString BankFile::tempName()
{
    return QStringLiteral("Base.tmp");
}

QString BankFile::lockPath(const QString &bankPath)
{
    return bankPath + QStringLiteral(".lock");
}

BankError BankFile::open(const QString &directory, const QString &name, const QString &rewriteName)
{
    close();
    m_path = directory.isEmpty() ? name : QDir(directory).filePath(name);
    m_rewriteName = rewriteName;
    if (BankError error = reopen(); !error.ok())
        return error;
    m_wanted = true;
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
    m_caseVariants.clear();
    m_identity = {};
    m_changedUnseen = false;
}

BankError BankFile::ensureOpen(const Reindex &reindex)
{
    if (!m_wanted)
        return bankErrors::notOpen();
    if (m_file.isOpen())
        return {};
    // Closed under us by closeAllFiles(): the file may have been replaced in
    // the meantime, so look its name up again and count it afresh.
    const FileIdentity indexed = m_identity;
    if (BankError error = reopen(); !error.ok())
        return error;
    if (m_identity != indexed)
        m_changedUnseen = true;
    return reindex();
}

BankError BankFile::ensureOpenToChange(const Reindex &reindex)
{
    if (BankError error = ensureOpen(reindex); !error.ok())
        return error;
    if (std::exchange(m_changedUnseen, false))
        return bankErrors::changedElsewhere();
    return {};
}

BankResult<bool> BankFile::reloadIfChanged(const Reindex &reindex)
{
    if (BankError error = ensureOpen(reindex); !error.ok())
        return error;
    const bool changed = std::exchange(m_changedUnseen, false) ||
                         FileIdentity::of(RecordFile::resolve(m_path, m_rewriteName)) != m_identity;
    if (!changed)
        return false;
    if (BankError error = reload(reindex); !error.ok())
        return error;
    return true;
}

BankError BankFile::reload(const Reindex &reindex)
{
    m_file.close();
    m_changedUnseen = false;
    if (BankError error = reopen(); !error.ok())
        return error;
    return reindex();
}

BankError BankFile::underLock(const Reindex &reindex, const Change &change, bool followChanges)
{
    if (!m_wanted)
        return bankErrors::notOpen();
    FileLock lock;
    switch (lock.lock(lockPath(m_path), kLockWaitMs)) {
    case FileLock::Result::Locked:
        break;
    case FileLock::Result::Busy:
        return bankErrors::lockedElsewhere();
    case FileLock::Result::Failed:
        return bankErrors::cannotWrite(lock.errorString());
    }
    const BankResult<bool> changed = reloadIfChanged(reindex);
    if (!changed)
        return changed.error();
    if (*changed && !followChanges)
        return bankErrors::changedElsewhere();
    return change();
}

BankError BankFile::reopen()
{
    if (!m_file.open(m_path, m_recordLength, m_rewriteName))
        return bankErrors::cannotOpen(shownName(m_path), m_file.errorString());
    // Taken on the opened file before it is read: a change made while it is
    // read makes the next check find a difference and reload, never miss one.
    m_identity = m_file.openedIdentity();
    recount(m_identity.size);
    m_caseVariants = m_file.otherCaseVariants();
    return {};
}

void BankFile::recount()
{
    recount(qMax<qint64>(m_file.size(), 0));
}

void BankFile::recount(qint64 length)
{
    m_length = length;
    const qint64 whole = m_length / m_recordLength;
    const qint64 rounded = divideRoundHalfToEven(m_length, m_recordLength);
    constexpr qint64 kMax = std::numeric_limits<qint32>::max();
    m_wholeRecords = static_cast<qint32>(qMin(whole, kMax));
    m_roundedRecords = static_cast<qint32>(qMin(rounded, kMax));
    m_trailingBytes = static_cast<int>(m_length - whole * m_recordLength);
}

BankError BankFile::forEachChunk(const std::function<void(qint32, qint32, const char *)> &visit)
{
    // A quarter of a megabyte a read: few calls, memory bounded whatever the
    // file's length, and each chunk still in the processor's cache when its
    // records are looked at (a megabyte a read was slower). A small file is
    // read in one call into a buffer of its own size.
    const qint32 chunk = qMax(1, (1 << 18) / m_recordLength);
    const qint32 last = qMin(m_wholeRecords, kMaxReadRecords);
    const auto buffer = std::make_unique_for_overwrite<char[]>(size_t(qMin(chunk, qMax(last, 1))) *
                                                               size_t(m_recordLength));
    for (qint32 first = 1; first <= last; first += chunk) {
        const qint32 wanted = qMin(chunk, last - first + 1);
        const qint64 records = m_file.readRecordsInto(first, wanted, buffer.get());
        if (records < 0)
            return bankErrors::cannotRead(shownName(m_path), m_file.errorString());
        visit(first, qint32(records), buffer.get());
        if (records < wanted)
            break; // the file shrank since it was counted
    }
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

BankError BankFile::readRecordInto(qint32 n, char *buffer)
{
    if (n < 1 || n > m_wholeRecords)
        return bankErrors::noSuchRecord(n);
    if (!m_file.readRecordInto(n, buffer))
        return bankErrors::cannotRead(shownName(m_path), m_file.errorString());
    return {};
}

BankError BankFile::appendRecord(const QByteArray &bytes, const Reindex &reindex)
{
    return underLock(reindex, [&]() -> BankError {
        const bool written = m_file.writeRecord(m_wholeRecords + 1, bytes);
        recount();
        // Under the lock nobody else writes: this is our own result.
        m_identity = FileIdentity::of(m_file.filePath());
        if (!written)
            return bankErrors::cannotWrite(m_file.errorString());
        return {};
    });
}

BankError BankFile::appendRecords(const Additions &additions, const Reindex &reindex)
{
    return underLock(
        reindex,
        [&]() -> BankError {
            const BankResult<QByteArray> added = additions();
            if (!added)
                return added.error();
            return replaceLocked(
                [&](QByteArray &content) {
                    // Over the bytes of a torn record, if there are any.
                    content.truncate(content.size() - content.size() % m_recordLength);
                    content += *added;
                    return BankError();
                },
                reindex);
        },
        true);
}

BankError BankFile::replaceRecord(qint32 n, const QByteArray &bytes, const Reindex &reindex)
{
    return replaceContent(n, bytes, reindex);
}

BankError BankFile::removeRecord(qint32 n, const Reindex &reindex)
{
    return replaceContent(n, QByteArray(), reindex);
}

// Record n of the file becomes `replacement` (nothing, for a removal), and the
// result replaces the file.
BankError BankFile::replaceContent(qint32 n, const QByteArray &replacement, const Reindex &reindex)
{
    if (n < 1 || n > m_wholeRecords)
        return bankErrors::noSuchRecord(n);
    const auto edit = [&](QByteArray &content) -> BankError {
        const qsizetype offset = qsizetype(n - 1) * m_recordLength;
        if (content.size() < offset + m_recordLength)
            return bankErrors::noSuchRecord(n); // the file shrank since it was counted
        content.replace(offset, m_recordLength, replacement);
        return {};
    };
    return underLock(reindex, [&] { return replaceLocked(edit, reindex); });
}

BankError BankFile::replaceLocked(const Edit &edit, const Reindex &reindex)
{
    // The rename would go through even over a file that cannot be written to:
    // refuse before anything is written.
    if (m_file.isReadOnly())
        return bankErrors::cannotWrite(m_file.readOnlyReason());
    std::optional<QByteArray> content = m_file.readAll(kMaxLength);
    if (!content)
        return bankErrors::cannotRead(shownName(m_path), m_file.errorString());
    if (BankError error = edit(*content); !error.ok())
        return error;

    // Every handle on the old file, another window's included, would go on
    // reading the old content after the rename; they all reopen by name.
    const QString opened = m_file.filePath();
    closeAllFiles();
    FileReplacement change(opened, m_rewriteName, tempName());
    // The name the bank was loaded under, left beside the rewritten file by
    // a replacement killed before it removed it: unseen, and removed now.
    change.setStaleName(QFileInfo(m_path).fileName());
    const bool committed = change.commit(*content);
    // Our own new file: reopened without counting as a change from elsewhere.
    const BankError reopened = reload(reindex);
    if (!committed)
        return bankErrors::cannotWrite(change.errorString());
    return reopened;
}
