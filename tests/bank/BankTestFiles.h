#pragma once
// Helpers of the bank tests: records built byte by byte, independently of the
// code under test, and the file helpers every file test shares.

#include "TestFiles.h"

#include <QByteArray>

namespace bankTest {

inline void putInt16(QByteArray &bytes, int offset, int value)
{
    bytes[offset] = static_cast<char>(value & 0xff);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xff);
}

// A true/false record: chapter, topic, text (Windows-1252 bytes), answer.
inline QByteArray trueFalseBytes(int chapter, int topic, const QByteArray &text = {},
                                 int answer = 0)
{
    QByteArray bytes(256, ' ');
    putInt16(bytes, 0, chapter);
    putInt16(bytes, 2, topic);
    bytes.replace(4, qMin<qsizetype>(text.size(), 250), text.left(250));
    putInt16(bytes, 254, answer);
    return bytes;
}

// An exposition record of the given length: chapter, text (Windows-1252 bytes).
inline QByteArray expositionBytes(int length, int chapter, const QByteArray &text = {})
{
    QByteArray bytes(length, ' ');
    putInt16(bytes, 0, chapter);
    bytes.replace(2, qMin<qsizetype>(text.size(), length - 2), text.left(length - 2));
    return bytes;
}

using namespace testFiles;

} // namespace bankTest
