#include "PaintGradient.h"

#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

// The default rounding mode of the C library rounds exact halves to even.
qint64 roundHalfEven(double value)
{
    return static_cast<qint64>(std::nearbyint(value));
}

int channel(qint16 factor, int level)
{
    // The product is kept as a signed 16-bit value; a colour channel takes
    // 0 to 255 of it.
    const auto product = static_cast<qint16>(factor * level);
    return std::clamp(static_cast<int>(product), 0, 255);
}

} // namespace

GradientScreen GradientScreen::primary()
{
    GradientScreen s;
    const QScreen *screen = QGuiApplication::primaryScreen();
    s.twipsPerPixelY = Twips::perPixelY(screen);
    if (screen) {
        s.heightTwips = screen->geometry().height() * s.twipsPerPixelY;
        s.widthTwips = screen->geometry().width() * Twips::perPixelX(screen);
    }
    return s;
}

qint16 gradientRows(const GradientScreen &screen)
{
    if (screen.twipsPerPixelY <= 0)
        return 0;
    const float rows =
        static_cast<float>(screen.heightTwips) / static_cast<float>(screen.twipsPerPixelY);
    return static_cast<qint16>(std::clamp<qint64>(roundHalfEven(rows), -32768, 32767));
}

int gradientStep(qint16 rows)
{
    const auto step = static_cast<int>(roundHalfEven(rows / 64.0 + 0.5));
    return std::max(step, 1);
}

int gradientLevel(int y, qint16 rows)
{
    if (rows == 0)
        return 250 - 240;
    const qint32 product = 245 * y;
    const auto t = static_cast<int>(roundHalfEven(240.0 - static_cast<double>(product) / rows));
    return std::max(250 - t, 0);
}

GradientLayout gradientLayout(qint16 rows, qint16 redFactor, qint16 greenFactor, qint16 blueFactor)
{
    GradientLayout layout;
    layout.rows = rows;
    layout.step = gradientStep(rows);
    for (qint32 y = 0; y <= rows; y += layout.step) {
        const int level = gradientLevel(y, rows);
        layout.bands.append({y, level,
                             QColor(channel(redFactor, level), channel(greenFactor, level),
                                    channel(blueFactor, level))});
    }
    return layout;
}

void PaintGradient(GradientTarget &target, qint16 redFactor, qint16 greenFactor, qint16 blueFactor)
{
    PaintGradient(target, redFactor, greenFactor, blueFactor, GradientScreen::primary());
}

void PaintGradient(GradientTarget &target, qint16 redFactor, qint16 greenFactor, qint16 blueFactor,
                   const GradientScreen &screen)
{
    const GradientTarget::ScaleMode savedMode = target.scaleMode();
    const GradientTarget::DrawStyle savedStyle = target.drawStyle();
    const bool savedRedraw = target.autoRedraw();

    target.setScaleMode(GradientTarget::ScaleMode::Pixels);
    const GradientLayout layout =
        gradientLayout(gradientRows(screen), redFactor, greenFactor, blueFactor);
    target.setDrawStyle(GradientTarget::DrawStyle::Invisible);
    target.setAutoRedraw(true);

    // The right edge comes from the screen width in twips, far beyond any
    // window's right border; each band overlaps its neighbours.
    const int right = static_cast<int>(screen.widthTwips) + 2;
    for (const GradientBand &band : layout.bands)
        target.fillBox(QPoint(-2, band.y - 2), QPoint(right, band.y + layout.step + 3),
                       band.colour);

    target.setDrawStyle(savedStyle);
    target.setAutoRedraw(savedRedraw);
    target.setScaleMode(savedMode);
}
