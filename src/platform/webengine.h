#pragma once

#include <QString>

class QObject;
class QWebEngineProfile;

// Process-wide set-up of the web engine: the program's own "quorl:" scheme (the
// built-in start page) and the profile every tab shares, stored below the program
// folder.
namespace WebEngine {

// Must run before the QApplication is created.
void registerSchemes();

// The address of the built-in start page.
QString startPageAddress();
// The address of the program's help page.
QString helpPageAddress();


// The profile the tabs of one main window share, with its storage in dataFolder.
// The owner must delete its pages before the profile.
QWebEngineProfile *createProfile(const QString &dataFolder, QObject *parent);

// The engine's storage in dataFolder (the cookies and what pages keep, not the cache)
// copied into the storage of copyFolder, for a profile that must leave the original
// alone: a window may be using it. The original is only read; a file that goes
// meanwhile is passed over. False when the copy could not be written.
bool copyStorage(const QString &dataFolder, const QString &copyFolder);

} // namespace WebEngine
