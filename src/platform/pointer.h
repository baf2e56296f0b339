#pragma once

#include <QPoint>

#include <optional>

// The pointer position and the mouse buttons held down now, read from the window
// system; a test can put its own values in their place.
namespace Pointer {

QPoint position();          // global, in pixels
int buttons();              // 1 left, 2 right, 4 middle; read one after the other

void setPosition(std::optional<QPoint> position); // nullopt: back to the real pointer
void setButtons(std::optional<int> buttons);

} // namespace Pointer
