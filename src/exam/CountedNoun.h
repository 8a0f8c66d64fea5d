#pragma once
// A number with its noun in the right number, for the program's messages:
// "1 pregunta", "3 preguntas", "0 preguntas".

#include <QString>
#include <QStringView>

inline QString counted(qint64 count, QStringView singular, QStringView plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? singular : plural);
}
