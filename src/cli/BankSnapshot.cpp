#include "BankSnapshot.h"

#include "BankKinds.h"
#include "ExpositionBank.h"
#include "ExpositionIndex.h"
#include "ExpositionRecord.h"
#include "RecordFile.h"
#include "StoredText.h"
#include "TopicCatalogue.h"
#include "TrueFalseBank.h"
#include "TrueFalseIndex.h"
#include "TrueFalseRecord.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString SnapshotRecord::displayText() const
{
    return ::displayText(text);
}

QString SnapshotRecord::textWithoutFill() const
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.left(end);
}

bool SnapshotRecord::hasControlCharacter() const
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString SnapshotRecord::whyNotListed() const
{
    if (topicNotInCatalogue)
        return QStringLiteral("el tema %1 no está en el catálogo del capítulo %2")
            .arg(topic)
            .arg(chapter);
    switch (leftOut) {
    case LeftOutReason::None:
        break;
    case LeftOutReason::ChapterOutOfRange:
        return QStringLiteral("el capítulo %1 está fuera de 1 a 22").arg(chapter);
    case LeftOutReason::TopicOutOfRange:
        return QStringLiteral("el tema %1 está fuera de 1 a 10").arg(topic);
    case LeftOutReason::RecordNumberTooLarge:
        return QStringLiteral("el número de registro pasa de 32767");
    case LeftOutReason::TopicFull:
        return QStringLiteral("el tema %1 del capítulo %2 ya tenía 50 preguntas")
            .arg(topic)
            .arg(chapter);
    case LeftOutReason::ChapterFull:
        return QStringLiteral("el capítulo %1 ya tenía el máximo de preguntas de este tipo")
            .arg(chapter);
    }
    return {};
}

QString BankSnapshot::fileName() const
{
    return questionKind::bankFileName(m_kind);
}

namespace {

// Opens the kind's existing bank file through the bank, hands it to `read`
// and closes it.
template <typename Read>
BankError readThroughBank(const QString &folder, QuestionKind kind, const Read &read)
{
    if (kind == QuestionKind::TrueFalse) {
        TrueFalseBank bank(folder);
        BankError error = bank.openBank();
        if (error.ok())
            error = read(bank);
        bank.closeBank();
        return error;
    }
    ExpositionBank bank(folder);
    BankError error = bank.openBank(questionKind::expositionKind(kind));
    if (error.ok())
        error = read(bank);
    bank.closeBank();
    return error;
}

} // namespace

BankSnapshot BankSnapshot::read(const QString &folder, QuestionKind kind)
{
    BankSnapshot snapshot(kind);
    const QString wanted = QDir(folder).filePath(snapshot.fileName());
    for (const QFileInfo &variant : RecordFile::caseVariants(wanted))
        snapshot.m_variants.append(variant.fileName());
    // Opening a missing file would create it: a missing file is an empty bank.
    if (snapshot.m_variants.isEmpty())
        return snapshot;
    snapshot.m_variants.sort();
    snapshot.m_entryName =
        QFileInfo(RecordFile::resolve(wanted, questionKind::rewriteFileName(kind))).fileName();

    const BankError error = readThroughBank(folder, kind, [&](auto &bank) -> BankError {
        if (bank.fileLength() > kMaxLength)
            return BankError{
                BankErrorCode::CannotRead,
                QStringLiteral("%1 ocupa %2 bytes, más de lo que puede ocupar un banco")
                    .arg(snapshot.m_entryName)
                    .arg(bank.fileLength()),
                {}};
        snapshot.m_length = bank.fileLength();
        snapshot.m_trailingBytes = bank.trailingBytes();
        for (qint32 n = 1; n <= bank.recordCount(); ++n) {
            const BankResult<QByteArray> record = bank.readRawRecord(n);
            if (!record)
                return record.error();
            snapshot.m_bytes += *record;
        }
        return {};
    });
    if (!error.ok()) {
        // The reason alone: it names the file.
        snapshot.m_error = error.detail.isEmpty() ? error.message : error.detail;
        snapshot.m_bytes.clear();
        return snapshot;
    }
    snapshot.decode();
    return snapshot;
}

QByteArray BankSnapshot::recordBytes(qint32 n) const
{
    const int length = questionKind::recordLength(m_kind);
    if (n < 1 || qint64(n) * length > m_bytes.size())
        return {};
    return m_bytes.mid(qsizetype(n - 1) * length, length);
}

// Puts every whole record where the program's index would put it, so that
// what a window lists and what the check reports agree.
void BankSnapshot::decode()
{
    const int length = questionKind::recordLength(m_kind);
    const qint32 whole = qint32(m_bytes.size() / length);
    m_records.reserve(whole);

    const bool trueFalse = m_kind == QuestionKind::TrueFalse;
    const ExpositionKind expositionKind = questionKind::expositionKind(m_kind);
    const TopicCatalogue catalogue;
    TrueFalseIndex trueFalseIndex;
    ExpositionIndex expositionIndex(expositionKind);

    for (qint32 n = 1; n <= whole; ++n) {
        const QByteArrayView bytes(m_bytes.constData() + qsizetype(n - 1) * length, length);
        SnapshotRecord record;
        record.number = n;
        if (trueFalse) {
            const TrueFalseRecord decoded = TrueFalseRecord::fromBytes(bytes);
            record.chapter = decoded.chapter;
            record.topic = decoded.topic;
            record.answer = decoded.answer;
            record.text = decoded.text;
            record.leftOut = leftOutReason(trueFalseIndex.add(record.chapter, record.topic, n));
            record.topicNotInCatalogue = record.leftOut == LeftOutReason::None &&
                                         record.topic > catalogue.topicCount(record.chapter);
        } else {
            const ExpositionRecord decoded = ExpositionRecord::fromBytes(expositionKind, bytes);
            record.chapter = decoded.chapter;
            record.text = decoded.text;
            record.leftOut = leftOutReason(expositionIndex.add(record.chapter, n));
        }
        m_records.append(record);
    }
}
