#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

constexpr double kFallbackDpi = 96.0;

const QScreen *orPrimary(const QScreen *screen)
{
    return screen ? screen : QGuiApplication::primaryScreen();
}

double dpiX(const QScreen *screen)
{
    screen = orPrimary(screen);
    const double dpi = screen ? screen->logicalDotsPerInchX() : 0.0;
    return dpi > 0.0 ? dpi : kFallbackDpi;
}

double dpiY(const QScreen *screen)
{
    screen = orPrimary(screen);
    const double dpi = screen ? screen->logicalDotsPerInchY() : 0.0;
    return dpi > 0.0 ? dpi : kFallbackDpi;
}

} // namespace

namespace Twips {

QScreen *screenOf(const QWidget *widget)
{
    // With one screen, that one is the answer. Asking a widget costs more:
    // one not yet shown looks through every screen for the middle of its
    // window, and a grid asks for every row it sizes.
    if (const QList<QScreen *> screens = QGuiApplication::screens(); screens.size() == 1)
        return screens.first();
    if (QScreen *screen = widget ? widget->screen() : nullptr)
        return screen;
    return QGuiApplication::primaryScreen();
}

double perPixelX(const QScreen *screen)
{
    return kPerInch / dpiX(screen);
}

double perPixelY(const QScreen *screen)
{
    return kPerInch / dpiY(screen);
}

int toPixelsX(double twips, const QScreen *screen)
{
    return static_cast<int>(std::nearbyint(twips / perPixelX(screen)));
}

int toPixelsY(double twips, const QScreen *screen)
{
    return static_cast<int>(std::nearbyint(twips / perPixelY(screen)));
}

double fromPixelsX(double pixels, const QScreen *screen)
{
    return pixels * perPixelX(screen);
}

double fromPixelsY(double pixels, const QScreen *screen)
{
    return pixels * perPixelY(screen);
}

QRect rect(int left, int top, int width, int height, const QScreen *screen)
{
    return QRect(toPixelsX(left, screen), toPixelsY(top, screen), toPixelsX(width, screen),
                 toPixelsY(height, screen));
}

} // namespace Twips
