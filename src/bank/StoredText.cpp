#include "StoredText.h"

#include "Cp1252.h"

QString storedText(QStringView text, int width)
{
    QString result = text.left(width).toString();
    if (result.size() < width)
        result.append(QString(width - result.size(), QLatin1Char(' ')));
    return result;
}

QString displayText(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString displayTextOf(QByteArrayView stored)
{
    qsizetype begin = 0;
    qsizetype end = stored.size();
    while (begin < end && stored[begin] == ' ')
        ++begin;
    while (end > begin && stored[end - 1] == ' ')
        --end;
    return Cp1252::decode(stored.sliced(begin, end - begin));
}
