#pragma once

#include <QString>

class Paths;

// Process set-up shared by the program and its tests.
namespace Application {

// Everything that must happen before the QApplication exists.
void prepare();

// A graphics device the pages can be drawn with (a render node of the kernel's
// graphics drivers).
bool hasGraphicsDevice();

// The folder of the executables.
QString executablesFolder();

// The program folder of this run made ready for the data: a folder the launcher gave is
// made the user's alone as a whole, a portable folder's data folders are; every file the
// program writes there is private; and Qt's own settings (the file dialog's last folder
// and view) are kept in its Data folder rather than below the home. False, with the
// reason in error, when the folder cannot be made the user's.
bool useProgramFolder(const Paths &paths, QString *error);

} // namespace Application
