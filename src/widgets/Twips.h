#pragma once
// Lengths given in twips (1/1440 inch) turned into pixels and back through
// the screen's logical DPI: 15 twips per pixel at 96 DPI.

#include <QRect>

class QScreen;
class QWidget;

namespace Twips {

inline constexpr double kPerInch = 1440.0;

// The screen of `widget`, or the primary screen when it is null or has none.
QScreen *screenOf(const QWidget *widget);

double perPixelX(const QScreen *screen = nullptr);
double perPixelY(const QScreen *screen = nullptr);

// Rounded to the nearest pixel, exact halves to the even one.
int toPixelsX(double twips, const QScreen *screen = nullptr);
int toPixelsY(double twips, const QScreen *screen = nullptr);
double fromPixelsX(double pixels, const QScreen *screen = nullptr);
double fromPixelsY(double pixels, const QScreen *screen = nullptr);

// A rectangle given in twips (left, top, width, height), in pixels.
QRect rect(int left, int top, int width, int height, const QScreen *screen = nullptr);

} // namespace Twips
