#include "ControlCharacters.h"

namespace controlCharacters {

QString escaped(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n')
            shown += QLatin1String("\\n");
        else if (u == u'\t')
            shown += QLatin1String("\\t");
        else if (u == u'\r')
            shown += QLatin1String("\\r");
        else if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace controlCharacters
