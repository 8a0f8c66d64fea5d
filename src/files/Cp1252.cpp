#include "Cp1252.h"

#include <QStringList>

#include <QStringDecoder>
#include <QStringEncoder>

namespace Cp1252 {

namespace {
constexpr const char *kCodecName = "windows-1252";
constexpr char kSubstitute = '\x1a';

bool encodesAlone(QStringView character)
{
    QStringEncoder encoder(kCodecName);
    const QByteArray bytes = encoder.encode(character);
    return !encoder.hasError() && bytes.size() == 1;
}
} // namespace

Encoded encode(QStringView text)
{
    Encoded result;
    QStringEncoder encoder(kCodecName);
    result.bytes = encoder.encode(text);
    if (!encoder.hasError() && result.bytes.size() == text.size())
        return result;

    // Something did not encode: go character by character (a surrogate pair
    // is one character) to name the offenders and keep one byte per character.
    result.bytes.clear();
    result.bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        const QStringView character = text.sliced(i, width);
        if (encodesAlone(character)) {
            QStringEncoder single(kCodecName);
            result.bytes.append(single.encode(character));
        } else {
            result.bytes.append(kSubstitute);
            if (!result.unencodable.contains(character))
                result.unencodable.append(character);
        }
        i += width;
    }
    return result;
}

// Bytes 0x80 to 0x9F; every other byte is the character of the same number.
// The five bytes the code page leaves unassigned keep their own number, as
// the system's converter does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Most texts hold no byte of 0x80-0x9F, and then they read as Latin-1,
// which Qt converts many bytes at a time; the few bytes of that block are
// put right afterwards from the table. The search looks at every byte
// without stopping early, so that the compiler can take many at a time too:
// a chapter's listing decodes 50,000 bytes, and one byte at a time took a
// third of its time.
QString decode(QByteArrayView bytes)
{
    unsigned char highControls = 0;
    for (const char c : bytes)
        highControls |= static_cast<unsigned char>(static_cast<unsigned char>(c) - 0x80) < 0x20;
    QString text = QString::fromLatin1(bytes);
    if (highControls == 0)
        return text;
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x80 && byte < 0xA0)
            out[i] = kHighControls[byte - 0x80];
    }
    return text;
}

bool canEncode(QStringView text)
{
    return encode(text).ok();
}

QString describe(const QString &characters)
{
    QStringList named;
    for (const char32_t code : characters.toUcs4())
        named.append(QStringLiteral("«%1» (U+%2)")
                         .arg(QString::fromUcs4(&code, 1),
                              QString::number(uint(code), 16).toUpper().rightJustified(4, u'0')));
    return named.join(QStringLiteral(", "));
}

} // namespace Cp1252
