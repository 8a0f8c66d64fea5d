#pragma once
// The two forms of a question text: the stored form, cut or padded with
// spaces to the width of its field, and the display form, with the spaces at
// both ends removed (only the space character; tabs and others stay).

#include <QByteArrayView>
#include <QString>
#include <QStringView>

QString storedText(QStringView text, int width);
QString displayText(QStringView text);

// displayText() of stored Windows-1252 bytes, decoded once: the blanks are
// single bytes, so they are trimmed before the text is decoded.
QString displayTextOf(QByteArrayView stored);
