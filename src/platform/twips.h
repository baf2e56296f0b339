#pragma once

// Window positions and sizes are kept in twips, 1440 to the logical inch
// (15 twips to a pixel at 96 dpi).
namespace Twips {

double perPixelX();
double perPixelY();

int toPixelsX(double twips);
int toPixelsY(double twips);
long long fromPixelsX(int pixels);
long long fromPixelsY(int pixels);

} // namespace Twips
