#pragma once
// The Windows-1252 code page of the bank files and of exported texts, through
// Qt's converters. Encoding never substitutes silently: it names every
// character that the code page cannot represent, so the caller can refuse.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace Cp1252 {

struct Encoded
{
    QByteArray bytes;    // one byte per character; unencodable ones become 0x1A
    QString unencodable; // each offending character once, in order of first appearance
    bool ok() const { return unencodable.isEmpty(); }
};

Encoded encode(QStringView text);

// One character per byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) come back as the C1 controls of the same
// value, so that decoding and encoding again gives back the same bytes.
QString decode(QByteArrayView bytes);

bool canEncode(QStringView text);

// Each character with its code point, «→» (U+2192), separated by commas, for
// a message that names characters some of which may not show.
QString describe(const QString &characters);

} // namespace Cp1252
