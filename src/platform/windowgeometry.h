#pragma once

#include <QSize>

class QWidget;

// A window's rectangle as the settings file keeps it: twips, frame included.
struct TwipsRect
{
    double top = 0;
    double left = 0;
    double height = 0;
    double width = 0;

    bool isNull() const { return top == 0 && left == 0 && height == 0 && width == 0; }
};

// Placing top-level windows by their outer rectangle. The window manager adds its frame
// only once a window is shown, so placing a window that is not shown yet takes the
// frame it will get from a window already on screen (usually the one that opens it);
// a rectangle stored at closing is then restored to the same rectangle.
namespace WindowGeometry {

// The outer rectangle of a window now.
TwipsRect frame(const QWidget *window);

// What the frame adds to the inner size of a shown window; of its nearest shown
// ancestor window when it is not shown itself; none when there is neither.
QSize frameExtra(const QWidget *window);

// Moves and sizes the window so that its outer rectangle becomes the rectangle.
void place(QWidget *window, const TwipsRect &rect);

// A rectangle of the window's inner size plus its frame, centred on the primary screen.
TwipsRect centred(const QWidget *window, QSize innerPixels);

} // namespace WindowGeometry
