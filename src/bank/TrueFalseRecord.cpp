#include "TrueFalseRecord.h"

#include "BankErrors.h"
#include "StoredText.h"

#include "Cp1252.h"

#include <QtEndian>

namespace {
constexpr int kChapterOffset = 0;
constexpr int kTopicOffset = 2;
} // namespace

BankResult<QByteArray> TrueFalseRecord::toBytes() const
{
    const Cp1252::Encoded encoded = Cp1252::encode(storedText(text, kTextWidth));
    if (!encoded.ok())
        return bankErrors::textNotEncodable(encoded.unencodable);

    QByteArray bytes(kLength, ' ');
    qToLittleEndian<qint16>(chapter, bytes.data() + kChapterOffset);
    qToLittleEndian<qint16>(topic, bytes.data() + kTopicOffset);
    bytes.replace(kTextOffset, kTextWidth, encoded.bytes);
    qToLittleEndian<qint16>(answer, bytes.data() + kAnswerOffset);
    return bytes;
}

TrueFalseRecord TrueFalseRecord::fromBytes(QByteArrayView bytes)
{
    Q_ASSERT(bytes.size() >= kLength);
    TrueFalseRecord record;
    record.chapter = qFromLittleEndian<qint16>(bytes.data() + kChapterOffset);
    record.topic = qFromLittleEndian<qint16>(bytes.data() + kTopicOffset);
    record.text = Cp1252::decode(bytes.sliced(kTextOffset, kTextWidth));
    record.answer = qFromLittleEndian<qint16>(bytes.data() + kAnswerOffset);
    return record;
}
