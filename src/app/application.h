#pragma once

#include <QString>

// Process set-up shared by the program and its tests.
namespace Application {

// Everything that must happen before the QApplication exists.
void prepare();

// A graphics device the pages can be drawn with (a render node of the kernel's
// graphics drivers).
bool hasGraphicsDevice();

// The folder of the executable.
QString appPath();

} // namespace Application
