#include "twips.h"

#include "platform/textfile.h"

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

// Stored twips may be anything a file held; a pixel position stays within what a
// window system can take.
constexpr int kPixelLimit = 1 << 24;

int toPixelsX(double twips) { return TextFile::boundedInt(twips / perPixelX(), -kPixelLimit, kPixelLimit); }
int toPixelsY(double twips) { return TextFile::boundedInt(twips / perPixelY(), -kPixelLimit, kPixelLimit); }
long long fromPixelsX(int pixels) { return std::llround(pixels * perPixelX()); }
long long fromPixelsY(int pixels) { return std::llround(pixels * perPixelY()); }

} // namespace Twips
