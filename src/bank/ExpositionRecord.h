#pragma once
// One record of an exposition bank file, L bytes (L = the kind's record
// length, W = L - 2 the text width), integers little-endian:
//   0  chapter  int16
//   2  text     W bytes of Windows-1252, space-padded, no terminator

#include "BankResult.h"
#include "ExpositionKind.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

struct ExpositionRecord
{
    static constexpr int kTextOffset = 2; // after the chapter number

    qint16 chapter = 0;
    QString text; // as read: exactly W characters; as given for writing: any length

    // The record's L bytes for the kind, the text cut or padded to W
    // characters. Fails with TextNotEncodable when the stored text holds
    // characters that Windows-1252 cannot represent.
    BankResult<QByteArray> toBytes(ExpositionKind kind) const;
    // bytes must hold at least the kind's record length.
    static ExpositionRecord fromBytes(ExpositionKind kind, QByteArrayView bytes);

    bool operator==(const ExpositionRecord &) const = default;
};
