#include "ClipboardSeam.h"

#include <QClipboard>
#include <QGuiApplication>

void ClipboardSeam::putText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setText(text);
}
