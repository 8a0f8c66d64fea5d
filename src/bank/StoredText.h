#pragma once
// The two forms of a question text: the stored form, cut or padded with
// spaces to the width of its field, and the display form, with the spaces at
// both ends removed (only the space character; tabs and others stay).

#include <QString>
#include <QStringView>

QString storedText(QStringView text, int width);
QString displayText(QStringView text);
