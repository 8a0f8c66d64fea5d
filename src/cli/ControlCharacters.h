#pragma once
// Texts of a bank or a history written as plain text to a terminal or a
// file: a control character in them (an escape sequence that clears the
// screen, a line break that forges a line of its own) is shown as an escape
// instead, "\n", "\t", "\r" or "\x1b". JSON output escapes them already.

#include <QString>
#include <QStringView>

namespace controlCharacters {

// The text with every C0 control, DEL and C1 control (U+0080 to U+009F,
// which some terminals obey too) written as an escape.
QString escaped(QStringView text);

} // namespace controlCharacters
