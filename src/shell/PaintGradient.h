#pragma once
// Module2: PaintGradient, which paints a window's background as a vertical
// colour gradient of overlapping filled bands, dark at the top and bright at
// the bottom, laid out over the screen's height (not the window's). The band
// arithmetic is a plain function so that it can be checked on its own.

#include <QColor>
#include <QList>
#include <QPoint>
#include <QtGlobal>

// What PaintGradient needs of the window it paints: its coordinate unit,
// outline style and persistent-drawing flag (read and set), and a filled box
// between two corners given in the current unit.
class GradientTarget
{
public:
    enum class ScaleMode
    {
        Twips,
        Pixels
    };
    enum class DrawStyle
    {
        Solid,
        Invisible
    };

    virtual ~GradientTarget() = default;

    virtual ScaleMode scaleMode() const = 0;
    virtual void setScaleMode(ScaleMode mode) = 0;
    virtual DrawStyle drawStyle() const = 0;
    virtual void setDrawStyle(DrawStyle style) = 0;
    virtual bool autoRedraw() const = 0;
    virtual void setAutoRedraw(bool on) = 0;
    // Fills the box from corner1 (included) to corner2 (excluded) with colour;
    // a solid draw style also outlines it in that colour.
    virtual void fillBox(QPoint corner1, QPoint corner2, const QColor &colour) = 0;
};

// The screen figures the gradient is laid out on.
struct GradientScreen
{
    double heightTwips = 0;
    double widthTwips = 0;
    double twipsPerPixelY = 15;

    // The primary screen.
    static GradientScreen primary();
};

struct GradientBand
{
    int y = 0;     // top of the band's nominal row, in pixels
    int level = 0; // 10 at the top, 255 at the bottom of the screen height
    QColor colour;
};

struct GradientLayout
{
    qint16 rows = 0;
    int step = 1;
    QList<GradientBand> bands;
};

// Rows of the screen: height in twips / twips per pixel, single precision,
// rounded half to even.
qint16 gradientRows(const GradientScreen &screen);
// rows / 64 + 0.5 rounded half to even; below 1 it is 1.
int gradientStep(qint16 rows);
// The band levels for y = 0, step, ... up to rows.
int gradientLevel(int y, qint16 rows);
GradientLayout gradientLayout(qint16 rows, qint16 redFactor, qint16 greenFactor, qint16 blueFactor);

void PaintGradient(GradientTarget &target, qint16 redFactor, qint16 greenFactor, qint16 blueFactor);
void PaintGradient(GradientTarget &target, qint16 redFactor, qint16 greenFactor, qint16 blueFactor,
                   const GradientScreen &screen);
