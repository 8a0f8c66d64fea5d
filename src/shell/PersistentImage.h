#pragma once
// A window's persistent image: what is drawn with the persistent-drawing flag
// on is kept here and repainted from here, under the window's child controls.
// Drawing with the flag off lands on a transient layer that the next repaint
// shows once and then forgets, as drawing straight onto the window would.

#include "PaintGradient.h"

#include <QColor>
#include <QImage>

class QPainter;
class QWidget;

class PersistentImage : public GradientTarget
{
public:
    PersistentImage(QWidget *owner, const QColor &background);

    ScaleMode scaleMode() const override { return m_scaleMode; }
    void setScaleMode(ScaleMode mode) override { m_scaleMode = mode; }
    DrawStyle drawStyle() const override { return m_drawStyle; }
    void setDrawStyle(DrawStyle style) override { m_drawStyle = style; }
    bool autoRedraw() const override { return m_autoRedraw; }
    void setAutoRedraw(bool on) override { m_autoRedraw = on; }
    void fillBox(QPoint corner1, QPoint corner2, const QColor &colour) override;

    // Grows the image to the owner's size; new parts take the background.
    void fitOwner();
    // Draws the image (and, once, the transient layer) from the owner's paintEvent.
    void paint(QPainter &painter);
    const QImage &image() const { return m_image; }

private:
    QPoint toPixels(QPoint point) const;
    static void grow(QImage &image, QSize size, const QColor &fill);

    QWidget *m_owner;
    QColor m_background;
    QImage m_image;
    QImage m_transient;
    ScaleMode m_scaleMode = ScaleMode::Twips;
    DrawStyle m_drawStyle = DrawStyle::Solid;
    bool m_autoRedraw = false;
};
