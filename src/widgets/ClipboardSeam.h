#pragma once
// The system clipboard as the output window uses it: emptied, then given one
// plain text. Kept apart so the windows never reach QClipboard themselves.

#include <QString>

class ClipboardSeam
{
public:
    static void putText(const QString &text);
};
