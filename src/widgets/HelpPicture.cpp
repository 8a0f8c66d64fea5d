#include "HelpPicture.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {

QPixmap drawHelpPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(16, 40, 120), size / 16.0));
    painter.setBrush(QColor(40, 80, 200));
    const qreal margin = size / 16.0;
    painter.drawEllipse(QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(size * 3 / 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

} // namespace

QIcon helpPicture()
{
    QIcon icon;
    icon.addPixmap(drawHelpPicture(16));
    icon.addPixmap(drawHelpPicture(32));
    return icon;
}
