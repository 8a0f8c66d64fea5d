#include "PersistentImage.h"

#include "Twips.h"

#include <QPainter>
#include <QWidget>

PersistentImage::PersistentImage(QWidget *owner, const QColor &background)
    : m_owner(owner), m_background(background)
{
    fitOwner();
}

void PersistentImage::fitOwner()
{
    grow(m_image, m_owner->size(), m_background);
}

void PersistentImage::grow(QImage &image, QSize size, const QColor &fill)
{
    size = size.expandedTo(QSize(1, 1));
    if (!image.isNull() && image.width() >= size.width() && image.height() >= size.height())
        return;
    QImage larger(size.expandedTo(image.size()), QImage::Format_ARGB32_Premultiplied);
    larger.fill(fill);
    if (!image.isNull()) {
        QPainter p(&larger);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image);
    }
    image = larger;
}

QPoint PersistentImage::toPixels(QPoint point) const
{
    if (m_scaleMode == ScaleMode::Pixels)
        return point;
    const QScreen *screen = Twips::screenOf(m_owner);
    return {Twips::toPixelsX(point.x(), screen), Twips::toPixelsY(point.y(), screen)};
}

void PersistentImage::fillBox(QPoint corner1, QPoint corner2, const QColor &colour)
{
    const QRect box = QRect(toPixels(corner1), toPixels(corner2) - QPoint(1, 1)).normalized();
    QImage *layer = &m_image;
    if (!m_autoRedraw) {
        grow(m_transient, m_owner->size(), Qt::transparent);
        layer = &m_transient;
    } else {
        fitOwner();
    }
    QPainter p(layer);
    p.fillRect(box, colour);
    if (m_drawStyle == DrawStyle::Solid) {
        p.setPen(colour);
        p.drawRect(box.adjusted(0, 0, -1, -1));
    }
    p.end();
    m_owner->update(box);
}

void PersistentImage::paint(QPainter &painter)
{
    painter.drawImage(0, 0, m_image);
    if (!m_transient.isNull()) {
        painter.drawImage(0, 0, m_transient);
        m_transient = QImage();
    }
}
