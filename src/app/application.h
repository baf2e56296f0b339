#pragma once

#include <QString>

// Process set-up shared by the program and its tests.
namespace Application {

// Everything that must happen before the QApplication exists.
void prepare();

// The folder of the executable.
QString appPath();

} // namespace Application
