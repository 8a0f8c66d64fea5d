#pragma once
// One record of the true/false bank file, 256 bytes, integers little-endian:
//   0  chapter  int16     2  topic  int16
//   4  text     250 bytes of Windows-1252, space-padded, no terminator
//   254 answer  int16 (1 = true, 0 = false)

#include "BankResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

struct TrueFalseRecord
{
    static constexpr int kLength = 256;
    static constexpr int kTextWidth = 250;
    static constexpr int kTextOffset = 4;
    static constexpr int kAnswerOffset = 254;

    qint16 chapter = 0;
    qint16 topic = 0;
    QString text; // as read: exactly 250 characters; as given for writing: any length
    qint16 answer = 0;

    // The record's 256 bytes, the text cut or padded to 250 characters.
    // Fails with TextNotEncodable when the stored text holds characters that
    // Windows-1252 cannot represent.
    BankResult<QByteArray> toBytes() const;
    // bytes must hold at least kLength bytes.
    static TrueFalseRecord fromBytes(QByteArrayView bytes);

    bool operator==(const TrueFalseRecord &) const = default;
};
