#pragma once
// Bank records built byte by byte for the tests, so that a damaged file can
// hold whatever the program's own writer would refuse.

#include <QByteArray>
#include <QtEndian>

namespace bankBytes {

// A true/false record: chapter, topic, Windows-1252 text, answer.
inline QByteArray trueFalse(int chapter, int topic, const QByteArray &text = "q", int answer = 1)
{
    QByteArray bytes =
        QByteArray(4, '\0') + text.leftJustified(250, ' ', true) + QByteArray(2, '\0');
    qToLittleEndian<qint16>(qint16(chapter), bytes.data());
    qToLittleEndian<qint16>(qint16(topic), bytes.data() + 2);
    qToLittleEndian<qint16>(qint16(answer), bytes.data() + 254);
    return bytes;
}

// An exposition record of `length` bytes (502, 1002 or 152).
inline QByteArray exposition(int length, int chapter, const QByteArray &text)
{
    QByteArray bytes = QByteArray(2, '\0') + text.leftJustified(length - 2, ' ', true);
    qToLittleEndian<qint16>(qint16(chapter), bytes.data());
    return bytes;
}

inline QByteArray brief(int chapter, const QByteArray &text)
{
    return exposition(152, chapter, text);
}

inline QByteArray conceptual(int chapter, const QByteArray &text)
{
    return exposition(502, chapter, text);
}

// The four kinds of bank file, by number: 0 true/false, 1 conceptual,
// 2 practical, 3 brief.
inline const char *const kLoadNames[] = {"QELMEXT2.DAT", "QELMEXE1.DAT", "QELMEXE2.DAT",
                                         "QELMEXE3.DAT"};
inline const char *const kRewriteNames[] = {"Qelmext2.dat", "Qelmexe1.dat", "Qelmexe2.dat",
                                            "Qelmexe3.dat"};
inline constexpr int kLengths[] = {256, 502, 1002, 152};

// A record of the kind; a true/false one under `topic`, answer 1.
inline QByteArray record(int kind, int chapter, const QByteArray &text = "q", int topic = 1)
{
    return kind == 0 ? trueFalse(chapter, topic, text) : exposition(kLengths[kind], chapter, text);
}

// A record of the kind for each letter, holding it: x under chapter 23, the
// others under chapter 1.
inline QByteArray records(int kind, const QByteArray &letters)
{
    QByteArray bytes;
    for (const char letter : letters)
        bytes += record(kind, letter == 'x' ? 23 : 1, QByteArray(1, letter));
    return bytes;
}

} // namespace bankBytes
