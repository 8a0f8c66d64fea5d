#include "ExpositionRecord.h"

#include "BankErrors.h"
#include "StoredText.h"

#include "Cp1252.h"

#include <QtEndian>

namespace {
constexpr int kChapterOffset = 0;
} // namespace

BankResult<QByteArray> ExpositionRecord::toBytes(ExpositionKind kind) const
{
    const ExpositionKindInfo &info = expositionKindInfo(kind);
    const Cp1252::Encoded encoded = Cp1252::encode(storedText(text, info.textWidth));
    if (!encoded.ok())
        return bankErrors::textNotEncodable(encoded.unencodable);

    QByteArray bytes(info.recordLength, ' ');
    qToLittleEndian<qint16>(chapter, bytes.data() + kChapterOffset);
    bytes.replace(kTextOffset, info.textWidth, encoded.bytes);
    return bytes;
}

ExpositionRecord ExpositionRecord::fromBytes(ExpositionKind kind, QByteArrayView bytes)
{
    const ExpositionKindInfo &info = expositionKindInfo(kind);
    Q_ASSERT(bytes.size() >= info.recordLength);
    ExpositionRecord record;
    record.chapter = qFromLittleEndian<qint16>(bytes.data() + kChapterOffset);
    record.text = Cp1252::decode(bytes.sliced(kTextOffset, info.textWidth));
    return record;
}
