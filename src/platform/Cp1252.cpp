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

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
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
