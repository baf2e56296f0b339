#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Twips {
namespace {

double dpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double value = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return value > 0 ? value : 96.0;
}

} // namespace

double perPixelX() { return 1440.0 / dpi(true); }
double perPixelY() { return 1440.0 / dpi(false); }

int toPixelsX(double twips) { return static_cast<int>(std::lround(twips / perPixelX())); }
int toPixelsY(double twips) { return static_cast<int>(std::lround(twips / perPixelY())); }
long long fromPixelsX(int pixels) { return std::llround(pixels * perPixelX()); }
long long fromPixelsY(int pixels) { return std::llround(pixels * perPixelY()); }

} // namespace Twips
